// The user's regional settings as Windows keeps them: the [intl] section of WIN.INI, read
// afresh at every call so a change in the control panel shows in the next generated file; and
// the current local time as Windows gives it.
#pragma once

#include <windows.h>

#include "engine/regional_settings.h"
#include "engine/text_format.h"

namespace vosko {

class WinIniRegionalSettings final : public RegionalSettings {
 public:
  int Integer(const char* key, int fallback) const override;
  std::string Text(const char* key, const char* fallback) const override;
};

// A Windows time in the engine's calendar form.
CalendarTime CalendarTimeOf(const SYSTEMTIME& time);

// GetLocalTime, in the engine's calendar form.
CalendarTime LocalNowWin32();

}  // namespace vosko
