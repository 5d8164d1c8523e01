// Quote file lines, the catalog's texts and rows, compile records, the compiler's report, list
// columns and the settings file's values.
#include "engine/quote_format.h"

#include <climits>
#include <tuple>

#include "engine/catalog_entry.h"
#include "engine/compile_record.h"
#include "engine/compiler_report.h"
#include "engine/list_columns.h"
#include "engine/message_text.h"
#include "engine/settings_text.h"
#include "engine/text_file.h"
#include "engine_files.h"

namespace vosko {
namespace {

using testing::At;

TEST(QuoteLine, PreparationAndClassification) {
  const std::tuple<const char*, const char*, LineKind> cases[] = {
      {"He said ## nothing\n", "He said ", LineKind::Text},
      {"## a comment\n", "", LineKind::Blank},
      {"   \n", "   ", LineKind::Blank},
      {" \t \n", " \t ", LineKind::Text},  // a line of spaces only is blank; tabs are text
      {"@@HEADER=Thought\n", "@@HEADER=Thought", LineKind::Header},
      {"@@ENDING=x", "@@ENDING=x", LineKind::End},
      {"@@LEFT=4\n", "@@LEFT=4", LineKind::Left},
      {"@@RIGHT\n", "@@RIGHT", LineKind::Right},
      {"@@CENTER=10 ## centred\n", "@@CENTER=10 ", LineKind::Center},
      {"   @@LEFT=4\n", "   @@LEFT=4", LineKind::OtherDirective},
      {"@@left=4\n", "@@left=4", LineKind::OtherDirective},
      {"Dinner at 8 @@ home\n", "Dinner at 8 @@ home", LineKind::OtherDirective},
      {"## @@RIGHT=0\n", "", LineKind::Blank},
      {"a lone @ sign\n", "a lone @ sign", LineKind::Text},
  };
  for (const auto& [piece, prepared, kind] : cases) {
    EXPECT_EQ(WithoutComment(WithoutLineEnd(CStringPart(piece))), prepared) << piece;
    EXPECT_EQ(ClassifyLine(prepared), kind) << piece;
  }
  EXPECT_EQ(CStringPart(std::string_view("ab\0cd\n", 6)), "ab");
  EXPECT_EQ(DirectiveValue("@@END=  -- anon  ").value_or("none"), "  -- anon  ");
  EXPECT_FALSE(DirectiveValue("@@LEFT").has_value());
  EXPECT_EQ(TrimSpaces("  -- anon\t "), "-- anon\t");
  const std::pair<const char*, std::optional<int>> numbers[] = {{" \t12abc", 12},
                                                                {"-3", -3},
                                                                {"+7", 7},
                                                                {"abc", std::nullopt},
                                                                {"", std::nullopt},
                                                                {"- 3", std::nullopt},
                                                                {"99999999999", INT_MAX},
                                                                {"-99999999999", INT_MIN}};
  for (const auto& [value, number] : numbers) EXPECT_EQ(DirectiveNumber(value), number) << value;
}

TEST(CatalogTexts, FirstTitleAndAuthorLinesWin) {
  const std::tuple<std::string, const char*, const char*> cases[] = {
      {"@@TITLE=Famous Sayings\r\n@@AUTHOR=Anon\r\n", "Famous Sayings", "Anon"},
      {"just quotes\r\n", "No description found...", ""},
      {"a\r\nb\r\n## @@TITLE=Old title\r\nc\r\nd\r\ne\r\nf\r\ng\r\n@@TITLE=New title\r\n", "Old title", ""},
      {"x=1 @@TITLE\r\n", "1 @@TITLE", ""},
      {"@@TITLE=  Sayings  \r\n", "Sayings  ", ""},
      {"@@TITLE=  Last line", "Last line  ", ""},  // no line end: the moved spaces stay
      {"@@TITLE=a\rb\r\n", "a", ""},
      {"@@AUTHOR=@@AUTHOR@@\r\n@@TITLE=t ## kept\r\n", "t ## kept", "@@AUTHOR@@"},
      {"@@TITLE\r\n@@TITLE=second\r\n", "second", ""},
      // Pieces of 258 characters: a title beyond them is read from the second piece.
      {std::string(255, 'x') + "@@TITLE=far\r\n", "No description found...", ""},
      {std::string(258, 'x') + "@@TITLE=far\r\n", "far", ""},
  };
  for (const auto& [content, title, author] : cases) {
    std::string bytes = content;
    TextFile file;
    ASSERT_TRUE(file.OpenMemory(bytes, "r+t"));
    const CatalogTexts texts = ReadCatalogTexts(file);
    EXPECT_EQ(std::tie(texts.title, texts.author), std::tuple(title, author)) << content;
  }
}

TEST(CatalogEntry, SizeColumnAndAWholeRow) {
  const std::pair<std::uint64_t, const char*> sizes[] = {
      {0, "0.0k"},        {100, ".1k"},      {1000, "1.k"},         {2345, "2.3k"},           {102400, "100.0k"},
      {1048576, "1024k"}, {1048577, "1.0M"}, {1048576000, "1000M"}, {0x100000000ull, "4096M"}};  // past 4 GiB
  for (const auto& [bytes, text] : sizes) EXPECT_EQ(CatalogSizeText(bytes), text) << bytes;
  FileListing listing;
  listing.name = "quotes.lsq";
  listing.size = 2345;
  listing.created = At(2026, 3, 1, 0, 9, 15);
  listing.written = At(2026, 12, 5, 0, 14, 7);
  const CatalogEntry entry = MakeCatalogEntry(listing, "Famous Sayings", "Anon", "07EA,0C,05,0E,10,2a");
  EXPECT_EQ(entry.texts, (std::array<std::string, 8>{"Famous Sayings", "Anon", "2.3k", "42", "05 Dec 26, 14:07",
                                                     "01 Mar 26, 09:15", "05 Dec 26, 14:16", "quotes.lsq"}));
  EXPECT_EQ(entry.compile_time, At(2026, 12, 5, 0, 14, 16));
  const std::string long_text(300, 'x');
  listing.name = long_text;
  for (int column : {kColumnTitle, kColumnAuthor, kColumnFileName})
    EXPECT_EQ(MakeCatalogEntry(listing, long_text, long_text, "").Text(column).size(), kCatalogTextLimit) << column;
}

TEST(CatalogEntry, CompileRecordColumns) {
  EXPECT_EQ(CompileRecordText(At(2026, 12, 5, 0, 14, 7), 123), "07EA,0C,05,0E,07,7b");
  EXPECT_EQ(CompileRecordText(CalendarTime{}, -1), "0000,00,00,00,00,ffffffff");
  const std::tuple<const char*, const char*, const char*, std::int32_t> cases[] = {
      {"", "", "", 0},  // never compiled or rescanned
      {"07d0,01,0F,09,05,1F", "31", "15 Jan 00, 09:05", 31},
      {"0000,00,00,00,00,7", "7", "", 7},     // rescanned, never compiled
      {"07EA,0D,05,0E,10,2a", "42", "", 42},  // month 13: no date, no crash
      {"07EA,FF,05,0E,10,2a", "42", "", 42},
      {"7EA, C, 5,E,7,  ff", "255", "05 Dec 26, 14:07", 255},
      {"07EA,0C,05", "0", "05 Dec 26, 00:00", 0},
      {"garbage", "0", "", 0},
      {"07EAF,0C,05,0E,07,1", "0", "", 0},  // four year digits at most: the fifth is not a comma
      {"07D0,01,0F,09,05,7fffffff", "2147483647", "15 Jan 00, 09:05", INT32_MAX},
      // Hand-edited counts that are no quote count show an empty cell, never "-1".
      {"07D0,01,0F,09,05,ffffffff", "", "15 Jan 00, 09:05", -1},
      {"07D0,01,0F,09,05,-2", "", "15 Jan 00, 09:05", -2},
      {"07D0,01,0F,09,05,100000007", "", "15 Jan 00, 09:05", 7},  // wrapped past 32 bits
  };
  for (const auto& [record, count, date, quotes] : cases) {
    FileListing listing;
    const CatalogEntry entry = MakeCatalogEntry(listing, "t", "", record);
    EXPECT_EQ(std::tuple(entry.Text(kColumnQuoteCount), entry.Text(kColumnCompileDate), entry.quote_count),
              std::tuple(count, date, quotes))
        << record;
  }
}

TEST(CatalogEntry, PathsAndTheRecordIndex) {
  EXPECT_EQ(QuoteFilePath("C:\\Q\\", "a.lsq"), "C:\\Q\\a.lsq");
  const std::string folder = "C:\\" + std::string(240, 'f');
  EXPECT_EQ(QuoteFilePath(folder, std::string(15, 'n'))->size(), 259u);
  EXPECT_EQ(QuoteFilePath(folder, std::string(16, 'n')), std::nullopt);
  using namespace std::string_literals;
  const CompileRecordIndex index = CompileRecordIndex::FromSection(
      "quotes.lsq=07EA,0C,05,0E,07,7b\0Other.LSQ = 07D0,01,0F,09,05,1f \0"
      "quotes.lsq=0000,00,00,00,00,1\0"  // a second equal key is never found
      "quoted.lsq=\"07EA,0C,05,0E,07,1\"\0novalue.lsq\0=orphan\0\0"s);
  const std::pair<const char*, const char*> found[] = {{"QUOTES.LSQ", "07EA,0C,05,0E,07,7b"},
                                                       {"other.lsq", "07D0,01,0F,09,05,1f"},
                                                       {"quoted.lsq", "07EA,0C,05,0E,07,1"},
                                                       {"novalue.lsq", ""},
                                                       {"missing.lsq", ""}};
  for (const auto& [name, value] : found) EXPECT_EQ(index.Find(name), value) << name;
  EXPECT_FALSE(CompileRecordIndex::Covers("z\xC3\xBCrich.lsq"));
  // A batch of settings writes holds when its keys read back as written and no other went.
  CompileRecordIndex expected = index;
  expected.Set(" NEW.lsq ", "\"07EA,0C,05,0E,07,2\"");
  CompileRecordIndex after = CompileRecordIndex::FromSection("new.lsq=07EA,0C,05,0E,07,2\0\0"s);
  EXPECT_FALSE(index.Holds(expected));
  EXPECT_FALSE(after.Holds(expected));
  after = index;
  after.Set("new.lsq", "07EA,0C,05,0E,07,2");
  EXPECT_TRUE(after.Holds(expected));
  after.Set("OTHER.lsq", "07D0,01,0F,09,05,20");
  EXPECT_FALSE(after.Holds(expected));
  // A file left by a batch that never ended keeps every record when it holds the copy's keys.
  EXPECT_TRUE(after.HoldsKeys(expected));
  EXPECT_FALSE(index.HoldsKeys(expected));
}

TEST(CompilerReport, SummaryAndErrorLines) {
  using Errors = std::vector<std::pair<std::uint64_t, std::string>>;
  const struct {
    const char* report;
    Errors errors;
    bool summary = false;
    int count = -1, largest = -1;
  } cases[] = {
      {"Resource table of 123 entries, largest = 456 bytes\n", {}, true, 123, 456},
      {"Resource table of 123, largest = 456 bytes\n", {}, true, -1, 456},  // no "entries"
      {"table of  7 entries\nlargest = 9 bytes\n", {}, true, 7, -1},        // only the first line with "of"
      {"", {}},
      {"r(31): error: unterminated string\nr(40): error: NUL\nr: 2 errors\n",
       {{31, "unterminated string"}, {40, "NUL"}}},
      {"rquotes.r: error: read error\nw(12x): error: odd\n",
       {{0, "rquotes.r: error: read error"}, {0, "w(12x): error: odd"}}},
  };
  for (const auto& c : cases) {
    const CompilerReport report = ParseCompilerReport(c.report);
    EXPECT_EQ(std::tuple(report.summary_found, report.count, report.largest), std::tuple(c.summary, c.count, c.largest))
        << c.report;
    Errors errors;
    for (const auto& e : report.errors) errors.emplace_back(e.script_line, e.message);
    EXPECT_EQ(errors, c.errors) << c.report;
  }
}

constexpr ColumnValues kAllShown = {1, 1, 1, 1, 1, 1, 1, 1};
constexpr ColumnValues kAuthorHidden = {1, 0, 1, 1, 1, 1, 1, 1};

TEST(ListColumns, HiddenColumnsShiftPositionsButNotWidths) {
  EXPECT_EQ(ShownColumns({0, 2, -1, 1, 0, 0, 0, 1}), (std::vector<int>{0, 3, 7}));  // the title is always shown
  // Closed with Author hidden: position 1 held Size (90), the last position nothing.
  const ColumnValues stored = {150, 90, 60, 100, 100, 100, 70, 0};
  const ColumnValues by_column = WidthsByColumn(stored, kAuthorHidden);
  EXPECT_EQ(by_column, (ColumnValues{150, 0, 90, 60, 100, 100, 100, 70}));
  EXPECT_EQ(WidthsByPosition(by_column, kAuthorHidden), stored);
  EXPECT_EQ(WidthsByPosition(by_column, kAllShown), by_column);  // showing Author keeps the others' widths
  for (const auto& [width, applied] : {std::pair{0, std::optional<int>()}, {1, 1}, {1000, 1000}, {1001, std::nullopt}})
    EXPECT_EQ(AppliedWidth(width), applied) << width;
}

TEST(ListColumns, OrdersRoundTripAndBrokenOnesFallBack) {
  const struct {
    ColumnValues visible, stored, by_column;
  } cases[] = {
      // Filename dragged to the front with Author hidden: list column 6 shows Filename.
      {kAuthorHidden, {6, 0, 1, 2, 3, 4, 5, 7}, {7, 0, 2, 3, 4, 5, 6, 1}},
      {{1, 0, 0, 1, 0, 0, 0, 1}, {2, 1, 0, 3, 4, 5, 6, 7}, {7, 3, 0, 1, 2, 4, 5, 6}},
      {kAllShown, {7, 0, 1, 2, 3, 4, 5, 6}, {7, 0, 1, 2, 3, 4, 5, 6}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OrderByColumn(c.stored, c.visible), c.by_column);
    EXPECT_EQ(OrderByPosition(c.by_column, c.visible), c.stored);
  }
  // A key present with an empty value leaves every entry 0; hand edits repeat or overrun.
  EXPECT_EQ(OrderByColumn({0, 0, 0, 0, 0, 0, 0, 0}, kAllShown), (ColumnValues{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(OrderByColumn({3, 3, 99, -1, 1, 2, 0, 4}, kAllShown), (ColumnValues{3, 1, 2, 0, 4, 5, 6, 7}));
  EXPECT_EQ(OrderByColumn({7, 0, 1, 2, 3, 4, 5, 6}, kAuthorHidden), (ColumnValues{0, 2, 3, 4, 5, 6, 7, 1}));
  EXPECT_EQ(DisplayOrder({7, 0, 2, 3, 4, 5, 6, 1}, kAuthorHidden), (std::vector<int>{6, 0, 1, 2, 3, 4, 5}));
  // Author shown again after the order was taken without it: it goes last.
  EXPECT_EQ(DisplayOrder({7, 0, 2, 3, 4, 5, 6, 1}, kAllShown), (std::vector<int>{7, 0, 2, 3, 4, 5, 6, 1}));
}

TEST(SettingsText, FieldsNumbersAndMessages) {
  const std::tuple<const char*, std::array<int, 4>, int> fields[] = {
      {"0005,0005,0000,0000", {5, 5, 0, 0}, 4},
      // Four characters per field: the fifth digit is not the comma, so only x is read.
      {"12345,0010,0300,0200", {1234, 5, 0, 0}, 1},
      {"-005,-1,  12, 7", {-5, -1, 12, 7}, 4},
      {"10,,20,30", {10, 5, 0, 0}, 1},  // an empty field ends the scan
      {"10 ,20", {10, 5, 0, 0}, 1},     // blanks only before a field
      {"-,5", {5, 5, 0, 0}, 0},
      {"1,2,3,4,5,6", {1, 2, 3, 4}, 4},
  };
  for (const auto& [text, expected, stored] : fields) {
    std::array<int, 4> got = {5, 5, 0, 0};
    EXPECT_EQ(ScanSettingFields(text, got), stored) << text;
    EXPECT_EQ(got, expected) << text;
  }
  const int values[] = {5, -5, 12345, INT_MIN};
  EXPECT_EQ(FormatSettingFields(values), "0005,-005,12345,-2147483648");
  for (const auto& [text, value] :
       {std::pair{"  -7x", -7}, {"Details", 0}, {"- 5", 0}, {"99999999999999", INT_MAX}, {"-99999999999999", INT_MIN}})
    EXPECT_EQ(ParseSettingInt(text), value) << text;
  for (const auto& [text, version] : {std::pair{"1.10", std::optional(1.10)},
                                      {" 3", 3.0},
                                      {"", std::nullopt},
                                      {"nan", std::nullopt},
                                      {"inf", std::nullopt},
                                      {"0x10", 0.0}})
    EXPECT_EQ(ParseSettingVersion(text), version) << text;
  EXPECT_EQ(FirstWord("   notepad.exe ^.txt"), "notepad.exe");
  // A "%s" or a second "%d" in a message is never handed a number it cannot take.
  EXPECT_EQ(FillMessageNumber("error %d while %d", 65535), "error 65535 while %d");
  EXPECT_EQ(FillMessageNumber("error %d while", 0), "error %d while");
  EXPECT_EQ(FillMessageNumber("file \"%s\" %d, 100% done", 7), "file \"%s\" 7, 100% done");
  EXPECT_EQ(FillMessageTexts("%s, line %s: %s", {"100%s.lsq", "12", "bad %d"}), "100%s.lsq, line 12: bad %d");
  EXPECT_EQ(FillMessageTexts("%d quotes, %d bytes, %s", {"-1", "7"}), "-1 quotes, 7 bytes, %s");
}

}  // namespace
}  // namespace vosko
