#include "engine/text_format.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace vosko {
namespace {

// Fixed English names: the list's dates never follow the user's language.  An index outside
// the table (a hand-edited compile record, a broken clock) shows "???" instead of reading
// past the table.
constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const char* WeekdayName(unsigned day) { return day < 7 ? kWeekdays[day] : "???"; }
const char* MonthName(unsigned month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : "???"; }

template <typename... Args>
std::string Printf(const char* format, Args... args) {
  char buffer[128];
  const int n = std::snprintf(buffer, sizeof buffer, format, args...);
  if (n < 0) return {};
  return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

std::string_view TrimLeadingSpaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  return s.substr(first == std::string_view::npos ? s.size() : first);
}

}  // namespace

CalendarTime LocalNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  CalendarTime t;
  if (const std::tm* tm = std::localtime(&seconds)) {  // the engine runs on one thread
    t.year = static_cast<std::uint16_t>(tm->tm_year + 1900);
    t.month = static_cast<std::uint16_t>(tm->tm_mon + 1);
    t.day_of_week = static_cast<std::uint16_t>(tm->tm_wday);
    t.day = static_cast<std::uint16_t>(tm->tm_mday);
    t.hour = static_cast<std::uint16_t>(tm->tm_hour);
    t.minute = static_cast<std::uint16_t>(tm->tm_min);
    t.second = static_cast<std::uint16_t>(tm->tm_sec);
    t.millisecond = static_cast<std::uint16_t>(ms < 0 ? 0 : ms);
  }
  return t;
}

void ReplaceFirst(std::string_view source, std::string& destination, std::string_view find,
                  std::string_view replacement) {
  if (source.empty() || find.empty()) return;
  const std::size_t at = source.find(find);
  std::string result;
  if (at == std::string_view::npos) {
    result = source;
  } else {
    result.reserve(source.size() - find.size() + replacement.size());
    result.append(source.substr(0, at)).append(replacement).append(source.substr(at + find.size()));
  }
  destination = std::move(result);  // source may view destination: build first, then store
}

void AlignText(std::string& text, Align mode, int width) {
  const std::size_t n = width < 0 ? text.size() : static_cast<std::size_t>(width);
  if (n == 0) return;
  const std::string_view all(text);
  const std::string_view content = all.substr(0, std::min(all.size(), n));
  std::string field(n, ' ');
  if (mode == Align::Left) {
    const std::string_view moved = TrimLeadingSpaces(content);  // trailing spaces stay
    field.replace(0, moved.size(), moved);
  } else {
    const std::string_view core = WithoutTrailingSpaces(TrimLeadingSpaces(content));
    // An odd spare space goes to the right end when centring.
    const std::size_t offset = mode == Align::Right ? n - core.size() : (n - core.size()) / 2;
    field.replace(offset, core.size(), core);
  }
  if (mode != Align::Right && all.size() > n) field.append(all.substr(n));
  text = std::move(field);
}

