// How the bytes of a user's file are text: the encoding of a quote, import or export file,
// decided once per file, and the conversions between it, UTF-8 and the host's ANSI code page.
//
// The host reads its quotes in the Windows ANSI code page, and ANSI files stay byte for byte
// what they are: only a file that says or proves it is Unicode is converted.  A character that
// the code page cannot hold is never dropped silently: it becomes its best-fit equivalent or
// "?", and the conversion lists it with its line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vosko {

enum class TextEncoding : std::uint8_t {
  Ansi,     // the code page's bytes, as every file was before Unicode editors
  Utf8,     // valid UTF-8 holding at least one multi-byte sequence, no mark
  Utf8Bom,  // starts with EF BB BF
  Utf16Le,  // starts with FF FE
  Utf16Be,  // starts with FE FF
};

// The encoding of a whole file's bytes: a byte-order mark decides; otherwise bytes that are
// valid UTF-8 and hold at least one multi-byte sequence are UTF-8; everything else is ANSI
// (so plain ASCII is ANSI, and its path through every command is unchanged).
TextEncoding DetectEncoding(std::string_view bytes);
// The length of the byte-order mark that starts a file of this encoding (0, 2 or 3).
std::size_t MarkLength(TextEncoding encoding);
bool IsUnicode(TextEncoding encoding);

// A Windows ANSI code page: how its bytes read as characters and which bytes hold a character.
class CodePage {
 public:
  virtual ~CodePage() = default;
  virtual unsigned Number() const = 0;
  // Appends the UTF-8 of ANSI text in this page.  Bytes the page leaves undefined read as
  // the C1 control of the same value, as the system's conversion does.
  virtual void AppendUtf8(std::string_view ansi, std::string& utf8) const = 0;
  enum class Fit : std::uint8_t { Exact, BestFit, None };
  // Appends the bytes of one character: its own (Exact), a look-alike (BestFit: an accented
  // letter without its accent, a typographic quote or dash as its plain form), or nothing.
  virtual Fit Encode(char32_t character, std::string& ansi) const = 0;
};

// The single-byte Windows code pages built in (874 and 1250 to 1258), or null for another
// number.  The tables are generated at build time, so the command-line tool and the DLL
// convert alike on every platform.
const CodePage* BuiltInCodePage(unsigned number);
inline constexpr unsigned kDefaultCodePage = 1252;

// A character the target encoding could not hold, and where it was.
struct ReplacedCharacter {
  std::uint64_t line = 0;  // counted from 1 over the converted text's line feeds
  char32_t character = 0;  // U+FFFD stands for a byte sequence that was no character
  bool best_fit = false;   // a look-alike was written; otherwise "?"
};

struct ConvertedText {
  std::string bytes;
  std::vector<ReplacedCharacter> replaced;
};

// A file's bytes (mark included) as ANSI text of `page`: the mark is dropped, UTF-8 and UTF-16
// are converted character by character; ANSI bytes are returned unchanged.  Invalid sequences
// and unpaired surrogates count as replaced characters.
ConvertedText ToAnsi(std::string_view file_bytes, TextEncoding encoding, const CodePage& page);
// DetectEncoding and ToAnsi in one pass, for a reader that needs both: a file's encoding, and
// for a Unicode file its text as ToAnsi gives it into `text` (left empty for an ANSI file,
// whose bytes are its text).
TextEncoding DetectToAnsi(std::string_view file_bytes, const CodePage& page, ConvertedText& text);
// The same as UTF-8 (no mark).  ANSI bytes are decoded through `page`; nothing is replaced
// except invalid sequences.
ConvertedText ToUtf8(std::string_view file_bytes, TextEncoding encoding, const CodePage& page);
// UTF-8 text as the bytes of a file of `encoding`, without a mark (a writer adds one to a new
// file only): ANSI through `page` with replacements, UTF-16 in its byte order.
ConvertedText FromUtf8(std::string_view utf8, TextEncoding encoding, const CodePage& page);
// Appends the UTF-8 bytes of one character (at most U+10FFFF).
void AppendUtf8Character(char32_t character, std::string& utf8);
// The byte-order mark of an encoding: empty for ANSI and unmarked UTF-8.
std::string_view ByteOrderMark(TextEncoding encoding);

}  // namespace vosko
