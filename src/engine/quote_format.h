// The quote file format: how a line of a .lsq file is prepared and classified, and the catalog
// reader of a file's title and author.  The compile/rescan reader (engine/script_writer.h)
// and the export reader (engine/export_quotes.h) build on the same pieces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/engine_report.h"

namespace vosko {

class CodePage;
class TextFile;

// Line buffers of the readers, as fgets sizes: a piece holds at most one less character.
inline constexpr std::size_t kQuoteLineBuffer = 1024;   // compile, rescan and export
inline constexpr std::size_t kCatalogLineBuffer = 259;  // catalog title and author
inline constexpr std::size_t kImportLineBuffer = 4096;  // import

// A piece as the C string it was read into: a NUL byte ends the text of the line (the rest of
// that piece is never seen by any reader, as with every string routine of the readers).
std::string_view CStringPart(std::string_view piece);
// The piece without its line end (it ends at the first LF).
std::string_view WithoutLineEnd(std::string_view line);
// A "##" anywhere starts a comment that runs to the end of the line.
std::string_view WithoutComment(std::string_view line);
// Empty, or spaces (32) only.  A line of tabs is text.
bool IsBlankLine(std::string_view line);

enum class LineKind : std::uint8_t {
  Blank,
  Header,          // "@@HEADER" in the first column
  End,             // "@@END"
  Left,            // "@@LEFT"
  Right,           // "@@RIGHT"
  Center,          // "@@CENTER"
  OtherDirective,  // any other line holding "@@": dropped, ends the quote
  Text,
};
// Classifies a prepared line (line end removed, comment cut).  Directive words are prefixes,
// tested in the order above and case-sensitively: '@@ENDING=x' is an end directive, an
// indented or lower-case directive is only an "other" one.
LineKind ClassifyLine(std::string_view prepared);

// The text after the first "=" of a directive line, or nothing when it has none.
std::optional<std::string_view> DirectiveValue(std::string_view line);
// Without leading and trailing spaces (32 only).
std::string_view TrimSpaces(std::string_view text);
// A "%d" conversion of a directive value: white space, an optional sign, decimal digits.
// Nothing when no digit follows.  Values beyond the int range are held at its ends.
std::optional<int> DirectiveNumber(std::string_view value);

// Title and author of a quote file for the catalog.  This reader removes no comments: the
// first piece (of at most 258 characters) that holds "@@TITLE" and an "=" anywhere gives the
// title, its text after the first "=" moved left in its own length, then cut at the first CR
// and at the first LF; the author likewise with "@@AUTHOR".
struct CatalogTexts {
  std::string title;   // "No description found..." when the file has no title line
  std::string author;  // empty when it has no author line
  bool title_found = false;
  bool author_found = false;
};
// Opens the file for reading only, as all quote readers do (a read-only file is read), its text
// converted to the ANSI of `page` (null: the built-in 1252) for the list.  On failure reports
// IDS_OPEN_FAILED (information icon, the scan goes on) and returns nothing.
std::optional<CatalogTexts> ReadCatalogTexts(const std::string& path, EngineReport* report,
                                             const CodePage* page = nullptr);
// The same from a file already open for reading, on disk or in memory.
CatalogTexts ReadCatalogTexts(TextFile& file);

}  // namespace vosko
