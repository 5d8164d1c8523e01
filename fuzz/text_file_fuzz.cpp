// Text-mode reading and writing against an obvious reference: Ctrl-Z ends, CR LF becomes LF,
// pieces as fgets cuts them for a buffer size taken from the input, every LF written becomes
// CR LF.  This is the target that goes through real files: a file on disk and a file held in
// memory (as the other targets use) must read and write alike.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/text_file.h"

namespace {

std::vector<std::string> Expected(const std::string& bytes, bool binary, std::size_t bufferSize) {
  std::string text;
  const std::size_t end = binary ? bytes.size() : std::min(bytes.find('\x1a'), bytes.size());
  for (std::size_t i = 0; i < end; ++i)
    if (binary || !(bytes[i] == '\r' && i + 1 < end && bytes[i + 1] == '\n')) text += bytes[i];
  std::vector<std::string> pieces(1);
  for (char c : text) {
    pieces.back() += c;
    if (c == '\n' || pieces.back().size() == bufferSize - 1) pieces.emplace_back();
  }
  if (pieces.back().empty()) pieces.pop_back();
  return pieces;
}

std::vector<std::string> Pieces(vosko::TextFile& file, std::size_t bufferSize) {
  std::vector<std::string> pieces;
  for (std::string_view p; !(p = file.ReadPiece(bufferSize)).empty();) pieces.emplace_back(p);
  return pieces;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t bufferSize = 2 + data[0] % 64;
  const bool binary = (data[0] & 0x80) != 0;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  // Any bytes as a file's contents, read.
  std::string held = bytes;
  vosko::TextFile memory;
  Check(memory.OpenMemory(held, binary ? "r+b" : "r+t"));
  Check(Pieces(memory, bufferSize) == Expected(bytes, binary, bufferSize) && held == bytes);

  // The same bytes written in two parts (split where the buffer size says), then read back
  // from the start, on disk (a scratch file per fuzzing process) and in memory.
  std::string onDisk;
  for (char c : bytes) (c == '\n' && !binary ? onDisk += "\r\n" : onDisk += c);
  const std::vector<std::string> expected = Expected(onDisk, binary, bufferSize);
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("vosko_fuzz_" + std::to_string(std::random_device{}()))).string();
  std::string written = "left over";
  vosko::TextFile disk;
  Check(disk.Open(path, binary ? "w+b" : "w+t") && memory.OpenMemory(written, binary ? "w+b" : "w+t"));
  const std::size_t split = std::min(bytes.size(), bufferSize);
  for (vosko::TextFile* f : {&disk, &memory}) {
    f->Write(std::string_view(bytes).substr(0, split));
    f->Write(std::string_view(bytes).substr(split));
    Check(f->SizeOnDisk() == static_cast<std::int64_t>(onDisk.size()) && f->Rewind());
    Check(Pieces(*f, bufferSize) == expected && f->Close());
  }
  std::ifstream file(path, std::ios::binary);
  Check(written == onDisk && std::string(std::istreambuf_iterator<char>(file), {}) == onDisk);
  return 0;
}
