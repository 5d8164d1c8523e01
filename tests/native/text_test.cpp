// Text files as the Windows runtime reads and writes them, the texts made from numbers, dates
// and times, and the string table's formatted messages.
#include <climits>
#include <filesystem>
#include <cmath>
#include <limits>
#include <map>
#include <random>

#include "contract/string_table.h"
#include "engine/text_file.h"
#include "engine/text_format.h"
#include "engine_files.h"

namespace vosko {
namespace {

using testing::At;
using testing::Crlf;
using testing::ReadBytes;

std::vector<std::string> Pieces(TextFile& file, std::size_t bufferSize) {
  std::vector<std::string> pieces;
  for (std::string_view p; !(p = file.ReadPiece(bufferSize)).empty();) pieces.emplace_back(p);
  return pieces;
}

// Random CR, LF and Ctrl-Z bytes across the reader's internal buffer boundaries, with the
// buffer sizes the readers use, on disk and in memory, against what the Windows runtime's text
// mode and fgets give, written the slow, obvious way.
TEST(TextFileRead, MatchesTheReferenceOverLargeRandomFiles) {
  testing::ScratchDir dir;
  std::mt19937 rng(1234);
  const char alphabet[] = {'a', 'b', ' ', '\r', '\n', '\r', '\n', '"'};
  for (int round = 0; round < 6; ++round) {
    std::string bytes(300000 + round * 7777, 'x');
    for (char& c : bytes) c = alphabet[rng() % sizeof alphabet];
    if (round == 5) bytes[250000] = '\x1a';
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\x1a'; ++i) {
      if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) text += bytes[i];
    }
    const std::string path = dir.Write("big.txt", bytes);
    for (std::size_t size : {1024u, 259u, 4096u, 2u}) {
      std::vector<std::string> expected(1);
      for (char c : text) {
        expected.back() += c;
        if (c == '\n' || expected.back().size() == size - 1) expected.emplace_back();
      }
      if (expected.back().empty()) expected.pop_back();
      TextFile disk, memory;
      std::string held = bytes;
      ASSERT_TRUE(disk.Open(path, "r+t") && memory.OpenMemory(held, "r+t"));
      ASSERT_EQ(Pieces(disk, size), expected) << "round " << round << " size " << size;
      ASSERT_EQ(Pieces(memory, size), expected) << "round " << round << " size " << size;
    }
  }
}

TEST(TextFileWrite, AppendsReplacesAndCrossesTheBuffer) {
  testing::ScratchDir dir;
  TextFile file;
  ASSERT_TRUE(file.Open(dir.Write("out.txt", "old\r\n"), "a+t"));
  EXPECT_TRUE(file.Write("more\n") && file.Close());
  EXPECT_EQ(ReadBytes(dir.Path("out.txt")), "old\r\nmore\r\n");
  std::string big;  // crosses the output buffer many times, line ends at every offset
  for (int i = 0; i < 60000; ++i) big += std::string(static_cast<std::size_t>(i % 13), 'x') + "\n";
  ASSERT_TRUE(file.Open(dir.Path("out.txt"), "w+t"));
  EXPECT_TRUE(file.Write(big) && file.Close());
  EXPECT_EQ(ReadBytes(dir.Path("out.txt")), Crlf(big));
  // Updating needs a writable file that exists; plain reading does not.
  testing::MakeReadOnly(dir.Path("out.txt"));
  EXPECT_FALSE(file.Open(dir.Path("out.txt"), "r+t") || file.Open(dir.Path("missing.txt"), "r+t"));
  EXPECT_TRUE(file.Open(dir.Path("out.txt"), "rt"));
}

// A file far bigger than any quote collection (an archive named .lsq) is not held whole: it
// reads in pieces as the ANSI bytes it has, mark and all.  The file is sparse, so cheap.
TEST(TextFileRead, AHugeFileReadsInPiecesAsAnsi) {
  testing::ScratchDir dir;
  const std::string path = dir.Write("huge.lsq", "\xEF\xBB\xBF@@TITLE=\xC3\xA9\r\n");
  std::filesystem::resize_file(path, (std::uintmax_t{64} << 20) + 1);
  TextFile file;
  ASSERT_TRUE(file.OpenConverted(path, nullptr));
  EXPECT_EQ(file.Encoding(), TextEncoding::Ansi);
  EXPECT_EQ(file.ReadPiece(1024), "\xEF\xBB\xBF@@TITLE=\xC3\xA9\n");
  EXPECT_EQ(file.SizeOnDisk(), (std::int64_t{64} << 20) + 1);
}

TEST(TextFormat, ReplaceAlignAndTrim) {
  const std::tuple<const char*, const char*, const char*, const char*> replaced[] = {
      {"@@DATE@@ and @@DATE@@", "@@DATE@@", "Sat 12/05/26", "Sat 12/05/26 and @@DATE@@"},
      {"abc\n", "\n", "", "abc"},
      {"abc", "", "x", "old"},  // nothing to find: the destination stays
      {"", "a", "x", "old"},
  };
  for (const auto& [source, find, replacement, result] : replaced) {
    std::string destination = "old";
    ReplaceFirst(source, destination, find, replacement);
    EXPECT_EQ(destination, result) << source;
  }
  std::string same = "a @@TIME@@ b";  // source and destination the same string
  ReplaceFirst(same, same, "@@TIME@@", "a much longer replacement than the placeholder");
  EXPECT_EQ(same, "a a much longer replacement than the placeholder b");
  const std::tuple<const char*, Align, int, const char*> aligned[] = {
      {"ab", Align::Centre, 5, " ab  "},
      {"  ab  ", Align::Right, 6, "    ab"},
      {"  ab  ", Align::Left, -1, "ab    "},
      {"abcdef", Align::Right, 3, "abc"},        // the field only: right ends the text
      {"  abcdef", Align::Left, 4, "ab  cdef"},  // the rest after the field stays
      {"", Align::Right, 4, "    "},
      {"ab", Align::Left, 40, "ab                                      "},  // wider than the text
  };
  for (const auto& [text, mode, width, result] : aligned) {
    std::string s = text;
    AlignText(s, mode, width);
    EXPECT_EQ(s, result) << "'" << text << "' " << width;
  }
  for (const auto& [text, length, result] :
       {std::tuple{"abc \t ", -1, "abc \t"}, {"   ", -1, ""}, {"ab   cd", 4, "ab"}, {"ab", 10, "ab"}}) {
    std::string s = text;
    TrimTrailingSpaces(s, length);
    EXPECT_EQ(s, result) << text;
  }
}

