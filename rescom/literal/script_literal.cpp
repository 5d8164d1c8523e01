#include "script_literal.h"

#include <cstring>

namespace rescom {

std::size_t escape_quote_text(std::string_view text, char* out) {
  char* const start = out;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    // Plain runs are copied whole: most quote text has nothing to escape.
    const char* stop = p;
    while (stop < end && *stop != '\\' && *stop != '"' && *stop != '\n' && *stop != '\0') ++stop;
    std::memcpy(out, p, static_cast<std::size_t>(stop - p));
    out += stop - p;
    p = stop;
    if (p == end) break;
    const char c = *p++;
    switch (c) {
      case '\\':
        *out++ = '\\';
        if (p < end && one_char_escape(static_cast<unsigned char>(*p)) >= 0) {
          *out++ = *p++;
        } else {
          *out++ = '\\';
        }
        break;
      case '"':
        *out++ = '\\';
        *out++ = '"';
        break;
      case '\n':
        *out++ = '\\';
        *out++ = 'n';
        break;
      default:  // NUL: left out
        break;
    }
  }
  return static_cast<std::size_t>(out - start);
}

std::string escape_quote_text(std::string_view text) {
  std::string body(kEscapeGrowth * text.size(), '\0');
  body.resize(escape_quote_text(text, body.data()));
  return body;
}

}  // namespace rescom
