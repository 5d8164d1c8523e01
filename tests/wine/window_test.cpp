// Start-up and the main window as the host shows them: the checks that refuse to start, the
// late set-up, the catalog's cells, the settings read and what closing writes back.
#include "harness.h"
#include "import_patch.h"

#include "contract/host_contract.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

#include <commctrl.h>

namespace vtest {
namespace {

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
  ImportPatch owners(library, "user32.dll", "MessageBoxA", StandIn(&RecordBoxOwner));
  ASSERT_TRUE(owners.ok());
  using Answers = voskohost::HostAnswers;
  const auto long_home = [](Answers& a) { a.home_directory = "C:\\" + std::string(252, 'h'); };
  const struct {
    const char* name;
    std::function<void(Answers&)> tweak;
    const char* dll = nullptr;  // a system call made to fail, if any
    const char* function = nullptr;
    const void* stand_in = nullptr;
    unsigned message = 0;
  } cases[] = {
      {"old host", [](Answers& a) { a.interface_version = 257; }, {}, {}, {}, IDS_OLD_HOST},
      // Only the low 16 bits of the interface version count.
      {"old host, high bits set", [](Answers& a) { a.interface_version = 0xFFFF0101; }, {}, {}, {}, IDS_OLD_HOST},
      {"no common controls", {}, "kernel32.dll", "LoadLibraryA", StandIn(&NoCommonControls), IDS_OLD_COMCTL},
      {"home query answered 0", [](Answers& a) { a.home_query_fails = true; }, {}, {}, {}, IDS_HOST_ERROR},
      {"home without terminator", [](Answers& a) { a.home_unterminated = true; }, {}, {}, {}, IDS_HOST_ERROR},
      // 255 characters fit the home directory but not the settings file path after it.
      {"home too long for the settings path", long_home, {}, {}, {}, IDS_HOST_ERROR},
      {"font item answered nonzero", [](Answers& a) { a.font_query_fails = true; }, {}, {}, {}, IDS_NO_FONT},
      {"no item icon", {}, "user32.dll", "LoadImageA", StandIn(&NoItemIcon), IDS_NO_MEMORY},
      {"no main window", {}, "user32.dll", "CreateDialogParamA", StandIn(&NoDialog), IDS_NO_MAIN_WINDOW},
  };
  for (const auto& c : cases) {
    const Answers saved = answers;
    if (c.tweak) c.tweak(answers);
    std::unique_ptr<ImportPatch> fault;
    if (c.dll != nullptr) {
      fault = std::make_unique<ImportPatch>(library, c.dll, c.function, c.stand_in);
      ASSERT_TRUE(fault->ok()) << c.name;
    }
    modal.Clear();
    g_box_owners.clear();
    EXPECT_EQ(Open(), 0) << c.name;
    ASSERT_EQ(modal.boxes().size(), 1u) << c.name;
    EXPECT_EQ(modal.boxes()[0].text, Text(c.message)) << c.name;
    EXPECT_EQ(modal.boxes()[0].caption, "Vosko has the following message for you...") << c.name;
    EXPECT_EQ(g_box_owners, std::vector<HWND>{host_window()}) << c.name;
    EXPECT_EQ(main_window(), nullptr) << c.name;
    Close();
    answers = saved;
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
    EXPECT_EQ(ReadSetting("Vosko", "QuoteFolder"), home_);
    EXPECT_EQ(ReadSetting("Vosko", "ListViewColumnPosition"), "0150,0020,0020,0020,0020,0020,0020,0020");
    // Outside Details view the visible columns are left as the file had them.
    EXPECT_EQ(ReadSetting("Vosko", "VisibleColumns"), "0001,0000,0001,0001,0001,0001,0001,0001");
    EXPECT_EQ(ReadSetting("VoskoFiles", "quotes.lsq"), "07EA,0C,05,0E,07,7b");
  }
}

// The copy a batch of settings writes left when the process died in it: start-up puts it
// back when the file lost a key or record, or stops in a line; otherwise deletes it.
TEST_F(StartupTest, PutsBackTheCopyOfABatchThatNeverEnded) {
  const std::string copy = "[Vosko]\r\nViewOption=3\r\n[VoskoFiles]\r\na.lsq=07EA,0C,05,0E,07,7b\r\nb.lsq=2\r\n";
  const std::string newer = "[Vosko]\r\nViewOption=1\r\n[VoskoFiles]\r\nb.lsq=2\r\na.lsq=7c\r\nc.lsq=1\r\n";
  const struct {
    std::string file;
    const char* view;  // as start-up reads it
  } cases[] = {{newer, "1"},
               {copy.substr(0, copy.find("b.lsq")), "3"},
               {newer.substr(0, newer.size() - 3), "3"},
               {"", "3"},
               {kAbsent, "3"}};
  for (const auto& c : cases) {
    DeleteFileA(settings_file().c_str());
    if (c.file != kAbsent) WriteFileBytes(settings_file(), c.file);
    WriteFileBytes(settings_file() + ".bak", copy);
    ASSERT_EQ(Open(), 1);
    EXPECT_EQ(ReadFileBytes(settings_file() + ".bak"), kAbsent) << c.file;
    EXPECT_EQ(ReadSetting("Vosko", "ViewOption"), c.view) << c.file;
    EXPECT_EQ(ReadSetting("VoskoFiles", "b.lsq"), "2") << c.file;
    Close();
  }
}

TEST_F(StartupTest, EveryTableTextLoadsFromTheLibraryExactly) {
  ASSERT_EQ(Open(), 1);
  ASSERT_GT(vosko::AllTableTexts().size(), 150u);
  for (const vosko::TableEntry& entry : vosko::AllTableTexts()) {
    char text[1024] = {};
    const int length = LoadStringA(session_->library(), entry.id, text, sizeof text);
    EXPECT_EQ(std::string(text, length > 0 ? length : 0), std::string(entry.text)) << entry.id;
  }
}

// The quote file type in the host's file-type list: added once, with a line end after it,
// and recognised in any letter case; a list that is missing, read-only or out of reach of
// a path is left alone.
TEST_F(StartupTest, RegistersTheQuoteFileTypeOnce) {
  const std::string line = "Vosko Quote File,0,x,0,.LSQ";
  const std::string other = "Some File,0,x,0,.TXT\r\n";
  const struct {
    const char* name;
    std::string before;  // the list's bytes, or kAbsent
    std::string after;
    bool read_only = false;
    std::vector<std::string> boxes = {};
    std::string directory = "";  // the host's answer when not the home directory
  } cases[] = {
      {"lower case", other + "vosko quote file,0,x,0,.lsq\r\n", other + "vosko quote file,0,x,0,.lsq\r\n"},
      {"last line without line end", other + line, other + line},
      {"line that goes on", line + ",more\r\n", line + ",more\r\n"},
      {"absent", other, other + "\r\n" + line + "\r\n"},
      {"empty", "", "\r\n" + line + "\r\n"},
      {"read-only", other, other, true},
      {"missing", kAbsent, kAbsent, false, {Text(IDS_NO_FILE_TYPE_LIST)}},
      // 250 characters fit the host's buffer but not the list's path after them.
      {"directory too long", other, other, false, {Text(IDS_HOST_ERROR)}, "C:\\" + std::string(247, 'd')},
  };
  const std::string list = Home("filetype.pm");
  for (const auto& c : cases) {
    DeleteFileA(list.c_str());
    if (c.before != kAbsent) WriteFileBytes(list, c.before);
    if (c.read_only) SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_READONLY);
    answers.file_type_directory = c.directory;
    // Twice: the second start-up finds the line the first one added.
    for (int run = 0; run < 2; ++run) {
      modal.Clear();
      ASSERT_EQ(Open(), 1) << c.name;
      Close();
      EXPECT_EQ(modal.box_texts(), c.boxes) << c.name;
    }
    SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(list), c.after) << c.name;
  }
  answers.file_type_directory.clear();
}

