#include "engine/script_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_files.h"
#include "engine/text_format.h"
#include "contract/string_table.h"

namespace vosko {
namespace {

using testing::Crlf;
using testing::ReadBytes;
using testing::ScratchDir;

// The header block as the string table gives it, with the date and time of line 172.
std::string HeaderBlock(std::string_view date, std::string_view time) {
  std::string header;
  for (unsigned id = 150; id <= 175; ++id) {
    std::string line(TableText(id));
    ReplaceFirst(line, line, "@@TIME@@", time);
    ReplaceFirst(line, line, "@@DATE@@", date);
    header += line + "\n";
  }
  return header;
}

struct Compiled {
  std::string script;  // what follows the header, before the text-mode conversion
  int count;
};

// Compiles one quote file (given as its text; line ends become CR LF on disk) and returns the
// script without its header.
Compiled CompileOne(const std::string& quoteText, std::function<std::string()> initialHeader = {}) {
  ScratchDir dir;
  const std::string quotePath = dir.Write("q.lsq", Crlf(quoteText));
  TextFile script;
  ScriptRun run;
  EXPECT_TRUE(WriteScriptHeader(script, dir.Path("rquotes.r"), "Sat 12/05/26", "14:07:09", run, nullptr));
  QuoteFileContext context;
  context.initialHeader = std::move(initialHeader);
  const int count = AppendQuoteFile(&script, quotePath, "Quotes", run, context);
  script.Close();
  const std::string bytes = ReadBytes(dir.Path("rquotes.r"));
  const std::string header = Crlf(HeaderBlock("Sat 12/05/26", "14:07:09"));
  EXPECT_EQ(bytes.substr(0, header.size()), header);
  std::string body;
  for (std::size_t i = header.size(); i < bytes.size(); ++i) {
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) body += bytes[i];
  }
  EXPECT_EQ(Crlf(body), bytes.substr(header.size())) << "every line end on disk is CR LF";
  return {body, count};
}

std::string Block(std::initializer_list<std::string> strings) {
  std::string block = "\ntext x\n   {\n";
  for (const std::string& s : strings) block += "   \"" + s + "\\n\",\n";
  return block + "   };\n";
}

const char kSayingsFile[] =
    "## my sayings\n@@HEADER=Thought of the day:\n@@END=  -- anon\n@@RIGHT=12\nBe \"brief\".\nShort\n\n"
    "Done ## with a comment\n";

TEST(ScriptWriter, SayingsFileByteForByte) {
  const Compiled c = CompileOne(kSayingsFile);
  EXPECT_EQ(c.count, 2);
  EXPECT_EQ(c.script,
            "\ntext x\n   {\n   \"Thought of the day:\\n\",\n   \"Be \\\"brief\\\".\\n\",\n"
            "   \"       Short\\n\",\n   \"-- anon\\n\",\n   };\n"
            "\ntext x\n   {\n   \"Thought of the day:\\n\",\n   \"        Done\\n\",\n   \"-- anon\\n\",\n   };\n");
}

TEST(ScriptWriter, QuotesDirectivesAndAlignment) {
  const std::string w1014(1014, 'w');
  struct Case {
    const char* what;
    std::string quoteFile;
    std::string script;
    int count;
  } const cases[] = {
      {"empty file", "", "", 0},
      {"comments and directives only", "## c\n@@TITLE=t\n@@LEFT=3\n\n", "", 0},
      {"two quotes", "one\n\ntwo\n", Block({"one"}) + Block({"two"}), 2},
      {"no line end after the last quote", "a\nlast   ", Block({"a", "last"}), 1},
      {"trailing spaces of a full line stay", "a  \n", Block({"a  "}), 1},
      {"double quotes escaped", "say \"no\" now\n", Block({"say \\\"no\\\" now"}), 1},
      // A user's own escapes pass; every other backslash is doubled and shows as typed.
      {"escapes a user wrote",
       R"(C:\path\n \"no\" \\")"
       "\n",
       Block({R"(C:\\path\n \"no\" \\\")"}), 1},
      {"backslashes that are no escape",
       R"([\0-\377] \x41 a\)"
       "\n",
       Block({R"([\\0-\\377] \\x41 a\\)"}), 1},
      {"comment line splits a quote", "a\n## c\nb\n", Block({"a"}) + Block({"b"}), 2},
      {"other directive splits a quote", "a\nDinner at 8 @@ home\nb\n", Block({"a"}) + Block({"b"}), 2},
      {"tabs are text, spaces blank", "a\n\t\n   \nb\n", Block({"a", "\t"}) + Block({"b"}), 2},
      {"left", "@@LEFT=4\nabc\n", Block({"    abc"}), 1},
      {"right", "@@RIGHT=20\nabc\n", Block({std::string(17, ' ') + "abc"}), 1},
      {"right narrower than the line", "@@RIGHT=3\nabc\n", Block({"abc"}), 1},
      {"centre", "@@CENTER=10\nabc\n  abc  \nabcdefghijk\n", Block({"   abc    ", "   abc    ", "abcdefghijk"}), 1},
      {"left wins over right", "@@RIGHT=30\n@@LEFT=2\nabc\n", Block({"  abc"}), 1},
      {"right wins over centre", "@@CENTER=30\n@@RIGHT=5\nabc\n", Block({"  abc"}), 1},
      {"unreadable number keeps the value", "@@LEFT=4\n@@LEFT=abc\nx\n@@LEFT=-3\ny\n", Block({"    x"}) + Block({"y"}),
       2},
      {"indented or lower-case directives set nothing", "   @@LEFT=4\n@@left=4\nx\n", Block({"x"}), 1},
      {"end directly under a quote ends it", "a\n@@END=  -- from the archive  \nb\n",
       Block({"a", "-- from the archive"}) + Block({"b", "-- from the archive"}), 2},
      {"empty header switches it off", "@@HEADER=H\na\n@@HEADER=\nb\n", Block({"H", "a"}) + Block({"b"}), 2},
      {"escaped header", "@@HEADER=\"H\"\na\n", Block({"\\\"H\\\"", "a"}), 1},
      {"directive without = ends the quote", "a\n@@END\nb\n", Block({"a"}) + Block({"b"}), 2},
      // Read as 1023 and 477 characters; the first piece is then cut to the string line bound.
      {"over-long line read in pieces", std::string(1500, 'w') + "\n", Block({w1014, std::string(477, 'w')}), 1},
      {"Ctrl-Z ends the file", "a\n\x1a\nb\n", Block({"a"}), 1},
      // A file that starts with NUL bytes: lines with no text before their NUL, and a last one.
      {"NUL bytes end a line's text", std::string("\0\0\nq\0z\n\0  ", 11), Block({"q"}), 1},
  };
  for (const Case& c : cases) {
    const Compiled got = CompileOne(c.quoteFile);
    EXPECT_EQ(got.script, c.script) << c.what;
    EXPECT_EQ(got.count, c.count) << c.what;
  }
}

