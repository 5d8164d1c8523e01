#include "engine/catalog_entry.h"

#include <gtest/gtest.h>

#include <string>

#include "engine_files.h"

namespace vosko {
namespace {

using testing::At;

TEST(CatalogEntry, SizeColumn) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0.0k"},
      {100, ".1k"},
      {512, ".5k"},
      {1000, "1.k"},
      {1536, "1.5k"},
      {2345, "2.3k"},
      {10240, "10.0k"},
      {102400, "100.0k"},
      {1048576, "1024k"},
      {1048577, "1.0M"},
      {1572864, "1.5M"},
      {1048576000, "1000M"},
      {0x100000000ull, "4096M"},  // past 4 GiB the two halves of the size still add up
  };
  for (const auto& c : cases) EXPECT_EQ(CatalogSizeText(c.bytes), c.text) << c.bytes;
}

TEST(CatalogEntry, AWholeRow) {
  FileListing listing;
  listing.name = "quotes.lsq";
  listing.size = 2345;
  listing.created = At(2026, 3, 1, 0, 9, 15);
  listing.written = At(2026, 12, 5, 0, 14, 7);
  const CatalogEntry entry = MakeCatalogEntry(listing, "Famous Sayings", "Anon", "07EA,0C,05,0E,10,2a");
  const std::array<std::string, 8> expected = {
      "Famous Sayings", "Anon", "2.3k", "42", "05 Dec 26, 14:07", "01 Mar 26, 09:15", "05 Dec 26, 14:16", "quotes.lsq"};
  EXPECT_EQ(entry.texts, expected);
  EXPECT_EQ(entry.quote_count, 42);
  EXPECT_EQ(entry.compile_time, At(2026, 12, 5, 0, 14, 16));
}

TEST(CatalogEntry, CompileRecordColumns) {
  const struct {
    const char* record;
    const char* count;
    const char* date;
    std::int32_t quote_count;
  } cases[] = {
      {"", "", "", 0},  // never compiled or rescanned
      {"07D0,01,0F,09,05,1f", "31", "15 Jan 00, 09:05", 31},
      {"0000,00,00,00,00,7", "7", "", 7},     // rescanned, never compiled
      {"07EA,0D,05,0E,10,2a", "42", "", 42},  // month 13: no date, no crash
      {"07EA,FF,05,0E,10,2a", "42", "", 42},
      {"garbage", "0", "", 0},
      {"07D0,01,0F,09,05,7fffffff", "2147483647", "15 Jan 00, 09:05", INT32_MAX},
      // Hand-edited counts that are no quote count show an empty cell, never "-1".
      {"07D0,01,0F,09,05,ffffffff", "", "15 Jan 00, 09:05", -1},
      {"07D0,01,0F,09,05,80000000", "", "15 Jan 00, 09:05", INT32_MIN},
      {"07D0,01,0F,09,05,-2", "", "15 Jan 00, 09:05", -2},
      {"07D0,01,0F,09,05,100000007", "", "15 Jan 00, 09:05", 7},  // wrapped past 32 bits
      {"07D0,01,0F,09,05,-0", "0", "15 Jan 00, 09:05", 0},
  };
  for (const auto& c : cases) {
    FileListing listing;
    listing.name = "a.lsq";
    const CatalogEntry entry = MakeCatalogEntry(listing, "t", "", c.record);
    EXPECT_EQ(entry.Text(kColumnQuoteCount), c.count) << c.record;
    EXPECT_EQ(entry.Text(kColumnCompileDate), c.date) << c.record;
    EXPECT_EQ(entry.quote_count, c.quote_count) << c.record;
  }
}

TEST(CatalogEntry, LongTextsAreCut) {
  const std::string long_text(300, 'x');
  FileListing listing;
  listing.name = long_text;
  const CatalogEntry entry = MakeCatalogEntry(listing, long_text, long_text, "");
  for (int column : {kColumnTitle, kColumnAuthor, kColumnFileName}) {
    EXPECT_EQ(entry.Text(column).size(), kCatalogTextLimit) << column;
  }
}

TEST(CatalogEntry, PathsInTheQuoteFolder) {
  EXPECT_EQ(QuoteFilePath("C:\\Q", "a.lsq"), "C:\\Q\\a.lsq");
  EXPECT_EQ(QuoteFilePath("C:\\Q\\", "a.lsq"), "C:\\Q\\a.lsq");
  const std::string folder = "C:\\" + std::string(240, 'f');
  EXPECT_EQ(QuoteFilePath(folder, std::string(15, 'n'))->size(), 259u);
  EXPECT_EQ(QuoteFilePath(folder, std::string(16, 'n')), std::nullopt);
}

TEST(CatalogEntry, RecordIndexAnswersAsAProfileReadWould) {
  using namespace std::string_literals;
  const std::string section =
      "quotes.lsq=07EA,0C,05,0E,07,7b\0"
      "Other.LSQ = 07D0,01,0F,09,05,1f \0"
      "quotes.lsq=0000,00,00,00,00,1\0"  // a second equal key is never found
      "quoted.lsq=\"07EA,0C,05,0E,07,1\"\0"
      "novalue.lsq\0"
      "=orphan\0"
      "\0"s;
  const CompileRecordIndex index = CompileRecordIndex::FromSection(section);
  const struct {
    const char* name;
    const char* value;
  } cases[] = {
      {"quotes.lsq", "07EA,0C,05,0E,07,7b"},
      {"QUOTES.LSQ", "07EA,0C,05,0E,07,7b"},
      {"other.lsq", "07D0,01,0F,09,05,1f"},
      {"quoted.lsq", "07EA,0C,05,0E,07,1"},
      {"novalue.lsq", ""},
      {"missing.lsq", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(index.Find(c.name), c.value) << c.name;

  EXPECT_TRUE(CompileRecordIndex::Covers("quotes.lsq"));
  EXPECT_FALSE(CompileRecordIndex::Covers("z\xC3\xBCrich.lsq"));
  EXPECT_EQ(CompileRecordIndex::FromSection("").size(), 0u);
}

}  // namespace
}  // namespace vosko
