#include "win32/controls/list_view_win32.h"

#include "contract/resource_ids.h"
#include "engine/compile_record.h"
#include "engine/engine_report.h"
#include "engine/list_columns.h"
#include "win32/base/file_facts_win32.h"
#include "win32/base/guards_win32.h"
#include "win32/base/regional_settings_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace vosko {
namespace {

constexpr int kInitialColumnWidth = 150;
constexpr int kHeadingLimit = 30;  // characters of a column heading
constexpr int kSpareIcons = 100;   // image list copies beyond the rows, for rows added later
constexpr DWORD kDetailsExtendedStyle = LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;

// List column k shows column number g_list_columns[k]. Deleting a hidden column shifts
// the columns (and the cells) after it, so this is the one place that knows where a
// column is.
std::vector<int> g_list_columns;

// Set once the stored widths and order are on the columns: until then (a scan that failed
// half way) the list's columns are the 150-pixel defaults and must not be stored.
bool g_columns_applied = false;

HWND List() { return g_state->list_view; }

LRESULT SendList(UINT message, WPARAM wparam, LPARAM lparam) { return SendMessageA(List(), message, wparam, lparam); }

bool IsDetailsView() { return g_state->view_option == kViewDetails; }

// Every view but Large Icons, Details and List (a negative stored value among them)
// shows small icons.
DWORD ViewStyle(int view) {
  switch (view) {
    case kViewLargeIcons:
      return LVS_ICON;
    case kViewList:
      return LVS_LIST;
    case kViewDetails:
      return LVS_REPORT;
    default:
      return LVS_SMALLICON;
  }
}

int ColumnAlignment(int column) {
  return column == kColumnTitle || column == kColumnAuthor || column == kColumnFileName ? LVCFMT_LEFT : LVCFMT_RIGHT;
}

void DeleteListColumn(int list_column) {
  if (!SendList(LVM_DELETECOLUMN, list_column, 0)) return;
  g_list_columns.erase(g_list_columns.begin() + list_column);
}

// The width of a heading in the header's own (bold) font, with the header's margins.
int BoldHeadingWidth(int list_column) {
  HWND header = reinterpret_cast<HWND>(SendList(LVM_GETHEADER, 0, 0));
  if (header == nullptr) return 0;
  char text[kHeadingLimit + 2] = {};
  HDITEMA item = {};
  item.mask = HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  if (!SendMessageA(header, HDM_GETITEMA, list_column, reinterpret_cast<LPARAM>(&item))) return 0;
  const WindowDc dc(header);
  if (dc.get() == nullptr) return 0;
  SIZE extent = {};
  {
    const SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(header, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32A(dc.get(), text, lstrlenA(text), &extent);
  }
  return extent.cx + 6 * GetSystemMetrics(SM_CXEDGE);
}

void SetColumnWidth(int list_column, int stored_width) {
  if (std::optional<int> width = AppliedWidth(stored_width)) {
    SendList(LVM_SETCOLUMNWIDTH, list_column, MAKELPARAM(*width, 0));
    return;
  }
  // The control fits a heading in the list's font; the heading is drawn bold, so it is
  // widened to that where it would otherwise be cut.
  SendList(LVM_SETCOLUMNWIDTH, list_column, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
  const int bold = BoldHeadingWidth(list_column);
  if (SendList(LVM_GETCOLUMNWIDTH, list_column, 0) < bold) {
    SendList(LVM_SETCOLUMNWIDTH, list_column, MAKELPARAM(bold, 0));
  }
}

void ApplyColumnOrder() {
  // The display order by shown position, turned into list columns (a column the control
  // refused at insertion has none).
  const ColumnValues& visible = g_state->column_visible;
  const std::vector<int> shown = ShownColumns(visible);
  std::vector<int> order;
  for (int position : DisplayOrder(g_state->column_order, visible)) {
    int list_column = ListColumnOf(shown[static_cast<size_t>(position)]);
    if (list_column >= 0) order.push_back(list_column);
  }
  if (order.size() != g_list_columns.size()) return;
  SendList(LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
}

void AnswerDisplayText(NMLVDISPINFOA* info) {
  if ((info->item.mask & LVIF_TEXT) == 0) return;
  const int list_column = info->item.iSubItem;
  if (list_column < 0 || list_column >= static_cast<int>(g_list_columns.size())) return;
  const CatalogEntry* entry = RowEntry(info->item.iItem);
  if (entry == nullptr) return;
  // The entry lives as long as its row, so the control may keep the pointer.
  info->item.pszText = const_cast<char*>(entry->Text(g_list_columns[static_cast<size_t>(list_column)]).c_str());
}

void ReleaseEntry(const NMLISTVIEW* deleted) { delete reinterpret_cast<CatalogEntry*>(deleted->lParam); }

// The list control inserts a row into a sorted list before the first row whose text does
// not compare below the new one, with the user's word sort on the text widened through the
// ANSI code page: so among equal titles the one listed last comes first.
struct TitleKey {
  std::wstring title;
  std::size_t listed;  // place in the directory listing
};

std::wstring Widened(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

bool InsertedBefore(const TitleKey& a, const TitleKey& b) {
  const int order = lstrcmpW(a.title.c_str(), b.title.c_str());
  return order != 0 ? order < 0 : a.listed > b.listed;
}

// Keeps the control from repainting and re-laying out for every row of a fill; redrawing
// is turned back on however the fill ends.
class RedrawOff {
 public:
  explicit RedrawOff(HWND list) : list_(list), visible_(IsWindowVisible(list) != FALSE) {
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  }
  ~RedrawOff() {
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    // Turning redrawing on marks a window visible; the list is shown once it is laid out.
    if (!visible_ && IsWindowVisible(list_)) ShowWindow(list_, SW_HIDE);
  }
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;

 private:
  HWND list_;
  bool visible_;
};

// Lets rows be appended in an order already sorted: the control looks for the place of
// each new row from the top, which makes a fill of thousands of rows quadratic. Rows added
// afterwards (a new quote file) are sorted into place again.
class SortingOff {
 public:
  explicit SortingOff(HWND list) : list_(list), style_(GetWindowLongPtrA(list, GWL_STYLE)) {
    if (style_ & LVS_SORTASCENDING)
      SetWindowLongPtrA(list_, GWL_STYLE, style_ & ~static_cast<LONG_PTR>(LVS_SORTASCENDING));
  }
  ~SortingOff() {
    if (style_ & LVS_SORTASCENDING) SetWindowLongPtrA(list_, GWL_STYLE, style_);
  }
  SortingOff(const SortingOff&) = delete;
  SortingOff& operator=(const SortingOff&) = delete;

 private:
  HWND list_;
  LONG_PTR style_;
};

int NextRow(int after, UINT flags) {
  return static_cast<int>(SendList(LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(flags, 0)));
}

}  // namespace

bool CreateListView() {
  DestroyListView();
  VoskoState& state = *g_state;
  const DWORD style = WS_CHILD | WS_BORDER | LVS_SHOWSELALWAYS | LVS_SORTASCENDING | ViewStyle(state.view_option);
  state.list_view = CreateWindowExA(0, WC_LISTVIEWA, "", style, 0, 0, 0, 0, state.main_window,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LIST_VIEW)), g_module, nullptr);
  if (state.list_view == nullptr) return false;
  if (IsDetailsView()) SendList(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kDetailsExtendedStyle);
  return true;
}

void DestroyListView() {
  VoskoState& state = *g_state;
  if (state.list_view == nullptr) return;
  if (state.image_list != nullptr) {
    // Taken back first: a list that does not share its image lists destroys them with
    // itself, and this one would go twice.
    SendList(LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    SendList(LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ImageList_Destroy(state.image_list);
  }
  state.image_list = nullptr;
  SendList(LVM_DELETEALLITEMS, 0, 0);  // each row's LVN_DELETEITEM releases its entry
  DestroyWindow(state.list_view);
  state.list_view = nullptr;
  g_list_columns.clear();
  g_columns_applied = false;
}

void InsertColumns() {
  g_list_columns.clear();
  for (int column = 0; column < kCatalogColumns; ++column) {
    std::string heading = LoadTableString(IDS_COLUMN_FIRST + column);
    if (heading.size() > kHeadingLimit) heading.resize(kHeadingLimit);
    LVCOLUMNA info = {};
    info.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    info.fmt = ColumnAlignment(column);
    info.cx = kInitialColumnWidth;
    info.pszText = heading.data();
    info.iSubItem = column;
    if (SendList(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info)) < 0) return;
    g_list_columns.push_back(column);
  }
}

void ApplyViewSettings() {
  const VoskoState& state = *g_state;
  if (IsDetailsView()) {
    SendList(WM_SETFONT, reinterpret_cast<WPARAM>(state.normal_font), TRUE);
    HWND header = reinterpret_cast<HWND>(SendList(LVM_GETHEADER, 0, 0));
    if (header != nullptr) SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(state.bold_font), TRUE);
    // From the last column to the first, so deleting one moves none still to be visited.
    const std::vector<int> shown = ShownColumns(state.column_visible);
    for (int list_column = static_cast<int>(g_list_columns.size()) - 1; list_column >= 0; --list_column) {
      const int column = g_list_columns[static_cast<size_t>(list_column)];
      if (std::find(shown.begin(), shown.end(), column) == shown.end()) {
        DeleteListColumn(list_column);
      } else {
        SetColumnWidth(list_column, state.column_widths[static_cast<size_t>(column)]);
      }
    }
    ApplyColumnOrder();
    g_columns_applied = true;
  }
  ShowWindow(state.list_view, SW_SHOW);
}

bool RebuildImageList() {
  VoskoState& state = *g_state;
  if (state.image_list != nullptr) ImageList_Destroy(state.image_list);
  state.image_list = nullptr;
  const bool large = state.view_option == kViewLargeIcons;
  const int count = RowCount() + kSpareIcons;
  HIMAGELIST images = ImageList_Create(GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON),
                                       GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON), ILC_COLOR32, count, 16);
  const int which = large ? LVSIL_NORMAL : LVSIL_SMALL;
  if (images == nullptr) {
    SendList(LVM_SETIMAGELIST, which, 0);
    return false;
  }
  // Row images are numbered by insertion, so every index names a copy of the same icon. A
  // copy that cannot be added ends the copying; the list still gets what was made.
  // The icon is drawn into the list once and copied from there: drawing it is slow, a
  // copy is a plain block transfer.
  if (ImageList_ReplaceIcon(images, -1, state.item_icon) == 0 && ImageList_SetImageCount(images, count)) {
    for (int i = 1; i < count; ++i) ImageList_Copy(images, i, images, 0, ILCF_MOVE);
  }
  state.image_list = images;
  SendList(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(images));
  return true;
}

