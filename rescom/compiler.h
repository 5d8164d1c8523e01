// Compiling a resource script into the compiled quotes file.
//
// The leading block of the compiled file holds the index of the texts, so it can only be written
// once every text's length is known. Rather than keep the texts or their lengths in memory, the
// script is parsed twice: the first pass finds the errors and counts the texts and their bytes,
// the second writes the leading block with a zero index, streams the texts straight to the output
// and fills the index in as the offsets become known. The memory stays flat.
#pragma once

#include "rsc_format.h"

#include <string>
#include <string_view>
#include <vector>

namespace rescom {

enum ExitCode : int {
  kExitOk = 0,
  kExitScriptErrors = 1,
  kExitFileError = 2,
  kExitUsage = 3,
};

struct CompileOutcome {
  int exit_code = kExitOk;
  RscSummary summary;              // valid when exit_code is kExitOk
  std::vector<std::string> lines;  // the console report, in order, without line ends
};

// Compiles the script file into `output_path`. The file is written under a temporary name
// beside it and renamed at the end, so on any failure an existing output stays untouched.
// Error lines name the script as given (the batch gives "rquotes.r").
CompileOutcome compile_file(const std::string& script_path, const std::string& output_path);

// The same compiler over bytes in memory; `rsc` receives the compiled file on success and is
// left empty otherwise. A nonzero `piece` reads the script that many bytes at a time.
CompileOutcome compile_bytes(std::string_view script, std::string& rsc, std::string_view script_name = "rquotes.r",
                             std::string_view output_name = "rquotes.rsc", std::size_t piece = 0);

// The output name the batch relies on: the script's name with its extension replaced by
// ".rsc" (or ".rsc" appended when it has none).
std::string default_output_path(const std::string& script_path);

}  // namespace rescom