RECT ChildRect(HWND child) {
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Stand-ins for system calls of the library: controls that cannot be made.
HWND WINAPI NoStatusBar(DWORD extended, LPCSTR class_name, LPCSTR name, DWORD style, int x, int y, int width,
                        int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
  if (!IS_INTRESOURCE(class_name) && lstrcmpiA(class_name, STATUSCLASSNAMEA) == 0) return nullptr;
  return CreateWindowExA(extended, class_name, name, style, x, y, width, height, parent, menu, instance, parameter);
}

HIMAGELIST WINAPI NoImageList(int, int, UINT, int, int) { return nullptr; }

class MainWindowTest : public ExtensionTest {};

// A status bar or list that cannot be made: the message, owned by the host window, then
// the closing routine at once (settings written, controls released), and the set-up goes
// on with the window open.
TEST_F(MainWindowTest, LateSetUpFailuresReportCloseAndGoOn) {
  HMODULE library = PreloadLibrary();
  ImportPatch owners(library, "user32.dll", "MessageBoxA", StandIn(&RecordBoxOwner));
  ASSERT_TRUE(owners.ok());
  WriteQuoteFile("a.lsq", "@@TITLE=A\r\n");
  const struct {
    const char* dll;
    const char* function;
    const void* replacement;
    unsigned message;
    bool list_made;
  } cases[] = {
      {"user32.dll", "CreateWindowExA", StandIn(&NoStatusBar), IDS_NO_STATUS_BAR, true},
      // The list is made but cannot be filled: its columns never took the stored values.
      {"comctl32.dll", "ImageList_Create", StandIn(&NoImageList), IDS_NO_LIST_VIEW, false},
  };
  const std::string widths = "0100,0090,0100,0100,0100,0100,0120,0000";
  for (const auto& c : cases) {
    ImportPatch fault(library, c.dll, c.function, c.replacement);
    ASSERT_TRUE(fault.ok()) << c.function;
    WriteSettings("ViewOption=3\r\nWindowPosition=0100,0040,0700,0500\r\nListViewColumnPosition=" + widths +
                  "\r\nColumnHeadings=0003,0001\r\n");
    modal.Clear();
    g_box_owners.clear();
    ASSERT_EQ(OpenAndShow(), 1);
    ASSERT_EQ(modal.boxes().size(), 1u) << c.function;
    EXPECT_EQ(modal.boxes()[0].text, Text(c.message));
    EXPECT_EQ(g_box_owners, std::vector<HWND>{host_window()});
    EXPECT_EQ(ReadSetting("Vosko", "VoskoVersion"), "1.10") << c.function;  // written at once
    EXPECT_EQ(StatusBar(), nullptr) << c.function;
    EXPECT_EQ(ListView() != nullptr, c.list_made) << c.function;
    EXPECT_EQ(ChildRect(host_window()).left, 100) << c.function;  // placed
    EXPECT_TRUE(IsWindow(main_window())) << c.function;
    EXPECT_EQ(session_->log().close_requests, 0);
    // The focus goes to the list, or without one nowhere.
    SetFocus(Button(IDC_NEW));
    SendMessageA(main_window(), vosko::host::kFocusNotice, 0, 0);
    EXPECT_EQ(GetFocus(), c.list_made ? ListView() : nullptr) << c.function;
    Close();
    if (!c.list_made) {  // the stored widths and order are kept, not the list's defaults
      EXPECT_EQ(ReadSetting("Vosko", "ListViewColumnPosition"), widths);
      EXPECT_EQ(ReadSetting("Vosko", "ColumnHeadings"), "0003,0001,0000,0000,0000,0000,0000,0000");
    }
  }
}

}  // namespace
}  // namespace vtest
