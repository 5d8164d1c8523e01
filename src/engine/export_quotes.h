// Export: the quotes of quote files into one text file, one quote per line, without comments,
// directives, headers or alignment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/progress.h"
#include "engine/engine_report.h"
#include "engine/text_file.h"

namespace vosko {

// One export run over several quote files.
struct ExportRun {
  TextFile* out = nullptr;       // the export file, open for writing in text mode
  bool any_quote = false;        // a quote was written: the next one starts on a new line
  std::int64_t bytes_done = 0;   // each line read adds its length plus 2
  std::int64_t total_bytes = 0;  // the sum of the sizes of the run's quote files
  Progress* progress = nullptr;
  EngineReport* report = nullptr;
  // The export file's encoding (ExportEncoding gives it): ANSI, or UTF-8 with a mark, which
  // the first file of the run writes.  ANSI sources are decoded through `code_page` (null:
  // the built-in 1252) into a UTF-8 export.
  TextEncoding encoding = TextEncoding::Ansi;
  const CodePage* code_page = nullptr;
  bool mark_written = false;
};

// The encoding of an export of `paths`: ANSI, byte for byte as ever, when every file is ANSI
// (or cannot be read: its own open reports it); otherwise UTF-8 with a mark.
TextEncoding ExportEncoding(const std::vector<std::string>& paths);

// Appends the quotes of the quote file at `path`: the text lines of a quote (each cut at its
// first "##" and then at its first "@@", trailing spaces removed; a blank remainder ends the
// quote) joined by single spaces, quotes on separate lines, no line end after the last one.
// Returns the number of quotes written, or -1 after IDS_OPEN_FAILED when the file cannot be opened.
int ExportQuoteFile(ExportRun& run, const std::string& path, std::string_view title);
// The same from a quote file already open for reading, on disk or in memory, whose text is
// served in the run's encoding (TextFile::OpenConverted to ANSI or to UTF-8).
int ExportQuoteFile(ExportRun& run, TextFile& file, std::string_view title);

}  // namespace vosko
