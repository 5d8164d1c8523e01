// The command-line tool's commands, run in-process over scratch folders.
#include "cli.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>

#include "cli_support.h"
#include "compiler.h"
#include "engine/fortune.h"
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
// (here "old") neither replaced nor joined by work files; no input is ever written over.
TEST(VoskoCli, BadInputFailsCleanly) {
  ScratchDir dir;
  const std::string good = dir.Write("good.lsq", Crlf("One\n\nTwo\n")), out = dir.Write("out.pms", "old");
  const std::string bin = dir.Write("bin.lsq", std::string("@@TITLE=x\r\n\0\x01\x02", 14));
  const std::string in = dir.Write("in.txt", "A line to import\n"), fresh = dir.Path("new.lsq");
  std::filesystem::create_directories(dir.Path("empty"));
  dir.Write("empty/notes.txt", "not a quote file");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string message;
  } cases[] = {
      {{"compile", "-o", out, dir.Path("missing.lsq")}, kExitFileError, "missing.lsq: no such file or folder"},
      {{"compile", "-o", out, dir.Path("empty")}, kExitFileError, "empty: the folder holds no quote files"},
      {{"compile", "-o", out, good, bin}, kExitFileError, "bin.lsq: this is a binary file"},
      {{"compile", "-o", dir.Path("no/dir/out.pms"), good}, kExitFileError, "out.pms: the compiled quotes cannot be"},
      {{"compile", "-o", out, "--script", dir.Path("no/dir/rquotes.r"), good}, kExitFileError, "rquotes.r: the script"},
      {{"compile", "-o", good, good}, kExitFileError, "good.lsq: is also an input"},
      {{"compile", "--script", good, good}, kExitFileError, "good.lsq: is also an input"},
      {{"compile", "-o", out}, kExitUsage, "nothing to do"},
      {{"export", "-o", out, good, dir.Path("missing.lsq")}, kExitFileError, "missing.lsq: no such file"},
      {{"export", "-o", good, good}, kExitFileError, "good.lsq: is also an input"},
      {{"export", "-o", dir.Path("no/dir/x.txt"), good}, kExitFileError, "x.txt: cannot be written"},
      {{"import", "--title", "T", "--line-length", "4x6", in, fresh}, kExitUsage, "the line length must be"},
      {{"import", "--title", "T", "--line-length", "46", dir.Path("missing.txt"), fresh}, kExitFileError, "no such"},
      {{"import", "--title", "T", "--line-length", "46", bin, fresh}, kExitFileError, "binary file"},
      {{"import", "--title", "T", "--line-length", "46", in, in}, kExitFileError, "in.txt: is also an input"},
      {{"recompile", "--title", "T", good, fresh}, kExitFileError, "not a compiled quotes file"},
      {{"new", "--title", "Two\nlines", fresh}, kExitUsage, "one line of text"},
      {{"new", "--title", "T", good}, kExitFileError, "good.lsq: already exists"},
      {{"compile", "-o", dir.Path("locked/RQuotes.pms"), good}, kExitFileError, "another compile is running"},
      {{"import", "--from", "csv", in, fresh}, kExitUsage, "csv: unknown format"},
      {{"export", "--to", "csv", "-o", out, good}, kExitUsage, "csv: unknown format"},
      {{"import", "--from", "fortune", "--line-length", "46", in, fresh}, kExitUsage, "option \"--line-length\""},
      {{"import", "--from", "fortune", bin, fresh}, kExitFileError, "binary file"},
      {{"export", "--to", "fortune", "-o", good, good}, kExitFileError, "good.lsq: is also an input"},
  };
  std::filesystem::create_directories(dir.Path("locked"));
  const FolderLock held(dir.Path("locked"));  // another compile of that folder
  for (const auto& c : cases) {
    const CliRun run = Vosko(c.args);
    EXPECT_EQ(run.code, c.code) << c.args[0] << " " << c.args.back();
    EXPECT_TRUE(Contains(run.err, c.message)) << c.args[0] << " " << c.args.back() << "\n" << run.err;
    EXPECT_EQ(ReadBytes(out), "old") << c.args[0] << " " << c.args.back();
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path("")))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_EQ(ReadBytes(good), Crlf("One\n\nTwo\n"));
  EXPECT_EQ(ReadBytes(in), "A line to import\n");
}

