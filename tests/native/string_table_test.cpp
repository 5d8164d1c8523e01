#include "contract/string_table.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace vosko {
namespace {

using namespace std::string_view_literals;

struct TextCase {
  unsigned id;
  std::string_view expected;
  const char* what;
};

// Entries whose bytes are easy to get wrong on the way from strings.txt through the
// generator: line breaks, trailing blanks, backslashes, double quotes, empty lines.
const TextCase kTextCases[] = {
    {1,
     "You are running an old version of Pegasus. It's not possible to run this extension "
     "with this version of Pegasus.\n\nYou should consider upgrading to a newer release.",
     "two line breaks in a row"},
    {70,
     "Your version of the COMCTL32.dll is outdated, please install the newer Internet "
     "Explorer... ",
     "trailing blank"},
    {11, "Are you sure you want to delete the quote file \"%s\" and all its contents...", "double quotes around %s"},
    {35, "\\Tarno.pm", "leading backslash"},
    {83, "# Quotes", "column heading starting with #"},
    {150, "", "empty script header line"},
    {161, "##      C:\\PMAIL> copy rquotes.rsc f:\\mail\\9000001\\rquotes.pms", "four backslashes"},
    {165, "##   quoted strings, ending with \\n wherever you want a line", "backslash and n as two characters"},
    {174, "headers off       #  Ignore this command", "inner run of blanks"},
    {414, "## ------------------------------------------------------------\n", "rule line that ends in a line break"},
};

TEST(StringTableTest, TrickyEntriesHoldTheirExactBytes) {
  for (const TextCase& c : kTextCases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " (" << c.what << ")");
    const std::string_view text = TableText(c.id);
    EXPECT_EQ(std::string(text), std::string(c.expected));
  }
}

struct BlockCase {
  unsigned first;
  unsigned last;
  const char* what;
};

// The code walks these ranges id by id; a gap would silently give an empty line or name.
const BlockCase kBlocks[] = {
    {80, 87, "column headings"},    {90, 93, "view names"},       {150, 175, "script header lines"},
    {200, 207, "batch file lines"}, {400, 458, "template lines"},
};

TEST(StringTableTest, LineBlocksHaveNoGaps) {
  std::set<unsigned> ids;
  for (const TableEntry& entry : AllTableTexts()) ids.insert(entry.id);
  for (const BlockCase& block : kBlocks) {
    for (unsigned id = block.first; id <= block.last; ++id) {
      EXPECT_TRUE(ids.count(id)) << block.what << ": id " << id << " missing";
    }
  }
}

struct FormatCase {
  unsigned id;
  int numbers;  // "%d" conversions the caller fills
  int texts;    // "%s" conversions the caller fills
};

// Texts passed through a printf-style formatter: their conversions must match what the
// callers pass, and they may hold no other '%'.
const FormatCase kFormatCases[] = {
    {9, 1, 0},  {11, 0, 1}, {14, 1, 1}, {18, 0, 1}, {23, 1, 0},
    {27, 1, 0}, {34, 1, 0}, {48, 1, 0}, {57, 2, 0}, {68, 0, 1},
};

TEST(StringTableTest, FormattedTextsHoldTheExpectedConversions) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id);
    const std::string_view text = TableText(c.id);
    int numbers = 0;
    int texts = 0;
    int others = 0;
    for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 2)) {
      const std::string_view conversion = text.substr(at, 2);
      if (conversion == "%d"sv) {
        ++numbers;
      } else if (conversion == "%s"sv) {
        ++texts;
      } else {
        ++others;
      }
    }
    EXPECT_EQ(numbers, c.numbers);
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(others, 0);
  }
}

}  // namespace
}  // namespace vosko
