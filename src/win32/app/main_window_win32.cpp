#include "win32/app/main_window_win32.h"

#include "contract/host_contract.h"
#include "contract/resource_ids.h"
#include "engine/text_file.h"
#include "win32/app/list_fill_win32.h"
#include "win32/app/window_layout_win32.h"
#include "win32/base/dialog_fields_win32.h"
#include "win32/base/file_facts_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/commands/about_box_win32.h"
#include "win32/commands/compile_driver_win32.h"
#include "win32/commands/edit_delete_win32.h"
#include "win32/commands/export_win32.h"
#include "win32/commands/new_quote_file_win32.h"
#include "win32/commands/options_dialog_win32.h"
#include "win32/commands/paste_win32.h"
#include "win32/commands/rescan_win32.h"
#include "win32/commands/send_win32.h"
#include "win32/controls/list_view_win32.h"
#include "win32/controls/status_bar_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

namespace vosko {
namespace {

// Set by the first late set-up notice of a window. It belongs to the window, not the
// library: a host that opens the window again without reloading the library gets a
// complete second window.
bool g_set_up_done = false;

// The buttons that need a quote file to act on: enabled while the list holds a row.
constexpr int kRowButtons[] = {IDC_EDIT, IDC_PASTE, IDC_COMPILE, IDC_DELETE, IDC_RESCAN, IDC_EXPORT};

// The commands that act on the list or the folder: they wait for a list still filling.
constexpr int kWholeListCommands[] = {IDC_EDIT,   IDC_PASTE,   IDC_COMPILE, IDC_DELETE, IDC_RESCAN,
                                      IDC_EXPORT, IDC_NEW,     IDC_OPTIONS, IDC_SEND};

// Posted to the main window when a command leaves rows whose files are gone: the list is
// rebuilt once the command, and the list notification that may have run it, are over.
constexpr UINT kReloadListMessage = WM_APP + 1;

// The host window is the main window's parent.
HWND HostWindow(HWND window) { return GetParent(window); }

// Closing is always the host's: the extension only asks.
void PostCloseToHost(HWND window) { PostMessageA(HostWindow(window), WM_CLOSE, 0, 0); }

LRESULT AnswerSizeLimits(LPARAM lparam) {
  auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
  if (limits == nullptr) return 1;
  limits->ptMinTrackSize = {kMinimumHostWidth, kMinimumHostHeight};
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

// The area the host window lives in, in the coordinates that MoveWindow takes for it: its
// parent's client area, or for a top-level window all the screens.
WindowBox HostArea(HWND host) {
  if ((GetWindowLongA(host, GWL_STYLE) & WS_CHILD) != 0) {
    RECT client = {};
    GetClientRect(GetParent(host), &client);
    return {0, 0, client.right - client.left, client.bottom - client.top};
  }
  return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Places the host window at the stored position; a stored width or height of 0 keeps the
// host's own client size. A placement that would leave the caption out of reach (a smaller
// parent, a screen that is gone, a hand-edited value) is brought back into view.
void PlaceHostWindow(HWND window) {
  HWND host = HostWindow(window);
  RECT client = {};
  GetClientRect(host, &client);
  const WindowBox stored = {g_state->window_x, g_state->window_y, g_state->window_width, g_state->window_height};
  const WindowBox own = {0, 0, client.right - client.left, client.bottom - client.top};
  const int caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME);
  const WindowBox placed = PlaceInView(stored, own, HostArea(host), caption);
  MoveWindow(host, placed.x, placed.y, placed.width, placed.height, TRUE);
  g_state->host_placed = HostFrameBox(host, g_state->placed_frame);
}

// The failures of the late set-up leave the window open without the part that failed.
void ReportSetUpFailure(HWND window, UINT message_id) {
  ShowTableMessage(HostWindow(window), message_id, 0, kStyleError);
  ShutdownMainWindow(window);
}

// True when the file of some row is no longer there (deleted or renamed by another program).
bool AnyRowFileGone() {
  const int rows = RowCount();
  for (int row = 0; row < rows; ++row) {
    const std::optional<std::string> path = RowFilePath(row);
    if (path && !MayStillExist(*path)) return true;
  }
  return false;
}

// After Compile, Rescan, Paste and Edit, which read or open the rows' files: a row whose file
// has gone would be met again by every later run (a rescan would stop at it each time), so
// the list is rebuilt from the quote folder.
void ReloadIfRowsGone(HWND window) {
  if (AnyRowFileGone()) PostMessageA(window, kReloadListMessage, 0, 0);
}

// The list built again from the quote folder in the same view, with the column widths and
// order it has now.
void ReloadList() {
  DetailsColumns details;
  KeepDetailsColumns(details);
  BuildListView();
  InvalidateRect(g_state->main_window, nullptr, TRUE);
}

// Paste acts only on a list that holds rows; on an empty one it does nothing at all, not
// even move the focus.
void OnPaste(HWND window) {
  if (RowCount() == 0) return;
  const bool pasted = PasteClipboardQuote();
  ReloadIfRowsGone(window);
  FocusList();
  if (pasted && g_state->close_after_paste != 0) PostCloseToHost(window);
}

void EnableRowButtons(HWND window, bool enable) {
  for (int id : kRowButtons) EnableWindow(GetDlgItem(window, id), enable);
}

// The row buttons follow the list whenever a row comes or goes (a row about to be deleted
// is still counted), whichever command added or removed it.
void FollowRowCount(HWND window, const NMHDR* header) {
  if (header == nullptr || header->idFrom != IDC_LIST_VIEW) return;
  // Only the first row changes anything: a scan inserts thousands, and each button's look-up
  // and state change is a round to the window manager.
  if (header->code == LVN_INSERTITEM && RowCount() <= 1) EnableRowButtons(window, true);
  if (header->code == LVN_DELETEALLITEMS || (header->code == LVN_DELETEITEM && RowCount() <= 1)) {
    EnableRowButtons(window, false);
  }
}

// New, and Recompile and Import from the Options dialog, by the button that asked.
void RunQuoteFileDialog(int button_id, HWND owner) {
  QuoteFileDialogInputs inputs;
  inputs.mode = button_id == IDC_RECOMPILE ? QuoteFileMode::Recompile
                : button_id == IDC_IMPORT  ? QuoteFileMode::Import
                                           : QuoteFileMode::New;
  RunQuoteFileDialog(owner, inputs);
}

// The Options dialog; the list is rebuilt when the view, the folder or the columns changed.
void RunOptions(HWND window) {
  OptionsDialogInputs inputs;
  inputs.run_quote_file_dialog = [](int button_id, HWND owner) { RunQuoteFileDialog(button_id, owner); };
  if (ShowOptionsDialog(window, inputs).rebuild_list) {
    BuildListView();
    InvalidateRect(g_state->main_window, nullptr, TRUE);
  }
}

void OnHelp(HWND window) {
  // A missing help file is not reported.
  ShellExecuteA(window, nullptr, g_state->help_file, nullptr, nullptr, SW_SHOW);
}

// The icons that start-up loaded go with the window: the host lives on and may open the
// extension many times. The host window is left without our icon.
void ReleaseStartUpIcons(HWND window) {
  if (g_state == nullptr) return;
  if (g_state->small_icon != nullptr) {
    SendMessageA(HostWindow(window), WM_SETICON, ICON_SMALL, 0);
    DestroyIcon(std::exchange(g_state->small_icon, nullptr));
  }
  if (g_state->item_icon != nullptr) DestroyIcon(std::exchange(g_state->item_icon, nullptr));
}

// Dialog procedures answer a message through DWLP_MSGRESULT when the value matters to the
// sender; the host reads the result of its SendMessage.
INT_PTR Answer(HWND window, LRESULT result) {
  SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

HWND CreateMainWindow(HWND host_window) {
  g_set_up_done = false;
  return CreateDialogParamA(g_module, "VOSKO", host_window, MainWindowProc, 0);
}

void FocusList() { FocusListView(); }

bool BuildListView() {
  HWND window = g_state->main_window;
  StopListFill(window);
  if (!CreateListView()) return false;
  InsertColumns();
  if (!StartListFill(window)) return false;
  if (!RebuildImageList()) return false;
  LayoutMainWindow(window, 0, 0);
  ApplyViewSettings();
  const bool has_rows = RowCount() > 0;
  EnableRowButtons(window, has_rows);
  if (has_rows) FocusListView();
  GoOnWithListFill(window);
  return true;
}

void RunCommand(HWND window, int id) {
  if (std::find(std::begin(kWholeListCommands), std::end(kWholeListCommands), id) != std::end(kWholeListCommands)) {
    CompleteListFill(window);
  }
  switch (id) {
    case IDC_EXIT:
    case IDCANCEL:
      PostCloseToHost(window);
      return;  // the window is going: the focus stays where it is
    case IDC_PASTE:
      OnPaste(window);
      return;  // Paste moves the focus itself, and only with rows
    case IDC_NEW:
      RunQuoteFileDialog(IDC_NEW, window);
      break;
    case IDC_OPTIONS:
      RunOptions(window);
      break;
    case IDC_HELP_BUTTON:
      OnHelp(window);
      break;
    case IDC_EXPORT:
      ShowExportDialog(window);
      break;
    case IDC_ABOUT:
      ShowAboutBox(window, {GetDlgItem(window, IDC_ABOUT)});
      break;
    case IDC_COMPILE:
      CompileSelected();
      ReloadIfRowsGone(window);
      break;
    case IDC_RESCAN:
      RescanAll();
      ReloadIfRowsGone(window);
      break;
    case IDC_EDIT:
      EditQuoteFile();
      ReloadIfRowsGone(window);
      break;
    case IDC_DELETE:
      DeleteQuoteFile();
      break;
    case IDC_SEND:
      SendSelectedQuoteFiles();
      break;
    default:
      return;  // not a command of this window
  }
  FocusList();
}

void LateSetUp(HWND window) {
  if (!g_set_up_done) {
    if (!CreateStatusBar()) ReportSetUpFailure(window, IDS_NO_STATUS_BAR);
    PlaceHostWindow(window);
    if (!BuildListView()) ReportSetUpFailure(window, IDS_NO_LIST_VIEW);
    g_set_up_done = true;
  }
  if (g_state->first_run != 0) {
    g_state->first_run = 0;
    ShowTableMessage(window, IDS_WELCOME, 0, kStyleNotice);
    CompleteListFill(window);
    RunOptions(window);
  }
  FocusList();
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
      StopListFill(window);
      ShutdownMainWindow(window);
      ReleaseDialogPictures(window);
      ReleaseStartUpIcons(window);
      vosko::ReleaseReadBuffers();
      return FALSE;
    case WM_NOTIFY:
      FollowRowCount(window, reinterpret_cast<const NMHDR*>(lparam));
      // A double-click or Enter on the list opens the focused row's file, as Edit does.
      if (ListNotify(reinterpret_cast<const NMHDR*>(lparam))) RunCommand(window, IDC_EDIT);
      return FALSE;
    case WM_COMMAND:
      RunCommand(window, LOWORD(wparam));
      return FALSE;
    case host::kResizeNotice:
      return Answer(window, LayoutMainWindow(window, wparam, lparam));
    case host::kSizeLimitsQuery:
      return Answer(window, AnswerSizeLimits(lparam));
    case host::kPositionQuery:
      return Answer(window, AnswerPosition(lparam));
    case host::kLateSetUpNotice:
      LateSetUp(window);
      return Answer(window, 0);
    case WM_TIMER:
      if (wparam == kListFillTimer) ContinueListFill(window);
      return TRUE;
    case kReloadListMessage:
      ReloadList();
      return TRUE;
    case host::kFocusNotice:
      FocusList();
      return Answer(window, 1);
    default:
      return FALSE;
  }
}

}  // namespace vosko
