#include "win32/app/list_fill_win32.h"

#include "contract/resource_ids.h"
#include "win32/base/engine_report_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/commands/catalog_win32.h"
#include "win32/controls/list_view_win32.h"
#include "win32/controls/status_bar_win32.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace vosko {
namespace {

// Read before the window shows: a folder of this many files is listed whole at once.
constexpr std::size_t kFirstFiles = 256;
// A slice in the gaps: the user waits at most this long for the window to answer.
constexpr DWORD kSliceMilliseconds = 100;
constexpr std::size_t kAnyNumber = std::numeric_limits<std::size_t>::max();

std::unique_ptr<QuoteFolderScan> g_scan;
std::vector<ScanMessage> g_pending;  // messages of slices whose rows are in
// Set while a slice runs or its messages are up: a message box's own loop delivers the
// timer too, and the next slice waits until the box is answered.
bool g_in_slice = false;

// Puts a slice's rows into the list; the fill ends with the last slice, or with a row or
// image that could not be added.
void TakeSlice(HWND window, ScanSlice slice) {
  const bool added = InsertCatalogRows(std::move(slice.entries)) && ExtendImageList();
  g_pending.insert(g_pending.end(), slice.messages.begin(), slice.messages.end());
  if (slice.done || !added) {
    KillTimer(window, kListFillTimer);
    g_scan.reset();
    ShowIdleStatus();
  }
}

// A message box runs its own message loop, in which the window may be closed or the list
// built again: nothing of this fill is touched once the first box is up.
void ShowPendingMessages() {
  const std::vector<ScanMessage> messages = std::exchange(g_pending, {});
  MessageBoxReport shown;
  for (const ScanMessage& message : messages) shown.Report(message.string_id, message.number, message.icon, message.owner);
}

// Input, painting, posted or sent work waiting for this thread: the fill gives way to it.
bool SomethingWaits() { return HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0; }

}  // namespace

bool StartListFill(HWND window) {
  StopListFill(window);
  g_scan = std::make_unique<QuoteFolderScan>();
  ScanSlice first = g_scan->Read(kFirstFiles, INFINITE);
  const bool done = first.done;
  const bool inserted = InsertCatalogRows(std::move(first.entries));
  g_pending = std::move(first.messages);
  // The image list is made once the first rows are in.
  if (done || !inserted) g_scan.reset();
  return inserted;
}

void GoOnWithListFill(HWND window) {
  g_in_slice = true;
  ShowPendingMessages();
  g_in_slice = false;
  if (!g_scan) return;
  // The list is not whole yet: the status bar says so until it is.
  SetStatusText(LoadTableString(IDS_STATUS_LISTING));
  SetTimer(window, kListFillTimer, USER_TIMER_MINIMUM, nullptr);
}

void ContinueListFill(HWND window) {
  if (g_in_slice) return;
  if (!g_scan) {
    KillTimer(window, kListFillTimer);
    return;
  }
  g_in_slice = true;
  do {
    TakeSlice(window, g_scan->Read(kAnyNumber, kSliceMilliseconds));
    // The rows so far are shown before the next slice, unless the user is doing something.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  } while (g_scan && g_pending.empty() && !SomethingWaits());
  ShowPendingMessages();
  g_in_slice = false;
}

void CompleteListFill(HWND window) {
  if (!g_scan || g_in_slice) return;
  g_in_slice = true;
  const HCURSOR previous = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  while (g_scan) TakeSlice(window, g_scan->Read(kAnyNumber, INFINITE));
  SetCursor(previous);
  ShowPendingMessages();
  g_in_slice = false;
}

void StopListFill(HWND window) {
  KillTimer(window, kListFillTimer);
  if (std::exchange(g_scan, nullptr) != nullptr) ShowIdleStatus();
  g_pending.clear();
}

}  // namespace vosko
