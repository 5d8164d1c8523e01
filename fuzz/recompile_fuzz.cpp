// Recompile of arbitrary compiled files: every byte after the first 255 arrives, NULs as
// two line ends.
#include <cstdlib>
#include <string>

#include "engine_fuzz_files.h"
#include "exchange/recompile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string pms = vosko::fuzz::WriteScratch("rquotes.pms", data, size);
  const std::string outPath = vosko::fuzz::ScratchPath("new.lsq");
  vosko::TextFile out;
  if (!out.Open(outPath, "w+t")) std::abort();
  vosko::RecompileHostQuotes(out, pms, nullptr);
  out.Close();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t ff = input.find('\xff');
  std::string expected;
  if (ff != std::string::npos) {
    for (char c : input.substr(ff + 1)) {
      if (c == '\0') expected += "\r\n\r\n";
      else if (c == '\n') expected += "\r\n";
      else expected += c;
    }
  }
  if (vosko::fuzz::ReadScratch(outPath) != expected) std::abort();
  return 0;
}
