#include "win32/base/engine_report_win32.h"

#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"

namespace vosko {

UINT ReportStyle(ReportIcon icon) {
  switch (icon) {
    case ReportIcon::Information:
      return kStyleInformation;
    case ReportIcon::Stop:
      return kStyleError;
    case ReportIcon::Exclamation:
      return kStyleNotice;
  }
  return kStyleError;
}

void MessageBoxReport::Report(unsigned string_id, unsigned number, ReportIcon icon, ReportOwner owner) {
  HWND window = owner == ReportOwner::MainWindow && g_state != nullptr ? g_state->main_window : nullptr;
  shown_.push_back(string_id);
  // Numbers travel as 16-bit values, so a code above 65535 shows modulo 65536.
  ShowTableMessage(window, string_id, static_cast<WORD>(number), ReportStyle(icon));
}

bool MessageBoxReport::Shown(unsigned string_id) const {
  for (unsigned shown : shown_) {
    if (shown == string_id) return true;
  }
  return false;
}

}  // namespace vosko
