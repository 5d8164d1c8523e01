// Text-mode reading against an obvious reference: Ctrl-Z ends, CR LF becomes LF, pieces as
// fgets cuts them, for a buffer size taken from the input.
#include <cstdlib>
#include <string>
#include <vector>

#include "engine_fuzz_files.h"
#include "quotes/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t bufferSize = 2 + data[0] % 64;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string path = vosko::fuzz::WriteScratch("text.txt", data + 1, size - 1);

  const std::string upToCtrlZ = bytes.substr(0, bytes.find('\x1a'));
  std::string text;
  for (std::size_t i = 0; i < upToCtrlZ.size(); ++i) {
    if (upToCtrlZ[i] == '\r' && i + 1 < upToCtrlZ.size() && upToCtrlZ[i + 1] == '\n') continue;
    text += upToCtrlZ[i];
  }
  std::vector<std::string> expected;
  std::string piece;
  for (char c : text) {
    piece += c;
    if (c == '\n' || piece.size() == bufferSize - 1) expected.push_back(piece), piece.clear();
  }
  if (!piece.empty()) expected.push_back(piece);

  vosko::TextFile file;
  if (!file.Open(path, "r+t")) std::abort();
  std::vector<std::string> got;
  for (std::string_view p; !(p = file.ReadPiece(bufferSize)).empty();) got.emplace_back(p);
  if (got != expected) std::abort();
  return 0;
}
