// Compile and Rescan: the script, the compiler the library carries, rquotes.pms in the home
// directory, the stamps in rows, list and settings, and every way a run can end.
#include "harness.h"
#include "in_process.h"

#include "cli.h"
#include "win32/commands/compile_driver_win32.h"
#include "engine/compiler_report.h"
#include "win32/commands/compiler_run_win32.h"
#include "win32/commands/rescan_win32.h"
#include "engine/script_writer.h"
#include "win32/controls/status_bar_win32.h"
#include "compiler.h"
#include "engine/message_text.h"
#include "engine/catalog_entry.h"
#include "engine/compile_record.h"
#include "win32/app/main_window_win32.h"
#include "win32/controls/list_view_win32.h"
#include "win32/base/regional_settings_win32.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"
#include "rsc_format.h"

#include <commctrl.h>
#include <process.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <regex>
#include <set>

namespace vtest {
namespace {

std::string CongratulationsFor(std::uint32_t count, std::uint32_t largest) {
  return vosko::FillMessageTexts(Text(IDS_COMPILE_DONE), {std::to_string(count), std::to_string(largest)});
}

// What rescom makes of a script: the compiled bytes, and its summary.
struct Compiled {
  std::string rsc;
  rescom::RscSummary summary;
};
Compiled CompileScript(const std::string& script) {
  Compiled compiled;
  const rescom::CompileOutcome outcome = rescom::compile_bytes(script, compiled.rsc);
  EXPECT_EQ(outcome.exit_code, 0) << (outcome.lines.empty() ? "" : outcome.lines[0]);
  compiled.summary = outcome.summary;
  return compiled;
}

std::vector<std::string> RscTexts(const std::string& rsc) {
  std::vector<std::string> texts;
  std::string why;
  const auto file = rescom::decode_rsc(rsc, &why);
  EXPECT_TRUE(file.has_value()) << why;
  if (!file) return texts;
  for (std::size_t i = 0; i < file->summary.count; ++i) texts.emplace_back(file->text(i));
  return texts;
}

// The script the writer makes of these quote files, with the given header date and time.
std::string ExpectedScript(const std::string& scratch, const std::vector<std::string>& paths,
                           const std::string& host_header, const std::string& date, const std::string& time) {
  {
    vosko::TextFile script;
    vosko::ScriptRun run;
    EXPECT_TRUE(vosko::WriteScriptHeader(script, scratch, date, time, run, nullptr));
    vosko::QuoteFileContext context;
    context.initialHeader = [&] { return host_header; };
    for (const std::string& path : paths) vosko::AppendQuoteFile(&script, path, "", run, context);
  }
  return ReadFileBytes(scratch);
}

// Sets WIN.INI [intl] keys for as long as it lives, then puts back what was there.
class IntlKeys {
 public:
  explicit IntlKeys(std::initializer_list<std::pair<const char*, const char*>> keys) {
    for (const auto& [key, value] : keys) {
      char old[64] = {};
      const bool had = GetProfileStringA("intl", key, "\x01", old, sizeof old) != 1 || old[0] != '\x01';
      saved_.push_back({key, had ? std::optional<std::string>(old) : std::nullopt});
      WriteProfileStringA("intl", key, value);
    }
  }
  ~IntlKeys() {
    for (const auto& [key, value] : saved_) WriteProfileStringA("intl", key.c_str(), value ? value->c_str() : nullptr);
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

const std::initializer_list<std::pair<const char*, const char*>> kDayFirst24 = {
    {"iDate", "1"}, {"sDate", "."}, {"iTime", "1"}, {"sTime", ":"}, {"s1159", ""}, {"s2359", ""}};

TEST(RegionalSettings, DateAndTimeTextsFollowWinIni) {
  vosko::CalendarTime t;
  t.year = 2026, t.month = 12, t.dayOfWeek = 6, t.day = 5, t.hour = 14, t.minute = 7, t.second = 9;
  vosko::CalendarTime midnight = t;
  midnight.hour = 0;
  const struct {
    std::initializer_list<std::pair<const char*, const char*>> keys;
    const char *date, *time, *midnight;
  } cases[] = {
      {kDayFirst24, "Sat 5.12.26", "14:07:09", "00:07:09"},
      {{{"iDate", "0"}, {"sDate", "/"}, {"iTime", "0"}, {"sTime", ":"}, {"s1159", "am"}, {"s2359", "pm"}},
       "Sat 12/05/26",
       "  2:07:09 pm  ",
       "  12:07:09 am  "},
  };
  for (const auto& c : cases) {
    IntlKeys keys(c.keys);
    const vosko::WinIniRegionalSettings intl;
    EXPECT_EQ(vosko::CurrentDateText(intl, t), c.date);
    EXPECT_EQ(vosko::CurrentTimeText(intl, t), c.time);
    EXPECT_EQ(vosko::CurrentTimeText(intl, midnight), c.midnight);
  }
}

// The whole command through the library as the host loads it.
class CompileThroughHostTest : public ExtensionTest {};

TEST_F(CompileThroughHostTest, TwoFilesBecomeTheHostsQuotesFile) {
  IntlKeys intl(kDayFirst24);
  WriteSettings("ViewOption=3\r\n");
  // Header, end, alignment and escapes; the host's own header starts every file.
  WriteQuoteFile("b.lsq",
                 "@@TITLE=Beta\r\n@@HEADER=Thought of the day:\r\n@@END=  -- anon\r\n@@RIGHT=12\r\n"
                 "Be \"brief\".\r\nShort\r\n\r\nDone ## with a comment\r\n");
  WriteQuoteFile("a.lsq", "@@TITLE=Alpha\r\n@@LEFT=2\r\nTab\\tbed\r\n\r\n@@CENTER=10\r\n@@LEFT=0\r\nabc\r\n");
  answers.header_text = "From the host";
  WriteFileBytes(home_->File("rquotes.pms"), "old quotes");
  ASSERT_EQ(OpenAndShow(), 1);
  SelectListRows(ListView(), {1, 0}, 1);  // Beta first in selection order, Alpha in list order
  char before_dir[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof before_dir, before_dir);
  const vosko::CalendarTime started = vosko::LocalNowWin32();
  Press(IDC_COMPILE);
  const vosko::CalendarTime ended = vosko::LocalNowWin32();

  char after_dir[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof after_dir, after_dir);
  EXPECT_STREQ(after_dir, before_dir);  // the host's current directory is its own again

  // The header's date and time follow WIN.INI [intl]: day first with ".", 24-hour clock.
  const std::string script = ReadFileBytes(quotes_->File("rquotes.r"));
  const std::string placeholder = "##   Created by Vosko, The Quote Manager V0.99 on @@DATE@@ @@TIME@@";
  const std::string created = placeholder.substr(0, placeholder.find("@@DATE@@")) +
                              vosko::CurrentDateText(vosko::WinIniRegionalSettings(), started) + " ";
  const std::size_t at = script.find(created);
  ASSERT_NE(at, std::string::npos);
  const std::string time = script.substr(at + created.size(), script.find("\r\n", at) - at - created.size());
  EXPECT_TRUE(std::regex_match(time, std::regex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]"))) << time;
  std::string expected = ExpectedScript(home_->File("expected.r"), {quotes_->File("a.lsq"), quotes_->File("b.lsq")},
                                        "From the host", "@@DATE@@", "@@TIME@@");
  expected.replace(expected.find(placeholder), placeholder.size(), created + time);
  EXPECT_EQ(script, expected);

  const Compiled compiled = CompileScript(script);
  EXPECT_EQ(compiled.summary.count, 4u);
  EXPECT_EQ(ReadFileBytes(home_->File("rquotes.pms")), compiled.rsc);
  EXPECT_EQ(RscTexts(compiled.rsc)[0], "From the host\n  Tab\tbed");  // the last line break is the host's
  EXPECT_EQ(RscTexts(compiled.rsc)[1], "From the host\n   abc    ");
  ASSERT_EQ(modal.boxes().size(), 1u);
  EXPECT_EQ(modal.boxes()[0].text, CongratulationsFor(4, compiled.summary.largest));
  EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_ICONINFORMATION));

  EXPECT_EQ(FilesIn(quotes_->path()), (std::set<std::string>{"a.lsq", "b.lsq", "rquotes.r"}));
  EXPECT_EQ(FilesIn(home_->path()), (std::set<std::string>{"Tarno.pm", "expected.r", "filetype.pm", "rquotes.pms"}));
  EXPECT_EQ(StatusText(StatusBar(), 0), "Kelvaro");
  EXPECT_EQ(FindWindowExA(main_window(), nullptr, PROGRESS_CLASSA, nullptr), nullptr);

  // Stamps: in the rows and in the settings, the same minute as the compile.
  const auto rows = ListRows(ListView());
  ASSERT_EQ(rows.size(), 2u);
  for (const auto& [row, file, count] : {std::tuple{0, "a.lsq", "2"}, std::tuple{1, "b.lsq", "2"}}) {
    const vosko::CompileRecord record = vosko::ParseCompileRecord(ReadSetting("VoskoFiles", file));
    EXPECT_EQ(record.count, 2) << file;
    EXPECT_EQ(rows[row][3], count) << file;
    const std::string date = vosko::CompileDateText(record.time);
    EXPECT_TRUE(date == vosko::CompileDateText(started) || date == vosko::CompileDateText(ended)) << date;
    EXPECT_EQ(rows[row][6], date) << file;
  }
  // The settings file keeps them past the window: the next scan shows them.
  Close();
  ASSERT_EQ(OpenAndShow(), 1);
  EXPECT_EQ(ListRows(ListView())[1][3], "2");
}

// The command-line tool compiles what the extension compiles: the same script but for the
// date and time of its creation line (the extension's follow WIN.INI [intl], the tool's the
// default settings), and the same compiled bytes.
TEST_F(CompileThroughHostTest, TheToolMakesTheExtensionsFiles) {
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
  std::vector<std::string> args = {"compile", "-o", home_->File("tool.pms"), "--script", home_->File("tool.r")};
  for (std::size_t row = 0; row < rows.size(); ++row) {
    all.push_back(static_cast<int>(row));
    args.push_back(quotes_->File(rows[row][vosko::kColumnFileName]));  // the extension compiles in list order
  }
  ASSERT_GT(rows.size(), 2u);
  SelectListRows(ListView(), all, 0);
  Press(IDC_COMPILE);
  std::ostringstream out, err;
  ASSERT_EQ(vosko::cli::RunVosko(args, out, err), vosko::cli::kExitOk) << err.str();

  EXPECT_EQ(ReadFileBytes(home_->File("tool.pms")), ReadFileBytes(home_->File("rquotes.pms")));
  const auto withoutCreationLine = [](std::string script) {
    const std::size_t at = script.find("##   Created by");
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos) script.erase(at, script.find('\n', at) - at);
    return script;
  };
  EXPECT_EQ(withoutCreationLine(ReadFileBytes(home_->File("tool.r"))),
            withoutCreationLine(ReadFileBytes(quotes_->File("rquotes.r"))));
}

// The Win32 face driven directly, with the seams that make a compiler fail or not start.
class CompileTest : public InProcessTest {
 protected:
  void SetUp() override {
    InProcessTest::SetUp();
    std::snprintf(state_.home_directory, sizeof state_.home_directory, "%s", home_.path().c_str());
    state_.view_option = vosko::kViewDetails;
    ASSERT_TRUE(vosko::CreateStatusBar());
    WriteFileBytes(Pms(), "old quotes");
  }
  void TearDown() override {
    vosko::SetCompilerSpawnForTest({});
    vosko::SetBeforeCompilerRunForTest({});
  }

