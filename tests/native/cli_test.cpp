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
  const std::string in = dir.Write("in.txt", "A line to import\n");
  const std::string fresh = dir.Path("new.lsq");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string message;
  } cases[] = {
      {{"compile", "-o", out, dir.Path("missing.lsq")}, kExitFileError, "missing.lsq: no such file or folder"},
      {{"compile", "-o", out, dir.Path("empty")}, kExitFileError, "empty: the folder holds no quote files"},
      {{"compile", "-o", out, dir.Path("good.lsq"), dir.Path("bin.lsq")},
       kExitFileError,
       "bin.lsq: this is a binary file"},
      {{"compile", "-o", out, dir.Path("locked.lsq")}, kExitFileError, "locked.lsq: the quote file cannot be read"},
      {{"compile", "-o", dir.Path("no/such/dir/out.pms"), dir.Path("good.lsq")},
       kExitFileError,
       "out.pms: the compiled quotes cannot be written here"},
      {{"compile", "-o", out, "--script", dir.Path("no/dir/rquotes.r"), dir.Path("good.lsq")},
       kExitFileError,
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
      {{"compile", "-o", dir.Path("good.lsq"), dir.Path("good.lsq")}, kExitFileError, "good.lsq: is also an input"},
      {{"compile", "--script", dir.Path("good.lsq"), dir.Path("good.lsq")},
       kExitFileError,
       "good.lsq: is also an input"},
      {{"export", "-o", out, dir.Path("good.lsq"), dir.Path("locked.lsq")},
       kExitFileError,
       "locked.lsq: the quote file"},
      {{"export", "-o", dir.Path("good.lsq"), dir.Path("good.lsq")}, kExitFileError, "good.lsq: is also an input"},
      {{"export", "-o", dir.Path("no/dir/x.txt"), dir.Path("good.lsq")}, kExitFileError, "x.txt: cannot be written"},
      {{"export", dir.Path("good.lsq")}, kExitUsage, "lacks -o FILE"},
      {{"import", "--title", "T", "--line-length", "45", in, fresh}, kExitUsage, "45: the line length must be"},
      {{"import", "--title", "T", "--line-length", "4x6", in, fresh}, kExitUsage, "the line length must be"},
      {{"import", "--title", "T", "--line-length", "46", dir.Path("missing.txt"), fresh},
       kExitFileError,
       "no such file"},
      {{"import", "--title", "T", "--line-length", "46", dir.Path("bin.lsq"), fresh}, kExitFileError, "binary file"},
      {{"import", "--title", "T", "--line-length", "46", dir.Path("locked.lsq"), fresh},
       kExitFileError,
       "locked.lsq: cannot be read"},
      {{"import", "--title", "T", "--line-length", "46", in, in}, kExitFileError, "in.txt: is also an input"},
      {{"recompile", "--title", "T", dir.Path("good.lsq"), fresh}, kExitFileError, "not a compiled quotes file"},
      {{"recompile", "--title", "T", dir.Path("empty"), fresh}, kExitFileError, "empty: cannot be read"},
      {{"new", fresh}, kExitUsage, "needs a title"},
      {{"new", "--title", "Two\nlines", fresh}, kExitUsage, "one line of text"},
      {{"new", "--title", "T", dir.Path("good.lsq")}, kExitFileError, "good.lsq: already exists"},
      {{"new", "--title", "T"}, kExitUsage, "lacks OUT.lsq"},
      {{"new", "--title", "T", fresh, "extra"}, kExitUsage, "unknown option \"extra\""},
      {{"check", "--strict", dir.Path("missing.lsq")}, kExitFileError, "no such file"},
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
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_EQ(ReadBytes(dir.Path("good.lsq")), Crlf("One\n\nTwo\n"));
  EXPECT_EQ(ReadBytes(in), "A line to import\n");
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
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path("")))
    left.push_back(entry.path().filename().string());
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
    return std::to_string(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(text.find(part)), '\n') +
                          1);
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
  const std::string settings =
      dir.Write("Tarno.pm", Crlf("[Vosko]\nz.lsq=nothing\n[VoskoFiles]\nZ.LSQ=07EA,0C,05,0E,07,2a\n"));
  const struct {
    const char* format;
    std::vector<std::string> parts;
  } cases[] = {
      {"table", {"Title", "Alpha \"A\\B\"", "Beta Tab", "42", "05 Dec 26, 14:07"}},
      {"tsv",
       {"Title\tAuthor\tSize", "Alpha \"A\\B\"\tAnn\xE9\t.0k\t42\t", "05 Dec 26, 14:07\tz.lsq\n", "Beta Tab\t\t"}},
      {"json",
       {"[\n {\"title\": \"Alpha \\\"A\\\\B\\\"\", \"author\": \"Ann\\u00e9\"", "\"quotes\": \"42\"",
        "\"compileDate\": \"05 Dec 26, 14:07\"", "\"title\": \"Beta\\u0009Tab\"", "\"quotes\": \"\""}},
  };
  for (const auto& c : cases) {
    const CliRun run = Vosko({"list", "--format", c.format, "--settings", settings, dir.Path("q")});
    EXPECT_EQ(run.code, kExitOk) << run.err;
    for (const std::string& part : c.parts)
      EXPECT_TRUE(Contains(run.out, part)) << c.format << ": " << part << "\n" << run.out;
    EXPECT_LT(run.out.find("Alpha"), run.out.find("Beta")) << c.format;  // title order
  }
}

