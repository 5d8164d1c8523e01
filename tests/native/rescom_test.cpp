// The resource compiler: the script language it accepts, the errors it reports with their
// lines, the compiled file's index, and the program as the batch file runs it.
#include <algorithm>
#include <cstdio>
#include <random>

#include "rescom_test_support.h"

namespace {

using namespace rescom_test;
using Texts = std::vector<std::string>;
using vosko::testing::ReadBytes;

TEST(rescom_script, Escapes) {
  const std::pair<const char*, std::string> cases[] = {
      {R"(\n\t\r\a\b\f\v)", "\n\t\r\a\b\f\v"},
      {R"(\\ \" \')", "\\ \" '"},
      {R"(\x41 \x4a\x4A)", "A JJ"},
      {R"(\x414)", "A4"},  // two hex digits at most
      {R"(\x4g \xff)", "\x04g \xFF"},
      {R"(\xg)", "\\xg"},  // no digit: both characters stay
      {R"(\101 \7 \377)", "A \a \xFF"},
      {R"(\1011)", "A1"},  // three octal digits at most
      {R"(\18)",
       "\x01"
       "8"},
      {R"(C:\q \? \% \ )", "C:\\q \\? \\% \\ "},  // unknown pairs stay
      {R"(\\n)", "\\n"},
      {"a\rb \xE9\xFF\x80 # '", "a\rb \xE9\xFF\x80 # '"},  // plain bytes
  };
  for (const auto& [literal, bytes] : cases) {
    // Framed so that a final line feed, which the compiler drops, cannot hide a result.
    EXPECT_EQ(texts_of(std::string("text x { \"<") + literal + ">\" }"), Texts{"<" + bytes + ">"}) << literal;
  }
}

TEST(rescom_script, TextsCommentsCommandsAndLineEnds) {
  const std::pair<std::string, Texts> cases[] = {
      {R"(text x { "a\n" })", {"a"}},  // the one final line feed goes
      {R"(text x { "a\n\n" })", {"a\n"}},
      {R"(text x { "a\n", "b\n" })", {"a\nb"}},
      {R"(text x { "a\x0a" "" })", {"a"}},
      {R"(text x { "\n" } text x { "" } text x { })", {"", "", ""}},  // empty texts are still stored
      {R"(text x { "a" "b", "c", })", {"abc"}},
      {"text x\n{\n\"a\"\n,\n\"b\"\n}\n;", {"ab"}},
      {R"(text one {"1"}; text one {"2"} text 3 {"3"};)", {"1", "2", "3"}},  // names need not be unique
      {"##   command \"ResCom RQUOTES.R\" then\r\n##   ending with \\n wherever\r\n"
       "headers off       #  Ignore this command\r\nsymbols off       #  Ignore this command.\r\n",
       {}},
      {"# a \"quote\ntext x { # brace {\n \"a\" # \"b\"\n } # end\n", {"a"}},
      {"text x {\"a\"}#", {"a"}},
      {"HEADERS ON\nSymbols Off\nTEXT x {\"a\"}", {"a"}},
      {"text x\r\n {\r\n  \"a\\n\",\r\n  \"b\\n\",\r\n };\r\n", {"a\nb"}},
      {"text x {\"a\"}\x1A\x1A\r\n", {"a"}},  // Ctrl-Z ends the script, but not inside a literal
      {"text x {\"a\x1A\"}", {"a\x1A"}},
      {"\xEF\xBB\xBFtext x {\"a\"}", {"a"}},
      {"\ttext\tx\f{\v\"a\"}", {"a"}},
  };
  for (const auto& [script, texts] : cases) EXPECT_EQ(texts_of(script), texts) << script;
}

TEST(rescom_script, ErrorsNameTheirLines) {
  const struct {
    std::string script;
    std::vector<std::pair<int, const char*>> errors;
  } cases[] = {
      {"\n\ntext x {\n \"abc\n}\n", {{4, "unterminated string"}}},
      {"text x {\r\n\"a\r\n}\r\n", {{2, "unterminated string"}}},
      {"text x {\"a\\\n\"}",
       {{1, "unterminated string"},
        {2, "unterminated string"},
        {2, "script ends inside the resource begun at line 1"}}},
      {"text x {\"a\"}\nbogus x {\"b\" \"c\"}\ntext y {\"d\"}", {{2, "unknown command 'bogus'"}}},
      {"proof x {\"a\"}", {{1, "unknown command 'proo\\x66'"}}},
      {"text x {\"a\",,\"b\"}", {{1, "',' without a string"}}},
      {"text {\"a\"}", {{1, "resource name missing"}}},
      {"text x\n\"a\"}\ntext y {\"b\"}", {{2, "'{' expected after 'text x', found a string"}}},
      {"text x {\"a\"\n\ntext y {\"b\"}", {{3, "'}' missing before 'text'"}}},
      {"\n\"a\"\n", {{2, "string outside a resource"}}},
      {"{\"a\"}\n}", {{1, "'{' without 'text NAME'"}, {2, "unexpected '}'"}}},
      {"\xEF\xBBtext x {\"a\"}", {{1, "incomplete byte order mark"}}},
      {"headers maybe\n", {{1, "'maybe' is not a switch value for 'headers'"}}},
      {"text x {\"\\x00\" \"\\000\"}", {{1, "NUL byte"}}},  // once per resource
      {std::string("text x {\"a\0b\"}", 14), {{1, "NUL byte"}}},
      {"\ntext x {\"\\400\"}", {{2, "octal escape \\400 is larger than a byte"}}},
      {"text x {\"a\"}\n\x1A\ntext y {\"b\"}", {{3, "after the Ctrl-Z end mark"}}},
  };
  for (const auto& c : cases) {
    std::string rsc;
    const rescom::CompileOutcome outcome = rescom::compile_bytes(c.script, rsc);
    ASSERT_EQ(outcome.lines.size(), c.errors.size() + 1) << c.script;
    for (std::size_t i = 0; i < c.errors.size(); ++i) {
      EXPECT_TRUE(outcome.lines[i].starts_with("rquotes.r(" + std::to_string(c.errors[i].first) + "): error: ") &&
                  outcome.lines[i].find(c.errors[i].second) != std::string::npos)
          << outcome.lines[i];
    }
  }
}

TEST(rescom_script, ReportLineCountsTextsAndLargestStoredSize) {
  for (const auto& [script, line] :
       {std::pair{"", "Resource table of 0 entries, largest = 0 bytes"},
        {R"(text x {})", "Resource table of 1 entries, largest = 1 bytes"},
        {R"(text x {"abc"} text x {"ab\n"} text x {"\x41\n\n"})", "Resource table of 3 entries, largest = 4 bytes"}}) {
    std::string rsc;
    EXPECT_EQ(rescom::compile_bytes(script, rsc).lines, std::vector<std::string>{line}) << script;
  }
}

// Texts chosen to stress the format: empty ones, bytes 0xFF (which must stay out of the leading
// block but may appear in texts), line feeds, long texts; each written as hex escapes.
TEST(rescom_format, IndexAgreesWithAScanOfTheTexts) {
  // 9000 texts fill the index in more than one batch.
  for (const std::size_t count : {std::size_t{1}, std::size_t{7}, std::size_t{600}, std::size_t{9000}}) {
    SCOPED_TRACE(count);
    std::mt19937 random(static_cast<unsigned>(count));
    Texts texts;
    std::string script;
    for (std::size_t i = 0; i < count; ++i) {
      std::string text;
      const std::size_t size = random() % 4 == 0 ? 0 : random() % (i % 50 == 0 ? 5000 : 60);
      for (std::size_t k = 0; k < size; ++k) text += static_cast<char>(random() % 8 == 0 ? 0xFF : random() % 255 + 1);
      if (!text.empty() && text.back() == '\n') text += '.';  // a final LF would be dropped
      script += "text x {\"";
      for (char c : text) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
        script += escaped;
      }
      script += "\"}\n";
      texts.push_back(std::move(text));
    }
    std::string rsc;
    ASSERT_EQ(rescom::compile_bytes(script, rsc).exit_code, rescom::kExitOk);

    // Decode the leading block by hand, as a reader in another language would.
    const std::size_t close = rsc.find('\xFF');
    ASSERT_EQ(close, 36 + 8 * count);
    auto field = [&](std::size_t at) { return std::stoul(rsc.substr(at, 8), nullptr, 16); };
    EXPECT_EQ(field(12), count);
    std::size_t largest = 0;
    for (const std::string& t : texts) largest = std::max(largest, t.size() + 1);
    EXPECT_EQ(field(20), largest);
    const std::string area = rsc.substr(close + 1);
    EXPECT_EQ(field(28), area.size());

    // Scan the NUL-separated area as the recompile reader does.
    Texts scanned;
    for (std::size_t at = 0; at < area.size();) {
      const std::size_t nul = area.find('\0', at);
      ASSERT_NE(nul, std::string::npos) << "bytes after the last NUL";
      scanned.push_back(area.substr(at, nul - at));
      at = nul + 1;
    }
    EXPECT_EQ(scanned, texts);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t offset = field(36 + 8 * i);
      ASSERT_LE(offset + texts[i].size(), area.size());
      EXPECT_EQ(area.substr(offset, texts[i].size() + 1), texts[i] + '\0') << "text " << i;
    }