bool ExtendImageList() {
  HIMAGELIST images = g_state->image_list;
  if (images == nullptr) return RebuildImageList();
  const int had = ImageList_GetImageCount(images);
  if (had >= RowCount() + kSpareIcons) return true;
  // Growing makes a new bitmap of all the images: doubling keeps a fill of thousands of rows
  // from copying them again at every slice.
  const int count = std::max(RowCount() + kSpareIcons, 2 * had);
  if (had == 0 || !ImageList_SetImageCount(images, count)) return false;
  for (int i = had; i < count; ++i) ImageList_Copy(images, i, images, 0, ILCF_MOVE);
  return true;
}

bool ListNotify(const NMHDR* header) {
  if (g_state == nullptr || header == nullptr || header->hwndFrom != List() || List() == nullptr) return false;
  switch (header->code) {
    case LVN_GETDISPINFOA:
      AnswerDisplayText(reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(header)));
      return false;
    case LVN_DELETEITEM:
      ReleaseEntry(reinterpret_cast<const NMLISTVIEW*>(header));
      return false;
    case NM_DBLCLK:
    case NM_RETURN:
      return true;
    default:
      // A click on a heading sorts nothing: the rows stay in title order.
      return false;
  }
}

void FocusListView() {
  // Without a list (its creation failed) no window keeps the focus.
  if (g_state != nullptr) SetFocus(List());
}

