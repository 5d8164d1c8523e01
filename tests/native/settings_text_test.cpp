#include "engine/message_text.h"
#include "engine/settings_text.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace vosko {
namespace {

struct FieldsCase {
  const char* text;
  std::array<int, 4> expected;
  int stored;
};

TEST(SettingFields, ScanStopsAtTheFirstMismatch) {
  const FieldsCase cases[] = {
      {"0005,0005,0000,0000", {5, 5, 0, 0}, 4},
      {"0100,0200", {100, 200, 0, 0}, 2},
      // Four characters per field: the fifth digit is not the comma, so only x is read.
      {"12345,0010,0300,0200", {1234, 5, 0, 0}, 1},
      {"-005,-1,  12, 7", {-5, -1, 12, 7}, 4},
      {"+12,3", {12, 3, 0, 0}, 2},
      {"-12345", {-123, 5, 0, 0}, 1},
      {"10,,20,30", {10, 5, 0, 0}, 1},  // an empty field ends the scan
      {"10 ,20", {10, 5, 0, 0}, 1},     // blanks only before a field
      {"abc", {5, 5, 0, 0}, 0},
      {"-,5", {5, 5, 0, 0}, 0},
      {"", {5, 5, 0, 0}, 0},
      {"1,2,3,4,5,6", {1, 2, 3, 4}, 4},
  };
  for (const FieldsCase& c : cases) {
    std::array<int, 4> fields = {5, 5, 0, 0};
    EXPECT_EQ(ScanSettingFields(c.text, fields), c.stored) << c.text;
    EXPECT_EQ(fields, c.expected) << c.text;
  }
}

TEST(SettingFields, FormatPadsAfterTheSignAndKeepsLongNumbers) {
  const int values[] = {5, -5, 12345, 0, -1234, INT_MIN};
  EXPECT_EQ(FormatSettingFields(values), "0005,-005,12345,0000,-1234,-2147483648");
  std::array<int, 8> order = {0, 1, 2, 3, 4, 5, 6, 7};
  std::array<int, 8> back{};
  EXPECT_EQ(ScanSettingFields(FormatSettingFields(order), back), 8);
  EXPECT_EQ(back, order);
}

TEST(SettingInt, BehavesLikeAtoiWithoutOverflow) {
  const std::pair<const char*, int> cases[] = {
      {"1", 1},
      {"0", 0},
      {"yes", 0},
      {"", 0},
      {"  -7x", -7},
      {"+3", 3},
      {"Details", 0},
      {"99", 99},
      {"12abc", 12},
      {"- 5", 0},
      {"99999999999999", INT_MAX},
      {"-99999999999999", INT_MIN},
  };
  for (auto [text, expected] : cases) EXPECT_EQ(ParseSettingInt(text), expected) << text;
}

TEST(SettingVersion, OnlyADecimalNumberIsAVersion) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"1.10", 1.10},        {"0.99", 0.99},        {"2.1", 2.1},          {" 3", 3.0},   {"", std::nullopt},
      {"abc", std::nullopt}, {"nan", std::nullopt}, {"inf", std::nullopt}, {"0x10", 0.0}, {".5", 0.5},
  };
  for (auto [text, expected] : cases) EXPECT_EQ(ParseSettingVersion(text), expected) << text;
}

TEST(FirstWord, TakesTheProgramOfAnExtensionsEntry) {
  EXPECT_EQ(FirstWord("notepad.exe ^.txt"), "notepad.exe");
  EXPECT_EQ(FirstWord("   edit.com"), "edit.com");
  EXPECT_EQ(FirstWord("    "), "");
  EXPECT_EQ(FirstWord(""), "");
}

TEST(MessageNumber, FillsOnlyTheFirstDecimalPlaceholder) {
  EXPECT_EQ(FillMessageNumber("error %d while", 5), "error 5 while");
  EXPECT_EQ(FillMessageNumber("error %d while", 0), "error %d while");
  EXPECT_EQ(FillMessageNumber("error %d while", 65535), "error 65535 while");
  EXPECT_EQ(FillMessageTexts("%s, line %s: %s", {"100%s.lsq", "12", "bad %d"}), "100%s.lsq, line 12: bad %d");
  EXPECT_EQ(FillMessageTexts("%d quotes, %d bytes, %s", {"-1", "7"}), "-1 quotes, 7 bytes, %s");
  EXPECT_EQ(FillMessageNumber("file \"%s\" %d", 7), "file \"%s\" 7");
  EXPECT_EQ(FillMessageNumber("100% done", 7), "100% done");
}

}  // namespace
}  // namespace vosko
