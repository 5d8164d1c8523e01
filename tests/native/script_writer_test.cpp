// Quote files through the script writer and the compiler: one worked example the whole way
// (quote file, script, compiled bytes, recompiled quotes), then the writer's rules as a table.
#include "engine/script_writer.h"

#include "engine/recompile.h"
#include "rescom_test_support.h"

namespace vosko {
namespace {

using testing::Crlf;
using testing::ReadBytes;

const char kSayings[] =
    "## my sayings\n@@HEADER=Thought of the day:\n@@END=  -- anon\n@@RIGHT=12\nBe \"brief\".\nShort\n\n"
    "Done ## with a comment\n";

TEST(ScriptWriter, SayingsFileFromQuotesToCompiledBytesAndBack) {
  testing::ScratchDir dir;
  const std::string quotes = dir.Write("q.lsq", Crlf(kSayings)), scriptPath = dir.Path("rquotes.r");
  TextFile script;
  ScriptRun run;
  ASSERT_TRUE(WriteScriptHeader(script, scriptPath, "Sat 12/05/26", "14:07:09", run, nullptr));
  EXPECT_EQ(run.script_lines, 26u);
  EXPECT_EQ(AppendQuoteFile(&script, quotes, "Sayings", run, {}), 2);
  ASSERT_TRUE(script.Close());
  const std::string bytes = ReadBytes(scriptPath);
  EXPECT_NE(bytes.find("\r\n##   Created by Vosko, The Quote Manager V0.99 on Sat 12/05/26 14:07:09\r\n\r\n"
                       "headers off       #  Ignore this command\r\nsymbols off       #  Ignore this command.\r\n"),
            std::string::npos);
  const std::string body = Crlf(
      "\ntext x\n   {\n   \"Thought of the day:\\n\",\n   \"Be \\\"brief\\\".\\n\",\n   \"       Short\\n\",\n"
      "   \"-- anon\\n\",\n   };\n\ntext x\n   {\n   \"Thought of the day:\\n\",\n   \"        Done\\n\",\n"
      "   \"-- anon\\n\",\n   };\n");
  EXPECT_TRUE(bytes.ends_with(body)) << bytes;

  const rescom::CompileOutcome outcome = rescom::compile_file(scriptPath, dir.Path("rquotes.pms"));
  EXPECT_EQ(outcome.lines, std::vector<std::string>{"Resource table of 2 entries, largest = 53 bytes"});
  // Signature, version, texts, largest (with its NUL), text area, then the index.
  using namespace std::string_literals;
  EXPECT_EQ(ReadBytes(dir.Path("rquotes.pms")),
            "VOSKOQTS0001000000020000003500000"
            "05E0000000000000035\xFF"
            "Thought of the day:\nBe \"brief\".\n       Short\n-- anon\0"
            "Thought of the day:\n        Done\n-- anon\0"s);

  TextFile recompiled;
  ASSERT_TRUE(recompiled.Open(dir.Path("new.lsq"), "w+t"));
  RecompileHostQuotes(recompiled, dir.Path("rquotes.pms"), nullptr);
  ASSERT_TRUE(recompiled.Close());
  EXPECT_EQ(ReadBytes(dir.Path("new.lsq")), Crlf("Thought of the day:\nBe \"brief\".\n       Short\n-- anon\n\n"
                                                 "Thought of the day:\n        Done\n-- anon\n\n"));
}

std::string Block(std::initializer_list<std::string> strings) {
  std::string block = "\ntext x\n   {\n";
  for (const std::string& s : strings) block += "   \"" + s + "\\n\",\n";
  return block + "   };\n";
}

TEST(ScriptWriter, QuotesDirectivesAndAlignment) {
  const std::string w1014(1014, 'w'), pairs507 = [] {
    std::string s;
    for (int i = 0; i < 507; ++i) s += "\\\"";
    return s;
  }();
  const struct {
    const char* what;
    std::string quote_file, script;
    int count;
    std::string host = {};  // the header the host gives, if any
  } cases[] = {
      {"empty file", "", "", 0},
      {"comments and directives only", "## c\n@@TITLE=t\n@@LEFT=3\n\n", "", 0},
      {"two quotes", "one\n\ntwo\n", Block({"one"}) + Block({"two"}), 2},
      {"no line end after the last quote", "a\nlast   ", Block({"a", "last"}), 1},
      {"trailing spaces of a full line stay", "a  \n", Block({"a  "}), 1},
      // A user's own escapes pass; every other backslash is doubled and shows as typed.
      {"escapes a user wrote", "C:\\path\\n \\\"no\\\" \\\\\"\n", Block({R"(C:\\path\n \"no\" \\\")"}), 1},
      {"backslashes that are no escape", "[\\0-\\377] \\x41 a\\\n", Block({R"([\\0-\\377] \\x41 a\\)"}), 1},
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
      {"host header", "a\n\nb\n", Block({"Host", "a"}) + Block({"Host", "b"}), 2, "Host"},
      {"header directive wins over the host", "@@HEADER=\na\n", Block({"a"}), 1, "Host"},
      {"host header escaped, its line feed kept", "a\n", Block({R"(\"Host\"\nsays\\)", "a"}), 1, "\"Host\"\nsays\\"},
      // Read as 1023 and 477 characters; the first piece is then cut to the string line bound,
      // never inside an escape; alignment values far beyond it act as 1014.
      {"over-long line read in pieces", std::string(1500, 'w') + "\n", Block({w1014, std::string(477, 'w')}), 1},
      {"many quotes", std::string(1000, '"') + "\n", Block({pairs507}), 1},
      {"cut before an escape", "a" + std::string(600, '"') + "\n", Block({"a" + pairs507.substr(0, 1012)}), 1},
      {"huge left", "@@LEFT=2147483647\nabc\n", Block({std::string(1014, ' ')}), 1},
      {"huge centre", "@@CENTER=99999\nab\n", Block({std::string(506, ' ') + "ab" + std::string(506, ' ')}), 1},
      {"Ctrl-Z ends the file", "a\n\x1a\nb\n", Block({"a"}), 1},
      // A file that starts with NUL bytes: lines with no text before their NUL, and a last one.
      {"NUL bytes end a line's text", std::string("\0\0\nq\0z\n\0  ", 11), Block({"q"}), 1},
  };
  for (const auto& c : cases) {
    std::string quoteBytes = Crlf(c.quote_file), scriptBytes;
    TextFile quotes, script;
    ASSERT_TRUE(quotes.OpenMemory(quoteBytes, "r+t") && script.OpenMemory(scriptBytes, "w+t"));
    ScriptRun run;
    QuoteFileContext context;
    if (!c.host.empty()) context.initial_header = [&] { return c.host; };
    EXPECT_EQ(AppendQuoteFile(&script, quotes, "q.lsq", "Quotes", run, context), c.count) << c.what;
    EXPECT_TRUE(script.Close());
    EXPECT_EQ(scriptBytes, Crlf(c.script)) << c.what;
  }
}

// The compiler's errors are shown at the quote line the script line came from.
TEST(ScriptWriter, FindsTheQuoteLineOfAScriptLine) {
  testing::ScratchDir dir;
  const std::string quotes = dir.Write("q.lsq", Crlf(kSayings));
  TextFile script;
  ScriptRun run;
  ASSERT_TRUE(WriteScriptHeader(script, dir.Path("rquotes.r"), "d", "t", run, nullptr));
  QuoteFileContext context;
  for (const auto& [scriptLine, quoteLine] : {std::pair{30, 2}, {32, 6}, {33, 3}, {39, 8}, {40, 3}}) {
    ScriptLineLocator locator(scriptLine);
    context.lines = &locator;
    ScriptRun again = run;
    AppendQuoteFile(&script, quotes, "Q", again, context);
    EXPECT_TRUE(locator.Found() && locator.QuoteFile() == quotes) << scriptLine;
    EXPECT_EQ(locator.QuoteLine(), static_cast<std::uint64_t>(quoteLine)) << scriptLine;
  }
}

}  // namespace
}  // namespace vosko
