// Import of a plain text file into a new quote file: every line of the text file becomes one
// quote, wrapped at word boundaries into lines shorter than the line length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine_report.h"
#include "engine/text_file.h"

namespace vosko {

// The shortest line length an import takes, in the Import dialog and on the command line.
inline constexpr std::int64_t kShortestImportLineLength = 46;

// A typed line length: decimal digits only.  Empty text, any other character and a number
// beyond a signed 32-bit value read as 0, which every caller refuses.
std::int64_t ParseLineLength(std::string_view text);

// Appends the quotes of the text file at `import_path` to `out` (the new quote file, open for
// writing in text mode; left open).  Each line (read in pieces of up to 4095 characters) gets
// one space appended and is cut into pieces of at most line_length - 1 characters, each ending
// after its last space when that space is not its first character; every piece is written
// after a line feed, and a line feed closes the line.  The Import dialog passes lengths above
// 45; any length from 2 to 2^31 - 1 works (smaller ones act as 2).  Reports IDS_IMPORT_OPEN_FAILED when
// the text file cannot be opened for reading.
void ImportTextFile(TextFile& out, const std::string& import_path, std::int64_t line_length, EngineReport* report);
// The same from a text file already open for reading, on disk or in memory.
void ImportTextFile(TextFile& out, TextFile& in, std::int64_t line_length);

}  // namespace vosko
