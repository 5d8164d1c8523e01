// The list view helpers, the progress runs and the closing routine, called directly on a
// main window made in this process from the library's own template and texts.
#include "harness.h"
#include "import_patch.h"
#include "in_process.h"

#include "win32/controls/status_bar_win32.h"
#include "win32/app/main_window_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/app/window_layout_win32.h"
#include "win32/controls/list_view_win32.h"
#include "contract/resource_ids.h"

#include <commctrl.h>

#include <climits>
#include <cstring>

namespace vtest {
namespace {

struct ClassCount {
  const char* name;
  int found;
};

BOOL CALLBACK CountClass(HWND child, LPARAM data) {
  auto* count = reinterpret_cast<ClassCount*>(data);
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, count->name) == 0) ++count->found;
  return TRUE;
}

// Progress bars made so far, and which one (counting from 1) is not made.
int g_bars_made = 0;
int g_failing_bar = 0;
decltype(&CreateWindowExA) g_create_window = nullptr;

HWND WINAPI FailOneBar(DWORD extended, LPCSTR class_name, LPCSTR name, DWORD style, int x, int y, int width, int height,
                       HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
  if (!IS_INTRESOURCE(class_name) && lstrcmpiA(class_name, PROGRESS_CLASSA) == 0 && ++g_bars_made == g_failing_bar) {
    return nullptr;
  }
  return g_create_window(extended, class_name, name, style, x, y, width, height, parent, menu, instance, parameter);
}

std::vector<std::string> Headings(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  std::vector<std::string> headings;
  for (int i = 0, count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)); i < count; ++i) {
    char text[64] = {};
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    headings.emplace_back(text);
  }
  return headings;
}

class InProcessWindowTest : public InProcessTest {
 protected:
  int ChildrenOfClass(const char* class_name) const {
    ClassCount count = {class_name, 0};
    EnumChildWindows(state_.main_window, CountClass, reinterpret_cast<LPARAM>(&count));
    return count.found;
  }

  static int Position(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)); }
};

TEST_F(InProcessWindowTest, NoRunLeavesABarBehind) {
  ImportPatch bars(GetModuleHandleA(nullptr), "user32.dll", "CreateWindowExA",
                   reinterpret_cast<const void*>(&FailOneBar));
  ASSERT_TRUE(bars.ok());
  g_create_window = bars.original<decltype(&CreateWindowExA)>();
  ASSERT_TRUE(vosko::CreateStatusBar());
  EXPECT_EQ(StatusText(state_.status_bar, 0), "Kelvaro");
  // A run that ends normally, one that leaves early, one that throws; runs whose Total
  // (first made) or Detail bar cannot be made show no bar at all.
  const struct {
    const char* how;
    int failing_bar;
    std::function<void(vosko::Progress&)> body;
  } runs[] = {
      {"complete", 0, [](vosko::Progress& p) { p.Show(std::nullopt, 1, 1, 1, 1, true); }},
      {"early return", 0, [](vosko::Progress&) {}},
      {"exception", 0, [](vosko::Progress&) { throw 1; }},
      {"no Total bar", 1, [](vosko::Progress& p) { p.Show(std::nullopt, 1, 1, 1, 1, true); }},
      {"no Detail bar", 2, [](vosko::Progress& p) { p.Show(std::nullopt, 1, 1, 1, 1, true); }},
  };
  for (const auto& run : runs) {
    g_bars_made = 0;
    g_failing_bar = run.failing_bar;
    const bool bars_made = run.failing_bar == 0;
    try {
      vosko::ProgressRun progress;
      EXPECT_EQ(state_.total_progress != nullptr, bars_made) << run.how;
      EXPECT_EQ(state_.detail_progress != nullptr, bars_made) << run.how;
      EXPECT_EQ(ChildrenOfClass(PROGRESS_CLASSA), bars_made ? 2 : 0) << run.how;
      progress.Show("Famous Sayings", 50, 100, 25, 100, true);
      EXPECT_EQ(StatusText(state_.status_bar, 0), "Compiling \"Famous Sayings\"...");
      if (bars_made) {
        EXPECT_EQ(Position(state_.detail_progress), 50);
        EXPECT_EQ(Position(state_.total_progress), 25);
      }
      // An empty file (size 0) changes the text and leaves the bars.
      progress.Show("100% Wit", 0, 0, 30, 100, false);
      EXPECT_EQ(StatusText(state_.status_bar, 0), "Rescanning \"100% Wit\"...");
      if (bars_made) {
        EXPECT_EQ(Position(state_.detail_progress), 50);
        EXPECT_EQ(Position(state_.total_progress), 25);
      }
      run.body(progress);
    } catch (int) {
    }
    EXPECT_EQ(state_.total_progress, nullptr) << run.how;
    EXPECT_EQ(state_.detail_progress, nullptr) << run.how;
    EXPECT_EQ(ChildrenOfClass(PROGRESS_CLASSA), 0) << run.how;
    EXPECT_EQ(StatusText(state_.status_bar, 0), "Kelvaro") << run.how;
  }
}

TEST_F(InProcessWindowTest, BarPositionsAreTruncatedAndHeld) {
  const struct {
    std::int64_t done, size;
    int percent;
  } cases[] = {{1, 3, 33},
               {2, 3, 66},
               {3, 2, 100},
               {-1, 5, 0},
               {5, 0, 0},
               {INT64_MAX, 1, 100},
               {3000000000LL, 6000000000LL, 50},
               {29, 100, 29},  // 0.29 * 100 is 28.999... in floating point
               {INT64_MAX - 1, INT64_MAX, 99},
               {INT64_MAX / 2, INT64_MAX, 49}};
  for (const auto& c : cases) EXPECT_EQ(vosko::ProgressPercent(c.done, c.size), c.percent) << c.done << "/" << c.size;
}

