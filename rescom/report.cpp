#include "report.h"

#include <cstdio>

namespace rescom {

std::string summary_line(std::uint32_t count, std::uint32_t largest) {
    char line[80];
    std::snprintf(line, sizeof line, "Resource table of %lu entries, largest = %lu bytes",
                  static_cast<unsigned long>(count), static_cast<unsigned long>(largest));
    return line;
}

std::string error_line(std::string_view script_name, const Diagnostic& d) {
    return shown_user_text(script_name) + "(" + std::to_string(d.line) + "): error: " + d.message;
}

std::string file_error_line(std::string_view name, std::string_view message) {
    return shown_user_text(name) + ": error: " + std::string(message);
}

std::string failure_line(std::string_view script_name, std::size_t errors, bool stopped_early,
                         std::string_view output_name) {
    std::string line = shown_user_text(script_name) + ": ";
    if (stopped_early)
        line += "stopped after " + std::to_string(errors) + " errors";
    else
        line += std::to_string(errors) + (errors == 1 ? " error" : " errors");
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

bool contains_marker(std::string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if ((text[i] == 'o' || text[i] == 'O') && (text[i + 1] == 'f' || text[i + 1] == 'F'))
            return true;
    return false;
}

}  // namespace rescom
