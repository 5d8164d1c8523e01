#include "win32/base/regional_settings_win32.h"

#include <windows.h>

namespace vosko {
namespace {

constexpr char kIntlSection[] = "intl";

}  // namespace

int WinIniRegionalSettings::Integer(const char* key, int fallback) const {
  return static_cast<int>(GetProfileIntA(kIntlSection, key, fallback));
}

std::string WinIniRegionalSettings::Text(const char* key, const char* fallback) const {
  // The engine keeps at most four characters of any key; the buffer only has to hold those.
  char value[64] = {};
  const DWORD length = GetProfileStringA(kIntlSection, key, fallback, value, sizeof value);
  return std::string(value, length < sizeof value ? length : sizeof value - 1);
}

CalendarTime CalendarTimeOf(const SYSTEMTIME& time) {
  CalendarTime calendar;
  calendar.year = time.wYear;
  calendar.month = time.wMonth;
  calendar.day_of_week = time.wDayOfWeek;
  calendar.day = time.wDay;
  calendar.hour = time.wHour;
  calendar.minute = time.wMinute;
  calendar.second = time.wSecond;
  calendar.millisecond = time.wMilliseconds;
  return calendar;
}

CalendarTime LocalNowWin32() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  return CalendarTimeOf(now);
}

}  // namespace vosko
