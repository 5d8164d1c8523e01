#include "engine/quote_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "engine_files.h"

namespace vosko {
namespace {

using testing::ScratchDir;

TEST(QuoteLine, PreparationAndClassification) {
  struct Case {
    const char* piece;
    const char* prepared;
    LineKind kind;
  } const cases[] = {
      {"He said ## nothing\n", "He said ", LineKind::Text},
      {"## a comment\n", "", LineKind::Blank},
      {"   \n", "   ", LineKind::Blank},
      {" \t \n", " \t ", LineKind::Text},
      {"@@HEADER=Thought\n", "@@HEADER=Thought", LineKind::Header},
      {"@@ENDING=x", "@@ENDING=x", LineKind::End},
      {"@@LEFT=4\n", "@@LEFT=4", LineKind::Left},
      {"@@RIGHT\n", "@@RIGHT", LineKind::Right},
      {"@@CENTER=10 ## centred\n", "@@CENTER=10 ", LineKind::Center},
      {"   @@LEFT=4\n", "   @@LEFT=4", LineKind::OtherDirective},
      {"@@left=4\n", "@@left=4", LineKind::OtherDirective},
      {"@@TITLE=Famous\n", "@@TITLE=Famous", LineKind::OtherDirective},
      {"Dinner at 8 @@ home\n", "Dinner at 8 @@ home", LineKind::OtherDirective},
      {"## @@RIGHT=0\n", "", LineKind::Blank},
      {"a lone @ sign\n", "a lone @ sign", LineKind::Text},
  };
  for (const Case& c : cases) {
    const std::string_view prepared = WithoutComment(WithoutLineEnd(CStringPart(c.piece)));
    EXPECT_EQ(prepared, c.prepared) << c.piece;
    EXPECT_EQ(ClassifyLine(prepared), c.kind) << c.piece;
  }
  EXPECT_EQ(CStringPart(std::string_view("ab\0cd\n", 6)), "ab");
}

TEST(QuoteLine, DirectiveValuesAndNumbers) {
  EXPECT_EQ(DirectiveValue("@@END=  -- anon  ").value_or("none"), "  -- anon  ");
  EXPECT_EQ(TrimSpaces("  -- anon  "), "-- anon");
  EXPECT_EQ(TrimSpaces("\tx\t"), "\tx\t");
  EXPECT_FALSE(DirectiveValue("@@LEFT").has_value());
  struct Case {
    const char* value;
    std::optional<int> number;
  } const cases[] = {
      {"4", 4},
      {" \t12abc", 12},
      {"-3", -3},
      {"+7", 7},
      {"abc", std::nullopt},
      {"", std::nullopt},
      {"- 3", std::nullopt},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(DirectiveNumber(c.value), c.number) << c.value;
}

using testing::ReportLog;

TEST(CatalogTexts, FirstTitleAndAuthorLinesWin) {
  struct Case {
    std::string content;
    const char* title;
    const char* author;
  } const cases[] = {
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
  ScratchDir dir;
  for (const Case& c : cases) {
    ReportLog report;
    const auto texts = ReadCatalogTexts(dir.Write("q.lsq", c.content), &report);
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->title, c.title) << c.content;
    EXPECT_EQ(texts->author, c.author) << c.content;
    EXPECT_TRUE(report.entries.empty());
  }
}

TEST(CatalogTexts, ReadOnlyFileIsReportedAndSkipped) {
  ScratchDir dir;
  const std::string path = dir.Write("ro.lsq", "@@TITLE=x\r\n");
  testing::MakeReadOnly(path);
  ReportLog report;
  EXPECT_FALSE(ReadCatalogTexts(path, &report).has_value());
  EXPECT_EQ(report.entries,
            (std::vector<ReportLog::Entry>{{9, 65535, ReportIcon::Information, ReportOwner::MainWindow}}));
}

}  // namespace
}  // namespace vosko