void MoveListView(const ControlRect& rect) {
  if (List() != nullptr) MoveWindow(List(), rect.x, rect.y, rect.width, rect.height, TRUE);
}

bool AskSelection(UINT message_id) {
  const int first = NextRow(-1, LVNI_SELECTED);
  if (first < 0) return true;
  if (NextRow(first, LVNI_SELECTED) >= 0) return false;
  return ShowTableMessage(g_state->main_window, message_id, 0, kStyleQuestion) == IDCANCEL;
}

int RowCount() {
  if (g_state == nullptr || List() == nullptr) return 0;
  return static_cast<int>(SendList(LVM_GETITEMCOUNT, 0, 0));
}

int FocusedSelectedRow() {
  if (List() == nullptr) return -1;
  return NextRow(-1, LVNI_FOCUSED | LVNI_SELECTED);
}

std::vector<int> SelectedRows() {
  std::vector<int> rows;
  if (g_state == nullptr || List() == nullptr) return rows;
  for (int row = NextRow(-1, LVNI_SELECTED); row >= 0; row = NextRow(row, LVNI_SELECTED)) rows.push_back(row);
  return rows;
}

void SelectOnlyRow(int row) {
  HWND list = List();
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED | LVIS_CUT | LVIS_DROPHILITED);
  ListView_EnsureVisible(list, row, FALSE);
}

