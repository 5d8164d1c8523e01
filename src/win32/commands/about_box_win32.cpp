#include "win32/commands/about_box_win32.h"

#include "win32/base/dialog_fields_win32.h"
#include "win32/base/guards_win32.h"
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

// The mix mode of a device context set for a moment.
class MixMode {
 public:
  MixMode(HDC dc, int mode) : dc_(dc), previous_(dc != nullptr ? SetROP2(dc, mode) : 0) {}
  ~MixMode() {
    if (dc_ != nullptr) SetROP2(dc_, previous_);
  }
  MixMode(const MixMode&) = delete;
  MixMode& operator=(const MixMode&) = delete;

 private:
  HDC dc_;
  int previous_;
};

// The screen's device context with the inverting pen selected, restored on the way out
// (members go in reverse: the mix mode, then the pen put back, deleted, the context released).
class InvertingScreen {
 public:
  InvertingScreen()
      : screen_(nullptr),
        pen_(screen_.get() != nullptr ? CreatePen(PS_SOLID, 2, RGB(0, 0, 0)) : nullptr),
        selected_(screen_.get(), pen_.get()),
        mix_(screen_.get(), R2_NOT) {}
  HDC dc() const { return screen_.get(); }

 private:
  WindowDc screen_;
  OwnedGdiObject pen_;
  SelectedObject selected_;
  MixMode mix_;
};

HWND ZoomFrom(HWND dialog) {
  const auto* inputs = reinterpret_cast<const AboutBoxInputs*>(GetWindowLongPtrA(dialog, DWLP_USER));
  return inputs != nullptr ? inputs->zoom_from : nullptr;
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

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      CentreOnScreen(dialog);
      ZoomBetween(ZoomFrom(dialog), dialog);
      return TRUE;
    case WM_DESTROY:
      ReleaseDialogPictures(dialog);
      return FALSE;
    case WM_CLOSE:
      ZoomBetween(dialog, ZoomFrom(dialog));
      EndDialog(dialog, 0);
      // Handled: the default handling would turn the close box into Esc's result.
      return TRUE;
    case WM_COMMAND:
      if (wparam == IDC_ABOUT_OK || wparam == IDCANCEL) {
        ZoomBetween(dialog, ZoomFrom(dialog));
        EndDialog(dialog, static_cast<INT_PTR>(wparam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void ShowAboutBox(HWND owner, const AboutBoxInputs& inputs) {
  DialogBoxParamA(g_module, "ABOUTBOX", owner, AboutDialogProc, reinterpret_cast<LPARAM>(&inputs));
}

}  // namespace vosko
