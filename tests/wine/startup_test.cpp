// Start-up of the extension as the host sees it: the checks that refuse to start, the
// settings it reads, what it writes back when the window closes.
#include "harness.h"
#include "import_patch.h"

#include "contract/host_contract.h"
#include "win32/app/startup_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

// The library's export, linked into this program, where no load hook stores a module handle.
extern "C" WORD WINAPI FORMINIT(UINT, UINT, HWND, UINT, HWND*, UINT);

namespace vtest {
namespace {

namespace host = vosko::host;

constexpr char kCaption[] = "Vosko has the following message for you...";

// Stand-ins for the system calls of the library that a start-up step makes fail.
HMODULE WINAPI NoCommonControls(LPCSTR name) {
  return lstrcmpiA(name, "comctl32.dll") == 0 ? nullptr : LoadLibraryA(name);
}

HANDLE WINAPI NoItemIcon(HINSTANCE module, LPCSTR name, UINT type, int width, int height, UINT flags) {
  if (name == MAKEINTRESOURCEA(IDI_QUOTE_FILE)) return nullptr;
  return LoadImageA(module, name, type, width, height, flags);
}

HWND WINAPI NoDialog(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) { return nullptr; }

class StartupTest : public ExtensionTest {};

// Every stop shows its one message, owned by the host window, and returns 0.
TEST_F(StartupTest, StepsThatStopStartUp) {
  HMODULE library = PreloadLibrary();
  ImportPatch owners(library, "user32.dll", "MessageBoxA", reinterpret_cast<const void*>(&RecordBoxOwner));
  ASSERT_TRUE(owners.ok());
  struct Case {
    const char* name;
    std::function<void(voskohost::HostAnswers&)> tweak = [](voskohost::HostAnswers&) {};
    const char* dll = nullptr;  // a system call made to fail, if any
    const char* function = nullptr;
    const void* replacement = nullptr;
    unsigned message = 0;
  };
  const Case cases[] = {
      {.name = "old host", .tweak = [](auto& a) { a.interface_version = 257; }, .message = IDS_OLD_HOST},
      // Only the low 16 bits of the interface version count.
      {.name = "old host, high bits set",
       .tweak = [](auto& a) { a.interface_version = 0xFFFF0101; },
       .message = IDS_OLD_HOST},
      {.name = "no common controls",
       .dll = "kernel32.dll",
       .function = "LoadLibraryA",
       .replacement = reinterpret_cast<const void*>(&NoCommonControls),
       .message = IDS_OLD_COMCTL},
      {.name = "home query answered 0", .tweak = [](auto& a) { a.home_query_fails = true; }, .message = IDS_HOST_ERROR},
      {.name = "home without terminator",
       .tweak = [](auto& a) { a.home_unterminated = true; },
       .message = IDS_HOST_ERROR},
      // 255 characters fit the home directory but not the settings file path after it.
      {.name = "home too long for the settings path",
       .tweak = [](auto& a) { a.home_directory = "C:\\" + std::string(252, 'h'); },
       .message = IDS_HOST_ERROR},
      {.name = "font item answered nonzero",
       .tweak = [](auto& a) { a.font_query_fails = true; },
       .message = IDS_NO_FONT},
      {.name = "no item icon",
       .dll = "user32.dll",
       .function = "LoadImageA",
       .replacement = reinterpret_cast<const void*>(&NoItemIcon),
       .message = IDS_NO_MEMORY},
      {.name = "no main window",
       .dll = "user32.dll",
       .function = "CreateDialogParamA",
       .replacement = reinterpret_cast<const void*>(&NoDialog),
       .message = IDS_NO_MAIN_WINDOW},
  };
  for (const Case& c : cases) {
    voskohost::HostAnswers saved = answers;
    c.tweak(answers);
    std::unique_ptr<ImportPatch> fault;
    if (c.dll != nullptr) {
      fault = std::make_unique<ImportPatch>(library, c.dll, c.function, c.replacement);
      ASSERT_TRUE(fault->ok()) << c.name;
    }
    modal.Clear();
    g_box_owners.clear();
    EXPECT_EQ(Open(), 0) << c.name;
    ASSERT_EQ(modal.boxes().size(), 1u) << c.name;
    EXPECT_EQ(modal.boxes()[0].text, Text(c.message)) << c.name;
    EXPECT_EQ(modal.boxes()[0].caption, kCaption) << c.name;
    EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_ICONHAND)) << c.name;
    EXPECT_EQ(g_box_owners, std::vector<HWND>{host_window()}) << c.name;
    EXPECT_EQ(main_window(), nullptr) << c.name;
    Close();
    answers = saved;
  }
}

TEST_F(StartupTest, FormInitWithoutAModuleHandleShowsNothing) {
  ASSERT_EQ(vosko::g_module, nullptr);
  HWND untouched = reinterpret_cast<HWND>(1);
  EXPECT_EQ(FORMINIT(258, 0, frame_.frame(), 0, &untouched, 0), 0);
  EXPECT_EQ(untouched, reinterpret_cast<HWND>(1));
  EXPECT_TRUE(modal.boxes().empty());
}

