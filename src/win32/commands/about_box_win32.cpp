#include "win32/commands/about_box_win32.h"

#include "win32/app/main_window_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "engine/zoom_frames.h"
#include "contract/resource_ids.h"

namespace vosko {
namespace {

constexpr DWORD kPauseBeforeZoom = 50;  // milliseconds
constexpr DWORD kFrameTime = 30;

ZoomRect ScreenRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void DrawOutline(HDC screen, const ZoomRect& r) {
  const POINT points[5] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
  Polyline(screen, points, 5);
  GdiFlush();
}

// The screen's device context with the inverting pen selected, restored on the way out.
class InvertingScreen {
 public:
  InvertingScreen() : dc_(GetDC(nullptr)) {
    if (dc_ == nullptr) return;
    pen_ = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    old_mix_ = SetROP2(dc_, R2_NOT);
    if (pen_ != nullptr) old_pen_ = SelectObject(dc_, pen_);
  }
  ~InvertingScreen() {
    if (dc_ == nullptr) return;
    SetROP2(dc_, old_mix_);
    if (old_pen_ != nullptr) SelectObject(dc_, old_pen_);
    if (pen_ != nullptr) DeleteObject(pen_);
    ReleaseDC(nullptr, dc_);
  }
  InvertingScreen(const InvertingScreen&) = delete;
  InvertingScreen& operator=(const InvertingScreen&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HPEN pen_ = nullptr;
  int old_mix_ = 0;
  HGDIOBJ old_pen_ = nullptr;
};

HWND AboutButton() { return g_state != nullptr ? GetDlgItem(g_state->main_window, IDC_ABOUT) : nullptr; }

void CentreOnScreen(HWND dialog) {
  RECT r = {};
  GetWindowRect(dialog, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  MoveWindow(dialog, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2,
             width, height, FALSE);
}

}  // namespace

int ZoomBetween(HWND from, HWND to) {
  if (!IsWindow(from) || !IsWindow(to)) return 0;
  const ZoomRect start = ScreenRect(from);
  const ZoomRect end = ScreenRect(to);
  GdiFlush();
  Sleep(kPauseBeforeZoom);
  InvertingScreen screen;
  if (screen.dc() == nullptr) return 0;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  int drawn = 0;
  for (int frame = 0; frame < kZoomFrames; ++frame) {
    // A window destroyed meanwhile ends the animation: there is nothing left to zoom to.
    if (!IsWindow(from) || !IsWindow(to)) break;
    const ZoomRect outline = KeepOnScreen(ZoomFrame(start, end, frame), width, height);
    DrawOutline(screen.dc(), outline);
    Sleep(kFrameTime);
    DrawOutline(screen.dc(), outline);  // drawn again with R2_NOT: erased
    ++drawn;
  }
  return drawn;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreOnScreen(dialog);
      ZoomBetween(AboutButton(), dialog);
      return TRUE;
    case WM_CLOSE:
      ZoomBetween(dialog, AboutButton());
      EndDialog(dialog, 0);
      // Handled: the default handling would turn the close box into Esc's result.
      return TRUE;
    case WM_COMMAND:
      if (wparam == IDC_ABOUT_OK || wparam == IDCANCEL) {
        ZoomBetween(dialog, AboutButton());
        EndDialog(dialog, static_cast<INT_PTR>(wparam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void ShowAboutBox(HWND owner) { DialogBoxParamA(g_module, "ABOUTBOX", owner, AboutDialogProc, 0); }

}  // namespace vosko
