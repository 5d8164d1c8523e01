#include "engine/text_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine_files.h"

namespace vosko {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;

std::vector<std::string> Pieces(TextFile& file, std::size_t bufferSize) {
  std::vector<std::string> pieces;
  for (std::string_view p; !(p = file.ReadPiece(bufferSize)).empty();) pieces.emplace_back(p);
  return pieces;
}

std::vector<std::string> Pieces(const std::string& path, std::size_t bufferSize) {
  TextFile file;
  EXPECT_TRUE(file.Open(path, "r+t"));
  return Pieces(file, bufferSize);
}

// The same bytes held in memory must read exactly as the file on disk does.
std::vector<std::string> MemoryPieces(std::string bytes, std::size_t bufferSize) {
  TextFile file;
  EXPECT_TRUE(file.OpenMemory(bytes, "r+t"));
  return Pieces(file, bufferSize);
}

// What the Windows runtime's text mode and fgets give, written the slow, obvious way.
std::vector<std::string> ReferencePieces(std::string bytes, std::size_t bufferSize) {
  bytes = bytes.substr(0, bytes.find('\x1a'));
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  std::vector<std::string> pieces;
  std::string piece;
  for (char c : text) {
    piece += c;
    if (c == '\n' || piece.size() == bufferSize - 1) pieces.push_back(std::move(piece)), piece.clear();
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

TEST(TextFileRead, TranslatesLikeTheWindowsRuntime) {
  struct Case {
    std::string bytes;
    std::size_t bufferSize;
    std::vector<std::string> pieces;
  } const cases[] = {
      {"one\r\ntwo\r\n", 1024, {"one\n", "two\n"}},
      {"lone\rcr\r\n", 1024, {"lone\rcr\n"}},
      {"unix\nends\n", 1024, {"unix\n", "ends\n"}},
      {"last line", 1024, {"last line"}},
      {"cr at end\r", 1024, {"cr at end\r"}},
      {"double\r\r\n", 1024, {"double\r\n"}},
      {"stop\x1a here\r\n", 1024, {"stop"}},
      {"cr\r\x1a\n", 1024, {"cr\r"}},
      {"\x1a", 1024, {}},
      {"", 1024, {}},
      {"\r\n\r\n", 1024, {"\n", "\n"}},
      {std::string("nul\0byte\n", 9), 1024, {std::string("nul\0byte\n", 9)}},
      // A piece may end between the two halves of a translated CR LF.
      {"abcd\r\nef", 5, {"abcd", "\n", "ef"}},
      {"abcdefghij\n", 5, {"abcd", "efgh", "ij\n"}},
      {std::string(1500, 'x') + "\r\n", 1024, {std::string(1023, 'x'), std::string(477, 'x') + "\n"}},
      {std::string(300, 'y') + "\r\n", 259, {std::string(258, 'y'), std::string(42, 'y') + "\n"}},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    const std::string path = dir.Write("in.txt", c.bytes);
    EXPECT_EQ(Pieces(path, c.bufferSize), c.pieces) << testing::Crlf(c.bytes);
    EXPECT_EQ(MemoryPieces(c.bytes, c.bufferSize), c.pieces) << testing::Crlf(c.bytes);
  }
}

// Random CR, LF and Ctrl-Z bytes across the reader's internal buffer boundaries, with the
// buffer sizes the readers use.
TEST(TextFileRead, MatchesTheReferenceOverLargeRandomFiles) {
  ScratchDir dir;
  std::mt19937 rng(1234);
  const char alphabet[] = {'a', 'b', ' ', '\r', '\n', '\r', '\n', '"'};
  for (int round = 0; round < 6; ++round) {
    std::string bytes(300000 + round * 7777, 'x');
    for (char& c : bytes) c = alphabet[rng() % sizeof alphabet];
    if (round == 5) bytes[250000] = '\x1a';
    const std::string path = dir.Write("big.txt", bytes);
    for (std::size_t size : {1024u, 259u, 4096u, 2u}) {
      const std::vector<std::string> expected = ReferencePieces(bytes, size);
      ASSERT_EQ(Pieces(path, size), expected) << "round " << round << " size " << size;
      ASSERT_EQ(MemoryPieces(bytes, size), expected) << "round " << round << " size " << size;
    }
  }
}

// Every case is written to a file on disk and to one held in memory, with the same result.
TEST(TextFileWrite, TurnsEveryLineFeedIntoCrLf) {
  struct Case {
    std::string_view before;
    std::string_view written;
    const char* mode;
    std::string_view onDisk;
  } const cases[] = {
      {"", "a\nb", "w+t", "a\r\nb"},
      {"", "\n\n", "w+t", "\r\n\r\n"},
      {"", "cr lf\r\n", "w+t", "cr lf\r\r\n"},
      {"", "a\nb\r", "wb", "a\nb\r"},
      {"old contents", "new\n", "w+t", "new\r\n"},
      {"old\r\n", "more\n", "a+t", "old\r\nmore\r\n"},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    TextFile file;
    ASSERT_TRUE(file.Open(dir.Write("out.txt", c.before), c.mode));
    EXPECT_TRUE(file.Write(c.written));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadBytes(dir.Path("out.txt")), c.onDisk);
    std::string memory(c.before);
    ASSERT_TRUE(file.OpenMemory(memory, c.mode));
    EXPECT_TRUE(file.Write(c.written));
    EXPECT_EQ(file.SizeOnDisk(), static_cast<std::int64_t>(c.onDisk.size()));
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(memory, c.onDisk);
  }
  std::string big;  // crosses the output buffer many times, line ends at every offset
  for (int i = 0; i < 60000; ++i) big += std::string(static_cast<std::size_t>(i % 13), 'x') + "\n";
  std::string memory;
  for (const bool onDisk : {true, false}) {
    TextFile file;
    ASSERT_TRUE(onDisk ? file.Open(dir.Path("big.txt"), "w+t") : file.OpenMemory(memory, "w+t"));
    file.Write(big);
    EXPECT_TRUE(file.Close());
  }
  EXPECT_EQ(ReadBytes(dir.Path("big.txt")), testing::Crlf(big));
  EXPECT_EQ(memory, testing::Crlf(big));
}

TEST(TextFileOpen, UpdateNeedsAWritableExistingFile) {
  ScratchDir dir;
  const std::string path = dir.Write("q.lsq", "x\r\n");
  TextFile file;
  EXPECT_TRUE(file.Open(path, "r+t"));
  EXPECT_EQ(file.SizeOnDisk(), 3);
  file.Close();
  EXPECT_FALSE(file.Open(dir.Path("missing.lsq"), "r+t"));
  testing::MakeReadOnly(path);
  EXPECT_FALSE(file.Open(path, "r+t"));
  EXPECT_TRUE(file.Open(path, "rt"));  // plain reading is still allowed
}

}  // namespace
}  // namespace vosko
