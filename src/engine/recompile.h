// Recompile: the texts of the host's compiled quotes file back into quotes of a new quote file.
#pragma once

#include <string>
#include <string_view>

#include "engine/engine_report.h"
#include "engine/text_file.h"

namespace vosko {

// Appends to `out` the lines of one quote (each ending in LF, then the empty line that ends the
// quote) that a compile reads back as exactly `text`, a text of a compiled file:
//   - a backslash that the compile would read as the start of an escape (one before
//     n t r a b f v \ " ' or before the \n below) is doubled; every other byte is kept as it
//     is: double quotes, leading blanks, tabs, CR bytes and 8-bit bytes;
//   - each line of the text is a line of the quote, except that an empty or blank line (spaces
//     only), which would end the quote, is joined to a neighbour with the escape \n; lines are
//     joined only where needed, and never beyond the compile's bound of a string line.
// A text that today's quote lines hold is written as each of its lines, then an empty line.
// Returns false when the text holds what no quote line can carry: an empty text or one blank
// line, a line holding "@@" (a directive) or "##" (a comment), a Ctrl-Z (the end of a text
// file), a line longer than a string line holds.  Such a text is still written line by line.
bool AppendQuoteLines(std::string_view text, std::string& out);

// Appends to `out` (the new quote file, open for writing in text mode; left open) every text
// of the compiled file at `pms_path`, that is every NUL-ended run of bytes after its first byte
// 255, by AppendQuoteLines; bytes after the last NUL are copied as they are.  The file is
// opened for reading only (a read-only file is read), else IDS_OPEN_FAILED; a failed write gives
// IDS_FILE_WRITE_FAILED and stops.  A file without a byte 255 appends nothing.
void RecompileHostQuotes(TextFile& out, const std::string& pms_path, EngineReport* report);
// The same from a compiled file already open for reading in binary mode, on disk or in memory.
void RecompileHostQuotes(TextFile& out, TextFile& in, EngineReport* report);

}  // namespace vosko
