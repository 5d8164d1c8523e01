#include "frame/main_window_win32.h"

#include "frame/host_contract.h"
#include "frame/settings_store_win32.h"
#include "frame/table_message_win32.h"
#include "frame/vosko_state_win32.h"
#include "resources/resource_ids.h"

#include <windowsx.h>

namespace vosko {
namespace {

// Set by the first late set-up notice of a window. It belongs to the window, not the
// library: a host that opens the window again without reloading the library gets a
// complete second window.
bool g_set_up_done = false;

// The host window is the main window's parent.
HWND HostWindow(HWND window) { return GetParent(window); }

void PostCloseToHost(HWND window) { PostMessageA(HostWindow(window), WM_CLOSE, 0, 0); }

LRESULT AnswerSizeLimits(LPARAM lparam) {
  auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
  if (limits == nullptr) return 1;
  limits->ptMinTrackSize = {500, 200};
  limits->ptMaxTrackSize = {2000, 2000};
  return 0;
}

LRESULT AnswerPosition(LPARAM lparam) {
  if (g_state->window_x == -1 || g_state->window_y == -1) return 2;
  auto* position = reinterpret_cast<INT32*>(lparam);
  if (position != nullptr) {
    position[0] = g_state->window_x;
    position[1] = g_state->window_y;
  }
  return 1;
}

// Places the host window at the stored position; a stored width or height of 0 keeps the
// host's own client size.
void PlaceHostWindow(HWND window) {
  HWND host = HostWindow(window);
  RECT client = {};
  GetClientRect(host, &client);
  int width = g_state->window_width != 0 ? g_state->window_width : client.right - client.left;
  int height = g_state->window_height != 0 ? g_state->window_height : client.bottom - client.top;
  MoveWindow(host, g_state->window_x, g_state->window_y, width, height, TRUE);
}

void OnCommand(HWND window, int id) {
  switch (id) {
    case IDC_EXIT:
    case IDCANCEL:
      PostCloseToHost(window);
      return;
    default:
      break;
  }
  FocusList();
}

// Dialog procedures give their answer to a message through DWLP_MSGRESULT when the value
// matters to the sender; the host reads the result of its SendMessage.
INT_PTR Answer(HWND window, LRESULT result) {
  SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

HWND CreateMainWindow(HWND host_window) {
  g_set_up_done = false;
  return CreateDialogParamA(g_module, "VOSKO", host_window, MainWindowProc, 0);
}

void FocusList() {
  if (g_state == nullptr) return;
  if (g_state->list_view != nullptr) {
    SetFocus(g_state->list_view);
  } else if (g_state->main_window != nullptr) {
    SetFocus(g_state->main_window);
  }
}

void LateSetUp(HWND window) {
  if (!g_set_up_done) {
    PlaceHostWindow(window);
    g_set_up_done = true;
  }
  if (g_state->first_run != 0) {
    g_state->first_run = 0;
    ShowTableMessage(window, IDS_WELCOME, 0, kStyleNotice);
  }
  FocusList();
}

void ShutdownMainWindow(HWND window) {
  VoskoState& state = *g_state;
  if (state.normal_font != nullptr) DeleteObject(state.normal_font);
  if (state.bold_font != nullptr) DeleteObject(state.bold_font);
  state.normal_font = nullptr;
  state.bold_font = nullptr;

  // The host window's placement, in the client coordinates of its own parent.
  HWND host = HostWindow(window);
  RECT frame = {};
  if (host != nullptr && GetWindowRect(host, &frame)) {
    POINT corner = {frame.left, frame.top};
    HWND host_parent = GetParent(host);
    if (host_parent != nullptr) ScreenToClient(host_parent, &corner);
    state.window_x = corner.x;
    state.window_y = corner.y;
    state.window_width = frame.right - frame.left;
    state.window_height = frame.bottom - frame.top;
  }
  WriteSettingsOnClose(state, nullptr);
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) FocusList();
      return FALSE;
    case WM_SETFOCUS:
      FocusList();
      return TRUE;
    case WM_DESTROY:
      ShutdownMainWindow(window);
      return FALSE;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wparam));
      return FALSE;
    case host::kResizeNotice:
      if (wparam != 0 || lparam != 0) {
        MoveWindow(window, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      }
      return Answer(window, 1);
    case host::kSizeLimitsQuery:
      return Answer(window, AnswerSizeLimits(lparam));
    case host::kPositionQuery:
      return Answer(window, AnswerPosition(lparam));
    case host::kLateSetUpNotice:
      LateSetUp(window);
      return Answer(window, 0);
    case host::kFocusNotice:
      FocusList();
      return Answer(window, 1);
    default:
      return FALSE;
  }
}

}  // namespace vosko