  void Write(const std::string& name, const std::string& bytes) { WriteFileBytes(quotes_.File(name), bytes); }
  std::string Pms() const { return home_.File("rquotes.pms"); }
  std::string Record(const char* file) const {
    char value[256] = {};
    GetPrivateProfileStringA("VoskoFiles", file, "<none>", value, sizeof value, home_.File("Tarno.pm").c_str());
    return value;
  }
  std::vector<std::string> Row(int row) const { return ListRows(state_.list_view).at(static_cast<size_t>(row)); }
  void ExpectNoRunLeft() const {
    EXPECT_EQ(state_.total_progress, nullptr);
    EXPECT_EQ(state_.detail_progress, nullptr);
    EXPECT_EQ(StatusText(state_.status_bar, 0), "Kelvaro");
  }
};

TEST_F(CompileTest, TheSelectionDecidesWhetherToCompile) {
  Write("a.lsq", "@@TITLE=Alpha\r\nOne\r\n");
  Write("b.lsq", "@@TITLE=Beta\r\nTwo\r\n");
  state_.column_visible[vosko::kColumnAuthor] = 0;  // the stamp's cells are found by column
  ASSERT_TRUE(vosko::BuildListView());
  const struct {
    std::vector<int> selected;
    int answer;
    std::size_t boxes;
    bool compiled;
  } cases[] = {{{}, IDOK, 0, false}, {{1}, IDCANCEL, 1, false}, {{1}, IDOK, 2, true}};
  for (const auto& c : cases) {
    modal.Clear();
    if (c.boxes > 0) modal.AnswerBoxesWith({c.answer});
    SelectListRows(state_.list_view, c.selected, -1);
    vosko::CompileSelected();
    ASSERT_EQ(modal.boxes().size(), c.boxes) << c.selected.size();
    if (c.boxes > 0) {  // one row only: the question first
      EXPECT_EQ(modal.boxes()[0].text, Text(IDS_ONE_FILE_COMPILE));
      EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
    }
    EXPECT_EQ(FilesIn(quotes_.path()).count("rquotes.r"), c.compiled ? 1u : 0u);
    EXPECT_EQ(ReadFileBytes(Pms()) != "old quotes", c.compiled);
    if (c.compiled) {
      EXPECT_EQ(modal.boxes()[1].text, CongratulationsFor(1, 4));  // "Two" and its NUL
    }
    ExpectNoRunLeft();
  }
  EXPECT_EQ(Record("a.lsq"), "<none>");
  EXPECT_EQ(Record("b.lsq").substr(16), ",1");
  const auto b = Row(1);
  EXPECT_EQ(b[2], "1");
  EXPECT_EQ(b[5], vosko::CompileDateText(vosko::ParseCompileRecord(Record("b.lsq")).time));
  EXPECT_EQ(b[6], "b.lsq");
}

TEST_F(CompileTest, AFileGoneSinceTheScanStopsTheCompile) {
  for (const char* name : {"a", "b", "c"})
    Write(std::string(name) + ".lsq", std::string("@@TITLE=") + name + "\r\nx\r\n\r\ny\r\n");
  ASSERT_TRUE(vosko::BuildListView());
  SelectListRows(state_.list_view, {0, 1, 2}, 0);
  DeleteFileA(quotes_.File("b.lsq").c_str());
  vosko::CompileSelected();
  ASSERT_EQ(modal.boxes().size(), 1u);
  EXPECT_EQ(modal.boxes()[0].text, "Windows returned error 65535 while trying to open a file...");
  EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_ICONHAND));
  EXPECT_EQ(Record("a.lsq").substr(16), ",2");
  EXPECT_EQ(Row(0)[3], "2");
  EXPECT_EQ(Record("c.lsq"), "<none>");
  EXPECT_EQ(ReadFileBytes(Pms()), "old quotes");
  EXPECT_EQ(FilesIn(quotes_.path()), (std::set<std::string>{"a.lsq", "c.lsq", "rquotes.r"}));
  ExpectNoRunLeft();
}

