#include "quotes/regional_settings_win32.h"

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

CalendarTime LocalNowWin32() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  CalendarTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.dayOfWeek = now.wDayOfWeek;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.millisecond = now.wMilliseconds;
  return time;
}

}  // namespace vosko
