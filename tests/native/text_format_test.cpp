#include "engine/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <map>
#include <string>

#include "engine_files.h"

namespace vosko {
namespace {

using testing::At;

TEST(ReplaceFirst, ReplacesOnlyTheFirstAndLeavesTheDestinationWhenThereIsNothingToFind) {
  struct Case {
    const char* source;
    const char* find;
    const char* replacement;
    const char* result;  // the destination started as "old"
  } const cases[] = {
      {"@@DATE@@ and @@DATE@@", "@@DATE@@", "Sat 12/05/26", "Sat 12/05/26 and @@DATE@@"},
      {"no placeholder", "@@DATE@@", "x", "no placeholder"},
      {"abc\n", "\n", "", "abc"},
      {"abc", "", "x", "old"},
      {"", "a", "x", "old"},
  };
  for (const Case& c : cases) {
    std::string destination = "old";
    ReplaceFirst(c.source, destination, c.find, c.replacement);
    EXPECT_EQ(destination, c.result) << c.source;
  }
  std::string same = "a @@TIME@@ b";  // source and destination the same string
  ReplaceFirst(same, same, "@@TIME@@", "a much longer replacement than the placeholder");
  EXPECT_EQ(same, "a a much longer replacement than the placeholder b");
}

TEST(AlignText, PlacesTheContentInItsField) {
  struct Case {
    const char* text;
    Align mode;
    int width;
    const char* result;
  } const cases[] = {
      {"ab", Align::Centre, 5, " ab  "},
      {"  ab  ", Align::Right, 6, "    ab"},
      {"  ab", Align::Left, -1, "ab  "},
      {"  ab  ", Align::Left, -1, "ab    "},
      {"abc", Align::Centre, 3, "abc"},
      {"abcdef", Align::Right, 3, "abc"},        // the field only: right ends the text
      {"  abcdef", Align::Left, 4, "ab  cdef"},  // the rest after the field stays
      {"x", Align::Right, 0, "x"},
      {"", Align::Right, 4, "    "},
      {"ab", Align::Left, 40, "ab                                      "},  // wider than the text
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    AlignText(text, c.mode, c.width);
    EXPECT_EQ(text, c.result) << "'" << c.text << "' " << static_cast<int>(c.mode) << " " << c.width;
  }
}

TEST(TrimTrailingSpaces, RemovesSpacesButNotTabs) {
  struct Case {
    const char* text;
    int length;
    const char* result;
  } const cases[] = {{"abc \t ", -1, "abc \t"}, {"   ", -1, ""}, {"ab   cd", 4, "ab"}, {"ab", 10, "ab"}};
  for (const Case& c : cases) {
    std::string text = c.text;
    TrimTrailingSpaces(text, c.length);
    EXPECT_EQ(text, c.result) << c.text;
  }
}

class FakeIntl final : public RegionalSettings {
 public:
  std::map<std::string, std::string> keys;
  int Integer(const char* key, int fallback) const override {
    auto it = keys.find(key);
    return it == keys.end() ? fallback : std::atoi(it->second.c_str());
  }
  std::string Text(const char* key, const char* fallback) const override {
    auto it = keys.find(key);
    return it == keys.end() ? fallback : it->second;
  }
};

TEST(CurrentDateText, FollowsTheRegionalOrderAndSeparator) {
  struct Case {
    std::map<std::string, std::string> keys;
    CalendarTime now;
    const char* text;
  } const cases[] = {
      {{}, At(2026, 12, 5, 6), "Sat 12/05/26"},
      {{{"iDate", "1"}}, At(2026, 12, 5, 6), "Sat 5/12/26"},
      {{{"iDate", "2"}}, At(2026, 12, 5, 6), "Sat 26/12/05"},
      {{{"iDate", "2"}}, At(2005, 12, 5, 1), "Mon 5/12/05"},
      {{{"iDate", "7"}, {"sDate", ".-"}}, At(2026, 1, 2, 5), "Fri 1.02.26"},
      {{{"sDate", ""}}, At(2026, 1, 2, 5), "Fri 10226"},
      {{}, At(2026, 1, 2, 9), "??? 1/02/26"},  // a weekday outside the table
  };
  for (const Case& c : cases) {
    FakeIntl intl;
    intl.keys = c.keys;
    EXPECT_EQ(CurrentDateText(intl, c.now), c.text);
  }
}

TEST(CurrentTimeText, TwelveAndTwentyFourHourClocks) {
  struct Case {
    std::map<std::string, std::string> keys;
    int hour, minute, second;
    const char* text;
  } const cases[] = {
      {{{"iTime", "1"}}, 14, 7, 9, "14:07:09"},
      {{}, 14, 7, 9, "  2:07:09 PM  "},
      {{}, 0, 0, 0, "  12:00:00 AM  "},
      {{}, 12, 30, 0, "  12:30:00 PM  "},
      {{}, 0, 30, 0, "  12:30:00 AM  "},
      {{{"s1159", "vorm."}, {"s2359", "nachm."}, {"sTime", "."}}, 9, 5, 0, "  9.05.00 vorm  "},
  };
  for (const Case& c : cases) {
    FakeIntl intl;
    intl.keys = c.keys;
    EXPECT_EQ(CurrentTimeText(intl, At(2026, 1, 1, 4, c.hour, c.minute, c.second)), c.text);
  }
}

TEST(FormatNumber, SqueezesNumbersIntoTheirField) {
  const NumberFormat size6{6, 1, false, false, true, true};
  NumberFormat right8{8, 2, false, false, false, true};
  NumberFormat zero8 = right8;
  zero8.zeroPad = true;
  NumberFormat trimmed8 = right8;
  trimmed8.keepZeros = false;
  const NumberFormat blank0{4, 0, true, false, false, false};
  struct Case {
    double value;
    NumberFormat format;
    const char* text;
  } const cases[] = {
      {0, size6, "0.0  "},
      {0.5, size6, ".5   "},
      {0.977, size6, "1.   "},
      {1.04, size6, "1.0  "},
      {12345.6, size6, "12346"},
      {123456, size6, "*****"},
      {-0.5, size6, "-.5  "},
      {999.96, size6, "1000 "},
      {3.25, right8, "   3.25"},
      {3.25, zero8, "0003.25"},
      {2.5, trimmed8, "    2.5"},
      {0.3, blank0, ""},
      {0.7, blank0, "  1"},
      {0, blank0, ""},
      {-2.5, zero8, "-002.50"},
      // The catalog's size column: kilobytes with one decimal.
      {100 / 1024.0, size6, ".1   "},
      {1536 / 1024.0, size6, "1.5  "},
      {100.0, size6, "100.0"},
      {1024.0, size6, "1024 "},
      {1000.0, size6, "1000 "},
      // Out of the routine's range: empty, never an overrun.
      {1.0, NumberFormat{0, 1}, ""},
      {1.0, NumberFormat{40, 1}, ""},
      {1.0, NumberFormat{6, 10}, ""},
      {1.0, NumberFormat{6, -1}, ""},
      {-4.0, NumberFormat{INT_MIN, 1}, ""},
      // Huge and non-finite values never show a wrong number.
      {1e25, NumberFormat{24, 0}, "***********************"},  // 23 asterisks
      {1e25, NumberFormat{31, 0}, "    10000000000000000905969664"},
      {std::numeric_limits<double>::infinity(), size6, "*****"},
      {std::nan(""), size6, "*****"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumber(c.value, c.format), c.text)
        << c.value << " size " << c.format.size << " decimals " << c.format.decimals;
  }
}

TEST(CalendarTexts, DisplayAndStamp) {
  EXPECT_EQ(FileTimeText(At(2026, 12, 5, 6, 14, 7)), "05 Dec 26, 14:07");
  EXPECT_EQ(FileTimeText(At(2000, 1, 1, 6, 9, 5)), "01 Jan 00, 09:05");
  EXPECT_EQ(FileTimeText(At(1999, 3, 1, 1, 0, 0)), "01 Mar 99, 00:00");
  EXPECT_EQ(FileTimeText(At(2026, 12, 0, 6)), "");
  EXPECT_EQ(FileTimeText(At(2026, 0, 5, 6)), "");
  EXPECT_EQ(FileTimeText(At(0, 12, 5, 6)), "");
  EXPECT_EQ(FileTimeText(At(2026, 13, 5, 6)), "05 ??? 26, 00:00");  // hand-edited record
  EXPECT_EQ(StampText(At(2026, 12, 5, 6, 14, 7)), "07EA,0C,05,0E,07");
}

}  // namespace
}  // namespace vosko
