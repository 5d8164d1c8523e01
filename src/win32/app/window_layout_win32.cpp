#include "win32/app/window_layout_win32.h"

#include "contract/resource_ids.h"
#include "engine/engine_report.h"
#include "engine/list_columns.h"
#include "engine/window_layout.h"
#include "win32/base/settings_store_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/controls/list_view_win32.h"

#include <commctrl.h>

namespace vosko {
namespace {

SIZE ClientSize(HWND window) {
  RECT rect = {};
  if (window != nullptr) GetClientRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void Place(HWND control, const ControlRect& rect) {
  if (control != nullptr) MoveWindow(control, rect.x, rect.y, rect.width, rect.height, TRUE);
}

void DivideStatusBar(HWND status_bar, int width) {
  int edges[3] = {};
  SendMessageA(status_bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  edges[1] = SecondStatusEdge(edges[0], width);
  SendMessageA(status_bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
}

void DeleteFont(HFONT& font) {
  if (font != nullptr) DeleteObject(font);
  font = nullptr;
}

void DestroyControl(HWND& control) {
  if (control != nullptr) DestroyWindow(control);
  control = nullptr;
}

// The host window's outer rectangle, as the position query and the next start-up expect
// it. Until the user moves or sizes the window, what was stored stays.
void RecordPlacement(HWND host, VoskoState& state) {
  WindowBox frame;
  if (!HostFrameBox(host, frame)) return;
  if (!state.host_placed || frame == state.placed_frame) return;
  state.window_x = frame.x;
  state.window_y = frame.y;
  state.window_width = frame.width;
  state.window_height = frame.height;
}

}  // namespace

bool HostFrameBox(HWND host, WindowBox& box) {
  RECT frame = {};
  if (host == nullptr || !GetWindowRect(host, &frame)) return false;
  POINT corner = {frame.left, frame.top};
  HWND host_parent = GetParent(host);
  if (host_parent != nullptr) ScreenToClient(host_parent, &corner);
  box = {corner.x, corner.y, frame.right - frame.left, frame.bottom - frame.top};
  return true;
}

LRESULT LayoutMainWindow(HWND window, WPARAM wparam, LPARAM lparam) {
  const VoskoState& state = *g_state;
  SIZE size;
  if (wparam != 0 || lparam != 0) {
    size = {LOWORD(lparam), HIWORD(lparam)};
    MoveWindow(window, 0, 0, size.cx, size.cy, TRUE);
  } else {
    size = ClientSize(window);
  }
  const SIZE button = ClientSize(GetDlgItem(window, IDC_EDIT));
  const int status_height = state.status_bar != nullptr ? static_cast<int>(ClientSize(state.status_bar).cy) : 0;
  const MainLayout layout =
      ComputeMainLayout(size.cx, size.cy, button.cx, button.cy, status_height, state.view_option == kViewDetails);
  for (const ButtonPlace& place : layout.buttons) {
    Place(GetDlgItem(window, place.id), {place.x, place.y, button.cx, button.cy});
  }
  MoveListView(layout.list);
  if (state.status_bar != nullptr) {
    Place(state.status_bar, layout.status_bar);
    DivideStatusBar(state.status_bar, size.cx);
  }
  return 1;
}

bool KeepDetailsColumns(DetailsColumns& details) {
  if (!TakeDetailsColumns(details)) return false;
  g_state->column_widths = details.widths;
  g_state->column_order = details.order;
  g_state->stored_column_order = OrderByPosition(details.order, g_state->column_visible);
  return true;
}

void ShutdownMainWindow(HWND window) {
  if (g_state == nullptr) return;
  VoskoState& state = *g_state;
  DeleteFont(state.normal_font);
  DeleteFont(state.bold_font);
  RecordPlacement(GetParent(window), state);
  // The list's columns are read before the list goes; kept in the record too, so that a
  // second run of this routine stores the same.
  DetailsColumns details;
  const bool in_details = KeepDetailsColumns(details);
  // The window is going: the message has no owner left to belong to.
  if (!WriteSettingsOnClose(state, in_details ? &details : nullptr)) {
    ShowTableMessage(nullptr, IDS_FILE_WRITE_FAILED, kFileErrorNumber, kStyleError);
  }
  DestroyControl(state.status_bar);
  DestroyControl(state.detail_progress);
  DestroyControl(state.total_progress);
  DestroyListView();
}

}  // namespace vosko