// Every command answers --help with its own usage, and the tool's help names them all.
TEST(VoskoCli, HelpForEveryCommand) {
  const std::string all = Vosko({"--help"}).out;
  for (const char* command : {"compile", "count", "list", "export", "import", "recompile", "new", "check"}) {
    const CliRun run = Vosko({command, "--help"});
    EXPECT_EQ(run.code, kExitOk) << command;
    EXPECT_TRUE(run.out.starts_with(std::string("Usage: vosko ") + command + " ")) << run.out;
    EXPECT_TRUE(Contains(all, std::string("\n  ") + command + " ")) << command;
  }
}

// New quote files from the template, an import and a compiled file; an export of the
// recompiled quotes gives the exported originals back, and replaces the export it is written over.
TEST(VoskoCli, NewFilesAndExport) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.Path("q"));
  dir.Write("q/a.lsq", Crlf("@@TITLE=A\nOne\nline ## note\n\n\"Two\" \\d\n"));
  dir.Write("q/b.lsq", Crlf("Three\n"));
  const std::string in = dir.Write("in.txt",
                                   "The quick brown fox jumps over the lazy dog and then runs far away"
                                   " into the woods.\nSecond line.\n");
  const struct {
    std::vector<std::string> args;
    std::string said;
    std::string tail;  // how the new file ends
  } cases[] = {
      {{"new", "--title", "Mine", "--author", "Ann", dir.Path("n.lsq")},
       "n.lsq: a new quote file with 0 quotes",
       "@@TITLE=Mine\r\n\r\n"},
      {{"new", "--title", "Mine", dir.Path("m.lsq")}, "m.lsq: a new quote file with 0 quotes", "@@AUTHOR=\r\n\r\n"},
      {{"import", "--title", "Imp", "--line-length", "46", in, dir.Path("i.lsq")},
       "i.lsq: a new quote file with 2 quotes",
       "available.\r\n\r\nThe quick brown fox jumps over the lazy dog \r\nand then runs far away into the woods.\r\n"
       " \r\n\r\nSecond line.\r\n \r\n"},
  };
  for (const auto& c : cases) {
    const CliRun run = Vosko(c.args);
    EXPECT_EQ(run.code, kExitOk) << run.err;
    EXPECT_TRUE(Contains(run.out, c.said)) << run.out;
    const std::string made = ReadBytes(c.args.back());
    EXPECT_TRUE(made.starts_with("## ----")) << c.args[0];
    EXPECT_TRUE(c.args[0] == "import" ? made.ends_with(c.tail) : Contains(made, c.tail)) << made;
  }

  ASSERT_EQ(Vosko({"compile", "-o", dir.Path("r.pms"), dir.Path("q")}).code, kExitOk);
  const CliRun back = Vosko({"recompile", "--title", "Back", dir.Path("r.pms"), dir.Path("back.lsq")});
  EXPECT_EQ(back.code, kExitOk) << back.err;
  EXPECT_TRUE(Contains(back.out, "with 3 quotes")) << back.out;
  const std::string old = dir.Write("old.txt", "an older export, longer than the new one will be");
  for (const std::string& from : {dir.Path("q"), dir.Path("back.lsq")}) {
    const CliRun exported = Vosko({"export", "-o", old, from});
    EXPECT_EQ(exported.code, kExitOk) << exported.err;
    EXPECT_TRUE(Contains(exported.out, "exported 3 quotes")) << exported.out;
    EXPECT_EQ(ReadBytes(old), "One line\r\n\"Two\" \\d\r\nThree") << from;
  }
}

// What check shows comes from the writer: each kind of change at its line, once, and
// --strict turns findings into a failing exit code.
TEST(VoskoCli, CheckShowsWhatTheCompileChanges) {
  ScratchDir dir;
  const std::string longLine(1500, 'x');
  const std::string file =
      dir.Write("c.lsq", Crlf("@@TITLE=Fine\n@@AUTHOR=Fine too\n@@LEFT\n@@RIGHT=abc\n  @@LEFT=3\nA \\d and \\n \"q\"\n"
                              "Dinner at 8 @@ home\n@@HEADER=" +
                              std::string(1000, 'h') + std::string(10, '"') + "\nOne\n\nTwo\n" + longLine + "\n"));
  const std::string clean = dir.Write("clean.lsq", Crlf("@@TITLE=T\n@@LEFT=4\nTab\\tbed \"ok\"\n"));
  const CliRun run = Vosko({"check", file, clean});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  const std::string expected = file +
                               ":3: the directive sets nothing"
                               "|" +
                               file +
                               ":4: the directive sets nothing"
                               "|" +
                               file +
                               ":5: the line holds \"@@\""
                               "|" +
                               file +
                               ":6: a backslash that starts no escape"
                               "|" +
                               file +
                               ":7: the line holds \"@@\""
                               "|" +
                               file +
                               ":8: the line is 1020 characters long"
                               "|" +
                               file +
                               ":12: the line is longer than 1023"
                               "|" +
                               file + ":12: the line is 1023 characters long";
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(run.out.substr(at, end - at));
  }
  std::vector<std::string> parts;
  for (std::size_t at = 0, end; at <= expected.size(); at = end + 1) {
    end = std::min(expected.find('|', at), expected.size());
    parts.push_back(expected.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), parts.size()) << run.out;
  for (std::size_t i = 0; i < parts.size(); ++i) EXPECT_TRUE(lines[i].starts_with(parts[i])) << lines[i];
  EXPECT_TRUE(Contains(run.out, "; 1 on this line")) << run.out;
  EXPECT_EQ(Vosko({"check", "--strict", file}).code, kExitRefused);
  const CliRun strictClean = Vosko({"check", "--strict", clean});
  EXPECT_EQ(strictClean.code, kExitOk);
  EXPECT_EQ(strictClean.out, "");
}

}  // namespace
}  // namespace vosko::cli
