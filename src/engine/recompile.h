// Recompile: the texts of the host's compiled quotes file back into quotes of a new quote file.
#pragma once

#include <string>

#include "engine/engine_report.h"
#include "engine/text_file.h"

namespace vosko {

// Appends to `out` (the new quote file, open for writing in text mode; left open) every byte
// of the compiled file at `pmsPath` after its first byte 255: a NUL ends a quote (two line
// feeds), every other byte is copied as it is, including data between the texts.  The file
// must open for update in binary mode, else IDS_OPEN_FAILED; a failed write gives IDS_FILE_WRITE_FAILED and
// stops.  A file without a byte 255 appends nothing.
void RecompileHostQuotes(TextFile& out, const std::string& pmsPath, EngineReport* report);
// The same from a compiled file already open for reading in binary mode, on disk or in memory.
void RecompileHostQuotes(TextFile& out, TextFile& in, EngineReport* report);

}  // namespace vosko