void RemoveRow(int row) {
  const bool was_last = row + 1 == RowCount();
  SendList(LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  const int shown = was_last ? RowCount() - 1 : row;
  if (shown < 0) return;
  LVITEMA item = {};
  item.state = LVIS_FOCUSED | LVIS_SELECTED;
  item.stateMask = static_cast<UINT>(-1);
  SendList(LVM_SETITEMSTATE, static_cast<WPARAM>(shown), reinterpret_cast<LPARAM>(&item));
  SendList(LVM_ENSUREVISIBLE, static_cast<WPARAM>(shown), FALSE);
}

CatalogEntry* RowEntry(int row) {
  if (g_state == nullptr || List() == nullptr || row < 0) return nullptr;
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendList(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<CatalogEntry*>(item.lParam);
}

std::optional<std::string> RowField(int row, int column) {
  const CatalogEntry* entry = RowEntry(row);
  if (entry == nullptr || column < 0 || column >= kCatalogColumns) return std::nullopt;
  return entry->Text(column);
}

std::optional<std::string> RowFilePath(int row) {
  const CatalogEntry* entry = RowEntry(row);
  if (entry == nullptr) return std::nullopt;
  return QuoteFilePath(g_state->quote_folder, entry->FileName());
}

int ListColumnOf(int column) {
  auto found = std::find(g_list_columns.begin(), g_list_columns.end(), column);
  return found == g_list_columns.end() ? -1 : static_cast<int>(found - g_list_columns.begin());
}

void SetRowCell(int row, int column, const std::string& text) {
  const int list_column = ListColumnOf(column);
  if (list_column < 0) return;
  LVITEMA item = {};
  item.iSubItem = list_column;
  item.pszText = const_cast<char*>(text.c_str());
  SendList(LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

int InsertCatalogRow(std::unique_ptr<CatalogEntry> entry, int image, int row_before) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  // Past the end unless a place is given: a sorting control sorts the row into place.
  item.iItem = row_before >= 0 ? row_before : RowCount() + 1;
  item.pszText = const_cast<char*>(entry->Text(kColumnTitle).c_str());
  item.iImage = image;
  item.lParam = reinterpret_cast<LPARAM>(entry.get());
  const int row = static_cast<int>(SendList(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return -1;
  const CatalogEntry& owned = *entry.release();  // the row owns it from here on
  for (int column = kColumnAuthor; column < kCatalogColumns; ++column) {
    SetRowCell(row, column, owned.Text(column));
  }
  return row;
}

int AddCatalogEntry(const WIN32_FIND_DATAA& found, const std::string& title, const std::string& author) {
  const std::string record = ReadCompileRecord(*g_state, found.cFileName);
  const int rows = RowCount();
  auto entry = std::make_unique<CatalogEntry>(MakeCatalogEntry(ListingOf(found), title, author, record));
  // Image n + 1 for the row added to n rows: the image list holds a copy of the item icon for
  // every such number.
  return InsertCatalogRow(std::move(entry), rows + 1);
}

// The row before which the sorting control would insert this title: the first row whose
// title does not compare below it.
int SortedPlace(const std::wstring& title) {
  int low = 0;
  for (int high = RowCount(); low < high;) {
    const int middle = low + (high - low) / 2;
    const CatalogEntry* entry = RowEntry(middle);
    if (entry != nullptr && lstrcmpW(Widened(entry->Text(kColumnTitle)).c_str(), title.c_str()) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

bool InsertCatalogRows(std::vector<std::unique_ptr<CatalogEntry>> entries) {
  if (RowCount() > 0) {
    // More rows for a list that holds some: each goes where the control would put it, in
    // directory order, as a sorting control given them one by one does.
    RedrawOff redraw(List());
    SortingOff sorting(List());
    for (auto& entry : entries) {
      const int place = SortedPlace(Widened(entry->Text(kColumnTitle)));
      if (InsertCatalogRow(std::move(entry), RowCount() + 1, place) < 0) return false;
    }
    // In the icon views a row inserted among others takes the next free place, not its place
    // in the order: the icons are laid out again in row order.
    const LONG_PTR view = GetWindowLongPtrA(List(), GWL_STYLE) & LVS_TYPEMASK;
    if (view == LVS_ICON || view == LVS_SMALLICON) SendList(LVM_ARRANGE, LVA_DEFAULT, 0);
    return true;
  }
  std::vector<TitleKey> keys(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) keys[i] = {Widened(entries[i]->Text(kColumnTitle)), i};
  std::sort(keys.begin(), keys.end(), InsertedBefore);
  RedrawOff redraw(List());
  SortingOff sorting(List());
  for (const TitleKey& key : keys) {
    // Image n + 1 for the row added to n rows: the image list holds a copy of the item
    // icon for every such number.
    if (InsertCatalogRow(std::move(entries[key.listed]), RowCount() + 1) < 0) return false;
  }
  return true;
}

bool TakeDetailsColumns(DetailsColumns& columns) {
  if (!IsDetailsView() || List() == nullptr || !g_columns_applied) return false;
  // Columns not shown were not seen: their width is forgotten, and fits the heading when
  // the column is shown again.
  columns.widths.fill(0);
  const int count = static_cast<int>(g_list_columns.size());
  for (int list_column = 0; list_column < count; ++list_column) {
    columns.widths[static_cast<size_t>(g_list_columns[static_cast<size_t>(list_column)])] =
        static_cast<int>(SendList(LVM_GETCOLUMNWIDTH, list_column, 0));
  }
  std::vector<int> order(static_cast<size_t>(count));
  if (count == 0 || !SendList(LVM_GETCOLUMNORDERARRAY, count, reinterpret_cast<LPARAM>(order.data()))) {
    for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
  }
  std::array<bool, kColumnCount> used{};
  int next = 0;
  for (int list_column : order) {
    if (list_column < 0 || list_column >= count) continue;
    const int column = g_list_columns[static_cast<size_t>(list_column)];
    if (used[static_cast<size_t>(column)]) continue;
    used[static_cast<size_t>(column)] = true;
    columns.order[static_cast<size_t>(next++)] = column;
  }
  for (int column = 0; column < kColumnCount; ++column) {
    if (!used[static_cast<size_t>(column)]) columns.order[static_cast<size_t>(next++)] = column;
  }
  return true;
}

std::int64_t RowFileSize(int row) {
  const std::optional<std::string> path = RowFilePath(row);
  return path ? SizeOnDisk(*path) : 0;
}

bool StoreCompileStamp(int row, int count, bool rescan) {
  CatalogEntry* entry = RowEntry(row);
  if (entry == nullptr) return true;
  entry->quote_count = count;
  if (!rescan) entry->compile_time = LocalNowWin32();
  const bool stored = WriteCompileRecord(*g_state, entry->FileName(), CompileRecordText(entry->compile_time, count));
  entry->texts[kColumnQuoteCount] = std::to_string(count);
  SetRowCell(row, kColumnQuoteCount, entry->texts[kColumnQuoteCount]);
  if (!rescan) {
    entry->texts[kColumnCompileDate] = CompileDateText(entry->compile_time);
    SetRowCell(row, kColumnCompileDate, entry->texts[kColumnCompileDate]);
  }
  SendList(LVM_REDRAWITEMS, row, row);
  UpdateWindow(List());
  return stored;
}

void ReportStampsLost() {
  ShowTableMessage(g_state->main_window, IDS_FILE_WRITE_FAILED, static_cast<WORD>(kFileErrorNumber), kStyleError);
}

}  // namespace vosko
