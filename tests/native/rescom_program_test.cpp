// The rescom program as the batch file runs it: files, report, exit codes. In the win32 tree
// this runs rescom.exe under Wine, so the last case also checks that the Windows build writes
// the same bytes as the compiler core built for the tests.
#include "rescom_test_support.h"

#include <sstream>

namespace {

using namespace rescom_test;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// What the DLL reads from rquotes.txt: the first line that contains "of".
std::string report_line(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    if (line.find("of") != std::string::npos) return line;
  return {};
}

const char kScript[] =
    "## two quotes\r\n"
    "headers off       #  Ignore this command\r\n"
    "\r\n"
    "text x\r\n   {\r\n   \"Be \\\"brief\\\".\\n\",\r\n   \"C:\\q\\n\",\r\n   };\r\n"
    "\r\n"
    "text x\r\n   {\r\n   \"Short\\n\",\r\n   };\r\n";

TEST(rescom_program, CompilesBesideTheScriptAndReports) {
  TempDir dir;
  write_file(dir / "rquotes.r", kScript);
  ASSERT_EQ(run_rescom({(dir / "rquotes.r").string()}, dir / "rquotes.txt"), 0);

  std::string expected;
  ASSERT_EQ(rescom::compile_bytes(kScript, expected).exit_code, 0);
  EXPECT_EQ(read_file(dir / "rquotes.rsc"), expected);  // native and Windows builds alike
  EXPECT_EQ(report_line(lines_of(read_file(dir / "rquotes.txt"))), "Resource table of 2 entries, largest = 17 bytes");
  EXPECT_FALSE(fs::exists(dir / "rquotes.rsc.tmp"));
}

TEST(rescom_program, ScriptErrorsLeaveTheOldOutputAlone) {
  TempDir dir;
  write_file(dir / "rquotes.r", "text x {\"fine\"}\r\ntext x {\"broken\r\n}\r\n");
  write_file(dir / "rquotes.rsc", "previous compile");
  ASSERT_EQ(run_rescom({(dir / "rquotes.r").string()}, dir / "rquotes.txt"), 1);

  EXPECT_EQ(read_file(dir / "rquotes.rsc"), "previous compile");
  EXPECT_FALSE(fs::exists(dir / "rquotes.rsc.tmp"));
  const std::vector<std::string> lines = lines_of(read_file(dir / "rquotes.txt"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("rquotes.r(2): error: unterminated string"), std::string::npos);
  EXPECT_EQ(report_line(lines), "");  // the DLL must not find a report
}

TEST(rescom_program, ExitCodes) {
  TempDir dir;
  write_file(dir / "good.r", "text x {\"a\"}");
  const std::string good = (dir / "good.r").string();
  const std::string elsewhere = (dir / "other.bin").string();
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int exit_code;
  };
  const Case cases[] = {
      {"help", {"--help"}, 0},
      {"-o", {"-o", elsewhere, good}, 0},
      {"missing script", {(dir / "missing.r").string()}, 2},
      {"output folder missing", {"-o", (dir / "no" / "such.rsc").string(), good}, 2},
      {"no script", {}, 3},
      {"two scripts", {good, good}, 3},
      {"unknown option", {"-x", good}, 3},
      {"-o without a file", {good, "-o"}, 3},
      {"output over the script", {"-o", good, good}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(run_rescom(c.args, dir / "out.txt"), c.exit_code) << read_file(dir / "out.txt");
  }
  EXPECT_TRUE(rescom::decode_rsc(read_file(elsewhere)).has_value());
  EXPECT_EQ(read_file(good), "text x {\"a\"}");
  EXPECT_FALSE(fs::exists(dir / "good.rsc"));  // -o went elsewhere; no other run succeeded
}

}  // namespace