TEST_F(CompileTest, ACompileThatMakesNoQuotesFileSaysWhy) {
  Write("a.lsq", "@@TITLE=Alpha\r\nFine\r\n");
  Write("b.lsq", "@@TITLE=Beta\r\n## a comment\r\n\r\nBroken here\r\n");
  ASSERT_TRUE(vosko::BuildListView());
  // A script line the compiler refuses: the second quote file's line 4, made unterminated.
  const auto break_line = [this] {
    std::string script = ReadFileBytes(quotes_.File("rquotes.r"));
    const std::string line = "   \"Broken here\\n\",";
    script.replace(script.find(line), line.size(), "   \"Broken here");
    WriteFileBytes(quotes_.File("rquotes.r"), script);
  };
  const auto real_spawn = [] {
    return static_cast<std::intptr_t>(_spawnlp(_P_WAIT, "rescom.bat", "rescom.bat", nullptr));
  };
  int spawns = 0;
  const struct {
    const char* how;
    std::function<void()> before_run;
    std::function<std::intptr_t()> spawn;
    std::string message;
  } cases[] = {
      {"script refused", break_line,
       [&] {
         ++spawns;
         return real_spawn();
       },
       Text(IDS_COMPILE_REFUSED) + "\n\nb.lsq, line 4: unterminated string"},
      {"error code, no report",
       {},
       [&] {
         ++spawns;
         return std::intptr_t{3};
       },
       "The resource compiler stopped with error 3, so your rquotes.pms has not been changed..."},
      {"nothing made",
       {},
       [&] {
         ++spawns;
         return std::intptr_t{0};
       },
       Text(IDS_COMPILE_NO_OUTPUT)},
  };
  for (const auto& c : cases) {
    modal.Clear();
    spawns = 0;
    vosko::SetBeforeCompilerRunForTest(c.before_run);
    vosko::SetCompilerSpawnForTest(c.spawn);
    SelectListRows(state_.list_view, {0, 1}, 0);
    vosko::CompileSelected();
    EXPECT_EQ(spawns, 1) << c.how;  // a batch that ran is never started again
    ASSERT_EQ(modal.boxes().size(), 1u) << c.how;
    EXPECT_EQ(modal.boxes()[0].text.substr(0, c.message.size()), c.message) << c.how;
    EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_ICONHAND)) << c.how;
    EXPECT_EQ(ReadFileBytes(Pms()), "old quotes") << c.how;
    EXPECT_EQ(FilesIn(quotes_.path()), (std::set<std::string>{"a.lsq", "b.lsq", "rquotes.r"})) << c.how;
    ExpectNoRunLeft();
  }
}

