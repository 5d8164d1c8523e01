#include "win32/controls/selected_rows_win32.h"

#include "win32/base/vosko_state_win32.h"

#include <commctrl.h>

namespace vosko {

std::vector<int> SelectedRows() {
  std::vector<int> rows;
  if (g_state == nullptr || g_state->list_view == nullptr) return rows;
  for (int row = -1;;) {
    row = static_cast<int>(
        SendMessageA(g_state->list_view, LVM_GETNEXTITEM, static_cast<WPARAM>(row), MAKELPARAM(LVNI_SELECTED, 0)));
    if (row < 0) return rows;
    rows.push_back(row);
  }
}

}  // namespace vosko