// A compile gives the compiler's own file of the script the extension's writer makes, counts
// what the rescan counts, and leaves only what was asked for; its quotes recompiled and
// exported give the originals' export back, over a longer old export.
TEST(VoskoCli, CompileCountRecompileAndExport) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.Path("q"));
  dir.Write("q/a.lsq", Crlf("@@TITLE=Alpha\nOne\nline ## note\n\n\"Two\" \\d\n"));
  dir.Write("q/b.LSQ", Crlf("Three\n"));
  dir.Write("q/skip.txt", "not compiled");
  const std::string out = dir.Path("rquotes.pms"), script = dir.Path("kept.r");

  const CliRun compiled = Vosko({"compile", "-o", out, "--script", script, dir.Path("q")});
  ASSERT_EQ(compiled.code, kExitOk) << compiled.err;
  EXPECT_TRUE(Contains(compiled.out, "compiled 3 quotes")) << compiled.out;
  std::string again;
  ASSERT_EQ(rescom::compile_bytes(ReadBytes(script), again).exit_code, rescom::kExitOk);
  EXPECT_EQ(ReadBytes(out), again);
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path("")))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"kept.r", "q", "rquotes.pms"}));
  const CliRun counted = Vosko({"count", dir.Path("q")});
  EXPECT_TRUE(Contains(counted.out, "a.lsq: 2 quotes\n") && Contains(counted.out, "b.LSQ: 1 quotes\ntotal: 3 quotes\n"))
      << counted.out;

  const CliRun back = Vosko({"recompile", "--title", "Back", out, dir.Path("back.lsq")});
  EXPECT_TRUE(back.code == kExitOk && Contains(back.out, "with 3 quotes")) << back.out << back.err;
  const std::string old = dir.Write("old.txt", "an older export, longer than the new one will be");
  for (const std::string& from : {dir.Path("q"), dir.Path("back.lsq")}) {
    const CliRun exported = Vosko({"export", "-o", old, from});
    EXPECT_TRUE(exported.code == kExitOk && Contains(exported.out, "exported 3 quotes")) << exported.err;
    EXPECT_EQ(ReadBytes(old), "One line\r\n\"Two\" \\d\r\nThree") << from;
  }
}

// Fortune file -> import -> compile -> recompile -> export gives back every fortune, hard ones
// and random ones; what no quote line can hold is changed as the import says.
TEST(VoskoCli, FortuneRoundTrip) {
  std::vector<std::string> texts = {
      "Blank lines\n\n  inside,\n \n\tand tabs\t",
      "C:\\new and \\\\server, \\t \\\" \\q \\x41 \\0 ends in \\",
      "\"Quoted\" 'single' \xe9 8-bit\r mid-line CR, # and @ alone",
      "\n\nempty lines first and last\n\n",
      "   leading blanks\n%% not a separator\n %\n" + std::string(1010, 'x'),
  };
  std::mt19937 random(22);
  const std::string alphabet = "\\\\ntx0\"'  \t\r\n\n\n%@#a\xe9";
  for (std::string text, one; texts.size() < 300; one.clear()) {
    text.resize(1 + random() % 60);
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    if (AppendFortune(text, one) == 0 && text.find("##") == text.npos && text.find("@@") == text.npos)
      texts.push_back(text);
  }
  const std::tuple<std::string, std::string, std::string> changed[] = {
      // typed, exported, what import says
      {"C##, @@@ home", "C# #, @ @ @ home", ": \"##\" or \"@@\""},
      {std::string("a NUL\0, a\x1a Ctrl-Z", 17), "a NUL, a Ctrl-Z", ": a NUL or Ctrl-Z"},  // past the binary probe
      {std::string(1010, 'w') + " word", std::string(1010, 'w') + " \nword", ": the line is longer"},
  };
  ScratchDir dir;
  std::string file = "%\n%\n";
  for (const std::string& text : texts) AppendFortune(text, file);
  std::vector<std::string> lines;  // where each changed fortune starts
  for (const auto& [typed, exported, said] : changed) {
    lines.push_back(":" + std::to_string(std::count(file.begin(), file.end(), '\n') + 1) + said);
    AppendFortune(typed, file);
  }
  const std::string fortunes = dir.Write("wisdom", file), lsq = dir.Path("wisdom.lsq"), pms = dir.Path("r.pms");
  const CliRun in = Vosko({"import", "--from", "fortune", fortunes, lsq});
  EXPECT_TRUE(in.code == kExitOk && Contains(in.out, "with 303 quotes")) << in.out;
  for (const std::string& said : lines) EXPECT_TRUE(Contains(in.err, fortunes + said)) << in.err;
  EXPECT_EQ(std::count(in.err.begin(), in.err.end(), '\n'), 3) << in.err;
  EXPECT_TRUE(Contains(ReadBytes(lsq), "\r\n@@TITLE=wisdom\r\n"));
  ASSERT_EQ(Vosko({"compile", "-o", pms, lsq}).code, kExitOk);
  ASSERT_EQ(Vosko({"recompile", "--title", "Back", pms, dir.Path("back.lsq")}).code, kExitOk);
  const CliRun out = Vosko({"export", "--to", "fortune", "-o", dir.Path("out"), dir.Path("back.lsq")});
  EXPECT_TRUE(out.code == kExitOk && out.err.empty() && Contains(out.out, "exported 303 quotes")) << out.err;
  std::vector<std::string> back;
  for (const Fortune& fortune : ReadFortunes(ReadBytes(dir.Path("out")))) back.push_back(fortune.text);
  for (const auto& [typed, exported, said] : changed) texts.push_back(exported);
  EXPECT_EQ(back, texts);
}