TEST_F(StartupTest, CommonControlsVersionCheck) {
  const struct {
    vosko::ComctlVersion version;
    bool enough;
  } cases[] = {
      {{true, 4, 70}, true}, {{true, 4, 69}, false}, {{true, 5, 0}, true},
      {{true, 4, 0}, false}, {{true, 6, 10}, true},  {{false, 6, 0}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vosko::CommonControlsRecentEnough(c.version), c.enough) << c.version.major << "." << c.version.minor;
  }
  // A library without "DllGetVersion" counts as 4.0; a missing one fails the probe.
  vosko::ComctlVersion kernel = vosko::GetCommonControlsVersion("kernel32.dll");
  EXPECT_TRUE(kernel.ok);
  EXPECT_EQ(kernel.major, 4u);
  EXPECT_EQ(kernel.minor, 0u);
  EXPECT_FALSE(vosko::GetCommonControlsVersion("no-such-library-here.dll").ok);
  EXPECT_TRUE(vosko::CommonControlsRecentEnough(vosko::GetCommonControlsVersion()));
}

// A settings file is no first run (every test that writes one sees no welcome), unless the
// extension cannot write it.
TEST_F(StartupTest, AReadOnlySettingsFileIsAFirstRun) {
  WriteFileBytes(settings_file(), "[Vosko]\r\nViewOption=0\r\n");
  SetFileAttributesA(settings_file().c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(OpenAndShow(), 1);
  ASSERT_EQ(modal.boxes().size(), 1u);
  EXPECT_EQ(modal.boxes()[0].text, Text(IDS_WELCOME));
  Close();
  SetFileAttributesA(settings_file().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(StartupTest, SizeLimitsAndPositionQueries) {
  WriteFileBytes(settings_file(), "[Vosko]\r\nWindowPosition=12345,0010,0300,0200\r\n");
  answers.interface_version = 0x00010102;  // 258 in the low 16 bits, which alone count
  ASSERT_EQ(Open(), 1);
  MINMAXINFO limits = {};
  EXPECT_EQ(SendMessageA(main_window(), host::kSizeLimitsQuery, 0, reinterpret_cast<LPARAM>(&limits)), 0);
  EXPECT_EQ(limits.ptMinTrackSize.x, 500);
  EXPECT_EQ(limits.ptMinTrackSize.y, 200);
  EXPECT_EQ(limits.ptMaxTrackSize.x, 2000);
  EXPECT_EQ(limits.ptMaxTrackSize.y, 2000);
  EXPECT_EQ(SendMessageA(main_window(), host::kSizeLimitsQuery, 0, 0), 1);

  // Four characters a field: 12345 gives x 1234 and ends the scan, so y keeps 5.
  INT32 position[2] = {0, 0};
  EXPECT_EQ(SendMessageA(main_window(), host::kPositionQuery, 0, reinterpret_cast<LPARAM>(position)), 1);
  EXPECT_EQ(position[0], 1234);
  EXPECT_EQ(position[1], 5);
  EXPECT_EQ(SendMessageA(main_window(), host::kFocusNotice, 0, 0), 1);
  Close();

  // Either coordinate at -1: no stored position, nothing written.
  for (const char* stored : {"-001,0010", "0010,-001"}) {
    WriteFileBytes(settings_file(), std::string("[Vosko]\r\nWindowPosition=") + stored + "\r\n");
    ASSERT_EQ(Open(), 1);
    position[0] = position[1] = 77;
    EXPECT_EQ(SendMessageA(main_window(), host::kPositionQuery, 0, reinterpret_cast<LPARAM>(position)), 2) << stored;
    EXPECT_EQ(position[0], 77) << stored;
    EXPECT_EQ(position[1], 77) << stored;
    Close();
  }
}

TEST_F(StartupTest, ClosingOutsideDetailsWritesTheKeysBackAsRead) {
  // The column order is stored as it was read, however the list had to mend it to use it.
  const struct {
    const char* line;  // the ColumnHeadings line, or none
    const char* written;
  } orders[] = {
      {"", "0000,0001,0002,0003,0004,0005,0006,0007"},
      {"ColumnHeadings=\r\n", "0000,0000,0000,0000,0000,0000,0000,0000"},
      {"ColumnHeadings=0003,0001\r\n", "0003,0001,0000,0000,0000,0000,0000,0000"},
      {"ColumnHeadings=0009,-001,0003,0003\r\n", "0009,-001,0003,0003,0000,0000,0000,0000"},
  };
  for (const auto& c : orders) {
    WriteFileBytes(settings_file(), std::string("[Vosko]\r\nListViewColumnPosition=0150\r\nViewOption=7\r\n"
                                                "Close Vosko after Paste=yes\r\nMaximizeEditor=-3\r\n"
                                                "VisibleColumns=0001,0000,0001,0001,0001,0001,0001,0001\r\n") +
                                        c.line + "[VoskoFiles]\r\nquotes.lsq=07EA,0C,05,0E,07,7b\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    Close();

    EXPECT_EQ(ReadSetting("Vosko", "ColumnHeadings"), c.written) << c.line;
    EXPECT_EQ(ReadSetting("Vosko", "ViewOption"), "0");
    EXPECT_EQ(ReadSetting("Vosko", "Close Vosko after Paste"), "0");
    EXPECT_EQ(ReadSetting("Vosko", "MaximizeEditor"), "-3");
    EXPECT_EQ(ReadSetting("Vosko", "VoskoVersion"), "1.10");
    EXPECT_EQ(ReadSetting("Vosko", "QuoteFolder"), home_->path());
    EXPECT_EQ(ReadSetting("Vosko", "ListViewColumnPosition"), "0150,0020,0020,0020,0020,0020,0020,0020");
    // Outside Details view the visible columns are left as the file had them.
    EXPECT_EQ(ReadSetting("Vosko", "VisibleColumns"), "0001,0000,0001,0001,0001,0001,0001,0001");
    EXPECT_EQ(ReadSetting("VoskoFiles", "quotes.lsq"), "07EA,0C,05,0E,07,7b");
  }
}

TEST_F(StartupTest, EveryTableTextLoadsFromTheLibraryExactly) {
  ASSERT_EQ(Open(), 1);
  HMODULE module = session_->library();
  int checked = 0;
  for (const vosko::TableEntry& entry : vosko::AllTableTexts()) {
    char text[1024] = {};
    int length = LoadStringA(module, entry.id, text, sizeof text);
    EXPECT_EQ(std::string(text, length > 0 ? length : 0), std::string(entry.text)) << entry.id;
    ++checked;
  }
  EXPECT_GT(checked, 150);
}

// The editor default comes from WIN.INI [Extensions] txt: its first word.
TEST_F(StartupTest, EditorDefaultIsTheFirstWordOfTheTextFileAssociation) {
  const std::pair<const char*, const char*> cases[] = {
      {"notepad.exe ^.txt", "notepad.exe"},
      {"   C:\\Tools\\edit.exe ^.txt", "C:\\Tools\\edit.exe"},
      {nullptr, ""},  // no entry: an empty default
  };
  char saved[1024] = {};
  GetProfileStringA("Extensions", "txt", "", saved, sizeof saved);
  for (auto [entry, editor] : cases) {
    WriteProfileStringA("Extensions", "txt", entry);
    DeleteFileA(settings_file().c_str());
    ASSERT_EQ(OpenAndShow(), 1);
    Close();
    EXPECT_EQ(ReadSetting("Vosko", "DefaultTextEditor"), editor) << (entry ? entry : "(none)");
  }
  WriteProfileStringA("Extensions", "txt", saved[0] != '\0' ? saved : nullptr);
}

// The quote file type in the host's file-type list: added once, with a line end after it,
// and recognised in any letter case; a list that is missing, read-only or out of reach of
// a path is left alone.
TEST_F(StartupTest, RegistersTheQuoteFileTypeOnce) {
  const std::string line = "Vosko Quote File,0,x,0,.LSQ";
  const std::string other = "Some File,0,x,0,.TXT\r\n";
  const struct {
    const char* name;
    std::string before;  // the list's bytes; "-" for no list at all
    std::string after;
    bool read_only = false;
    unsigned message = 0;
    std::string directory = "";  // the host's answer when not the home directory
  } cases[] = {
      {"lower case", other + "vosko quote file,0,x,0,.lsq\r\n", other + "vosko quote file,0,x,0,.lsq\r\n"},
      {"last line without line end", other + line, other + line},
      {"line that goes on", line + ",more\r\n", line + ",more\r\n"},
      {"absent", other, other + "\r\n" + line + "\r\n"},
      {"empty", "", "\r\n" + line + "\r\n"},
      {"read-only", other, other, true},
      {"missing", "-", "-", false, IDS_NO_FILE_TYPE_LIST},
      // 250 characters fit the host's buffer but not the list's path after them.
      {"directory too long", other, other, false, IDS_HOST_ERROR, "C:\\" + std::string(247, 'd')},
  };
  const std::string list = home_->File("filetype.pm");
  for (const auto& c : cases) {
    DeleteFileA(list.c_str());
    if (c.before != "-") WriteFileBytes(list, c.before);
    if (c.read_only) SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_READONLY);
    answers.file_type_directory = c.directory;
    // Twice: the second start-up finds the line the first one added.
    for (int run = 0; run < 2; ++run) {
      modal.Clear();
      ASSERT_EQ(Open(), 1) << c.name;
      Close();
      if (c.message == 0) {
        EXPECT_TRUE(modal.boxes().empty()) << c.name;
      } else {
        ASSERT_EQ(modal.boxes().size(), 1u) << c.name;
        EXPECT_EQ(modal.boxes()[0].text, Text(c.message)) << c.name;
      }
    }
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesA(list.c_str()) != INVALID_FILE_ATTRIBUTES ? ReadFileBytes(list) : "-", c.after)
        << c.name;
  }
  answers.file_type_directory.clear();
}

}  // namespace
}  // namespace vtest