TEST_F(CompileTest, ABatchTheRuntimeCannotStartIsHandedToTheShell) {
  Write("a.lsq", "@@TITLE=Alpha\r\nOne\r\n\r\nTwo\r\n");
  ASSERT_TRUE(vosko::BuildListView());
  SelectListRows(state_.list_view, {0}, 0);
  vosko::SetCompilerSpawnForTest([] { return std::intptr_t{-1}; });
  vosko::CompileSelected();
  ASSERT_EQ(modal.boxes().size(), 2u);
  // The shell's process was waited for: its quotes are there when the command ends.
  EXPECT_EQ(modal.boxes()[1].text, CongratulationsFor(2, 4));
  EXPECT_EQ(RscTexts(ReadFileBytes(Pms())), (std::vector<std::string>{"One", "Two"}));
}

TEST_F(CompileTest, TheCompiledFileReplacesTheOldOneOnlyWhenCopiedWhole) {
  const std::string source = quotes_.File("rquotes.rsc");
  const struct {
    const char* source_bytes;  // nullptr: no compiled file
    bool copied;
    const char* pms;
  } cases[] = {{nullptr, false, "old quotes"}, {"", true, ""}, {"new quotes", true, "new quotes"}};
  for (const auto& c : cases) {
    WriteFileBytes(Pms(), "old quotes");
    DeleteFileA(source.c_str());
    if (c.source_bytes) WriteFileBytes(source, c.source_bytes);
    EXPECT_EQ(vosko::CopyCompiledFile(source, Pms()), c.copied);
    EXPECT_EQ(ReadFileBytes(Pms()), c.pms);
    EXPECT_EQ(FilesIn(home_.path()), (std::set<std::string>{"rquotes.pms"}));
  }
}