    // A file gets the index through its own seeks: the same bytes.
    vosko::testing::ScratchDir dir;
    ASSERT_EQ(rescom::compile_file(dir.Write("s.r", script), dir.Path("s.rsc")).exit_code, rescom::kExitOk);
    EXPECT_TRUE(ReadBytes(dir.Path("s.rsc")) == rsc);
  }
}

// In the win32 tree this runs rescom.exe under Wine: the Windows build writes the same bytes
// as the compiler core built for the tests.
TEST(rescom_program, CompilesBesideTheScriptAndReports) {
  vosko::testing::ScratchDir dir;
  const char script[] =
      "## two\r\ntext x\r\n   {\r\n   \"Be \\\"brief\\\".\\n\",\r\n   \"C:\\q\\n\",\r\n   };\r\n"
      "\r\ntext x\r\n   {\r\n   \"Short\\n\",\r\n   };\r\n";
  ASSERT_EQ(run_rescom({dir.Write("rquotes.r", script)}, dir.Path("rquotes.txt")), 0);
  std::string expected;
  ASSERT_EQ(rescom::compile_bytes(script, expected).exit_code, 0);
  EXPECT_EQ(ReadBytes(dir.Path("rquotes.rsc")), expected);
  // The DLL takes the first line that holds "of" as the report.
  EXPECT_TRUE(ReadBytes(dir.Path("rquotes.txt")).starts_with("Resource table of 2 entries, largest = 17 bytes"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("rquotes.rsc.tmp")));
}