// Counts the messages of one kind that a control receives.
struct MessageCounter {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<MessageCounter*>(GetPropA(window, "vtest.counter"));
    if (message == self->counted) ++self->count;
    return CallWindowProcA(self->original, window, message, wparam, lparam);
  }
  MessageCounter(HWND window, UINT message) : window(window), counted(message) {
    SetPropA(window, "vtest.counter", this);
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  }
  ~MessageCounter() {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(window, "vtest.counter");
  }
  HWND window;
  UINT counted;
  int count = 0;
  WNDPROC original = nullptr;
};

TEST_F(InProcessWindowTest, ARunTouchesBarsAndTextOnlyWhenTheyChange) {
  ASSERT_TRUE(vosko::CreateStatusBar());
  vosko::ProgressRun progress;
  MessageCounter detail(state_.detail_progress, PBM_SETPOS), total(state_.total_progress, PBM_SETPOS),
      text(state_.status_bar, SB_SETTEXTA);
  // Two files of 100,000 lines each, reported line by line as the readers do.
  constexpr std::int64_t kLines = 100000;
  for (int file = 0; file < 2; ++file) {
    progress.Show("Same title", 0, kLines, file * kLines, 2 * kLines, true);
    for (std::int64_t line = 1; line <= kLines; ++line) {
      progress.Show(std::nullopt, line, kLines, file * kLines + line, 2 * kLines, true);
    }
  }
  // Each bar is told at most once per percent; each file's start and end always.
  EXPECT_GE(detail.count, 4);
  EXPECT_LE(detail.count, 101 + 101);
  EXPECT_GE(total.count, 2);
  EXPECT_LE(total.count, 101);
  EXPECT_EQ(text.count, 1);
  EXPECT_EQ(Position(state_.detail_progress), 100);
  EXPECT_EQ(Position(state_.total_progress), 100);
}

TEST_F(InProcessWindowTest, ClosingTwiceReleasesOnce) {
  WriteFileBytes(quotes_.File("a.lsq"), "@@TITLE=A\r\n");
  ASSERT_TRUE(vosko::CreateStatusBar());
  ASSERT_TRUE(vosko::CreateProgressBars());
  ASSERT_TRUE(vosko::BuildListView());
  HWND status = state_.status_bar, list = state_.list_view;
  HFONT font = state_.normal_font;
  vosko::ShutdownMainWindow(state_.main_window);
  EXPECT_EQ(state_.normal_font, nullptr);
  EXPECT_EQ(state_.bold_font, nullptr);
  EXPECT_EQ(GetObjectType(font), 0u);
  EXPECT_FALSE(IsWindow(status));
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(state_.status_bar, nullptr);
  EXPECT_EQ(state_.detail_progress, nullptr);
  EXPECT_EQ(state_.total_progress, nullptr);
  EXPECT_EQ(state_.list_view, nullptr);
  EXPECT_EQ(state_.image_list, nullptr);
  vosko::ShutdownMainWindow(state_.main_window);  // and again at WM_DESTROY in TearDown
  EXPECT_EQ(ChildrenOfClass(STATUSCLASSNAMEA), 0);
}

TEST_F(InProcessWindowTest, HiddenColumnsFindCellsByColumnNumber) {
  WriteFileBytes(quotes_.File("a.lsq"), "@@TITLE=Alpha\r\n@@AUTHOR=Ann\r\n");
  state_.view_option = vosko::kViewDetails;
  state_.column_visible[vosko::kColumnAuthor] = 0;
  ASSERT_TRUE(vosko::BuildListView());
  HWND list = state_.list_view;
  EXPECT_EQ(Headings(list), (std::vector<std::string>{"Title", "Size", "# Quotes", "File Date", "Creation Date",
                                                      "Compile Date", "Filename"}));
  EXPECT_EQ(vosko::ListColumnOf(vosko::kColumnAuthor), -1);
  EXPECT_EQ(vosko::ListColumnOf(vosko::kColumnQuoteCount), 2);
  EXPECT_EQ(vosko::RowField(0, vosko::kColumnFileName), "a.lsq");
  EXPECT_EQ(vosko::RowField(0, vosko::kColumnAuthor), "Ann");
  EXPECT_EQ(vosko::RowField(0, 8), std::nullopt);
  EXPECT_EQ(vosko::RowField(5, 0), std::nullopt);
  EXPECT_EQ(vosko::RowFilePath(0), quotes_.File("a.lsq"));

  vosko::SetRowCell(0, vosko::kColumnQuoteCount, "9");
  vosko::SetRowCell(0, vosko::kColumnAuthor, "lost");  // hidden: no cell to write
  auto rows = ListRows(list);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Alpha", ".0k", "9", rows[0][3], rows[0][4], "", "a.lsq"}));

  // A text request for list column 1 is answered with the Size field, not the Author.
  NMLVDISPINFOA info = {};
  info.hdr.hwndFrom = list;
  info.hdr.code = LVN_GETDISPINFOA;
  info.item.mask = LVIF_TEXT;
  info.item.iItem = 0;
  info.item.iSubItem = 1;
  vosko::ListNotify(&info.hdr);
  ASSERT_NE(info.item.pszText, nullptr);
  EXPECT_STREQ(info.item.pszText, ".0k");

  // Outside Details view the list keeps all eight columns, shown or not, and every text.
  state_.view_option = vosko::kViewLargeIcons;
  ASSERT_TRUE(vosko::BuildListView());
  rows = ListRows(state_.list_view);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].size(), 8u);
  EXPECT_EQ(rows[0][1], "Ann");
}

}  // namespace
}  // namespace vtest