std::string_view WithoutTrailingSpaces(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  // An all-space text keeps its pointer: an empty view is handed on to memchr and memcpy,
  // which want a valid one even for no bytes.
  return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

void TrimTrailingSpaces(std::string& text, int length) {
  if (length >= 0 && static_cast<std::size_t>(length) < text.size()) text.resize(static_cast<std::size_t>(length));
  text.resize(WithoutTrailingSpaces(text).size());
}

IntlSettings ReadIntlSettings(const RegionalSettings& settings) {
  IntlSettings s;
  s.date_order = settings.Integer("iDate", 0);
  s.date_separator = settings.Text("sDate", "/").substr(0, 1);
  s.time_format = settings.Integer("iTime", 0);
  s.time_separator = settings.Text("sTime", ":").substr(0, 1);
  s.am = settings.Text("s1159", "AM").substr(0, 4);
  s.pm = settings.Text("s2359", "PM").substr(0, 4);
  return s;
}

std::string CurrentDateText(const RegionalSettings& settings, const CalendarTime& now) {
  const IntlSettings intl = ReadIntlSettings(settings);
  const int year = now.year % 100;
  int first = now.month, second = now.day, third = year;
  if (intl.date_order == 1) {
    first = now.day, second = now.month, third = year;
  } else if (intl.date_order == 2) {
    first = year, second = now.month, third = now.day;
  }
  const char* sep = intl.date_separator.c_str();
  return Printf("%s %d%s%02d%s%02d", WeekdayName(now.day_of_week), first, sep, second, sep, third);
}

std::string CurrentTimeText(const RegionalSettings& settings, const CalendarTime& now) {
  const IntlSettings intl = ReadIntlSettings(settings);
  const char* sep = intl.time_separator.c_str();
  if (intl.time_format == 1) {
    return Printf("%02d%s%02d%s%02d", now.hour, sep, now.minute, sep, now.second);
  }
  const int hour12 = now.hour % 12 == 0 ? 12 : now.hour % 12;
  const char* suffix = now.hour < 12 ? intl.am.c_str() : intl.pm.c_str();
  return Printf("  %d%s%02d%s%02d %s  ", hour12, sep, now.minute, sep, now.second, suffix);
}

std::string FormatNumber(double value, const NumberFormat& format) {
  if (format.size < 1) return {};  // no room at all (and size - 1 must not overflow)
  const int visible = format.size - 1;
  int decimals = format.decimals;
  const double m = std::fabs(value);
  const int sign = value < 0 ? 1 : 0;
  const bool below_one = m > 0 && m < 1;
  // One extra place for the leading "0." zero that is dropped below.
  const int width = below_one && decimals > 0 ? visible + 1 : visible;
  if (width < 1 || width > 30 || decimals > 9 || decimals < 0) return {};
  if (value == 0 && format.blank_zero) return {};
  // Infinity and NaN have no digits to squeeze; they never fit.
  if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(visible), '*');

  // Measure the digits: the magnitude zero-padded to 30 characters.  Above 1e20 the rendering
  // grows past 30 characters and is measured by its real length, so a huge value is never
  // shown with digits missing.
  char measure[400];
  const int len = std::snprintf(measure, sizeof measure, "%030.*f", decimals, m);
  if (len < 30 || static_cast<std::size_t>(len) >= sizeof measure) {
    return std::string(static_cast<std::size_t>(visible), '*');
  }
  if (decimals == 0 && format.blank_zero && below_one && measure[len - 1] == '0') return {};

  int point = decimals > 0 ? 1 : 0;
  int leading_zeros = 0;
  while (leading_zeros < len && leading_zeros < 30 && measure[leading_zeros] == '0') ++leading_zeros;
  const int integer_digits = std::max(0, len - decimals - point - leading_zeros);
  if (!format.keep_zeros && decimals > 0) {
    for (int i = len - 1; i >= 0 && measure[i] == '0' && decimals > 0; --i) --decimals;
    point = decimals > 0 ? 1 : 0;
  }
  if (sign + integer_digits + point + decimals > width) {
    decimals = width - sign - integer_digits;
    decimals = decimals > 1 ? decimals - 1 : 0;  // one place goes to the point
    point = decimals > 0 ? 1 : 0;
  }
  if (sign + integer_digits + point + decimals > width) {
    return std::string(static_cast<std::size_t>(visible), '*');
  }

  char rendering[64];
  int n;
  if (format.left_align) {
    n = std::snprintf(rendering, sizeof rendering, "%-*.*f", width, decimals, value);
  } else if (format.zero_pad) {
    n = std::snprintf(rendering, sizeof rendering, "%0*.*f", width, decimals, value);
  } else {
    n = std::snprintf(rendering, sizeof rendering, "%*.*f", width, decimals, value);
  }
  if (n < 0) return {};
  std::string text(rendering, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof rendering - 1));
  if (width > visible) {
    const std::size_t zero = text.find('0');
    if (zero != std::string::npos) {
      text.erase(zero, 1);
    } else if (!text.empty() && text[0] == ' ') {
      text.erase(0, 1);
    }
  }
  if (text.size() > static_cast<std::size_t>(visible)) text.resize(static_cast<std::size_t>(visible));
  return text;
}

std::string FileTimeText(const CalendarTime& time) {
  if (time.day == 0 || time.month == 0 || time.year == 0) return {};
  const int year2 = time.year < 2000 ? time.year - 1900 : time.year - 2000;
  std::string text = Printf("%02d %s %02d, %02d:%02d", time.day, MonthName(time.month), year2, time.hour, time.minute);
  TrimTrailingSpaces(text);
  return text;
}

std::string StampText(const CalendarTime& time) {
  return Printf("%04X,%02X,%02X,%02X,%02X", time.year, time.month, time.day, time.hour, time.minute);
}

TimeTexts LocalTimeTexts(const CalendarTime& now) { return {FileTimeText(now), StampText(now)}; }

}  // namespace vosko
