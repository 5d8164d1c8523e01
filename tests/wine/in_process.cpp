#include "in_process.h"

#include "harness.h"

#include "win32/app/main_window_win32.h"
#include "contract/resource_ids.h"

#include <cstring>

namespace vtest {
namespace {

// A path into one of the record's fixed fields; false when it would not fit.
bool CopyPath(char (&field)[vosko::kPathSize], const std::string& path) {
  if (path.size() >= sizeof field) return false;
  std::memcpy(field, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

InProcessExtension::InProcessExtension(const std::string& settings_file, const std::string& quote_folder) {
  library_ = LoadLibraryA(BesideTheProgram().c_str());
  if (library_ == nullptr) return;
  vosko::g_module = library_;  // strings, the dialog template and the icon come from it
  if (!CopyPath(state_.settings_file, settings_file) || !CopyPath(state_.quote_folder, quote_folder)) return;
  state_.column_widths.fill(0);
  for (int i = 0; i < vosko::kColumnCount; ++i) state_.column_order[static_cast<size_t>(i)] = i;
  state_.stored_column_order = state_.column_order;
  state_.column_visible.fill(1);
  state_.normal_font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
  state_.bold_font = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
  state_.item_icon = static_cast<HICON>(LoadImageA(library_, MAKEINTRESOURCEA(IDI_QUOTE_FILE), IMAGE_ICON, 0, 0, 0));
  vosko::g_state = &state_;
  host_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  state_.main_window = CreateDialogParamA(library_, "VOSKO", host_, vosko::MainWindowProc, 0);
  if (state_.main_window == nullptr) return;
  MoveWindow(state_.main_window, 0, 0, 760, 500, FALSE);
  ok_ = true;
}

InProcessExtension::~InProcessExtension() {
  if (host_ != nullptr) DestroyWindow(host_);  // the closing routine runs
  vosko::g_state = nullptr;
  vosko::g_module = nullptr;
  if (library_ != nullptr) FreeLibrary(library_);
}

}  // namespace vtest