TEST(ScriptWriter, HeaderFromTheHost) {
  EXPECT_EQ(CompileOne("a\n\nb\n", [] { return std::string("Host says"); }).script,
            Block({"Host says", "a"}) + Block({"Host says", "b"}));
  EXPECT_EQ(CompileOne("@@HEADER=\na\n", [] { return std::string("Host says"); }).script, Block({"a"}));
  // Escaped like a quote line; a line feed in it stays inside the one string line.
  EXPECT_EQ(CompileOne("a\n", [] { return std::string("\"Host\"\nsays\\"); }).script,
            Block({R"(\"Host\"\nsays\\)", "a"}));
}

// Content beyond 1014 characters is cut there, never inside an escape; alignment values far
// beyond it act as 1014.
TEST(ScriptWriter, StringLinesNeverExceedTheirBound) {
  const std::string pairs507 = [] {
    std::string s;
    for (int i = 0; i < 507; ++i) s += "\\\"";
    return s;
  }();
  struct Case {
    const char* what;
    std::string quoteFile;
    std::string script;
  } const cases[] = {
      {"many quotes", std::string(1000, '"') + "\n", Block({pairs507})},
      {"cut before an escape", "a" + std::string(600, '"') + "\n", Block({"a" + pairs507.substr(0, 1012)})},
      {"user backslashes pair too", std::string(1013, 'b') + "\\\\\n", Block({std::string(1013, 'b')})},
      {"huge left", "@@LEFT=2147483647\nabc\n", Block({std::string(1014, ' ')})},
      {"left plus text", "@@LEFT=1010\nabcdef\n", Block({std::string(1010, ' ') + "abcd"})},
      {"huge right", "@@RIGHT=2147483647\nabc\n", Block({std::string(1011, ' ') + "abc"})},
      {"huge centre", "@@CENTER=99999\nab\n", Block({std::string(506, ' ') + "ab" + std::string(506, ' ')})},
      {"long header", "@@HEADER=" + std::string(1011, 'h') + "\"\"\na\n",
       Block({std::string(1011, 'h') + "\\\"", "a"})},
  };
  for (const Case& c : cases) EXPECT_EQ(CompileOne(c.quoteFile).script, c.script) << c.what;
}

struct ProgressCall {
  bool named;
  std::int64_t fileDone, fileSize, totalDone, totalSize;
  bool withOutput;
  bool operator==(const ProgressCall&) const = default;
};

