// Small text, date and number routines shared by the catalog, the compile, the new quote file
// and the export.  They work on std::string, so no caller can hand them a buffer too small for
// their result; the widths and sizes that the old fixed buffers implied are kept as arguments
// where they shape the result (FormatNumber's size).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/regional_settings.h"

namespace vosko {

// A calendar time in the Windows SYSTEMTIME layout.  Only year, month, day, hour and minute are
// ever formatted; day of week only by CurrentDateText.
struct CalendarTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day_of_week = 0;  // Sunday is 0
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t millisecond = 0;
  bool operator==(const CalendarTime&) const = default;
};

// The current local time (the runtime's clock; the Win32 face may use GetLocalTime instead).
CalendarTime LocalNow();

// Replaces the first `find` in `source` by `replacement` and stores the result in
// `destination`.  With an empty source or an empty find text the destination is left as it
// was, which callers that pass a separate destination rely on.
void ReplaceFirst(std::string_view source, std::string& destination, std::string_view find,
                  std::string_view replacement);

enum class Align { Left = -1, Centre = 0, Right = 1 };
// Rewrites the first `width` characters of `text` (the text's own length when width < 0) with
// its content aligned in a field of that width; characters after the field stay, except that
// Right ends the text with the field.  A width larger than the text grows it to the width.
void AlignText(std::string& text, Align mode, int width);

// Cuts `text` at `length` (its own length when negative), then removes trailing spaces.  Only
// spaces (32) go: a tab is text.
void TrimTrailingSpaces(std::string& text, int length = -1);
// The same over a view: `text` without its trailing spaces.
std::string_view WithoutTrailingSpaces(std::string_view text);

// The [intl] settings as the date and time texts use them, with defaults applied and each key
// cut to what is kept of it.
struct IntlSettings {
  int date_order = 0;                // iDate: 1 day first, 2 year first, else month first
  std::string date_separator = "/";  // sDate: first character only (empty if the key is empty)
  int time_format = 0;               // iTime: 1 is the 24-hour clock
  std::string time_separator = ":";  // sTime: first character only
  std::string am = "AM";             // s1159: up to 4 characters
  std::string pm = "PM";             // s2359: up to 4 characters
};
IntlSettings ReadIntlSettings(const RegionalSettings& settings);

// 'Sat 12/05/26' (month first), 'Sat 5/12/26' (day first), 'Sat 26/12/05' (year first).
std::string CurrentDateText(const RegionalSettings& settings, const CalendarTime& now);
// '14:07:09' on the 24-hour clock, else '  2:07:09 PM  ' (two spaces each side).
std::string CurrentTimeText(const RegionalSettings& settings, const CalendarTime& now);

struct NumberFormat {
  int size = 6;             // the old buffer's size: the text has at most size - 1 characters
  int decimals = 1;         // 0 to 9
  bool blank_zero = false;  // an exact 0 (or, without decimals, one that rounds to 0) gives ""
  bool zero_pad = false;
  bool left_align = false;  // wins over zero_pad
  bool keep_zeros = false;  // keep trailing zeros of the decimals
};
// A number squeezed into size - 1 characters: decimals give way to the integer part, a number
// whose integer part does not fit gives asterisks.  0.977 gives '1.   ' (size 6, 1 decimal,
// left): the leading zero of a magnitude below 1 is dropped to make room.
std::string FormatNumber(double value, const NumberFormat& format);

// '05 Dec 26, 14:07'; empty when the day, month or year is 0.
std::string FileTimeText(const CalendarTime& time);
// '07EA,0C,05,0E,07': year, month, day, hour and minute in upper-case hexadecimal.
std::string StampText(const CalendarTime& time);
struct TimeTexts {
  std::string display;
  std::string stamp;
};
// Both forms of one moment (the compile's "now").
TimeTexts LocalTimeTexts(const CalendarTime& now);

}  // namespace vosko
