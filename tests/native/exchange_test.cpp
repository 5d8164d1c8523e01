#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine_files.h"
#include "engine/export_quotes.h"
#include "engine/import_text.h"
#include "engine/new_quote_file.h"
#include "engine/paste_text.h"
#include "engine/recompile.h"

namespace vosko {
namespace {

using testing::Crlf;
using testing::ReadBytes;
using testing::ScratchDir;

using testing::ReportLog;
using Entry = ReportLog::Entry;

std::string Import(const ScratchDir& dir, const std::string& importBytes, std::int64_t lineLength,
                   ReportLog* report = nullptr) {
  const std::string in = dir.Write("import.txt", importBytes);
  TextFile out;
  EXPECT_TRUE(out.Open(dir.Path("new.lsq"), "w+t"));
  ImportTextFile(out, in, lineLength, report);
  out.Close();
  return ReadBytes(dir.Path("new.lsq"));
}

TEST(Import, WrapsEachLineIntoAQuote) {
  const std::string fox = "The quick brown fox jumps over the lazy dog and then runs far away into the woods.";
  ASSERT_EQ(fox.size(), 82u);
  const std::string line44 = "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii";
  ASSERT_EQ(line44.size(), 44u);
  const std::string noSpace(50, 'x');
  struct Case {
    const char* what;
    std::string input;
    std::int64_t length;
    std::string written;  // before the text-mode conversion
  } const cases[] = {
      {"two lines, the first wrapped", fox + "\r\nSecond line.\r\n", 46,
       "\nThe quick brown fox jumps over the lazy dog \nand then runs far away into the woods.\n \n"
       "\nSecond line.\n \n"},
      {"empty line", "\r\n", 46, "\n\n \n"},
      {"empty file", "", 46, ""},
      {"last line without line end", "abc", 46, "\nabc \n"},
      {"line feed and space push the last word out", line44 + "\r\n", 46,
       "\naaaa bbbb cccc dddd eeee ffff gggg hhhh \niiii\n \n"},
      {"no space: cut after 45", noSpace + "\r\n", 46, "\n" + noSpace.substr(0, 45) + "\nxxxxx\n \n"},
      {"only space first: whole piece", " " + noSpace + "\r\n", 46, "\n " + noSpace.substr(0, 44) + "\nxxxxxx\n \n"},
      {"huge line length needs no huge buffer", fox + "\r\n", 2147483647, "\n" + fox + "\n \n"},
      {"line length below 2 still advances", "ab\r\n", 0, "\na\nb\n\n\n \n"},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    EXPECT_EQ(Import(dir, c.input, c.length), Crlf(c.written)) << c.what;
  }
  // A line longer than 4095 characters arrives in pieces, each a quote of its own.
  const std::string longLine(5000, 'z');
  const std::string got = Import(dir, longLine + "\r\n", 10000);
  EXPECT_EQ(got, Crlf("\n" + longLine.substr(0, 4095) + " \n\n" + longLine.substr(0, 905) + "\n \n"));
}

TEST(Import, UnopenableFileAppendsNothing) {
  ScratchDir dir;
  ReportLog report;
  TextFile out;
  ASSERT_TRUE(out.Open(dir.Path("new.lsq"), "w+t"));
  out.Write("## template\n");
  ImportTextFile(out, dir.Path("missing.txt"), 46, &report);
  const std::string ro = dir.Write("ro.txt", "text\r\n");
  testing::MakeReadOnly(ro);
  ImportTextFile(out, ro, 46, &report);
  out.Close();
  EXPECT_EQ(ReadBytes(dir.Path("new.lsq")), "## template\r\n");
  const Entry notOpened{66, 0, ReportIcon::Stop, ReportOwner::MainWindow};
  EXPECT_EQ(report.entries, (std::vector<Entry>{notOpened, notOpened}));
}

TEST(Recompile, TurnsCompiledTextsBackIntoQuotes) {
  using namespace std::string_literals;
  struct Case {
    const char* what;
    std::string pms;
    std::string onDisk;
  } const cases[] = {
      {"two quotes", "HEAD\x01\xff"s + "A\0B1\nB2\0"s, "A\r\n\r\nB1\r\nB2\r\n\r\n"},
      {"later 255 bytes are text", "\xff"s + "x\xffy\0"s, "x\xffy\r\n\r\n"},
      {"two NULs in a row", "\xff"s + "q\0\0"s, "q\r\n\r\n\r\n\r\n"},
      {"a CR is copied", "\xff"s + "a\r\nb\0"s, "a\r\r\nb\r\n\r\n"},
      {"no 255: nothing", "no texts\0here"s, ""},
      {"bytes after the last text are copied", "\xff"s + "a\0tail"s, "a\r\n\r\ntail"},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    const std::string pms = dir.Write("rquotes.pms", c.pms);
    TextFile out;
    ASSERT_TRUE(out.Open(dir.Path("new.lsq"), "w+t"));
    RecompileHostQuotes(out, pms, nullptr);
    out.Close();
    EXPECT_EQ(ReadBytes(dir.Path("new.lsq")), c.onDisk) << c.what;
  }
}

TEST(Recompile, MissingFileIsReportedWithoutOwner) {
  ScratchDir dir;
  ReportLog report;
  TextFile out;
  ASSERT_TRUE(out.Open(dir.Path("new.lsq"), "w+t"));
  RecompileHostQuotes(out, dir.Path("rquotes.pms"), &report);
  EXPECT_EQ(report.entries, (std::vector<Entry>{{9, 65535, ReportIcon::Stop, ReportOwner::None}}));
}

TEST(Export, OneLinePerQuote) {
  struct Case {
    const char* what;
    std::vector<std::string> files;
    std::string exported;  // before the text-mode conversion
    std::vector<int> counts;
  } const cases[] = {
      {"lines joined", {"one\ntwo\nthree\n"}, "one two three", {1}},
      {"comment and directive lines split", {"a\n## c\nb\n@@LEFT=3\nc\n"}, "a\nb\nc", {3}},
      {"text before a comment, trailing spaces gone", {"text   ## c\nmore  \n"}, "text more", {1}},
      {"text before @@ stays in the quote", {"a\nDinner at 8 @@ home\nb\n"}, "a Dinner at 8 b", {1}},
      {"tab line is text, leading spaces stay", {"\t\n  x\n"}, "\t   x", {1}},
      {"two files, two quotes each", {"a\n\nb\n", "c\n\nd"}, "a\nb\nc\nd", {2, 2}},
      {"file without quotes", {"## only\n@@TITLE=x\n", "q\n"}, "q", {0, 1}},
      {"headers and ends are not exported", {"@@HEADER=h\n@@END=e\nq\n"}, "q", {1}},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    TextFile out;
    ASSERT_TRUE(out.Open(dir.Path("export.txt"), "w+t"));
    ExportRun run;
    run.out = &out;
    std::vector<int> counts;
    for (std::size_t i = 0; i < c.files.size(); ++i) {
      const std::string path = dir.Write("f" + std::to_string(i) + ".lsq", Crlf(c.files[i]));
      counts.push_back(ExportQuoteFile(run, path, "title"));
    }
    out.Close();
    EXPECT_EQ(ReadBytes(dir.Path("export.txt")), Crlf(c.exported)) << c.what;
    EXPECT_EQ(counts, c.counts) << c.what;
  }
}

TEST(Export, StopsAtAnUnopenableFile) {
  ScratchDir dir;
  ReportLog report;
  TextFile out;
  ASSERT_TRUE(out.Open(dir.Path("export.txt"), "w+t"));
  ExportRun run;
  run.out = &out;
  run.report = &report;
  EXPECT_EQ(ExportQuoteFile(run, dir.Write("a.lsq", "q\r\n"), "A"), 1);
  EXPECT_EQ(ExportQuoteFile(run, dir.Path("gone.lsq"), "B"), -1);
  out.Close();
  EXPECT_EQ(ReadBytes(dir.Path("export.txt")), "q");
  EXPECT_EQ(report.entries, (std::vector<Entry>{{9, 65535, ReportIcon::Stop, ReportOwner::MainWindow}}));
  EXPECT_EQ(run.bytesDone, 4);  // "q\n" read as 2 characters, plus 2
}

TEST(Paste, TextAndLineCount) {
  const struct {
    std::string block;  // the clipboard's bytes, terminator included where there is one
    std::optional<std::string> text;
    std::size_t lines;
  } cases[] = {
      {std::string("one\r\ntwo\0", 9), "one\r\ntwo", 2},
      {std::string("one\r\n\r\ntwo\0", 11), "one\r\n\r\ntwo", 3},  // the empty line holds a CR
      {std::string("one\n\ntwo\n\0junk", 14), "one\n\ntwo\n", 2},
      {std::string("\0", 1), "", 0},
      {"no terminator", std::nullopt, 0},
  };
  for (const auto& c : cases) {
    const auto text = TerminatedText(c.block.data(), c.block.size());
    EXPECT_EQ(text ? std::optional<std::string>(std::string(*text)) : std::nullopt, c.text) << c.block;
    if (text) {
      EXPECT_EQ(CountPastedLines(*text), c.lines) << c.block;
    }
  }
}

TEST(NewQuoteFile, TypedNamesStayInTheQuoteFolder) {
  const struct {
    std::string name;
    bool plain;
  } cases[] = {
      {"quotes", true}, {"quotes.lsq", true}, {"my quotes 2", true}, {"..", true},     {"console", true},
      {"com0", true},   {"", false},          {"..\\x", false},      {"c:\\x", false}, {"c:x", false},
      {"a/b", false},   {"con", false},       {"CON.txt", false},    {"nul ", false},  {"com1", false},
      {"Lpt9", false},  {"a?", false},        {"a|b", false},        {"tab\t", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPlainFileName(c.name), c.plain) << c.name;
}

TEST(NewQuoteFile, PathsLongerThan259AreRefused) {
  EXPECT_EQ(NewQuoteFilePath("C:\\q", "a"), "C:\\q\\a.lsq");
  EXPECT_EQ(NewQuoteFilePath("C:\\q\\", "a.lsq"), "C:\\q\\a.lsq.lsq");
  const std::string folder = "C:\\" + std::string(250, 'f');  // 253 characters
  EXPECT_EQ(NewQuoteFilePath(folder, "a")->size(), 259u);
  EXPECT_EQ(NewQuoteFilePath(folder, "ab"), std::nullopt);
}

TEST(NewQuoteFile, TemplateBytes) {
  ScratchDir dir;
  TextFile out;
  ASSERT_TRUE(out.Open(dir.Path("new.lsq"), "w+t"));
  WriteQuoteFileTemplate(out, "Title @@DATE@@ @@AUTHOR@@", "", "Sat 12/05/26", "14:07:09");
  out.Close();
  const std::string bytes = ReadBytes(dir.Path("new.lsq"));
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(bytes.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 67u);
  EXPECT_TRUE(bytes.ends_with("available.\r\n"));
  const std::string rule = "## " + std::string(60, '-');
  const std::vector<std::pair<std::size_t, std::string>> expected = {
      {0, rule},
      {1, "## Created by Vosko, The Quote Manager V0.99 on Sat 12/05/26 14:07:09"},
      {14, rule},
      {15, ""},
      {20, "@@TITLE=Title Sat 12/05/26 "},
      {21, ""},
      {25, "## This header should be typed as a complete line and "},
      {28, "@@HEADER="},
      {29, ""},
      {36, "@@END="},
      {37, ""},
      {42, "@@AUTHOR="},
      {43, ""},
      {49, "@@LEFT=0"},
      {56, "## @@RIGHT=0"},
      {63, "## @@CENTER=0"},
      {64, ""},
      {66, "## that in the future more of these commands will be available."},
  };
  for (const auto& [index, line] : expected) EXPECT_EQ(lines[index], line) << index;
}

}  // namespace
}  // namespace vosko
