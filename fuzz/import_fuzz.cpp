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
  // An odd length reads the text converted to UTF-8, which is wrapped by characters.
  const bool utf8 = length & 1;
  if (utf8) in.OpenMemoryConverted(inBytes, nullptr, vosko::TextFile::ReadAs::Utf8);
  if ((!utf8 && !in.OpenMemory(inBytes, "r+t")) || !out.OpenMemory(bytes, "w+t")) std::abort();
  vosko::ImportTextFile(out, in, length);
  if (!out.Close()) std::abort();
  // Every written line is shorter than the line length (pieces of at most L - 1 characters;
  // the line feed inside a piece splits it further), and no line parts a UTF-8 sequence.
  std::istringstream lines(bytes);
  for (std::string line; std::getline(lines, line);) {
    std::size_t characters = 0;
    for (char c : line) characters += !utf8 || (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (characters - (line.ends_with('\r') ? 1 : 0) > (length < 2 ? 1 : static_cast<std::size_t>(length) - 1))
      std::abort();
    if (utf8 && !line.empty() && vosko::DetectEncoding("a" + line) == vosko::TextEncoding::Ansi &&
        line.find_first_of(std::string("\x80\xFF", 2)) != std::string::npos)
      std::abort();
  }
  return 0;
}
