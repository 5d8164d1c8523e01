#include "engine/settings_text.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace vosko {
namespace {

// The blanks that scanf and atoi skip.
bool IsScanBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One "%4d": blanks, then at most four characters of sign and digits, at least one digit.
std::optional<int> ScanField(std::string_view text, size_t& pos) {
  while (pos < text.size() && IsScanBlank(text[pos])) ++pos;
  size_t start = pos;
  size_t limit = pos + 4;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  int value = 0;
  size_t digits_start = pos;
  while (pos < text.size() && pos < limit && IsDigit(text[pos])) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  if (pos == digits_start) {
    pos = start;
    return std::nullopt;
  }
  return negative ? -value : value;
}

}  // namespace

int ScanSettingFields(std::string_view text, std::span<int> fields) {
  size_t pos = 0;
  int stored = 0;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != ',') break;
      ++pos;
    }
    std::optional<int> value = ScanField(text, pos);
    if (!value) break;
    fields[i] = *value;
    ++stored;
  }
  return stored;
}

std::string FormatSettingFields(std::span<const int> values) {
  std::string out;
  char field[16];
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ',';
    int n = std::snprintf(field, sizeof field, "%04d", values[i]);
    if (n > 0) out.append(field, static_cast<size_t>(n) < sizeof field ? n : sizeof field - 1);
  }
  return out;
}

int ParseSettingInt(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && IsScanBlank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  long long value = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    value = value * 10 + (text[pos] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    ++pos;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  return static_cast<int>(value);
}

std::optional<double> ParseSettingVersion(std::string_view text) {
  // strtod needs a terminated string; a version never needs more than a few characters,
  // but a hand-edited value may be long, so copy what fits and let strtod stop early.
  std::string copy(text.substr(0, 255));
  // Only a plain decimal number counts: "inf", "nan" or hexadecimal forms are not
  // versions, and a NaN would compare as not below any bound.
  size_t first = copy.find_first_not_of(" \t\n\v\f\r");
  if (first == std::string::npos) return std::nullopt;
  size_t digit = first + ((copy[first] == '+' || copy[first] == '-') ? 1 : 0);
  if (digit >= copy.size() || !(IsDigit(copy[digit]) || copy[digit] == '.')) return std::nullopt;
  if (copy.compare(digit, 2, "0x") == 0 || copy.compare(digit, 2, "0X") == 0) {
    copy.resize(digit + 1);  // the "0" before an x is the whole number
  }
  const char* begin = copy.c_str();
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  if (end == begin) return std::nullopt;
  return value;
}

std::string_view FirstWord(std::string_view text) {
  size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  size_t end = text.find(' ', start);
  return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace vosko