TEST_F(CompileTest, RescanCountsEveryRowAndKeepsCompileDates) {
  ASSERT_TRUE(vosko::BuildListView());  // an empty list: the bars come and go, nothing else
  vosko::RescanAll();
  EXPECT_TRUE(modal.boxes().empty());
  ExpectNoRunLeft();

  Write("a.lsq", "@@TITLE=Alpha\r\n1\r\n\r\n2\r\n\r\n3\r\n\r\n4\r\n\r\n5\r\n");
  Write("b.lsq", "@@TITLE=Beta\r\nnever compiled\r\n");
  Write("c.lsq", "@@TITLE=Gamma\r\nlast\r\n");
  WriteFileBytes(home_.File("Tarno.pm"), "[VoskoFiles]\r\na.lsq=07EA,0C,05,0E,07,3\r\nc.lsq=07EA,0C,05,0E,07,9\r\n");
  // The author column hidden: the cells are found by column, not by a fixed position.
  state_.column_visible[vosko::kColumnAuthor] = 0;
  ASSERT_TRUE(vosko::BuildListView());
  EXPECT_EQ(Row(0)[2], "3");
  SelectListRows(state_.list_view, {}, -1);  // the selection plays no part
  DeleteFileA(quotes_.File("c.lsq").c_str());
  vosko::RescanAll();
  ASSERT_EQ(modal.boxes().size(), 1u);
  EXPECT_EQ(modal.boxes()[0].text, "Windows returned error 65535 while trying to open a file...");
  EXPECT_EQ(Record("a.lsq"), "07EA,0C,05,0E,07,5");
  EXPECT_EQ(Record("b.lsq"), "0000,00,00,00,00,1");
  EXPECT_EQ(Record("c.lsq"), "07EA,0C,05,0E,07,9");  // after the file that ended the pass
  const auto a = Row(0), b = Row(1);
  EXPECT_EQ(a[2], "5");
  EXPECT_EQ(a[5], "05 Dec 26, 14:07");
  EXPECT_EQ(b[2], "1");
  EXPECT_EQ(b[5], "");
  EXPECT_EQ(vosko::RowEntry(0)->quote_count, 5);
  ExpectNoRunLeft();
}

}  // namespace
}  // namespace vtest
