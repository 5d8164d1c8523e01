#include "report.h"

namespace rescom {

std::string summary_line(std::uint32_t count, std::uint32_t largest) {
  return "Resource table of " + decimal(count) + " entries, largest = " + decimal(largest) + " bytes";
}

std::string error_line(std::string_view script_name, const Diagnostic& d) {
  return shown_user_text(script_name) + "(" + decimal(d.line) + "): error: " + d.message;
}

std::string file_error_line(std::string_view name, std::string_view message) {
  return shown_user_text(name) + ": error: " + std::string(message);
}

std::string failure_line(std::string_view script_name, std::size_t errors, bool stopped_early,
                         std::string_view output_name) {
  std::string line = shown_user_text(script_name) + ": ";
  if (stopped_early)
    line += "stopped after " + decimal(errors) + " errors";
  else
    line += decimal(errors) + (errors == 1 ? " error" : " errors");
  return line + ", " + shown_user_text(output_name) + " not written";
}

std::string shown_user_text(std::string_view text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  char previous = 0;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool after_o = previous == 'o' || previous == 'O';
    if (byte < 0x20 || byte > 0x7E || c == '\'' || ((c == 'f' || c == 'F') && after_o)) {
      shown += "\\x";
      shown += kDigits[byte >> 4];
      shown += kDigits[byte & 0xF];
    } else {
      shown += c;
    }
    previous = c;
  }
  return shown;
}

std::string decimal(std::uint64_t value) {
  char digits[20];
  std::size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::string text;
  while (n > 0) text.push_back(digits[--n]);
  return text;
}

bool contains_marker(std::string_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if ((text[i] == 'o' || text[i] == 'O') && (text[i + 1] == 'f' || text[i + 1] == 'F')) return true;
  return false;
}

}  // namespace rescom
