// The escapes of a string literal in a resource script, in the one place that both sides read:
// rescom's parser decodes them with it, and the DLL's script writer uses it to decide which of
// a quote's backslashes it may hand on as escapes. So the writer can never produce a literal
// that the compiler refuses or reads differently.
//
// Quote text to literal body (`escape_quote_text`), byte by byte from the left:
//   - a backslash and one of  n t r a b f v \ " '  pass unchanged: the user wrote an escape
//     (so a double quote after an odd run of backslashes is already escaped, and after an
//     even run it is not);
//   - every other backslash is doubled and so shows as typed: one at the end of the text,
//     before a digit or an x (numeric escapes can make a NUL or a value above a byte, and in
//     quotes they are regular expressions and back-references far more often than bytes
//     spelled out), or before any other byte;
//   - a double quote becomes \" and a line feed \n (only a host's header text can hold one);
//   - a NUL byte, which no compiled text can hold, is left out;
//   - every other byte (control bytes, CR, Ctrl-Z, bytes above 127) passes unchanged: inside a
//     literal rescom takes it as itself, and the body never puts a line feed after a CR.
// Every backslash of the result starts a two-byte escape whose meaning does not depend on what
// follows it, so the writer may cut the body between such units, pad it with spaces and end
// it with \n without changing or breaking anything.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rescom {

// The byte that the one-character escape `\c` stands for, or -1 when `c` does not make one.
constexpr int one_char_escape(unsigned char c) {
  switch (c) {
    case 'n':
      return '\n';
    case 't':
      return '\t';
    case 'r':
      return '\r';
    case 'a':
      return '\a';
    case 'b':
      return '\b';
    case 'f':
      return '\f';
    case 'v':
      return '\v';
    case '\\':
      return '\\';
    case '"':
      return '"';
    case '\'':
      return '\'';
    default:
      return -1;
  }
}

// Numeric escapes start with a digit or an x; they must stay outside the one-character set,
// or the writer would pass on escapes whose extent depends on the bytes after them.
static_assert(one_char_escape('x') < 0 && one_char_escape('0') < 0 && one_char_escape('9') < 0);

// The body can be at most this many times as long as the text.
inline constexpr std::size_t kEscapeGrowth = 2;

// Writes the literal body for `text` to `out`, which must have room for kEscapeGrowth times
// text.size() bytes, and returns the number of bytes written.
std::size_t escape_quote_text(std::string_view text, char* out);

// The same, as a string.
std::string escape_quote_text(std::string_view text);

}  // namespace rescom
