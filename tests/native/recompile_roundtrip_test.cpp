// Compiled file -> Recompile -> compile gives back the same texts in the same order; and every
// reader takes a read-only file like any other.
#include "rescom_test_support.h"

#include "engine/compiler_report.h"
#include "engine/export_quotes.h"
#include "engine/import_text.h"
#include "engine/quote_format.h"
#include "engine/recompile.h"
#include "engine/script_writer.h"

namespace vosko {
namespace {

using namespace std::string_literals;

// The texts as a compiled file (only what follows its first 255 matters to Recompile), turned
// into a quote file in memory, and that file compiled by the script writer and rescom.
std::vector<std::string> RecompiledTexts(const std::vector<std::string>& texts) {
  std::string pmsBytes = "VOSKOQTS\xff", quoteBytes, scriptBytes;
  for (const std::string& text : texts) pmsBytes += text + '\0';
  TextFile pms, quotes, script;
  EXPECT_TRUE(pms.OpenMemory(pmsBytes, "rb") && quotes.OpenMemory(quoteBytes, "w+t"));
  RecompileHostQuotes(quotes, pms, nullptr);
  EXPECT_TRUE(quotes.Rewind() && script.OpenMemory(scriptBytes, "w+t"));
  ScriptRun run;
  EXPECT_TRUE(WriteScriptHeader(script, "d", "t", run, nullptr));
  EXPECT_EQ(AppendQuoteFile(&script, quotes, "new.lsq", "new", run, {}), static_cast<int>(texts.size()));
  EXPECT_TRUE(script.Close());
  return rescom_test::texts_of(scriptBytes);
}

TEST(RecompileRoundTrip, HardTextsComeBackAsTheyWere) {
  const std::string full(1014, 'x');  // a string line's whole content
  const std::vector<std::string> texts = {
      "C:\\new and C:\\\\old, \\t \\r \\\" \\' \\q \\0 \\x41 \\",  // escapes, and backslashes that are none
      "line\\\nends in a backslash\\",
      "A\n\nB",
      "\n  leading blank lines\n \n\t\n",
      "\n",
      "  indented\ttab\r\nCR\r and \xe9\xff 8-bit, \"quoted\", @ and # alone",
      full + "\n" + full,
      std::string(1012, 'y') + "\n\n" + full,  // the empty line joins the line before
      full + "\n\n" + std::string(1012, 'y'),  // the line before is full: the one after
      "\\\n" + std::string(507, '"'),
  };
  EXPECT_EQ(RecompiledTexts(texts), texts);
}

TEST(RecompileRoundTrip, RandomTextsComeBackAsTheyWere) {
  std::mt19937 random(21);
  const std::string alphabet = "\\\\\\ntrx0\"'  \t\r\n\n\n@#a\xe9\xff";
  std::vector<std::string> texts;
  while (texts.size() < 400) {
    std::string text(1 + random() % 40, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    std::string ignored;
    if (AppendQuoteLines(text, ignored)) texts.push_back(text);  // those a quote can carry
  }
  EXPECT_EQ(RecompiledTexts(texts), texts);
}

// Texts that round-trip keep the bytes they always had; the few that no quote line can carry
// are said to be so.
TEST(RecompileRoundTrip, WrittenLines) {
  const struct {
    std::string text, lines;
    bool exact;
  } cases[] = {
      {"plain\nC:\\quotes \\1", "plain\nC:\\quotes \\1\n\n", true},
      {"A\n\nB\\", "A\\n\nB\\\n\n", true},
      {"\\n\n\n", "\\\\n\n\\n\n\n", true},
      {"", "\n\n", false},
      {"  ", "  \n\n", false},
      {"a\n@@END=x\nb##c\x1a", "a\n@@END=x\nb##c\x1a\n\n", false},
  };
  for (const auto& c : cases) {
    std::string lines;
    EXPECT_EQ(AppendQuoteLines(c.text, lines), c.exact) << c.text;
    EXPECT_EQ(lines, c.lines) << c.text;
  }
}

TEST(ReadOnlyFiles, AreReadLikeAnyOther) {
  testing::ScratchDir dir;
  testing::ReportLog report;
  const std::string quotes = dir.Write("ro.lsq", "@@TITLE=Kept\r\none\r\n\r\ntwo\r\n");
  const std::string text = dir.Write("ro.txt", "imported\r\n");
  const std::string pms = dir.Write("ro.pms",
                                    "\xff"
                                    "back\0"s);
  const std::string compiled = dir.Write("rquotes.txt", "Resource table of 2 entries, largest = 4 bytes\r\n");
  for (const std::string& path : {quotes, text, pms, compiled}) testing::MakeReadOnly(path);
  EXPECT_EQ(ReadCatalogTexts(quotes, &report).value_or(CatalogTexts{}).title, "Kept");
  ScriptRun run;
  QuoteFileContext context;
  context.report = &report;
  EXPECT_EQ(AppendQuoteFile(nullptr, quotes, "RO", run, context), 2);
  std::string script, exported, created;
  TextFile out;
  ASSERT_TRUE(out.OpenMemory(script, "w+t"));
  EXPECT_EQ(AppendQuoteFile(&out, quotes, "RO", run, context), 2);
  ExportRun exporting{&out};
  ASSERT_TRUE(out.OpenMemory(exported, "w+t"));
  EXPECT_EQ(ExportQuoteFile(exporting, quotes, "RO"), 2);
  ASSERT_TRUE(out.OpenMemory(created, "w+t"));
  ImportTextFile(out, text, 46, &report);
  RecompileHostQuotes(out, pms, &report);
  out.Close();
  EXPECT_EQ(exported, "one\r\ntwo");
  EXPECT_EQ(created, "\r\nimported\r\n \r\nback\r\n\r\n");
  EXPECT_EQ(ReadCompilerReport(compiled).count, 2);
  EXPECT_TRUE(report.entries.empty());
}

}  // namespace
}  // namespace vosko
