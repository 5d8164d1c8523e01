// The script language rescom accepts: literals and escapes, resource texts, comments and
// commands, and the errors it reports with their line numbers.
#include "rescom_test_support.h"

namespace {

using namespace rescom_test;
using Texts = std::vector<std::string>;

TEST(rescom_script, Escapes) {
  struct Case {
    const char* literal;  // as written between the quotes
    std::string bytes;
  };
  const Case cases[] = {
      {R"(\n)", "\n"},
      {R"(\t)", "\t"},
      {R"(\r)", "\r"},
      {R"(\a)", "\a"},
      {R"(\b)", "\b"},
      {R"(\f)", "\f"},
      {R"(\v)", "\v"},
      {R"(\\)", "\\"},
      {R"(\")", "\""},
      {R"(\')", "'"},
      {R"(\x41)", "A"},
      {R"(\x4a\x4A)", "JJ"},
      {R"(\x414)", "A4"},  // two hex digits at most
      {R"(\x4g)", "\x04g"},
      {R"(\xff)", "\xFF"},
      {R"(\xg)", "\\xg"},  // no digit: both characters stay
      {R"(\101)", "A"},
      {R"(\1011)", "A1"},  // three octal digits at most
      {R"(\7)", "\a"},
      {R"(\377)", "\xFF"},
      {R"(\18)",
       "\x01"
       "8"},
      {R"(C:\q)", "C:\\q"},  // unknown pairs keep both characters
      {R"(\?\%\ )", "\\?\\%\\ "},
      {R"(\\n)", "\\n"},
      {"a\rb", "a\rb"},                  // a lone CR is an ordinary byte
      {"\xE9\xFF\x80", "\xE9\xFF\x80"},  // so are bytes above 127
      {"#", "#"},                        // no comment inside a literal
      {"'", "'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.literal);
    // Framed so that a final line feed, which the compiler drops, cannot hide a result.
    const std::string script = std::string("text x { \"<") + c.literal + ">\" }";
    EXPECT_EQ(texts_of(script), Texts{"<" + c.bytes + ">"});
  }
}

TEST(rescom_script, ResourceTexts) {
  struct Case {
    const char* script;
    Texts texts;
  };
  const Case cases[] = {
      {R"(text x { "a\n" })", {"a"}},  // the one final line feed goes
      {R"(text x { "a\n\n" })", {"a\n"}},
      {R"(text x { "a\n", "b\n" })", {"a\nb"}},
      {R"(text x { "a\n" "" })", {"a"}},
      {R"(text x { "a\x0a" })", {"a"}},
      {R"(text x { "\n" })", {""}},
      {R"(text x { "" })", {""}},
      {R"(text x { })", {""}},  // empty texts are still counted and stored
      {R"(text x { "a", })", {"a"}},
      {R"(text x { "a" "b", "c" })", {"abc"}},
      {"text x\n{\n\"a\"\n,\n\"b\"\n}\n;", {"ab"}},
      {R"(text one {"1"}; text two {"2"} text 3 {"3"};)", {"1", "2", "3"}},
      {R"(text x { "a" } text x { "a" })", {"a", "a"}},  // names need not be unique
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    EXPECT_EQ(texts_of(c.script), c.texts);
  }
}

TEST(rescom_script, CommentsCommandsAndLineEnds) {
  struct Case {
    const char* what;
    std::string script;
    Texts texts;
  };
  const Case cases[] = {
      {"writer header alone", writer_header_crlf(), {}},
      {"comments", "# a \"quote\ntext x { # brace {\n \"a\" # \"b\"\n } # end\n", {"a"}},
      {"comment at the end without line end", "text x {\"a\"}#", {"a"}},
      {"commands in any case", "HEADERS ON\nSymbols Off\nTEXT x {\"a\"}", {"a"}},
      {"CR LF", to_crlf("text x\n {\n  \"a\\n\",\n  \"b\\n\",\n };\n"), {"a\nb"}},
      {"Ctrl-Z end mark", "text x {\"a\"}\r\n\x1A", {"a"}},
      {"Ctrl-Z padding", "text x {\"a\"}\x1A\x1A\r\n", {"a"}},
      {"Ctrl-Z inside a literal is a byte", "text x {\"a\x1A\"}", {"a\x1A"}},
      {"byte order mark", "\xEF\xBB\xBFtext x {\"a\"}", {"a"}},
      {"tabs and form feeds", "\ttext\tx\f{\v\"a\"}", {"a"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(texts_of(c.script), c.texts);
  }
}

TEST(rescom_script, ErrorsNameTheirLinesAndWriteNothing) {
  struct Expected {
    std::uint32_t line;
    const char* says;
  };
  struct Case {
    std::string script;
    std::vector<Expected> errors;
  };
  const Case cases[] = {
      {"\n\ntext x {\n \"abc\n}\n", {{4, "unterminated string"}}},
      {"text x {\r\n\"a\r\n}\r\n", {{2, "unterminated string"}}},
      {"text x {\"a\\\n\"}",
       {{1, "unterminated string"},
        {2, "unterminated string"},
        {2, "script ends inside the resource begun at line 1"}}},
      {"text x {\"a\"}\nbogus x {\"b\" \"c\"}\ntext y {\"d\"}", {{2, "unknown command 'bogus'"}}},
      {"proof x {\"a\"}", {{1, "unknown command 'proo\\x66'"}}},
      {"text x {\"a\",,\"b\"}", {{1, "',' without a string"}}},
      {"text x {, \"a\"}", {{1, "',' without a string"}}},
      {"text {\"a\"}", {{1, "resource name missing"}}},
      {"text x\n\"a\"}\ntext y {\"b\"}", {{2, "'{' expected after 'text x', found a string"}}},
      {"text x {\"a\"\n\ntext y {\"b\"}", {{3, "'}' missing before 'text'"}}},
      {"text x {\"a\"\n", {{2, "script ends inside the resource begun at line 1"}}},
      {"\n\"a\"\n", {{2, "string outside a resource"}}},
      {"{\"a\"}\n}", {{1, "'{' without 'text NAME'"}, {2, "unexpected '}'"}}},
      {"text x {\"a\"} @", {{1, "unexpected '@'"}}},
      {"\xEF\xBBtext x {\"a\"}", {{1, "incomplete byte order mark"}}},
      {"text x {\"a\" x}", {{1, "unexpected 'x' inside a resource"}}},
      {"headers maybe\n", {{1, "'maybe' is not a switch value for 'headers'"}}},
      {"symbols\ntext x {\"a\"}", {{1, "switch value missing after 'symbols'"}}},
      {"text x {\"\\0\"}", {{1, "NUL byte"}}},
      {"text x {\"\\x00\" \"\\000\"}", {{1, "NUL byte"}}},  // once per resource
      {std::string("text x {\"a\0b\"}", 14), {{1, "NUL byte"}}},
      {"\ntext x {\"\\400\"}", {{2, "octal escape \\400 is larger than a byte"}}},
      {"text x {\"a\"}\n\x1A\ntext y {\"b\"}", {{3, "after the Ctrl-Z end mark"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    std::string rsc;
    const rescom::CompileOutcome outcome = rescom::compile_bytes(c.script, rsc);
    EXPECT_EQ(outcome.exit_code, rescom::kExitScriptErrors);
    EXPECT_TRUE(rsc.empty());
    ASSERT_EQ(outcome.lines.size(), c.errors.size() + 1);
    for (std::size_t i = 0; i < c.errors.size(); ++i) {
      const std::string prefix = "rquotes.r(" + std::to_string(c.errors[i].line) + "): error: ";
      EXPECT_EQ(outcome.lines[i].substr(0, prefix.size()), prefix) << outcome.lines[i];
      EXPECT_NE(outcome.lines[i].find(c.errors[i].says), std::string::npos) << outcome.lines[i];
    }
    const std::string summary = c.errors.size() == 1 ? "rquotes.r: 1 error, " : "errors, ";
    EXPECT_NE(outcome.lines.back().find(summary), std::string::npos) << outcome.lines.back();
    // The DLL takes the first line holding "of" as the report: no error line may.
    for (const std::string& line : outcome.lines) EXPECT_FALSE(rescom::contains_marker(line));
  }
}

TEST(rescom_script, StopsAfterTwentyErrors) {
  std::string script;
  for (int i = 0; i < 30; ++i) script += "text x {,}\n";
  std::string rsc;
  const rescom::CompileOutcome outcome = rescom::compile_bytes(script, rsc);
  EXPECT_EQ(outcome.exit_code, rescom::kExitScriptErrors);
  ASSERT_EQ(outcome.lines.size(), rescom::kMaxErrors + 1);
  EXPECT_EQ(outcome.lines[19].rfind("rquotes.r(20): error:", 0), 0u);
  EXPECT_EQ(outcome.lines.back(), "rquotes.r: stopped after 20 errors, rquotes.rsc not written");
}

TEST(rescom_script, ReportLineCountsTextsAndLargestStoredSize) {
  struct Case {
    const char* script;
    const char* line;
  };
  const Case cases[] = {
      {"", "Resource table of 0 entries, largest = 0 bytes"},
      {R"(text x {})", "Resource table of 1 entries, largest = 1 bytes"},
      {R"(text x {"abc"} text x {"ab\n"} text x {"\x41\n\n"})", "Resource table of 3 entries, largest = 4 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    std::string rsc;
    const rescom::CompileOutcome outcome = rescom::compile_bytes(c.script, rsc);
    EXPECT_EQ(outcome.lines, std::vector<std::string>{c.line});
  }
}

TEST(rescom_script, DefaultOutputReplacesTheExtension) {
  EXPECT_EQ(rescom::default_output_path("rquotes.r"), "rquotes.rsc");
  EXPECT_EQ(rescom::default_output_path("C:\\my.quotes\\rquotes.r"), "C:\\my.quotes\\rquotes.rsc");
  EXPECT_EQ(rescom::default_output_path("dir.d/script"), "dir.d/script.rsc");
  EXPECT_EQ(rescom::default_output_path("a.b.r"), "a.b.rsc");
}

}  // namespace