TEST(rescom_program, ScriptErrorsLeaveTheOldOutputAlone) {
  vosko::testing::ScratchDir dir;
  const std::string script = dir.Write("rquotes.r", "text x {\"fine\"}\r\ntext x {\"broken\r\n}\r\n");
  dir.Write("rquotes.rsc", "previous compile");
  ASSERT_EQ(run_rescom({script}, dir.Path("rquotes.txt")), 1);
  EXPECT_EQ(ReadBytes(dir.Path("rquotes.rsc")), "previous compile");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("rquotes.rsc.tmp")));
  const std::string report = ReadBytes(dir.Path("rquotes.txt"));
  EXPECT_NE(report.find("rquotes.r(2): error: unterminated string"), std::string::npos) << report;
  EXPECT_EQ(report.find("of"), std::string::npos);  // the DLL must not find a report
}

TEST(rescom_program, ExitCodes) {
  vosko::testing::ScratchDir dir;
  const std::string good = dir.Write("good.r", "text x {\"a\"}"), elsewhere = dir.Path("other.bin");
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"-o", elsewhere, good}, 0},
      {{dir.Path("missing.r")}, 2},
      {{"-o", dir.Path("no/such.rsc"), good}, 2},
      {{good, good}, 3},
      {{"-o", good, good}, 3},  // output over the script
  };
  for (const auto& [args, code] : cases)
    EXPECT_EQ(run_rescom(args, dir.Path("out.txt")), code) << args.back() << ReadBytes(dir.Path("out.txt"));
  EXPECT_TRUE(rescom::decode_rsc(ReadBytes(elsewhere)).has_value());
  EXPECT_EQ(ReadBytes(good), "text x {\"a\"}");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("good.rsc")));  // -o went elsewhere; no other run succeeded
}

}  // namespace
