// Compile through the library as the host loads it: the script, the compiler the library
// carries, rquotes.pms in the home directory; and the tool that must make the same files.
#include "harness.h"
#include "import_patch.h"

#include "cli.h"
#include "engine/catalog_entry.h"
#include "win32/base/regional_settings_win32.h"
#include "contract/resource_ids.h"

#include <filesystem>
#include <sstream>
#include <utility>

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

// The compiler's start, as the library makes it: the program, its command line and folder.
decltype(&CreateProcessA) g_real_start = nullptr;
DWORD g_start_flags = 0;
std::function<BOOL(LPCSTR, LPSTR, LPCSTR, STARTUPINFOA*, PROCESS_INFORMATION*)> g_spawn;
BOOL WINAPI Start(LPCSTR program, LPSTR line, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD flags, LPVOID,
                  LPCSTR folder, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION process) {
  g_start_flags = flags;
  return g_spawn(program, line, folder, startup, process);
}

// A compiler that refuses the script, stops with an error code and no report or makes
// nothing, an rquotes.pms that another program holds: the message says why, rquotes.pms,
// the rows' counts and dates and their records stay, no work file is left.
TEST_F(CompileTest, ACompileThatMakesNoQuotesFileSaysWhy) {
  HMODULE library = PreloadLibrary();
  ImportPatch patch(library, "kernel32.dll", "CreateProcessA", StandIn(&Start));
  ASSERT_TRUE(patch.ok());
  g_real_start = patch.original<decltype(&CreateProcessA)>();
  HANDLE held = INVALID_HANDLE_VALUE;
  using Run = std::function<BOOL(LPCSTR, LPSTR, LPCSTR, STARTUPINFOA*, PROCESS_INFORMATION*)>;
  const Run run = [this](LPCSTR program, LPSTR line, LPCSTR folder, STARTUPINFOA* startup,
                         PROCESS_INFORMATION* process) {
    // Started directly in the quote folder, whatever its path form: no command interpreter.
    EXPECT_STREQ(line, "\"rescom.exe\" rquotes.r");
    EXPECT_EQ(std::string(folder), quotes_);
    EXPECT_EQ(std::string(program), Quotes("rescom.exe"));
    EXPECT_TRUE(startup->dwFlags & STARTF_USESTDHANDLES);
    return g_real_start(program, line, nullptr, nullptr, TRUE, g_start_flags, nullptr, folder, startup, process);
  };
  const auto exiting = [](const char* code) {
    return [code](LPCSTR, LPSTR, LPCSTR folder, STARTUPINFOA* startup, PROCESS_INFORMATION* process) {
      std::string line = std::string("cmd /c exit ") + code;
      return g_real_start(nullptr, line.data(), nullptr, nullptr, TRUE, g_start_flags, nullptr, folder, startup,
                          process);
    };
  };
  const auto refused = [&](auto... args) {  // the second quote file's line 4 made unterminated
    std::string script = ReadFileBytes(Quotes("rquotes.r"));
    const std::string line = "   \"Broken here\\n\",";
    script.replace(script.find(line), line.size(), "   \"Broken here");
    WriteFileBytes(Quotes("rquotes.r"), script);
    return run(args...);
  };
  const auto holding = [&](auto... args) {  // a reader that does not let rquotes.pms be replaced
    held = CreateFileA(Pms().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    return run(args...);
  };
  int spawns = 0;
  const struct {
    const char* how;
    Run spawn;
    std::string message;  // empty: the quotes made after all
  } cases[] = {
      {"script refused", refused, Text(IDS_COMPILE_REFUSED) + "\n\nb.lsq, line 4: unterminated string"},
      {"error code, no report", exiting("3"),
       "The resource compiler stopped with error 3, so your rquotes.pms has not been changed..."},
      {"nothing made", exiting("0"), Text(IDS_COMPILE_NO_OUTPUT)},
      {"rquotes.pms held", holding, Text(IDS_COMPILE_PMS_IN_USE)},
      // A compiler that cannot be started directly goes to the shell as the batch file.
      {"handed to the shell", [](auto...) { return SetLastError(ERROR_FILE_NOT_FOUND), FALSE; }, ""},
      // Another compile holds the quote folder's lock: nothing is written, nothing started.
      {"another compile running", nullptr, Text(IDS_COMPILE_RUNNING)},
  };
  for (const auto& c : cases) {
    StandardFiles("ViewOption=3\r\n");
    WriteQuoteFile("b.lsq", "@@TITLE=B\r\n## a comment\r\n\r\nBroken here\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    spawns = 0;
    g_spawn = [&](auto... args) { return ++spawns, c.spawn(args...); };
    SelectListRows(ListView(), {0, 1}, 0);
    modal.Clear();
    const auto rows = ListRows(ListView());
    if (!c.spawn) {
      DeleteFileA(Quotes("rquotes.r").c_str());  // no script may be written
      held = CreateFileA(Quotes("rquotes.lck").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }
    Press(IDC_COMPILE);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
    EXPECT_EQ(spawns, c.spawn ? 1 : 0) << c.how;  // a compiler that ran is never started again
    ASSERT_EQ(modal.boxes().size(), 1u) << c.how;
    EXPECT_EQ(modal.boxes()[0].text.substr(0, c.message.size()), c.message) << c.how;
    const bool failed = !c.message.empty();
    EXPECT_EQ(ReadFileBytes(Pms()) == kOldPms, failed) << c.how;
    EXPECT_EQ(ListRows(ListView()) == rows, failed) << c.how;
    EXPECT_EQ(ReadSetting("VoskoFiles", "a.lsq") == kRecordA, failed) << c.how;
    std::set<std::string> left = {"a.lsq", "b.lsq", "rquotes.r"};
    if (!c.spawn) left.erase("rquotes.r");
    EXPECT_EQ(FilesIn(quotes_), left) << c.how;
    EXPECT_FALSE(FilesIn(home_).contains("rquotes.pms.tmp")) << c.how;
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
