// vosko: the command-line companion of the extension (tools/vosko/cli.h).
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define VOSKO_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define VOSKO_ISATTY(fd) isatty(fd)
#endif

#include "cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool terminal = VOSKO_ISATTY(2) != 0;
  const int code = vosko::cli::RunVosko(args, std::cout, std::cerr, terminal);
  std::cout.flush();
  return std::cout.fail() && code == vosko::cli::kExitOk ? vosko::cli::kExitFileError : code;
}
