// The main window as the host shows it: late set-up, layout, the list of quote files in
// its four views, the catalog's cells, and what closing stores.
#include "dialog_driver.h"
#include "harness.h"
#include "dialog_driver.h"
#include "import_patch.h"

#include "win32/commands/about_box_win32.h"
#include "contract/host_contract.h"
#include "win32/app/startup_win32.h"
#include "engine/window_layout.h"
#include "win32/base/file_facts_win32.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

#include <commctrl.h>

#include <map>

namespace vtest {
namespace {

namespace host = vosko::host;

// A quote file of exactly `size` bytes: the given lines, then filler quote lines.
std::string QuoteFileOfSize(const std::string& lines, size_t size) {
  std::string bytes = lines;
  while (bytes.size() + 12 <= size) bytes += "A saying.\r\n\r\n";
  bytes.resize(size, ' ');
  return bytes;
}

RECT ChildRect(HWND child) {
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int ColumnWidth(HWND list, int column) { return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)); }

std::vector<int> ColumnOrder(HWND list, int count) {
  std::vector<int> order(static_cast<size_t>(count));
  SendMessageA(list, LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()));
  return order;
}

// The rows keyed by their file name, the last cell of a Details row.
std::map<std::string, std::vector<std::string>> RowsByFileName(HWND list) {
  std::map<std::string, std::vector<std::string>> rows;
  for (auto& row : ListRows(list)) rows[row.back()] = row;
  return rows;
}

void SetWriteTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  SYSTEMTIME local = {year, month, 0, day, hour, minute, 0, 0};
  FILETIME local_time = {}, utc = {};
  SystemTimeToFileTime(&local, &local_time);
  LocalFileTimeToFileTime(&local_time, &utc);
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetFileTime(file, nullptr, nullptr, &utc);
  CloseHandle(file);
}

// Stand-ins for system calls of the library: the help file it opens and controls that
// cannot be made.
std::string g_opened;
HWND g_opened_owner = nullptr;

HINSTANCE WINAPI RecordOpen(HWND owner, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
  g_opened = file != nullptr ? file : "";
  g_opened_owner = owner;
  return reinterpret_cast<HINSTANCE>(42);
}

HWND WINAPI NoStatusBar(DWORD extended, LPCSTR class_name, LPCSTR name, DWORD style, int x, int y, int width,
                        int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
  if (!IS_INTRESOURCE(class_name) && lstrcmpiA(class_name, STATUSCLASSNAMEA) == 0) return nullptr;
  return CreateWindowExA(extended, class_name, name, style, x, y, width, height, parent, menu, instance, parameter);
}

HIMAGELIST WINAPI NoImageList(int, int, UINT, int, int) { return nullptr; }

class MainWindowTest : public ExtensionTest {};

