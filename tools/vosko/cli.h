// vosko, the command-line companion of the extension: the same engine and the same compiler,
// without a window.  RunVosko is the whole program over its arguments and two streams, so the
// tests run every command in-process, natively and under Wine alike.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vosko::cli {

// Exit codes scripts can test; the compiler's own codes where the meaning is the same.
enum Exit : int {
  kExitOk = 0,
  kExitRefused = 1,    // the compiler refused the quotes (errors shown as FILE:LINE: MESSAGE)
  kExitFileError = 2,  // an input could not be read or an output written
  kExitUsage = 3,      // a wrong command line
};

// `args` are the arguments after the program name.  `progress`: `err` is a terminal, where
// long runs show how far they are.
int RunVosko(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress = false);

}  // namespace vosko::cli
