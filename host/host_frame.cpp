#include "host_frame.h"

namespace voskohost {
namespace {

constexpr char kFrameClass[] = "VoskoHostFrame";
constexpr UINT kFirstChildId = 50000;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND client = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_CREATE: {
      CLIENTCREATESTRUCT mdi = {};
      mdi.idFirstChild = kFirstChildId;
      client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                               WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0, 0, 0, window,
                               nullptr, reinterpret_cast<CREATESTRUCTA*>(lparam)->hInstance, &mdi);
      if (client == nullptr) return -1;
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(client));
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefFrameProcA(window, client, message, wparam, lparam);
  }
}

}  // namespace

HostFrame::~HostFrame() { Destroy(); }

bool HostFrame::Create(HINSTANCE instance, const char* title, int show) {
  WNDCLASSEXA frame_class = {};
  frame_class.cbSize = sizeof frame_class;
  frame_class.lpfnWndProc = FrameProc;
  frame_class.hInstance = instance;
  frame_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  frame_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  frame_class.lpszClassName = kFrameClass;
  frame_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  if (RegisterClassExA(&frame_class) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }
  frame_ = CreateWindowExA(0, kFrameClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 720, nullptr,
                           nullptr, instance, nullptr);
  if (frame_ == nullptr) return false;
  client_ = reinterpret_cast<HWND>(GetWindowLongPtrA(frame_, GWLP_USERDATA));
  ShowWindow(frame_, show);
  UpdateWindow(frame_);
  return client_ != nullptr;
}

void HostFrame::Destroy() {
  if (frame_ != nullptr && IsWindow(frame_)) DestroyWindow(frame_);
  frame_ = nullptr;
  client_ = nullptr;
}

bool HostFrame::PreTranslate(MSG* message) const {
  // The extension's main window is a modeless dialog inside the active host window: let
  // it have its keyboard navigation (Tab, Esc, accelerators).
  if (client_ != nullptr) {
    HWND active = reinterpret_cast<HWND>(SendMessageA(client_, WM_MDIGETACTIVE, 0, 0));
    if (active != nullptr) {
      HWND extension = GetWindow(active, GW_CHILD);
      while (extension != nullptr && !(GetWindowLongA(extension, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) {
        extension = GetWindow(extension, GW_HWNDNEXT);
      }
      if (extension != nullptr && IsDialogMessageA(extension, message)) return true;
    }
    if (TranslateMDISysAccel(client_, message)) return true;
  }
  return false;
}

int HostFrame::Run() const {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (PreTranslate(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace voskohost
