#include "dialog_driver.h"

#include <vector>

namespace vtest {

void SetField(HWND dialog, int id, const std::string& text) { SetDlgItemTextA(dialog, id, text.c_str()); }

std::string GetField(HWND dialog, int id) {
  HWND field = GetDlgItem(dialog, id);
  int length = GetWindowTextLengthA(field);
  std::vector<char> text(static_cast<size_t>(length) + 1);
  GetWindowTextA(field, text.data(), length + 1);
  return text.data();
}

void SetCheck(HWND dialog, int id, bool checked) { CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED); }

void SelectCombo(HWND dialog, int id, int index) {
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressDialogButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace vtest
