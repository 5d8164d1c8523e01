#include "engine/compiler_report.h"

#include <gtest/gtest.h>

namespace vosko {
namespace {

TEST(CompilerReport, SummaryAndErrorLines) {
  const struct {
    const char* report;
    bool summary;
    int count, largest;
    std::vector<std::pair<std::uint64_t, std::string>> errors;
  } cases[] = {
      {"Resource table of 123 entries, largest = 456 bytes\n", true, 123, 456, {}},
      {"Resource table of 123, largest = 456 bytes\n", true, -1, 456, {}},  // no "entries"
      {"table of  7 entries\nlargest = 9 bytes\n", true, 7, -1, {}},        // only the first line with "of"
      {"of x entries, = bytes\r\n", true, 0, 0, {}},
      {"", false, -1, -1, {}},
      {"rquotes.r(31): error: unterminated string\n"
       "rquotes.r(40): error: NUL byte in a text (texts end at a NUL in the compiled file)\n"
       "rquotes.r: 2 errors, rquotes.rsc not written\n",
       false,
       -1,
       -1,
       {{31, "unterminated string"}, {40, "NUL byte in a text (texts end at a NUL in the compiled file)"}}},
      {"rquotes.r: error: read error\nweird(12x): error: odd\n",
       false,
       -1,
       -1,
       {{0, "rquotes.r: error: read error"}, {0, "weird(12x): error: odd"}}},
  };
  for (const auto& c : cases) {
    const CompilerReport report = ParseCompilerReport(c.report);
    EXPECT_EQ(report.summaryFound, c.summary) << c.report;
    EXPECT_EQ(report.count, c.count) << c.report;
    EXPECT_EQ(report.largest, c.largest) << c.report;
    ASSERT_EQ(report.errors.size(), c.errors.size()) << c.report;
    for (std::size_t i = 0; i < c.errors.size(); ++i) {
      EXPECT_EQ(report.errors[i].scriptLine, c.errors[i].first) << c.report;
      EXPECT_EQ(report.errors[i].message, c.errors[i].second) << c.report;
    }
  }
}

}  // namespace
}  // namespace vosko
