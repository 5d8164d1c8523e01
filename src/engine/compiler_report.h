// What the resource compiler left in rquotes.txt, its console report: the summary line with the
// number of quotes and the size of the largest, and the error lines of a script it refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vosko {

// One "rquotes.r(12): error: unterminated string" line.
struct CompilerError {
  std::uint64_t script_line = 0;  // 0 when the line names no line of the script
  std::string message;            // the text after "error: ", or the whole line
};

struct CompilerReport {
  bool opened = false;                // the report file could be read
  bool summary_found = false;         // a line holding "of" was found
  int count = -1;                     // quotes; -1 when not found
  int largest = -1;                   // bytes of the largest quote; -1 when not found
  std::vector<CompilerError> errors;  // the first error lines, before the summary
};

// The error lines kept for the user: a screenful is enough to start fixing.
inline constexpr std::size_t kReportedCompilerErrors = 5;

// Reads the report from its lines.  The summary is the first line that holds "of": the count is
// read after that "of" when "entries" follows it, the size after the line's first "=" when
// "bytes" follows that; each as a decimal number after optional white space, 0 when no digit
// comes.  Error lines are the lines before it that hold ": error".
CompilerReport ParseCompilerReport(std::string_view text);

// The same from the file at `path`, opened for reading only in text mode as every reader of the
// system does; lines of at most 1023 characters.  A report that cannot be opened reads as
// one without a summary.
CompilerReport ReadCompilerReport(const std::string& path);

}  // namespace vosko
