// Quotes in and out: import of plain text, export, the clipboard's text, new quote files.
#include <gtest/gtest.h>

#include <optional>

#include "engine/export_quotes.h"
#include "engine/fortune.h"
#include "engine/import_text.h"
#include "engine/new_quote_file.h"
#include "engine/paste_text.h"
#include "engine_files.h"

namespace vosko {
namespace {

using testing::Crlf;

TEST(Import, WrapsEachLineIntoAQuote) {
  const std::string fox = "The quick brown fox jumps over the lazy dog and then runs far away into the woods.";
  const std::string line44 = "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii", noSpace(50, 'x'), z5000(5000, 'z');
  const struct {
    const char* what;
    std::string input;
    std::int64_t length;
    std::string written;  // before the text-mode conversion
  } cases[] = {
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
      // A line longer than 4095 characters arrives in pieces, each a quote of its own.
      {"long line", z5000 + "\r\n", 10000, "\n" + z5000.substr(0, 4095) + " \n\n" + z5000.substr(0, 905) + "\n \n"},
  };
  testing::ScratchDir dir;
  for (const auto& c : cases) {
    TextFile out;
    ASSERT_TRUE(out.Open(dir.Path("new.lsq"), "w+t"));
    ImportTextFile(out, dir.Write("import.txt", c.input), c.length, nullptr);
    out.Close();
    EXPECT_EQ(testing::ReadBytes(dir.Path("new.lsq")), Crlf(c.written)) << c.what;
  }
}

TEST(Export, OneLinePerQuote) {
  const struct {
    const char* what;
    std::vector<std::string> files;
    std::string exported;  // before the text-mode conversion
    std::vector<int> counts;
  } cases[] = {
      {"lines joined", {"one\ntwo\nthree\n"}, "one two three", {1}},
      {"comment and directive lines split", {"a\n## c\nb\n@@LEFT=3\nc\n"}, "a\nb\nc", {3}},
      {"text before a comment, trailing spaces gone", {"text   ## c\nmore  \n"}, "text more", {1}},
      {"text before @@ stays in the quote", {"a\nDinner at 8 @@ home\nb\n"}, "a Dinner at 8 b", {1}},
      {"tab line is text, leading spaces stay", {"\t\n  x\n"}, "\t   x", {1}},
      {"two files, two quotes each", {"a\n\nb\n", "c\n\nd"}, "a\nb\nc\nd", {2, 2}},
      {"file without quotes", {"## only\n@@TITLE=x\n", "q\n"}, "q", {0, 1}},
      {"headers and ends are not exported", {"@@HEADER=h\n@@END=e\nq\n"}, "q", {1}},
  };
  for (const auto& c : cases) {
    std::string exported;
    TextFile out;
    ASSERT_TRUE(out.OpenMemory(exported, "w+t"));
    ExportRun run;
    run.out = &out;
    std::vector<int> counts;
    for (const std::string& text : c.files) {
      std::string bytes = Crlf(text);
      TextFile file;
      ASSERT_TRUE(file.OpenMemory(bytes, "r+t"));
      counts.push_back(ExportQuoteFile(run, file, "title"));
    }
    out.Close();
    EXPECT_EQ(exported, Crlf(c.exported)) << c.what;
    EXPECT_EQ(counts, c.counts) << c.what;
  }
}

// Separators with blanks after them, CR LF, a leading "%", no final "%", blank fortunes and a
// closing Ctrl-Z read as meant; NUL and Ctrl-Z inside are text.  Written, what would read as a
// separator or lose its CR is changed and counted, and a blank text is left out.
TEST(Fortune, ReadAndWrite) {
  using Read = std::vector<std::pair<std::string, std::uint64_t>>;
  const std::pair<std::string, Read> reads[] = {
      {"one\n%\ntwo\nlines\n%\n", {{"one", 1}, {"two\nlines", 3}}},
      {"%\r\none\r\n% \t\r\n\r\ntwo\n\n", {{"one", 2}, {"\ntwo\n", 4}}},
      {"a\n%\n \t\n\n%\n%\nb", {{"a", 1}, {"b", 7}}},
      {std::string("a\0b\x1a\n%%\n %\n\x1a\x1a", 13), {{std::string("a\0b\x1a\n%%\n %", 10), 1}}},
  };
  for (const auto& [bytes, expected] : reads) {
    Read got;
    for (const Fortune& fortune : ReadFortunes(bytes)) got.emplace_back(fortune.text, fortune.line);
    EXPECT_EQ(got, expected) << bytes;
  }
  const std::tuple<std::string, std::string, int> writes[] = {
      {"a\n%\n% \t\nb\r\r\n  % ", "a\n %\n % \t\nb\n  % \n%\n", 3},
      {"x\n", "x\n\n%\n", 0},
      {" \n\t\r", "", -1},
  };
  for (const auto& [text, written, changed] : writes) {
    std::string out;
    EXPECT_EQ(AppendFortune(text, out), changed) << text;
    EXPECT_EQ(out, written) << text;
  }
}

TEST(Paste, TextAndLineCount) {
  const std::tuple<std::string, std::optional<std::string>, std::size_t> cases[] = {
      {std::string("one\r\ntwo\0", 9), "one\r\ntwo", 2},
      {std::string("one\r\n\r\ntwo\0", 11), "one\r\n\r\ntwo", 3},  // the empty line holds a CR
      {std::string("one\n\ntwo\n\0junk", 14), "one\n\ntwo\n", 2},
      {std::string("\0", 1), "", 0},
      {"no terminator", std::nullopt, 0},  // never read past the block
  };
  for (const auto& [block, expected, lines] : cases) {
    const auto text = TerminatedText(block.data(), block.size());
    EXPECT_EQ(text ? std::optional<std::string>(std::string(*text)) : std::nullopt, expected) << block;
    if (text) {
      EXPECT_EQ(CountPastedLines(*text), lines) << block;
    }
  }
}

// The clipboard's Unicode text appended in the quote file's own encoding; what ANSI cannot
// hold, and a broken surrogate pair on the clipboard, are counted.
TEST(Paste, UnicodeTextInTheFilesEncoding) {
  // "é€“x”", CR LF, "ő中" and a high surrogate without its partner, in UTF-16 LE.
  const std::string clip("\xE9\0\xAC\x20\x1C\x20x\0\x1D\x20\r\0\n\0\x51\x01\x2D\x4E\x00\xD8\0\0", 22);
  const std::string utf8 = "\xC3\xA9\xE2\x82\xAC\xE2\x80\x9Cx\xE2\x80\x9D\r\n\xC5\x91\xE4\xB8\xAD\xEF\xBF\xBD";
  const std::string le("\r\0\n\0\xE9\0\xAC\x20\x1C\x20x\0\x1D\x20\r\0\n\0\x51\x01\x2D\x4E\xFD\xFF\r\0\n\0", 28);
  std::string be = le;
  for (std::size_t i = 0; i < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  const struct {
    const char* what;
    std::string file;
    std::string appended;
    std::size_t replaced;
  } cases[] = {
      {"ANSI", "@@TITLE=P\r\n", "\r\n\xE9\x80\x93x\x94\r\no??\r\n", 3},
      {"empty file: ANSI", "", "\r\n\xE9\x80\x93x\x94\r\no??\r\n", 3},
      {"UTF-8", "\xC3\xA9\r\n", "\r\n" + utf8 + "\r\n", 1},
      {"UTF-8 with mark: no second mark", "\xEF\xBB\xBFq\r\n", "\r\n" + utf8 + "\r\n", 1},
      {"UTF-16 LE", std::string("\xFF\xFEq\0", 4), le, 1},
      {"UTF-16 BE", std::string("\xFE\xFF\0q", 4), be, 1},
  };
  const std::optional<ConvertedText> text = TerminatedUtf16Text(clip.data(), clip.size());
  ASSERT_TRUE(text);
  EXPECT_EQ(text->bytes, utf8);
  EXPECT_EQ(CountPastedLines(text->bytes), 2u);
  EXPECT_FALSE(TerminatedUtf16Text(clip.data(), clip.size() - 2));  // never read past the block
  for (const auto& c : cases) {
    const ConvertedText bytes = PastedBytes(*text, c.file, *BuiltInCodePage(kDefaultCodePage));
    EXPECT_EQ(bytes.bytes, c.appended) << c.what;
    EXPECT_EQ(bytes.replaced.size(), c.replaced) << c.what;
  }
}

TEST(NewQuoteFile, TypedNamesStayInTheQuoteFolder) {
  for (const char* name : {"quotes", "quotes.lsq", "my quotes 2", "..", "console", "com0", "a;b[c]"})
    EXPECT_TRUE(IsPlainFileName(name)) << name;
  for (const char* name : {"", "..\\x", "c:\\x", "c:x", "a/b", "con", "CON.txt", "nul ", "com1", "Lpt9", "a?", "a|b",
                           "tab\t", "a=b", ";x", " [x"})
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  EXPECT_EQ(NewQuoteFilePath("C:\\q\\", "a.lsq"), "C:\\q\\a.lsq.lsq");
  const std::string folder = "C:\\" + std::string(250, 'f');  // 253 characters
  EXPECT_EQ(NewQuoteFilePath(folder, "a")->size(), 259u);
  EXPECT_EQ(NewQuoteFilePath(folder, "ab"), std::nullopt);
}

TEST(NewQuoteFile, TemplateBytes) {
  std::string bytes;
  TextFile out;
  ASSERT_TRUE(out.OpenMemory(bytes, "w+t"));
  WriteQuoteFileTemplate(out, "Title @@DATE@@ @@AUTHOR@@", "", "Sat 12/05/26", "14:07:09");
  out.Close();
  const std::string rule = "## " + std::string(60, '-') + "\r\n";
  EXPECT_TRUE(bytes.starts_with(rule + "## Created by Vosko, The Quote Manager V0.99 on Sat 12/05/26 14:07:09\r\n"));
  for (const std::string& line :
       std::vector<std::string>{"\r\n" + rule + "\r\n", "\r\n@@TITLE=Title Sat 12/05/26 \r\n\r\n",
                                "\r\n@@HEADER=\r\n\r\n", "\r\n@@END=\r\n\r\n", "\r\n@@AUTHOR=\r\n\r\n",
                                "\r\n@@LEFT=0\r\n", "\r\n## @@RIGHT=0\r\n", "\r\n## @@CENTER=0\r\n\r\n"})
    EXPECT_NE(bytes.find(line), std::string::npos) << line;
  EXPECT_TRUE(bytes.ends_with("\r\n## that in the future more of these commands will be available.\r\n"));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 67);
}

}  // namespace
}  // namespace vosko
