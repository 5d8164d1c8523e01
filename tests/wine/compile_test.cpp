// Compile through the library as the host loads it: the script, the compiler the library
// carries, rquotes.pms in the home directory; and the tool that must make the same files.
#include "harness.h"
#include "import_patch.h"

#include "cli.h"
#include "engine/catalog_entry.h"
#include "win32/base/regional_settings_win32.h"
#include "contract/resource_ids.h"

#include <process.h>

#include <filesystem>
#include <sstream>

namespace vtest {
namespace {

class CompileTest : public ExtensionTest {};

// The host's own header starts every quote, its current directory is its own again after
// the run, and the row shows the new count and compile date.
TEST_F(CompileTest, TheHostsHeaderStartsEveryQuoteAndTheRowsGetTheirStamps) {
  // The Author column hidden: the stamps find their cells by column, not by position.
  WriteSettings("ViewOption=3\r\nVisibleColumns=0001,0000,0001,0001,0001,0001,0001,0001\r\n");
  WriteQuoteFile("a.lsq", "@@TITLE=Alpha\r\n@@LEFT=2\r\nTab\\tbed\r\n\r\n@@CENTER=10\r\n@@LEFT=0\r\nabc\r\n");
  answers.header_text = "From the host";
  ASSERT_EQ(OpenAndShow(), 1);
  SelectListRows(ListView(), {0}, 0);
  modal.AnswerBoxesWith({IDOK});
  char before_dir[MAX_PATH] = {}, after_dir[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof before_dir, before_dir);
  const vosko::CalendarTime started = vosko::LocalNowWin32();
  Press(IDC_COMPILE);
  const vosko::CalendarTime ended = vosko::LocalNowWin32();
  GetCurrentDirectoryA(sizeof after_dir, after_dir);
  EXPECT_STREQ(after_dir, before_dir);  // the host's current directory is its own again

  // The host's header starts every quote; the last line break is the host's.
  const std::string pms = ReadFileBytes(Pms());
  const char texts[] =
      "\xFF"
      "From the host\n  Tab\tbed\0From the host\n   abc    \0";
  EXPECT_NE(pms.find(std::string(texts, sizeof texts - 1)), std::string::npos);
  EXPECT_EQ(modal.box_texts().size(), 2u);
  const auto row = ListRows(ListView()).at(0);
  EXPECT_EQ(row[2], "2");
  EXPECT_TRUE(row[5] == vosko::CompileDateText(started) || row[5] == vosko::CompileDateText(ended)) << row[5];
  EXPECT_EQ(row[6], "a.lsq");
}

// The compiler's run, as the library starts it.
std::function<std::intptr_t()> g_spawn;
std::intptr_t __cdecl Spawn(int, const char*, const char*, ...) { return g_spawn(); }

// A compiler that refuses the script, stops with an error code and no report or makes
// nothing: the message says why, rquotes.pms stays, no work file is left.
TEST_F(CompileTest, ACompileThatMakesNoQuotesFileSaysWhy) {
  HMODULE library = PreloadLibrary();
  ImportPatch spawn(library, "msvcrt.dll", "_spawnlp", StandIn(&Spawn));
  ASSERT_TRUE(spawn.ok());
  const auto run = [this] {
    return static_cast<std::intptr_t>(_spawnlp(_P_WAIT, Quotes("rescom.bat").c_str(), "rescom.bat", nullptr));
  };
  const auto refused = [&] {  // the second quote file's line 4 made unterminated
    std::string script = ReadFileBytes(Quotes("rquotes.r"));
    const std::string line = "   \"Broken here\\n\",";
    script.replace(script.find(line), line.size(), "   \"Broken here");
    WriteFileBytes(Quotes("rquotes.r"), script);
    return run();
  };
  int spawns = 0;
  const struct {
    const char* how;
    std::function<std::intptr_t()> spawn;
    std::string message;  // empty: the quotes made after all
  } cases[] = {
      {"script refused", refused, Text(IDS_COMPILE_REFUSED) + "\n\nb.lsq, line 4: unterminated string"},
      {"error code, no report", [] { return std::intptr_t{3}; },
       "The resource compiler stopped with error 3, so your rquotes.pms has not been changed..."},
      {"nothing made", [] { return std::intptr_t{0}; }, Text(IDS_COMPILE_NO_OUTPUT)},
      // A batch the runtime cannot start is handed to the shell, which is waited for.
      {"handed to the shell", [] { return std::intptr_t{-1}; }, ""},
  };
  for (const auto& c : cases) {
    StandardFiles();
    WriteQuoteFile("b.lsq", "@@TITLE=B\r\n## a comment\r\n\r\nBroken here\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    spawns = 0;
    g_spawn = [&] { return ++spawns, c.spawn(); };
    SelectListRows(ListView(), {0, 1}, 0);
    modal.Clear();
    Press(IDC_COMPILE);
    EXPECT_EQ(spawns, 1) << c.how;  // a batch that ran is never started again
    ASSERT_EQ(modal.boxes().size(), 1u) << c.how;
    EXPECT_EQ(modal.boxes()[0].text.substr(0, c.message.size()), c.message) << c.how;
    EXPECT_EQ(ReadFileBytes(Pms()) == kOldPms, !c.message.empty()) << c.how;
    EXPECT_EQ(FilesIn(quotes_), (std::set<std::string>{"a.lsq", "b.lsq", "rquotes.r"})) << c.how;
    Close();
  }
}

// The command-line tool compiles what the extension compiles: the same script but for the
// date and time of its creation line (the extension's follow WIN.INI [intl], the tool's the
// default settings), and the same compiled bytes.
TEST_F(CompileTest, TheToolMakesTheExtensionsFiles) {
  WriteSettings("ViewOption=3\r\n");
  for (const auto& entry : std::filesystem::directory_iterator(VOSKO_SAMPLE_QUOTES)) {
    WriteQuoteFile(entry.path().filename().string(), ReadFileBytes(entry.path().string()));
  }
  WriteQuoteFile("z.lsq",
                 "@@TITLE=Zeta\r\n@@HEADER=Thought of the day:\r\n@@END=  -- anon\r\n@@RIGHT=12\r\n"
                 "Be \"brief\".\r\nShort\r\n\r\n@@CENTER=10\r\n@@RIGHT=0\r\nabc \\d\tx\r\n");
  ASSERT_EQ(OpenAndShow(), 1);
  const auto rows = ListRows(ListView());
  std::vector<int> all;
  std::vector<std::string> args = {"compile", "-o", Home("tool.pms"), "--script", Home("tool.r")};
  for (std::size_t row = 0; row < rows.size(); ++row) {
    all.push_back(static_cast<int>(row));
    args.push_back(Quotes(rows[row][vosko::kColumnFileName]));  // the extension compiles in list order
  }
  ASSERT_GT(rows.size(), 2u);
  SelectListRows(ListView(), all, 0);
  Press(IDC_COMPILE);
  std::ostringstream out, err;
  ASSERT_EQ(vosko::cli::RunVosko(args, out, err), vosko::cli::kExitOk) << err.str();

  EXPECT_EQ(ReadFileBytes(Home("tool.pms")), ReadFileBytes(Home("rquotes.pms")));
  const auto withoutCreationLine = [](std::string script) {
    const std::size_t at = script.find("##   Created by");
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos) script.erase(at, script.find('\n', at) - at);
    return script;
  };
  EXPECT_EQ(withoutCreationLine(ReadFileBytes(Home("tool.r"))),
            withoutCreationLine(ReadFileBytes(Quotes("rquotes.r"))));
}

}  // namespace
}  // namespace vtest
