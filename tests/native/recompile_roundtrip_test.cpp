// Compiled file -> Recompile -> compile gives back the same texts in the same order; and every
// reader takes a read-only file like any other.
#include "rescom_test_support.h"

#include "engine/compiler_report.h"
#include "engine/export_quotes.h"
#include "engine/import_text.h"
#include "engine/quote_format.h"
#include "engine/recompile.h"
#include "engine/script_writer.h"

#include <random>

namespace vosko {
namespace {

// The texts as a compiled file (only what follows its first 255 matters to Recompile), turned
// into a quote file in memory, and that file compiled by the script writer and rescom.
std::vector<std::string> RecompiledTexts(const std::vector<std::string>& texts) {
  std::string pmsBytes = "VOSKOQTS\xff", quoteBytes, scriptBytes;
  for (const std::string& text : texts) pmsBytes += text + '\0';
  TextFile pms, quotes, script;
  EXPECT_TRUE(pms.OpenMemory(pmsBytes, "rb") && quotes.OpenMemory(quoteBytes, "w+t"));
  RecompileHostQuotes(quotes, pms, nullptr);
  ScriptRun run;
  EXPECT_TRUE(quotes.Rewind() && script.OpenMemory(scriptBytes, "w+t") &&
              WriteScriptHeader(script, "d", "t", run, nullptr));
  EXPECT_EQ(AppendQuoteFile(&script, quotes, "new.lsq", "new", run, {}), static_cast<int>(texts.size()));
  EXPECT_TRUE(script.Close());
  return rescom_test::texts_of(scriptBytes);
}

// A table of hard texts, then random ones of the bytes that matter, among those a quote can carry.
TEST(RecompileRoundTrip, TextsComeBackAsTheyWere) {
  const std::string full(1014, 'x');  // a string line's whole content
  std::vector<std::string> texts = {
      "C:\\new and C:\\\\old, \\t \\r \\\" \\' \\q \\0 \\x41 \\\nends in a backslash\\",   // and none
      "\n  indented\ttab\r\n \n\t\nCR\r and \xe9\xff 8-bit, \"quoted\", @ and # alone\n",  // blank lines
      std::string(1012, 'y') + "\n\n" + full,  // the empty line joins the line before
      full + "\n\n" + std::string(1012, 'y'),  // the line before is full: the one after
      "\\\n" + std::string(507, '"'),
  };
  std::mt19937 random(21);
  const std::string alphabet = "\\\\\\ntrx0\"'  \t\r\n\n\n@#a\xe9\xff";
  for (std::string text, lines; texts.size() < 400;) {
    text.resize(1 + random() % 40);
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    if (AppendQuoteLines(text, lines)) texts.push_back(text);
  }
  EXPECT_EQ(RecompiledTexts(texts), texts);
}

// Texts that round-trip keep the bytes they always had; those no quote line can carry are told.
TEST(RecompileRoundTrip, WrittenLines) {
  const std::tuple<std::string, std::string, bool> cases[] = {
      {"plain\nC:\\quotes \\1", "plain\nC:\\quotes \\1\n\n", true},
      {"A\n\nB\\", "A\\n\nB\\\n\n", true},
      {"\\n\n\n", "\\\\n\n\\n\n\n", true},
      {"  ", "  \n\n", false},
      {"a\n@@END=x\nb##c\x1a", "a\n@@END=x\nb##c\x1a\n\n", false},
  };
  for (const auto& [text, written, exact] : cases) {
    std::string lines;
    EXPECT_EQ(AppendQuoteLines(text, lines), exact) << text;
    EXPECT_EQ(lines, written) << text;
  }
}

TEST(ReadOnlyFiles, AreReadLikeAnyOther) {
  testing::ScratchDir dir;
  const std::string quotes = dir.Write("ro.lsq", "@@TITLE=Kept\r\none\r\n\r\ntwo\r\n");
  const std::string text = dir.Write("ro.txt", "imported\r\n");
  const std::string pms = dir.Write("ro.pms", std::string_view("\377back", 6));
  const std::string compiled = dir.Write("rquotes.txt", "Resource table of 2 entries, largest = 4 bytes\r\n");
  for (const std::string& path : {quotes, text, pms, compiled}) testing::MakeReadOnly(path);
  EXPECT_EQ(ReadCatalogTexts(quotes, nullptr).value_or(CatalogTexts{}).title, "Kept");
  EXPECT_EQ(ReadCompilerReport(compiled).count, 2);
  std::string script, exported, created;
  TextFile out;
  ScriptRun run;
  ExportRun exporting{&out};
  ASSERT_TRUE(out.OpenMemory(script, "w+t"));
  EXPECT_EQ(AppendQuoteFile(&out, quotes, "RO", run, {}), 2);
  ASSERT_TRUE(out.OpenMemory(exported, "w+t"));
  EXPECT_EQ(ExportQuoteFile(exporting, quotes, "RO"), 2);
  ASSERT_TRUE(out.OpenMemory(created, "w+t"));
  ImportTextFile(out, text, 46, nullptr);
  RecompileHostQuotes(out, pms, nullptr);
  out.Close();
  EXPECT_EQ(exported, "one\r\ntwo");
  EXPECT_EQ(created, "\r\nimported\r\n \r\nback\r\n\r\n");
}

}  // namespace
}  // namespace vosko
