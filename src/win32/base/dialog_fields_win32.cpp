#include "win32/base/dialog_fields_win32.h"

#include "contract/host_contract.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "contract/resource_ids.h"

#include <cstring>
#include <vector>

namespace vosko {

void CentreOnScreen(HWND dialog) {
  RECT rect = {};
  GetWindowRect(dialog, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  MoveWindow(dialog, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2,
             width, height, FALSE);
}

namespace {

BOOL CALLBACK ReleasePicture(HWND control, LPARAM) {
  char name[8] = {};
  GetClassNameA(control, name, sizeof name);
  if (lstrcmpiA(name, "Static") != 0 || (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) return TRUE;
  // The bitmap it hands back is no longer the control's.
  const LRESULT picture = SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, 0);
  if (picture != 0) DeleteObject(reinterpret_cast<HGDIOBJ>(picture));
  return TRUE;
}

}  // namespace

void ReleaseDialogPictures(HWND dialog) { EnumChildWindows(dialog, ReleasePicture, 0); }

std::string FieldText(HWND dialog, int id) {
  HWND field = GetDlgItem(dialog, id);
  std::vector<char> text(static_cast<std::size_t>(GetWindowTextLengthA(field)) + 1, '\0');
  GetWindowTextA(field, text.data(), static_cast<int>(text.size()));
  return text.data();
}

std::optional<std::string> BoundedFieldText(HWND dialog, int id, std::size_t max_length) {
  std::string text = FieldText(dialog, id);
  if (text.size() <= max_length) return text;
  ShowTableMessage(dialog, IDS_PATH_TOO_LONG, static_cast<WORD>(max_length), kStyleNotice);
  SetFocus(GetDlgItem(dialog, id));
  return std::nullopt;
}

void BrowseIntoField(HWND dialog, int id, const char* pattern, FileSelection kind) {
  char path[host::kFileSelectionSize] = {};
  const std::size_t length = std::strlen(pattern);
  if (length >= sizeof path) return;
  std::memcpy(path, pattern, length + 1);
  HWND host_window = GetParent(g_state->main_window);
  if (SendMessageA(host_window, host::kSelectFile, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(path)) == 0)
    return;
  if (std::memchr(path, '\0', sizeof path) == nullptr) {
    ShowTableMessage(dialog, IDS_PATH_TOO_LONG, host::kFileSelectionSize - 1, kStyleNotice);
    return;
  }
  SetDlgItemTextA(dialog, id, path);
}

}  // namespace vosko
