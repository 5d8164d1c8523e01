#include "host_session.h"

#include "contract/host_contract.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>

namespace voskohost {
namespace host = vosko::host;
namespace {

using FormInitFunction = WORD(WINAPI*)(UINT, UINT, HWND, UINT, HWND*, UINT);

// Copies text into a buffer of `size` bytes, always terminated.
void CopyBounded(const std::string& text, char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return;
  size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    auto* mdi = static_cast<MDICREATESTRUCTA*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, mdi->lParam);
  }
  auto* session = reinterpret_cast<HostSession*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (session != nullptr) {
    bool handled = false;
    LRESULT result = session->HandleMessage(window, message, wparam, lparam, &handled);
    if (handled) return result;
  }
  return DefMDIChildProcA(window, message, wparam, lparam);
}

}  // namespace

bool HostSession::RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXA host_class = {};
  host_class.cbSize = sizeof host_class;
  host_class.lpfnWndProc = HostWindowProc;
  host_class.hInstance = instance;
  host_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  host_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  host_class.lpszClassName = kHostWindowClass;
  host_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  if (RegisterClassExA(&host_class) != 0) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HostSession::~HostSession() { Close(); }

int HostSession::Open(const std::string& library_path, std::string* library_error) {
  library_ = LoadLibraryA(library_path.c_str());
  if (library_ == nullptr) {
    if (library_error != nullptr) *library_error = "cannot load " + library_path;
    return 0;
  }
  auto form_init = reinterpret_cast<FormInitFunction>(reinterpret_cast<void*>(GetProcAddress(library_, "FORMINIT")));
  if (form_init == nullptr) {
    if (library_error != nullptr) *library_error = library_path + " has no FORMINIT";
    return 0;
  }

  MDICREATESTRUCTA create = {};
  create.szClass = kHostWindowClass;
  create.szTitle = "Vosko";
  create.hOwner = GetModuleHandleA(nullptr);
  create.x = CW_USEDEFAULT;
  create.y = CW_USEDEFAULT;
  create.cx = 800;
  create.cy = 560;
  create.lParam = reinterpret_cast<LPARAM>(this);
  host_window_ = reinterpret_cast<HWND>(SendMessageA(mdi_client_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
  if (host_window_ == nullptr) {
    if (library_error != nullptr) *library_error = "cannot create the host window";
    return 0;
  }
  opened_ = true;

  HWND main_window = nullptr;
  int result = form_init(answers_.interface_version, 0, host_window_, 0, &main_window, 0);
  main_window_ = result != 0 ? main_window : nullptr;
  return result;
}

void HostSession::ShowExtension() {
  if (main_window_ == nullptr) return;
  INT32 position[2] = {0, 0};
  LRESULT placed = SendMessageA(main_window_, host::kPositionQuery, 0, reinterpret_cast<LPARAM>(position));
  if (placed == 1) {
    SetWindowPos(host_window_, nullptr, position[0], position[1], 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(main_window_, SW_SHOW);
  SendResizeNotice();
  SendMessageA(main_window_, host::kLateSetUpNotice, 0, 0);
}

LRESULT HostSession::SendResizeNotice() {
  if (main_window_ == nullptr || host_window_ == nullptr) return 0;
  RECT client = {};
  GetClientRect(host_window_, &client);
  return SendMessageA(main_window_, host::kResizeNotice, 0,
                      MAKELPARAM(client.right - client.left, client.bottom - client.top));
}

void HostSession::Close() {
  if (host_window_ != nullptr) SendMessageA(mdi_client_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(host_window_), 0);
  host_window_ = nullptr;
  main_window_ = nullptr;
  if (library_ != nullptr) FreeLibrary(library_);
  library_ = nullptr;
}

LRESULT HostSession::AnswerSetting(WPARAM item, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (item == host::kSettingFont) {
    if (answers_.font_query_fails) return 1;
    if (out != nullptr) {
      std::memset(out, 0, host::kFontDescriptionSize);
      CopyBounded(answers_.font_face, out, host::kFontFaceSize);
      INT32 height = answers_.font_height;
      std::memcpy(out + host::kFontFaceSize, &height, sizeof height);
    }
    return 0;
  }
  if (item == host::kSettingHeader) {
    CopyBounded(answers_.header_text, out, host::kHeaderTextSize);
    return 0;
  }
  return 1;
}

LRESULT HostSession::AnswerFileSelection(WPARAM flag, LPARAM buffer) {
  char* path = reinterpret_cast<char*>(buffer);
  if (path == nullptr) return 0;
  ++log_.file_selections;
  if (!answers_.scripted_selections.empty()) {
    std::string answer = answers_.scripted_selections.front();
    answers_.scripted_selections.pop_front();
    if (answer.empty()) return 0;
    CopyBounded(answer, path, host::kFileSelectionSize);
    return 1;
  }
  // The common dialog, with the extension's pattern ("*.txt", "*.exe") as filter and name.
  char pattern[host::kFileSelectionSize] = {};
  CopyBounded(path, pattern, sizeof pattern);
  char filter[2 * host::kFileSelectionSize + 4] = {};
  size_t length = std::strlen(pattern);
  std::memcpy(filter, pattern, length);
  std::memcpy(filter + length + 1, pattern, length);
  char chosen[host::kFileSelectionSize] = {};
  CopyBounded(pattern, chosen, sizeof chosen);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = host_window_;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = chosen;
  dialog.nMaxFile = sizeof chosen;
  dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (flag != 0 ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
  BOOL ok = flag != 0 ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
  if (!ok) return 0;
  CopyBounded(chosen, path, host::kFileSelectionSize);
  return 1;
}

LRESULT HostSession::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam, bool* handled) {
  *handled = true;
  switch (message) {
    case host::kQueryHomeDirectory: {
      if (answers_.home_query_fails) return 0;
      char* buffer = reinterpret_cast<char*>(lparam);
      size_t size = wparam;
      if (answers_.home_unterminated) {
        if (buffer != nullptr) std::memset(buffer, 'A', size);
        return 1;
      }
      CopyBounded(answers_.home_directory, buffer, size);
      return 1;
    }
    case host::kQuerySetting:
      return AnswerSetting(wparam, lparam);
    case host::kQueryFileTypeDirectory: {
      const std::string& directory =
          answers_.file_type_directory.empty() ? answers_.home_directory : answers_.file_type_directory;
      CopyBounded(directory, reinterpret_cast<char*>(lparam), wparam);
      return 1;
    }
    case host::kSelectFile:
      return AnswerFileSelection(wparam, lparam);
    case WM_SETICON:
      if (wparam == ICON_SMALL) ++log_.small_icons;
      *handled = false;
      return 0;
    case WM_CLOSE:
      ++log_.close_requests;
      SendMessageA(mdi_client_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
      return 0;
    case WM_DESTROY:
      if (window == host_window_) {
        host_window_ = nullptr;
        main_window_ = nullptr;
        if (frame_to_close_ != nullptr) PostMessageA(frame_to_close_, WM_CLOSE, 0, 0);
      }
      *handled = false;
      return 0;
    case WM_SIZE:
      if (main_window_ != nullptr && wparam != SIZE_MINIMIZED) {
        SendMessageA(main_window_, host::kResizeNotice, 0, lparam);
      }
      *handled = false;
      return 0;
    case WM_GETMINMAXINFO: {
      LRESULT result = DefMDIChildProcA(window, message, wparam, lparam);
      if (main_window_ != nullptr) SendMessageA(main_window_, host::kSizeLimitsQuery, 0, lparam);
      return result;
    }
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lparam) == window && main_window_ != nullptr) {
        SendMessageA(main_window_, host::kFocusNotice, 0, 0);
      }
      *handled = false;
      return 0;
    case WM_SETFOCUS:
      if (main_window_ != nullptr) {
        SendMessageA(main_window_, host::kFocusNotice, 0, 0);
        return 0;
      }
      *handled = false;
      return 0;
    default:
      *handled = false;
      return 0;
  }
}

}  // namespace voskohost
