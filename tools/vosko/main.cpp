// vosko: the command-line companion of the extension (tools/vosko/cli.h).
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int code = vosko::cli::RunVosko(args, std::cout, std::cerr);
  std::cout.flush();
  return std::cout.fail() && code == vosko::cli::kExitOk ? vosko::cli::kExitFileError : code;
}