class ProgressLog final : public Progress {
 public:
  std::vector<ProgressCall> calls;
  void Show(std::optional<std::string_view> name, std::int64_t fd, std::int64_t fs, std::int64_t td, std::int64_t ts,
            bool out) override {
    calls.push_back({name.has_value(), fd, fs, td, ts, out});
  }
};

TEST(ScriptWriter, CountsWithoutWritingAndReportsProgress) {
  ScratchDir dir;
  const std::string a = dir.Write("a.lsq", "ab\r\ncd");        // 6 bytes: pieces of 3 and 2
  const std::string b = dir.Write("b.lsq", "x\r\n\r\ny\r\n");  // 8 bytes: pieces of 2, 1, 2
  ProgressLog log;
  QuoteFileContext context;
  context.progress = &log;
  ScriptRun run;
  run.totalBytes = 14;
  EXPECT_EQ(AppendQuoteFile(nullptr, a, "A", run, context), 1);
  EXPECT_EQ(AppendQuoteFile(nullptr, b, "B", run, context), 2);
  EXPECT_EQ(run.bytesDone, 9 + 11);
  EXPECT_EQ(run.scriptLines, 0u);
  const std::vector<ProgressCall> expected = {
      {true, 0, 6, 0, 14, false},   {false, 5, 6, 5, 14, false},   {false, 9, 6, 9, 14, false},
      {false, 1, 1, 9, 14, false},  {true, 0, 8, 9, 14, false},    {false, 4, 8, 13, 14, false},
      {false, 7, 8, 16, 14, false}, {false, 11, 8, 20, 14, false}, {false, 1, 1, 20, 14, false},
  };
  EXPECT_EQ(log.calls, expected);
}

TEST(ScriptWriter, UnopenableFilesAreReported) {
  ScratchDir dir;
  testing::ReportLog report;
  QuoteFileContext context;
  context.report = &report;
  ScriptRun run;
  const std::string ro = dir.Write("ro.lsq", "a\r\n");
  testing::MakeReadOnly(ro);
  EXPECT_EQ(AppendQuoteFile(nullptr, ro, "RO", run, context), -1);
  EXPECT_EQ(AppendQuoteFile(nullptr, dir.Path("missing.lsq"), "M", run, context), -1);
  TextFile script;
  EXPECT_FALSE(WriteScriptHeader(script, dir.Path("no/such/folder/rquotes.r"), "d", "t", run, &report));
  const testing::ReportLog::Entry notOpened{9, 65535, ReportIcon::Stop, ReportOwner::MainWindow};
  EXPECT_EQ(report.entries, (std::vector<testing::ReportLog::Entry>{
                                notOpened, notOpened, {22, 0, ReportIcon::Stop, ReportOwner::MainWindow}}));
}

class LineLog final : public ScriptLineObserver {
 public:
  std::vector<std::pair<std::uint64_t, std::uint64_t>> lines;
  void OnScriptLine(std::uint64_t scriptLine, std::string_view, std::uint64_t quoteLine) override {
    lines.emplace_back(scriptLine, quoteLine);
  }
};

TEST(ScriptWriter, TellsWhereEveryScriptLineCameFrom) {
  ScratchDir dir;
  const std::string quotePath = dir.Write("q.lsq", Crlf(kSayingsFile));
  TextFile script;
  ScriptRun run;
  ASSERT_TRUE(WriteScriptHeader(script, dir.Path("rquotes.r"), "d", "t", run, nullptr));
  EXPECT_EQ(run.scriptLines, 26u);
  LineLog log;
  ScriptLineLocator locator(39);
  QuoteFileContext context;
  context.lines = &log;
  AppendQuoteFile(&script, quotePath, "Q", run, context);
  // Block 1: opening lines from 'Be "brief".' (5), header from line 2, end from line 3,
  // closing from 'Short' (6).  Block 2 from 'Done' (8).
  const std::vector<std::pair<std::uint64_t, std::uint64_t>> expected = {
      {27, 5}, {28, 5}, {29, 5}, {30, 2}, {31, 5}, {32, 6}, {33, 3}, {34, 6},
      {35, 8}, {36, 8}, {37, 8}, {38, 2}, {39, 8}, {40, 3}, {41, 8},
  };
  EXPECT_EQ(log.lines, expected);
  EXPECT_EQ(run.scriptLines, 41u);
  context.lines = &locator;
  ScriptRun again;
  again.scriptLines = 26;
  AppendQuoteFile(&script, quotePath, "Q", again, context);
  EXPECT_TRUE(locator.Found());
  EXPECT_EQ(locator.QuoteLine(), 8u);
  EXPECT_EQ(locator.QuoteFile(), quotePath);
}

}  // namespace
}  // namespace vosko
