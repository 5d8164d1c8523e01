// The command-line tool's commands, run in-process over scratch folders.
#include "cli.h"
#include "cli_support.h"

#include <filesystem>
#include <sstream>

#include "compiler.h"
#include "engine_files.h"

namespace vosko::cli {
namespace {

using testing::Crlf;
using testing::ReadBytes;
using testing::ScratchDir;

struct CliRun {
  int code;
  std::string out, err;
};

CliRun Vosko(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int code = RunVosko(args, out, err);
  return {code, out.str(), err.str()};
}

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// Bad input: a message naming the problem, the exit code scripts test, and the old output
// (here "old") neither replaced nor joined by work files.
TEST(VoskoCli, BadInputFailsCleanly) {
  ScratchDir dir;
  dir.Write("good.lsq", Crlf("One\n\nTwo\n"));
  dir.Write("bin.lsq", std::string("@@TITLE=x\r\n\0\x01\x02", 14));
  std::filesystem::create_directories(dir.Path("empty"));
  dir.Write("empty/notes.txt", "not a quote file");
  testing::MakeReadOnly(dir.Write("locked.lsq", "A quote\r\n"));
  const std::string out = dir.Write("out.pms", "old");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string message;
  } cases[] = {
      {{"compile", "-o", out, dir.Path("missing.lsq")}, kExitFileError, "missing.lsq: no such file or folder"},
      {{"compile", "-o", out, dir.Path("empty")}, kExitFileError, "empty: the folder holds no quote files"},
      {{"compile", "-o", out, dir.Path("good.lsq"), dir.Path("bin.lsq")}, kExitFileError, "bin.lsq: this is a binary file"},
      {{"compile", "-o", out, dir.Path("locked.lsq")}, kExitFileError, "locked.lsq: the quote file cannot be read"},
      {{"compile", "-o", dir.Path("no/such/dir/out.pms"), dir.Path("good.lsq")}, kExitFileError,
       "out.pms: the compiled quotes cannot be written here"},
      {{"compile", "-o", out, "--script", dir.Path("no/dir/rquotes.r"), dir.Path("good.lsq")}, kExitFileError,
       "rquotes.r: the script cannot be written"},
      {{"count", dir.Path("missing.lsq")}, kExitFileError, "no such file or folder"},
      {{"compile", "-o", out}, kExitUsage, "nothing to do"},
      {{"compile", "-o"}, kExitUsage, "-o needs a value"},
      {{"compile", "--fast", dir.Path("good.lsq")}, kExitUsage, "unknown option \"--fast\""},
      {{"compress"}, kExitUsage, "unknown command \"compress\""},
      {{}, kExitUsage, "Usage: vosko COMMAND"},
      {{"list", "--format", "xml", dir.Path("")}, kExitUsage, "xml: unknown format"},
      {{"list", dir.Path("good.lsq")}, kExitFileError, "good.lsq: not a folder"},
      {{"list", "--settings", dir.Path("none.pm"), dir.Path("")}, kExitFileError, "the settings file cannot be read"},
  };
  for (const auto& c : cases) {
    const CliRun run = Vosko(c.args);
    const std::string shown = c.args.empty() ? "(none)" : c.args[0] + " " + c.args.back();
    EXPECT_EQ(run.code, c.code) << shown;
    EXPECT_TRUE(Contains(run.err, c.message)) << shown << "\n" << run.err;
    EXPECT_EQ(ReadBytes(out), "old") << shown;
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path(""))) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

// A compile gives the compiler's own file of the script the extension's writer makes, counts
// what the rescan counts, and leaves only what was asked for.
TEST(VoskoCli, CompileAndCount) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.Path("q"));
  dir.Write("q/a.lsq", Crlf("@@TITLE=Alpha\nFirst\n\nSecond\nline\n"));
  dir.Write("q/b.LSQ", Crlf("@@CENTER=20\nThird\n"));
  dir.Write("q/skip.txt", "not compiled");
  const std::string out = dir.Path("rquotes.pms");
  const std::string script = dir.Path("kept.r");

  const CliRun compiled = Vosko({"compile", "-o", out, "--script", script, dir.Path("q")});
  ASSERT_EQ(compiled.code, kExitOk) << compiled.err;
  EXPECT_TRUE(Contains(compiled.out, "compiled 3 quotes")) << compiled.out;
  std::string again;
  ASSERT_EQ(rescom::compile_bytes(ReadBytes(script), again).exit_code, rescom::kExitOk);
  EXPECT_EQ(ReadBytes(out), again);

  const CliRun plain = Vosko({"compile", "-o", dir.Path("plain.pms"), dir.Path("q/a.lsq"), dir.Path("q/b.LSQ")});
  ASSERT_EQ(plain.code, kExitOk) << plain.err;
  EXPECT_EQ(ReadBytes(dir.Path("plain.pms")), again);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path(""))) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"kept.r", "plain.pms", "q", "rquotes.pms"}));

  const CliRun counted = Vosko({"count", dir.Path("q")});
  EXPECT_EQ(counted.code, kExitOk);
  EXPECT_TRUE(Contains(counted.out, "a.lsq: 2 quotes\n")) << counted.out;
  EXPECT_TRUE(Contains(counted.out, "b.LSQ: 1 quotes\n")) << counted.out;
  EXPECT_TRUE(Contains(counted.out, "total: 3 quotes\n")) << counted.out;
}