// The face places every control where the layout arithmetic (its own native tests) puts it,
// with the sizes it measures: the Edit button's and the status bar's.
TEST_F(MainWindowTest, LayoutInBothArrangements) {
  for (int view : {0, 3}) {
    WriteSettings("ViewOption=" + std::to_string(view) + "\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    MoveWindow(Button(IDC_EDIT), 0, 0, 75, 25, FALSE);
    EXPECT_EQ(SendMessageA(main_window(), host::kResizeNotice, 0, MAKELPARAM(760, 500)), 1);
    RECT client = {}, status_client = {};
    GetClientRect(main_window(), &client);
    EXPECT_EQ(client.right, 760);
    EXPECT_EQ(client.bottom, 500);
    GetClientRect(StatusBar(), &status_client);
    ASSERT_GT(status_client.bottom, 0);
    const vosko::MainLayout layout = vosko::ComputeMainLayout(760, 500, 75, 25, status_client.bottom, view == 3);
    const auto expect_at = [view](HWND control, const vosko::ControlRect& at) {
      const RECT r = ChildRect(control);
      EXPECT_EQ((vosko::ControlRect{r.left, r.top, r.right - r.left, r.bottom - r.top}), at)
          << "view " << view << " control " << GetDlgCtrlID(control) << " at " << r.left << "," << r.top;
    };
    for (const vosko::ButtonPlace& b : layout.buttons) expect_at(Button(b.id), {b.x, b.y, 75, 25});
    expect_at(ListView(), layout.list);
    expect_at(StatusBar(), layout.status_bar);
    Close();
  }
}

TEST_F(MainWindowTest, ZeroResizeNoticeAndTheStatusBarParts) {
  WriteSettings("");
  ASSERT_EQ(OpenAndShow(), 1);
  // The first edge stays where creation put it; the second halves what is left of it.
  int edges[3] = {532, 533, -1};
  SendMessageA(StatusBar(), SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  MoveWindow(main_window(), 3, 4, 760, 500, FALSE);
  EXPECT_EQ(SendMessageA(main_window(), host::kResizeNotice, 0, 0), 1);
  RECT where = ChildRect(main_window());
  EXPECT_EQ(where.left, 3);  // not moved
  EXPECT_EQ(where.top, 4);
  SendMessageA(StatusBar(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  EXPECT_EQ(edges[0], 532);
  EXPECT_EQ(edges[1], 646);
  EXPECT_EQ(edges[2], -1);
  EXPECT_EQ(StatusText(StatusBar(), 0), "Kelvaro");
}

TEST_F(MainWindowTest, ClosingStoresTheHostWindowsPlacementInItsParentsClientArea) {
  WriteSettings("");
  ASSERT_EQ(OpenAndShow(), 1);
  // The hidden test frame leaves its MDI client without a size: give it one.
  MoveWindow(GetParent(host_window()), 0, 0, 990, 650, TRUE);
  MoveWindow(host_window(), 100, 40, 800, 600, TRUE);
  // The parent's client area, without the scroll bars that come and go as its children move.
  HWND parent = GetParent(host_window());
  RECT area = {};
  GetClientRect(parent, &area);
  if (GetWindowLongA(parent, GWL_STYLE) & WS_VSCROLL) area.right += GetSystemMetrics(SM_CXVSCROLL);
  if (GetWindowLongA(parent, GWL_STYLE) & WS_HSCROLL) area.bottom += GetSystemMetrics(SM_CYHSCROLL);
  RECT screen = {};
  GetWindowRect(host_window(), &screen);
  EXPECT_EQ(screen.right - screen.left, 800);
  Close();
  EXPECT_EQ(ReadSetting("Vosko", "WindowPosition"), "0100,0040,0800,0600");

  // The next start puts the host window back there. A stored width or height of 0 keeps
  // the client size the host gave its window (800 by 560 outside); a placement out of reach
  // is brought into the parent's client area. Closing without a move keeps what was stored.
  const int kOwn = 0, kArea = -1, kAtRight = -2;
  const struct {
    const char* stored;
    int x, y, width, height;
  } places[] = {{"0100,0040,0800,0600", 100, 40, 800, 600},
                {"0100,0040,0000,0300", 100, 40, kOwn, 300},
                {"0100,0040,0700,0000", 100, 40, 700, kOwn},
                {"-500,-500,9999,9999", 0, 0, kArea, kArea},
                {"9000,0040,0800,0600", kAtRight, 40, 800, 600}};
  for (const auto& c : places) {
    WritePrivateProfileStringA("Vosko", "WindowPosition", c.stored, settings_file().c_str());
    ASSERT_EQ(OpenAndShow(), 1);
    RECT placed = ChildRect(host_window()), client = {};
    GetClientRect(host_window(), &client);
    const int frame_width = (placed.right - placed.left) - client.right;
    const int frame_height = (placed.bottom - placed.top) - client.bottom;
    const int width = c.width == kOwn ? 800 - frame_width : c.width == kArea ? area.right : c.width;
    const int height = c.height == kOwn ? 560 - frame_height : c.height == kArea ? area.bottom : c.height;
    EXPECT_EQ(placed.left, c.x == kAtRight ? area.right - width : c.x) << c.stored;
    EXPECT_EQ(placed.top, c.y) << c.stored;
    EXPECT_EQ(placed.right - placed.left, width) << c.stored;
    EXPECT_EQ(placed.bottom - placed.top, height) << c.stored;
    Close();
    EXPECT_EQ(ReadSetting("Vosko", "WindowPosition"), c.stored);
  }
}

TEST_F(MainWindowTest, AWholeRowAsTheScanFillsIt) {
  WriteQuoteFile("quotes.lsq", QuoteFileOfSize("@@TITLE=Famous Sayings\r\n@@AUTHOR=Anon\r\n\r\n", 2345));
  SetWriteTime(quotes_->File("quotes.lsq"), 2026, 12, 5, 14, 7);
  WriteQuoteFile("never.lsq", "@@TITLE=Never compiled\r\n");
  WriteSettings("ViewOption=3\r\n", "quotes.lsq=07EA,0C,05,0E,10,2a\r\n");
  ASSERT_EQ(OpenAndShow(), 1);
  EXPECT_TRUE(modal.boxes().empty());

  auto rows = RowsByFileName(ListView());
  ASSERT_EQ(rows.size(), 2u);
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA(quotes_->File("quotes.lsq").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  const std::string created = vosko::FileTimeText(vosko::ListingOf(found).created);
  EXPECT_EQ(rows["quotes.lsq"], (std::vector<std::string>{"Famous Sayings", "Anon", "2.3k", "42", "05 Dec 26, 14:07",
                                                          created, "05 Dec 26, 14:16", "quotes.lsq"}));
  EXPECT_EQ(rows["never.lsq"][3], "");  // no record: no count, no date
  EXPECT_EQ(rows["never.lsq"][6], "");
}

TEST_F(MainWindowTest, FilesThatCannotBeOpenedAreReportedOnceAndSkipped) {
  // A quote folder so deep that one file name takes the path past 259 characters.
  std::string folder = quotes_->path() + "\\" + std::string(100, 'd');
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_LT(folder.size(), 240u) << "the temporary folder is too deep for this test";
  folder += "\\" + std::string(244 - folder.size(), 'e');
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
  WriteFileBytes(folder + "\\ok.lsq", "@@TITLE=Fine\r\n");
  WriteFileBytes(folder + "\\locked.lsq", "@@TITLE=Locked\r\n");
  const std::wstring long_name = L"\\\\?\\" + std::wstring(folder.begin(), folder.end()) + L"\\a-name-too-long.lsq";
  HANDLE long_file = CreateFileW(long_name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(long_file, INVALID_HANDLE_VALUE);
  CloseHandle(long_file);
  // Held open without sharing: the catalog cannot open it for update.
  HANDLE held = CreateFileA((folder + "\\locked.lsq").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  // A folder named like a quote file is passed over without a message.
  ASSERT_TRUE(CreateDirectoryA((folder + "\\folder.lsq").c_str(), nullptr));

  WriteFileBytes(settings_file(), "[Vosko]\r\nQuoteFolder=" + folder + "\r\nViewOption=3\r\n");
  ASSERT_EQ(OpenAndShow(), 1);
  CloseHandle(held);
  ASSERT_EQ(modal.boxes().size(), 2u);
  for (const MessageBoxRecord& box : modal.boxes()) {
    EXPECT_EQ(box.text, "Windows returned error 65535 while trying to open a file...");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(box.owner, GetAncestor(main_window(), GA_ROOT));
  }
  auto rows = ListRows(ListView());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "Fine");
  Close();
  DeleteFileW(long_name.c_str());
}

TEST_F(MainWindowTest, ViewsTheirStylesAndImageLists) {
  for (const char* name : {"a", "b", "c", "d", "e"}) {
    WriteQuoteFile(std::string(name) + ".lsq", "@@TITLE=" + std::string(name) + "\r\n");
  }
  const struct {
    const char* stored;
    DWORD type;
    int image_list;
  } cases[] = {{"-1", LVS_SMALLICON, LVSIL_SMALL},
               {"7", LVS_ICON, LVSIL_NORMAL},
               {"1", LVS_SMALLICON, LVSIL_SMALL},
               {"2", LVS_LIST, LVSIL_SMALL},
               {"3", LVS_REPORT, LVSIL_SMALL}};
  for (const auto& c : cases) {
    WriteSettings(std::string("ViewOption=") + c.stored + "\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    HWND list = ListView();
    const DWORD style = static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE));
    EXPECT_EQ(style & LVS_TYPEMASK, c.type) << c.stored;
    const DWORD extended = static_cast<DWORD>(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(extended, c.type == LVS_REPORT ? DWORD{0x30} : DWORD{0}) << c.stored;
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, c.image_list, 0));
    ASSERT_NE(images, nullptr) << c.stored;
    EXPECT_EQ(ImageList_GetImageCount(images), 105) << c.stored;
    const int other = c.image_list == LVSIL_NORMAL ? LVSIL_SMALL : LVSIL_NORMAL;
    EXPECT_EQ(SendMessageA(list, LVM_GETIMAGELIST, other, 0), 0) << c.stored;
    std::vector<int> row_images;
    for (int row = 0; row < 5; ++row) {
      LVITEMA item = {};
      item.mask = LVIF_IMAGE;
      item.iItem = row;
      SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      row_images.push_back(item.iImage);
    }
    std::sort(row_images.begin(), row_images.end());
    EXPECT_EQ(row_images, (std::vector<int>{1, 2, 3, 4, 5})) << c.stored;
    Close();
  }
}

TEST_F(MainWindowTest, StoredWidthsInDetailsView) {
  WriteQuoteFile("a.lsq", "@@TITLE=A\r\n");
  // The Size column: 0, above 1000 and negative widths all fit the heading.
  const struct {
    const char* stored;
    int width;  // 0: the heading's width
  } cases[] = {{"0000", 0}, {"1001", 0}, {"-005", 0}, {"0080", 80}, {"1000", 1000}};
  int heading_width = -1;
  for (const auto& c : cases) {
    WriteSettings(std::string("ViewOption=3\r\nListViewColumnPosition=0020,0020,") + c.stored +
                  ",0020,0020,0020,0020,0020\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    const int width = ColumnWidth(ListView(), 2);
    EXPECT_EQ(ColumnWidth(ListView(), 1), 20);
    if (c.width != 0) {
      EXPECT_EQ(width, c.width) << c.stored;
    } else {
      EXPECT_NE(width, 150) << c.stored;  // not the width the column was made with
      EXPECT_GT(width, 20) << c.stored;
      if (heading_width < 0) heading_width = width;
      EXPECT_EQ(width, heading_width) << c.stored;
    }
    Close();
  }
}

TEST_F(MainWindowTest, ClosingInDetailsStoresWidthsByPositionAndTheNextStartShowsTheSame) {
  WriteQuoteFile("a.lsq", "@@TITLE=Alpha\r\n");
  WriteSettings(
      "ViewOption=3\r\nVisibleColumns=0001,0000,0001,0001,0001,0001,0001,0001\r\n"
      "ListViewColumnPosition=0100,0100,0100,0100,0100,0100,0100,0100\r\n");
  ASSERT_EQ(OpenAndShow(), 1);
  HWND list = ListView();
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, 90);   // Size, shown at position 1
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 6, 120);  // Filename
  int order[7] = {6, 0, 1, 2, 3, 4, 5};            // Filename dragged to the front
  SendMessageA(list, LVM_SETCOLUMNORDERARRAY, 7, reinterpret_cast<LPARAM>(order));
  Close();
  EXPECT_EQ(ReadSetting("Vosko", "ListViewColumnPosition"), "0100,0090,0100,0100,0100,0100,0120,0000");
  EXPECT_EQ(ReadSetting("Vosko", "ColumnHeadings"), "0006,0000,0001,0002,0003,0004,0005,0007");
  EXPECT_EQ(ReadSetting("Vosko", "VisibleColumns"), "0001,0000,0001,0001,0001,0001,0001,0001");

  ASSERT_EQ(OpenAndShow(), 1);
  list = ListView();
  EXPECT_EQ(ColumnWidth(list, 1), 90);
  EXPECT_EQ(ColumnWidth(list, 6), 120);
  EXPECT_EQ(ColumnOrder(list, 7), (std::vector<int>{6, 0, 1, 2, 3, 4, 5}));
  Close();

  // Closing in another view writes the same values back.
  WritePrivateProfileStringA("Vosko", "ViewOption", "0", settings_file().c_str());
  ASSERT_EQ(OpenAndShow(), 1);
  Close();
  EXPECT_EQ(ReadSetting("Vosko", "ListViewColumnPosition"), "0100,0090,0100,0100,0100,0100,0120,0000");
  EXPECT_EQ(ReadSetting("Vosko", "ColumnHeadings"), "0006,0000,0001,0002,0003,0004,0005,0007");
}

TEST_F(MainWindowTest, ButtonsFollowTheRowCount) {
  const int row_buttons[] = {IDC_EDIT, IDC_PASTE, IDC_COMPILE, IDC_DELETE, IDC_RESCAN, IDC_EXPORT};
  const int other_buttons[] = {IDC_NEW, IDC_SEND, IDC_OPTIONS, IDC_HELP_BUTTON, IDC_ABOUT, IDC_EXIT};
  for (bool with_rows : {false, true}) {
    if (with_rows) WriteQuoteFile("a.lsq", "@@TITLE=A\r\n");
    WriteSettings("");
    ASSERT_EQ(OpenAndShow(), 1);
    for (int id : row_buttons) EXPECT_EQ(IsWindowEnabled(Button(id)) != FALSE, with_rows) << id;
    for (int id : other_buttons) EXPECT_TRUE(IsWindowEnabled(Button(id))) << id;
    Close();
  }
}

TEST_F(MainWindowTest, FirstRunWelcomesAfterTheListExistsThenTheOptionsSetTheQuoteFolder) {
  WriteQuoteFile("a.lsq", "@@TITLE=A\r\n");
  bool list_existed = false;
  modal.on_box = [&](const MessageBoxRecord&) { list_existed = ListView() != nullptr; };
  std::string caption;
  modal.ExpectDialog([&](HWND dialog) {
    caption = WindowText(dialog);
    SetField(dialog, IDC_OPT_FOLDER, quotes_->path());
    PressDialogButton(dialog, IDC_OPT_OK);
  });
  ASSERT_EQ(OpenAndShow(), 1);
  ASSERT_EQ(modal.boxes().size(), 1u);
  EXPECT_EQ(modal.boxes()[0].text, Text(IDS_WELCOME));
  EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_TRUE(list_existed);
  // A child window cannot own a box: the window system gives it to the top-level window.
  EXPECT_EQ(modal.boxes()[0].owner, GetAncestor(main_window(), GA_ROOT));
  EXPECT_EQ(caption, "Vosko Options");
  EXPECT_EQ(ReadSetting("Vosko", "QuoteFolder"), quotes_->path());
  EXPECT_EQ(ListRows(ListView()).size(), 1u);
  EXPECT_EQ(session_->log().small_icons, 1);

  SendMessageA(main_window(), host::kLateSetUpNotice, 0, 0);  // a second notice shows nothing
  Pump();
  EXPECT_EQ(modal.boxes().size(), 1u);
  EXPECT_TRUE(modal.unscripted_dialogs().empty());
}

TEST_F(MainWindowTest, CommandsByIdAndAnUnknownOneDoesNothing) {
  HMODULE library = PreloadLibrary();
  ImportPatch help(library, "shell32.dll", "ShellExecuteA", reinterpret_cast<const void*>(&RecordOpen));
  ASSERT_TRUE(help.ok());
  // The help file is the library's path with ".CHM" for its extension.
  char path[MAX_PATH] = {};
  GetModuleFileNameA(library, path, sizeof path);
  const std::string library_path = path;
  const std::string help_file = library_path.substr(0, library_path.rfind('.')) + ".CHM";
  EXPECT_EQ(vosko::HelpFilePath(library_path), help_file);
  EXPECT_EQ(vosko::HelpFilePath("C:\\Mail\\vosko"), "C:\\Mail\\vosko");  // no "." at all
  EXPECT_EQ(vosko::HelpFilePath("C:\\Mail.d\\vosko"), "C:\\Mail.CHM");   // the last "." wherever it is

  const struct {
    int id;
    int close_requests;
    const char* opened;
    bool focus_to_list;
  } cases[] = {{IDC_EXIT, 1, "", false},
               {IDCANCEL, 1, "", false},
               {IDC_HELP_BUTTON, 0, help_file.c_str(), true},
               {IDC_PASTE, 0, "", false},  // an empty list: nothing to paste into, no close
               {4242, 0, "", false}};
  for (const auto& c : cases) {
    WriteSettings("Close Vosko after Paste=1\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    g_opened.clear();
    SetFocus(Button(IDC_NEW));
    Press(c.id);
    EXPECT_EQ(session_ == nullptr ? -1 : session_->log().close_requests, c.close_requests) << c.id;
    EXPECT_EQ(host_window() == nullptr, c.close_requests == 1) << c.id;  // the host destroyed its window
    EXPECT_EQ(g_opened, c.opened) << c.id;
    if (c.close_requests == 0) {
      EXPECT_EQ(GetFocus(), c.focus_to_list ? ListView() : Button(IDC_NEW)) << c.id;
    }
    EXPECT_TRUE(modal.boxes().empty()) << c.id;
    EXPECT_TRUE(modal.unscripted_dialogs().empty()) << c.id;
    Close();
  }
}

// Every Help button opens the compiled help file that the build puts beside the library.
TEST_F(MainWindowTest, HelpButtonsOpenTheHelpFileBesideTheLibrary) {
  HMODULE library = PreloadLibrary();
  ImportPatch help(library, "shell32.dll", "ShellExecuteA", reinterpret_cast<const void*>(&RecordOpen));
  ASSERT_TRUE(help.ok());
  char path[MAX_PATH] = {};
  GetModuleFileNameA(library, path, sizeof path);
  const std::string help_file = vosko::HelpFilePath(path);
  EXPECT_EQ(ReadFileBytes(help_file).substr(0, 4), "ITSF");  // there, and a compiled help file

  const struct {
    const char* where;
    bool in_options;
  } cases[] = {{"main window", false}, {"Options", true}};
  for (const auto& c : cases) {
    WriteSettings("");
    ASSERT_EQ(OpenAndShow(), 1);
    g_opened.clear();
    g_opened_owner = nullptr;
    if (c.in_options) {
      modal.ExpectDialog([](HWND options) {
        PressDialogButton(options, IDC_OPT_HELP);
        PressDialogButton(options, IDC_OPT_CANCEL);
      });
      Press(IDC_OPTIONS);
    } else {
      Press(IDC_HELP_BUTTON);
    }
    EXPECT_EQ(g_opened, help_file) << c.where;
    EXPECT_EQ(g_opened_owner, main_window()) << c.where;
    EXPECT_TRUE(modal.unscripted_dialogs().empty()) << c.where;
    Close();
  }
}

// A status bar or list that cannot be made: the message, owned by the host window, then
// the closing routine at once (settings written, controls released), and the set-up goes
// on with the window open.
TEST_F(MainWindowTest, LateSetUpFailuresReportCloseAndGoOn) {
  HMODULE library = PreloadLibrary();
  ImportPatch owners(library, "user32.dll", "MessageBoxA", reinterpret_cast<const void*>(&RecordBoxOwner));
  ASSERT_TRUE(owners.ok());
  WriteQuoteFile("a.lsq", "@@TITLE=A\r\n");
  const struct {
    const char* dll;
    const char* function;
    const void* replacement;
    unsigned message;
    bool list_made;
  } cases[] = {
      {"user32.dll", "CreateWindowExA", reinterpret_cast<const void*>(&NoStatusBar), IDS_NO_STATUS_BAR, true},
      // The list is made but cannot be filled: its columns never took the stored values.
      {"comctl32.dll", "ImageList_Create", reinterpret_cast<const void*>(&NoImageList), IDS_NO_LIST_VIEW, false},
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
    EXPECT_EQ(modal.boxes()[0].style, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(g_box_owners, std::vector<HWND>{host_window()});
    EXPECT_EQ(ReadSetting("Vosko", "VoskoVersion"), "1.10") << c.function;  // written at once
    EXPECT_EQ(StatusBar(), nullptr) << c.function;
    EXPECT_EQ(ListView() != nullptr, c.list_made) << c.function;
    EXPECT_EQ(ChildRect(host_window()).left, 100) << c.function;  // placed
    EXPECT_TRUE(IsWindow(main_window())) << c.function;
    EXPECT_EQ(session_->log().close_requests, 0);
    // The focus goes to the list, or without one nowhere.
    SetFocus(Button(IDC_NEW));
    SendMessageA(main_window(), host::kFocusNotice, 0, 0);
    EXPECT_EQ(GetFocus(), c.list_made ? ListView() : nullptr) << c.function;
    Close();
    if (!c.list_made) {  // the stored widths and order are kept, not the list's defaults
      EXPECT_EQ(ReadSetting("Vosko", "ListViewColumnPosition"), widths);
      EXPECT_EQ(ReadSetting("Vosko", "ColumnHeadings"), "0003,0001,0000,0000,0000,0000,0000,0000");
    }
  }
}

TEST_F(MainWindowTest, EscapeInTheListAsksTheHostToClose) {
  WriteSettings("");
  ASSERT_EQ(OpenAndShow(), 1);
  PostMessageA(ListView(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(session_ == nullptr ? 1 : session_->log().close_requests, 1);
}

// The About box's result, seen through the library's own call that runs it.
INT_PTR g_about_result = -1;
INT_PTR WINAPI RecordDialogResult(HINSTANCE module, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  g_about_result = DialogBoxParamA(module, name, owner, proc, param);
  return g_about_result;
}

TEST_F(MainWindowTest, AboutBoxEndsWithTheButtonThatClosedIt) {
  HMODULE library = PreloadLibrary();
  ImportPatch results(library, "user32.dll", "DialogBoxParamA", reinterpret_cast<const void*>(&RecordDialogResult));
  ASSERT_TRUE(results.ok());
  WriteSettings("");
  ASSERT_EQ(OpenAndShow(), 1);
  const struct {
    const char* name;
    UINT message;
    WPARAM wparam;
    INT_PTR result;
  } cases[] = {{"Ok", WM_COMMAND, IDC_ABOUT_OK, IDC_ABOUT_OK},
               {"Esc", WM_COMMAND, IDCANCEL, IDCANCEL},
               {"close box", WM_CLOSE, 0, 0}};
  for (const auto& c : cases) {
    std::string caption;
    modal.ExpectDialog([&](HWND dialog) {
      caption = WindowText(dialog);
      PostMessageA(dialog, c.message, c.wparam, 0);
    });
    g_about_result = -1;
    Press(IDC_ABOUT);
    EXPECT_EQ(g_about_result, c.result) << c.name;
    EXPECT_EQ(caption, "About Vosko...") << c.name;
  }
  EXPECT_TRUE(modal.unscripted_dialogs().empty());
}

// All ten frames between two windows; none once a window is gone.
TEST(ZoomBetweenTest, StopsWhenAWindowIsGone) {
  HWND from = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
  HWND to = CreateWindowA("STATIC", "", WS_POPUP, 200, 100, 500, 300, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(from, nullptr);
  ASSERT_NE(to, nullptr);
  EXPECT_EQ(vosko::ZoomBetween(from, to), 10);
  DestroyWindow(to);
  EXPECT_EQ(vosko::ZoomBetween(from, to), 0);
  DestroyWindow(from);
}

}  // namespace
}  // namespace vtest
