// Import of arbitrary text with arbitrary line lengths (the first four bytes), huge ones too.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/import_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::int32_t length;
  std::memcpy(&length, data, 4);
  // Both files in memory, by the same text-mode rules as on disk.
  std::string inBytes(reinterpret_cast<const char*>(data + 4), size - 4);
  vosko::TextFile in;
  static std::string bytes;  // emptied by the "w" open; its capacity is kept across inputs
  vosko::TextFile out;
  if (!in.OpenMemory(inBytes, "r+t") || !out.OpenMemory(bytes, "w+t")) std::abort();
  vosko::ImportTextFile(out, in, length);
  if (!out.Close()) std::abort();
  // Every written line is shorter than the line length (pieces of at most L - 1 characters;
  // the line feed inside a piece splits it further).
  const std::size_t pieceMax = length < 2 ? 1 : static_cast<std::size_t>(length) - 1;
  for (std::size_t start = 0; start <= bytes.size();) {
    const std::size_t i = std::min(bytes.find('\n', start), bytes.size());
    std::size_t len = i - start;
    if (i < bytes.size() && len > 0 && bytes[i - 1] == '\r') --len;
    if (len > pieceMax) std::abort();
    start = i + 1;
  }
  return 0;
}
