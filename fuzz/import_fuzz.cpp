// Import of arbitrary text with arbitrary line lengths (the first four bytes), huge ones too.
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "engine/import_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::int32_t length;
  std::memcpy(&length, data, 4);
  // Both files in memory, by the same text-mode rules as on disk.
  std::string inBytes(reinterpret_cast<const char*>(data + 4), size - 4);
  static std::string bytes;  // emptied by the "w" open; its capacity is kept across inputs
  vosko::TextFile in, out;
  if (!in.OpenMemory(inBytes, "r+t") || !out.OpenMemory(bytes, "w+t")) std::abort();
  vosko::ImportTextFile(out, in, length);
  if (!out.Close()) std::abort();
  // Every written line is shorter than the line length (pieces of at most L - 1 characters;
  // the line feed inside a piece splits it further).
  std::istringstream lines(bytes);
  for (std::string line; std::getline(lines, line);)
    if (line.size() - (line.ends_with('\r') ? 1 : 0) > (length < 2 ? 1 : static_cast<std::size_t>(length) - 1))
      std::abort();
  return 0;
}