// The compiler's errors point at the quote file line to fix; lines of the script's own header
// stay at the script.
TEST(VoskoCli, RefusalPointsAtQuoteLines) {
  ScratchDir dir;
  const std::string a = dir.Write("a.lsq", Crlf("@@TITLE=Alpha\nFine\n"));
  const std::string b = dir.Write("b.lsq", Crlf("@@TITLE=Beta\n## a comment\n\nBroken here\n"));
  const std::string script = dir.Path("rquotes.r");
  ASSERT_EQ(Vosko({"compile", "-o", dir.Path("x.pms"), "--script", script, a, b}).code, kExitOk);
  const std::string text = ReadBytes(script);
  const auto line_of = [&](std::string_view part) {
    return std::to_string(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(text.find(part)), '\n') + 1);
  };
  std::ostringstream err;
  ReportRefusal({a, b},
                {"s(" + line_of("Broken here") + "): error: unterminated string", "s(1): error: odd header",
                 "s: 2 errors, x.pms not written"},
                dir.Path("trace.tmp"), "rquotes.r", err);
  EXPECT_TRUE(Contains(err.str(), b + ":4: unterminated string\n")) << err.str();
  EXPECT_TRUE(Contains(err.str(), "rquotes.r:1: odd header\n")) << err.str();
  EXPECT_FALSE(std::filesystem::exists(dir.Path("trace.tmp")));
}

// The catalog in its three forms, with the compile records of a settings file.
TEST(VoskoCli, ListFormats) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.Path("q"));
  dir.Write("q/z.lsq", Crlf("@@TITLE=Alpha \"A\\B\"\n@@AUTHOR=Ann\xE9\nOne\n"));
  dir.Write("q/y.lsq", Crlf("@@TITLE=Beta\tTab\nTwo\n"));
  const std::string settings = dir.Write("Tarno.pm", Crlf("[Vosko]\nz.lsq=nothing\n[VoskoFiles]\nZ.LSQ=07EA,0C,05,0E,07,2a\n"));
  const struct {
    const char* format;
    std::vector<std::string> parts;
  } cases[] = {
      {"table", {"Title", "Alpha \"A\\B\"", "Beta Tab", "42", "05 Dec 26, 14:07"}},
      {"tsv", {"Title\tAuthor\tSize", "Alpha \"A\\B\"\tAnn\xE9\t.0k\t42\t", "05 Dec 26, 14:07\tz.lsq\n", "Beta Tab\t\t"}},
      {"json", {"[\n {\"title\": \"Alpha \\\"A\\\\B\\\"\", \"author\": \"Ann\\u00e9\"", "\"quotes\": \"42\"",
                "\"compileDate\": \"05 Dec 26, 14:07\"", "\"title\": \"Beta\\u0009Tab\"", "\"quotes\": \"\""}},
  };
  for (const auto& c : cases) {
    const CliRun run = Vosko({"list", "--format", c.format, "--settings", settings, dir.Path("q")});
    EXPECT_EQ(run.code, kExitOk) << run.err;
    for (const std::string& part : c.parts) EXPECT_TRUE(Contains(run.out, part)) << c.format << ": " << part << "\n" << run.out;
    EXPECT_LT(run.out.find("Alpha"), run.out.find("Beta")) << c.format;  // title order
  }
}

}  // namespace
}  // namespace vosko::cli
