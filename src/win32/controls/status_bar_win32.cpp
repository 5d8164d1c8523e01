#include "win32/controls/status_bar_win32.h"

#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "engine/window_layout.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

namespace vosko {
namespace {

// The status texts were formatted into 256-byte buffers; longer titles are cut there.
constexpr std::size_t kStatusTextLimit = 255;

// Window names of the controls; the status bar's is replaced by the idle text at once and
// a progress bar shows none.
constexpr char kStatusBarName[] = "Statusbar";
constexpr char kDetailBarName[] = "Detail Progress Bar";
constexpr char kTotalBarName[] = "Total Progress Bar";

HWND CreateBarOverPart(int part, const char* name) {
  HWND status = g_state->status_bar;
  HWND main = g_state->main_window;
  RECT rect = {};
  SendMessageA(status, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(status, main, reinterpret_cast<POINT*>(&rect), 2);
  int borders[3] = {};  // horizontal, vertical, between parts
  SendMessageA(status, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
  const int h = borders[0], v = borders[1];
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, name, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, rect.left + v / 2,
                             rect.top + 2 * h, (rect.right - rect.left) - v / 2, (rect.bottom - rect.top) - 4 * h, main,
                             nullptr, g_module, nullptr);
  if (bar == nullptr) return nullptr;
  ShowWindow(bar, SW_SHOW);
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  return bar;
}

void DestroyBar(HWND& bar) {
  if (bar != nullptr) DestroyWindow(bar);
  bar = nullptr;
}

void SetBar(HWND bar, int percent) {
  if (bar != nullptr) SendMessageA(bar, PBM_SETPOS, percent, 0);
}

}  // namespace

bool CreateStatusBar() {
  VoskoState& state = *g_state;
  RECT client = {};
  GetClientRect(state.main_window, &client);
  state.status_bar =
      CreateWindowExA(0, STATUSCLASSNAMEA, kStatusBarName, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, state.main_window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)), g_module, nullptr);
  if (state.status_bar == nullptr) return false;
  // The control has measured its height; from now on the layout places it, 2 pixels above
  // the bottom edge, instead of the control moving itself to the bottom on every resize.
  SetWindowLongA(state.status_bar, GWL_STYLE, GetWindowLongA(state.status_bar, GWL_STYLE) | CCS_NORESIZE);
  std::array<int, 3> edges = InitialStatusEdges(client.right - client.left);
  SendMessageA(state.status_bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  ShowIdleStatus();
  return true;
}

void SetStatusText(const std::string& text) {
  if (g_state == nullptr || g_state->status_bar == nullptr) return;
  SendMessageA(g_state->status_bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ShowIdleStatus() { SetStatusText(LoadTableString(IDS_STATUS_IDLE)); }

bool CreateProgressBars() {
  VoskoState& state = *g_state;
  if (state.status_bar == nullptr) return false;
  // A bar left from a run that did not end through EndProgressRun is replaced, not leaked.
  DestroyBar(state.total_progress);
  DestroyBar(state.detail_progress);
  state.total_progress = CreateBarOverPart(2, kTotalBarName);
  if (state.total_progress == nullptr) return false;
  state.detail_progress = CreateBarOverPart(1, kDetailBarName);
  if (state.detail_progress != nullptr) return true;
  DestroyBar(state.total_progress);  // no half-made pair: without its Detail bar no bar shows
  return false;
}

int ProgressPercent(std::int64_t done, std::int64_t size) {
  // Integers only, so that the 32-bit and 64-bit builds show the same truncated percentage.
  if (size <= 0 || done <= 0) return 0;
  if (done >= size) return 100;
  if (done <= INT64_MAX / 100) return static_cast<int>(done * 100 / size);
  // Past 92 PB the product overflows: the answer is the largest p with p * size <= 100 * done,
  // that is p * (size / 100) + ceil(p * (size % 100) / 100) <= done, counted down from an
  // estimate that is never too small.
  const std::int64_t hundredth = size / 100, rest = size % 100;
  std::int64_t p = std::min<std::int64_t>(done / hundredth, 99);
  while (p > 0 && p * hundredth + (p * rest + 99) / 100 > done) --p;
  return static_cast<int>(p);
}

void ShowProgress(const char* name, std::int64_t file_done, std::int64_t file_size, std::int64_t total_done,
                  std::int64_t total_size, bool with_output) {
  if (name != nullptr) SetStatusText(ProgressText(name, with_output));
  if (file_size != 0 && total_size != 0) {
    SetBar(g_state->detail_progress, ProgressPercent(file_done, file_size));
    SetBar(g_state->total_progress, ProgressPercent(total_done, total_size));
  }
}

void EndProgressRun() {
  if (g_state == nullptr) return;
  DestroyBar(g_state->total_progress);
  DestroyBar(g_state->detail_progress);
  ShowIdleStatus();
}

std::string ProgressText(const char* name, bool with_output) {
  const std::string pattern = LoadTableString(with_output ? IDS_STATUS_COMPILING : IDS_STATUS_RESCANNING);
  // The name is put in as it is: a "%" in a title is text, not a conversion.
  std::string text = pattern;
  ReplaceFirst(pattern, text, "%s", name);
  if (text.size() > kStatusTextLimit) text.resize(kStatusTextLimit);
  return text;
}

void ProgressRun::Show(std::optional<std::string_view> name, std::int64_t file_done, std::int64_t file_size,
                       std::int64_t total_done, std::int64_t total_size, bool with_output) {
  // A run reports every line it reads; the controls are only told when what they show
  // changes, so a large compile does not spend its time redrawing the same picture.
  if (name) {
    const std::string text = ProgressText(std::string(*name).c_str(), with_output);
    if (text != shown_text_) {
      SetStatusText(text);
      shown_text_ = text;
    }
  }
  if (file_size == 0 || total_size == 0) return;
  MoveBar(g_state->detail_progress, ProgressPercent(file_done, file_size), shown_detail_);
  MoveBar(g_state->total_progress, ProgressPercent(total_done, total_size), shown_total_);
}

void ProgressRun::MoveBar(HWND bar, int percent, int& shown) {
  if (percent == shown) return;
  // A bar paints itself at once at every new position: a run over many small files would
  // spend more time painting than reading. Between its ends a bar moves at most every
  // kBarIntervalMs; 0 and 100 are always shown, so a file's start and end are never lost.
  const DWORD now = GetTickCount();
  if (percent != 0 && percent != 100 && shown >= 0 && now - last_move_ < kBarIntervalMs) return;
  SetBar(bar, percent);
  shown = percent;
  last_move_ = now;
}

}  // namespace vosko
