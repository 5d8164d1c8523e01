// The scan inserts its rows already in title order into a list that does not sort them; the
// order must be the one the sorting list control gives when the files are added one by one
// in directory order, as the scan used to add them.
#include "harness.h"
#include "in_process.h"

#include "win32/app/main_window_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/controls/list_view_win32.h"
#include "contract/resource_ids.h"

#include <commctrl.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

namespace vtest {
namespace {

struct QuoteFile {
  const char* name;
  const char* title;  // nullptr: the file has no title line
};

// Case, accents and high bytes, punctuation the word sort skips, digits, titles that are
// equal (or equal to the word sort only) in several files, an empty and a missing title.
const QuoteFile kFiles[] = {
    {"b1.lsq", "b"},           {"b2.lsq", "B"},        {"a1.lsq", "a"},       {"a2.lsq", "A"},
    {"empty.lsq", ""},         {"coop1.lsq", "co-op"}, {"coop2.lsq", "coop"}, {"coop3.lsq", "Coop"},
    {"coop4.lsq", "co op"},    {"n10.lsq", "10"},      {"n9.lsq", "9"},       {"n1.lsq", "1"},
    {"ete1.lsq", "\xe9t\xe9"}, {"ete2.lsq", "ete"},    {"ete3.lsq", "Ete"},   {"ete4.lsq", "\xc9te"},
    {"x1.lsq", "_x"},          {"x2.lsq", "!x"},       {"x3.lsq", "~x"},      {"x4.lsq", "[x"},
    {"a3.lsq", "a"},           {"ab1.lsq", "a b"},     {"ab2.lsq", "ab"},     {"ae1.lsq", "\xe6"},
    {"ae2.lsq", "ae"},         {"ae3.lsq", "AE"},      {"ss1.lsq", "\xdf"},   {"ss2.lsq", "ss"},
    {"y1.lsq", "\xff"},        {"y2.lsq", "y"},        {"euro.lsq", "\x80"},  {"q1.lsq", "'a"},
    {"q2.lsq", "-a"},          {"q3.lsq", "a-"},       {"b3.lsq", "b"},       {"ete5.lsq", "\xe9t\xe9"},
    {"sp1.lsq", "\xa0x"},      {"sp2.lsq", " x"},      {"b4.lsq", "B"},       {"none1.lsq", nullptr},
    {"none2.lsq", nullptr},    {"z.lsq", "z"},
};

class ScanOrderTest : public InProcessTest {
 protected:
  void SetUp() override {
    InProcessTest::SetUp();
    for (const QuoteFile& file : kFiles) {
      std::string text = file.title ? std::string("@@TITLE=") + file.title + "\r\n" : std::string();
      WriteFileBytes(quotes_.File(file.name), text + "@@AUTHOR=Someone\r\n\r\nA quote.\r\n");
    }
  }

  // The files as the directory search lists them, each with the title the scan gave it.
  std::vector<std::pair<std::string, std::string>> ListedTitles() const {
    std::map<std::string, std::string> titles;
    for (int row = 0; row < vosko::RowCount(); ++row) {
      titles[*vosko::RowField(row, vosko::kColumnFileName)] = *vosko::RowField(row, vosko::kColumnTitle);
    }
    std::vector<std::pair<std::string, std::string>> listed;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA(quotes_.File("*.lsq").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found) != FALSE) {
      listed.emplace_back(found.cFileName, titles[found.cFileName]);
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return listed;
  }

  static std::vector<std::string> FileNamesByRow(HWND list) {
    std::vector<std::string> names;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      LVITEMA item = {};
      item.mask = LVIF_PARAM;
      item.iItem = row;
      SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      names.push_back(*reinterpret_cast<const std::string*>(item.lParam));
    }
    return names;
  }

  // A sorting list control of the same view filled one title at a time, in `listed` order.
  std::vector<std::string> SortedByControl(const std::vector<std::pair<std::string, std::string>>& listed) const {
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_SORTASCENDING | LVS_REPORT, 0, 0, 0, 0,
                                state_.main_window, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (const auto& file : listed) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT | LVIF_PARAM;
      item.iItem = INT_MAX;
      item.pszText = const_cast<char*>(file.second.c_str());
      item.lParam = reinterpret_cast<LPARAM>(&file.first);
      SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    std::vector<std::string> names = FileNamesByRow(list);
    DestroyWindow(list);
    return names;
  }

  static std::vector<std::string> ScannedFileNames() {
    std::vector<std::string> names;
    for (int row = 0; row < vosko::RowCount(); ++row) names.push_back(*vosko::RowField(row, vosko::kColumnFileName));
    return names;
  }
};

TEST_F(ScanOrderTest, RowsComeInTheSortingControlsOrder) {
  for (int view : {vosko::kViewDetails, vosko::kViewLargeIcons, vosko::kViewSmallIcons, vosko::kViewList}) {
    state_.view_option = view;
    ASSERT_TRUE(vosko::BuildListView()) << view;
    const auto listed = ListedTitles();
    ASSERT_EQ(listed.size(), std::size(kFiles)) << view;
    EXPECT_EQ(ScannedFileNames(), SortedByControl(listed)) << "view " << view;
    // The list sorts again after the scan: a file added later goes where the control puts it.
    EXPECT_NE(GetWindowLongPtrA(state_.list_view, GWL_STYLE) & LVS_SORTASCENDING, 0) << view;
    WIN32_FIND_DATAA added = {};
    std::snprintf(added.cFileName, sizeof added.cFileName, "%s", "later.lsq");
    ASSERT_GE(vosko::AddCatalogEntry(added, "b", "Someone"), 0) << view;
    auto with_added = listed;
    with_added.emplace_back("later.lsq", "b");
    EXPECT_EQ(ScannedFileNames(), SortedByControl(with_added)) << "view " << view;
  }
}

TEST_F(ScanOrderTest, IconsAreLaidOutInRowOrder) {
  // Rows inserted in title order get their places in that order: the first title comes
  // first in the icon views too, not the first file listed.
  for (int view : {vosko::kViewLargeIcons, vosko::kViewSmallIcons}) {
    state_.view_option = view;
    ASSERT_TRUE(vosko::BuildListView()) << view;
    POINT previous = {};
    SendMessageA(state_.list_view, LVM_GETITEMPOSITION, 0, reinterpret_cast<LPARAM>(&previous));
    for (int row = 1; row < vosko::RowCount(); ++row) {
      POINT at = {};
      SendMessageA(state_.list_view, LVM_GETITEMPOSITION, row, reinterpret_cast<LPARAM>(&at));
      EXPECT_TRUE(at.y > previous.y || (at.y == previous.y && at.x > previous.x)) << "view " << view << " row " << row;
      previous = at;
    }
  }
}

}  // namespace
}  // namespace vtest