class FakeIntl final : public RegionalSettings {
 public:
  std::map<std::string, std::string> keys;
  int Integer(const char* key, int fallback) const override {
    return keys.count(key) ? std::atoi(keys.at(key).c_str()) : fallback;
  }
  std::string Text(const char* key, const char* fallback) const override {
    return keys.count(key) ? keys.at(key) : fallback;
  }
};

TEST(TextFormat, DatesAndTimesFollowTheRegionalSettings) {
  const std::tuple<std::map<std::string, std::string>, CalendarTime, const char*, const char*> cases[] = {
      {{}, At(2026, 12, 5, 6, 14, 7, 9), "Sat 12/05/26", "  2:07:09 PM  "},
      {{{"iDate", "1"}, {"iTime", "1"}}, At(2026, 12, 5, 6, 14, 7, 9), "Sat 5/12/26", "14:07:09"},
      {{{"iDate", "2"}}, At(2005, 12, 5, 1), "Mon 5/12/05", "  12:00:00 AM  "},
      {{{"iDate", "7"}, {"sDate", ".-"}}, At(2026, 1, 2, 5, 12, 30), "Fri 1.02.26", "  12:30:00 PM  "},
      {{{"sDate", ""}}, At(2026, 1, 2, 5, 0, 30), "Fri 10226", "  12:30:00 AM  "},
      {{{"s1159", "vorm."}, {"sTime", "."}}, At(2026, 1, 2, 9, 9, 5), "??? 1/02/26", "  9.05.00 vorm  "},
  };
  for (const auto& [keys, now, date, time] : cases) {
    FakeIntl intl;
    intl.keys = keys;
    EXPECT_EQ(CurrentDateText(intl, now), date);
    EXPECT_EQ(CurrentTimeText(intl, now), time);
  }
  EXPECT_EQ(FileTimeText(At(2000, 1, 1, 6, 9, 5)), "01 Jan 00, 09:05");
  EXPECT_EQ(FileTimeText(At(2026, 12, 0, 6)), "");
  EXPECT_EQ(FileTimeText(At(0, 12, 5, 6)), "");
  EXPECT_EQ(FileTimeText(At(2026, 13, 5, 6)), "05 ??? 26, 00:00");  // hand-edited record
  EXPECT_EQ(StampText(At(2026, 12, 5, 6, 14, 7)), "07EA,0C,05,0E,07");
}

TEST(TextFormat, FormatNumberSqueezesNumbersIntoTheirField) {
  const NumberFormat size6{6, 1, false, false, true, true}, right8{8, 2, false, false, false, true},
      zero8{8, 2, false, true, false, true}, trimmed8{8, 2, false, false, false, false},
      blank0{4, 0, true, false, false, false};
  const std::tuple<double, NumberFormat, const char*> cases[] = {
      {0, size6, "0.0  "},
      {0.5, size6, ".5   "},
      {0.977, size6, "1.   "},
      {12345.6, size6, "12346"},
      {123456, size6, "*****"},
      {-0.5, size6, "-.5  "},
      {999.96, size6, "1000 "},
      {3.25, right8, "   3.25"},
      {3.25, zero8, "0003.25"},
      {-2.5, zero8, "-002.50"},
      {2.5, trimmed8, "    2.5"},
      {0.3, blank0, ""},
      {0.7, blank0, "  1"},
      {100.0, size6, "100.0"},
      {1e25, NumberFormat{31, 0}, "    10000000000000000905969664"},
      {std::numeric_limits<double>::infinity(), size6, "*****"},  // never a wrong number
      {std::nan(""), size6, "*****"},
  };
  for (const auto& [value, format, text] : cases)
    EXPECT_EQ(FormatNumber(value, format), text) << value << " size " << format.size << " decimals " << format.decimals;
}

// Texts passed through a printf-style formatter: their conversions match what the callers
// pass, and they hold no other '%'.
TEST(StringTable, FormattedTextsHoldTheExpectedConversions) {
  const std::tuple<unsigned, int, int> cases[] = {{9, 1, 0},  {11, 0, 1}, {14, 1, 1}, {18, 0, 1}, {23, 1, 0},
                                                  {27, 1, 0}, {34, 1, 0}, {48, 1, 0}, {57, 2, 0}, {68, 0, 1}};
  for (const auto& [id, numbers, texts] : cases) {
    const std::string_view text = TableText(id);
    int counts[3] = {};
    for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 2))
      ++counts[text.substr(at, 2) == "%d" ? 0 : text.substr(at, 2) == "%s" ? 1 : 2];
    EXPECT_EQ(std::tuple(counts[0], counts[1], counts[2]), std::tuple(numbers, texts, 0)) << id;
  }
}

}  // namespace
}  // namespace vosko
