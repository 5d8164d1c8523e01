// Recompile of arbitrary compiled files: every byte after the first 255 arrives, NULs as
// two line ends.
#include <cstdlib>
#include <string>

#include "engine/recompile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Both files in memory, by the same rules as on disk.
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string pmsBytes(input);
  vosko::TextFile pms;
  static std::string bytes;  // emptied by the "w" open; its capacity is kept across inputs
  vosko::TextFile out;
  if (!pms.OpenMemory(pmsBytes, "r+b") || !out.OpenMemory(bytes, "w+t")) std::abort();
  vosko::RecompileHostQuotes(out, pms, nullptr);
  if (!out.Close()) std::abort();
  const std::size_t ff = input.find('\xff');
  std::string expected;
  if (ff != std::string::npos) {
    for (char c : input.substr(ff + 1)) {
      if (c == '\0')
        expected += "\r\n\r\n";
      else if (c == '\n')
        expected += "\r\n";
      else
        expected += c;
    }
  }
  if (bytes != expected) std::abort();
  return 0;
}