// A UTF-8 fortune file comes in as ANSI when the code page holds its characters, else as UTF-8
// with a mark; the export is ANSI from ANSI quote files, else UTF-8 without a mark (which would
// stick to the first fortune).
TEST(VoskoCli, FortuneEncodings) {
  ScratchDir dir;
  const std::string latin = dir.Write("latin", "Tr\xc3\xa4ume\n%\n"), han = dir.Write("han", "\xe4\xb8\xad \xc3\xa4\n");
  ASSERT_EQ(Vosko({"import", "--from", "fortune", latin, dir.Path("latin.lsq")}).code, kExitOk);
  ASSERT_EQ(Vosko({"import", "--from", "fortune", han, dir.Path("han.lsq")}).code, kExitOk);
  EXPECT_TRUE(Contains(ReadBytes(dir.Path("latin.lsq")), "\r\nTr\xe4ume\r\n\r\n"));
  const std::string utf8 = ReadBytes(dir.Path("han.lsq"));
  EXPECT_TRUE(utf8.starts_with("\xef\xbb\xbf## ") && utf8.ends_with("\r\n\xe4\xb8\xad \xc3\xa4\r\n\r\n")) << utf8;
  const std::pair<std::vector<std::string>, std::string> exports[] = {
      {{dir.Path("latin.lsq")}, "Tr\xe4ume\n%\n"},
      {{dir.Path("latin.lsq"), dir.Path("han.lsq")}, "Tr\xc3\xa4ume\n%\n\xe4\xb8\xad \xc3\xa4\n%\n"},
  };
  for (const auto& [files, exported] : exports) {
    std::vector<std::string> args = {"export", "--to", "fortune", "-o", dir.Path("out")};
    args.insert(args.end(), files.begin(), files.end());
    EXPECT_EQ(Vosko(args).code, kExitOk);
    EXPECT_EQ(ReadBytes(dir.Path("out")), exported);
  }
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
  const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(text.find("Broken")), '\n') + 1;
  std::ostringstream err;
  ReportRefusal({a, b},
                {"s(" + std::to_string(line) + "): error: unterminated string", "s(1): error: odd header",
                 "s: 2 errors, x.pms not written"},
                dir.Path("trace.tmp"), "rquotes.r", err);
  EXPECT_TRUE(Contains(err.str(), b + ":4: unterminated string\n")) << err.str();
  EXPECT_TRUE(Contains(err.str(), "rquotes.r:1: odd header\n")) << err.str();
  EXPECT_FALSE(std::filesystem::exists(dir.Path("trace.tmp")));
}

// What check shows comes from the writer: each kind of change at its line, once, and
// --strict turns findings into a failing exit code.
TEST(VoskoCli, CheckShowsWhatTheCompileChanges) {
  ScratchDir dir;
  const std::string file = dir.Write(
      "c.lsq", Crlf("@@TITLE=Fine\n@@AUTHOR=Fine too\n@@LEFT\n@@RIGHT=abc\n  @@LEFT=3\nA \\d and \\n \"q\"\n"
                    "Dinner at 8 @@ home\n@@HEADER=" +
                    std::string(1000, 'h') + std::string(10, '"') + "\nOne\n\nTwo\n" + std::string(1500, 'x') + "\n"));
  const std::string clean = dir.Write("clean.lsq", Crlf("@@TITLE=T\n@@LEFT=4\nTab\\tbed \"ok\"\n"));
  const CliRun run = Vosko({"check", file, clean});
  EXPECT_EQ(run.code, kExitOk) << run.err;
  const std::vector<std::string> expected = {
      ":3: the directive sets nothing",    ":4: the directive sets nothing",
      ":5: the line holds \"@@\"",         ":6: a backslash that starts no escape",
      ":7: the line holds \"@@\"",         ":8: the line is 1020 characters long",
      ":12: the line is longer than 1023", ":12: the line is 1023 characters long"};
  std::istringstream lines(run.out);
  std::string line;
  for (const std::string& part : expected) {
    ASSERT_TRUE(std::getline(lines, line)) << run.out;
    EXPECT_TRUE(line.starts_with(file + part)) << line;
  }
  EXPECT_FALSE(std::getline(lines, line)) << line;
  EXPECT_TRUE(Contains(run.out, "; 1 on this line")) << run.out;
  EXPECT_EQ(Vosko({"check", "--strict", file}).code, kExitRefused);
  EXPECT_EQ(Vosko({"check", "--strict", clean}).code, kExitOk);
  EXPECT_EQ(Vosko({"check", "--strict", clean}).out, "");
}

}  // namespace
}  // namespace vosko::cli
