#include "win32/commands/options_dialog_win32.h"

#include "win32/base/dialog_fields_win32.h"
#include "win32/base/settings_store_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "engine/engine_report.h"
#include "contract/resource_ids.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <optional>
#include <string>

namespace vosko {
namespace {

// The check box of each column, by column number.
constexpr int kColumnChecks[kColumnCount] = {
    IDC_OPT_COLUMN_TITLE,     IDC_OPT_COLUMN_AUTHOR,        IDC_OPT_COLUMN_SIZE,         IDC_OPT_COLUMN_QUOTES,
    IDC_OPT_COLUMN_FILE_DATE, IDC_OPT_COLUMN_CREATION_DATE, IDC_OPT_COLUMN_COMPILE_DATE, IDC_OPT_COLUMN_FILENAME,
};
constexpr std::size_t kPathLength = kPathSize - 1;
constexpr char kEditorPattern[] = "*.exe";

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void CopyPath(char (&destination)[kPathSize], const std::string& text) {
  std::snprintf(destination, sizeof destination, "%s", text.c_str());
}

OptionsDialogRun* RunOf(HWND dialog) {
  return reinterpret_cast<OptionsDialogRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void Initialise(HWND dialog) {
  CentreOnScreen(dialog);
  SetDlgItemTextA(dialog, IDC_OPT_FOLDER, g_state->quote_folder);
  SetDlgItemTextA(dialog, IDC_OPT_EDITOR, g_state->text_editor);
  CheckDlgButton(dialog, IDC_OPT_CLOSE_AFTER_PASTE, g_state->close_after_paste ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_OPT_MAXIMIZE_EDITOR, g_state->maximize_editor ? BST_CHECKED : BST_UNCHECKED);
  HWND views = GetDlgItem(dialog, IDC_OPT_VIEW);
  for (int view = kViewLargeIcons; view <= kViewDetails; ++view) {
    const std::string name = LoadTableString(IDS_VIEW_FIRST + view);
    SendMessageA(views, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageA(views, CB_SETCURSEL, static_cast<WPARAM>(g_state->view_option), 0);
  LoadColumnChecks(dialog);
  EnableColumnChecks(dialog, g_state->view_option);
}

void BrowseForFolder(HWND dialog) {
  BROWSEINFOA browse = {};
  browse.hwndOwner = dialog;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
  if (chosen == nullptr) return;
  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(dialog, IDC_OPT_FOLDER, path);
  CoTaskMemFree(chosen);
}

// Stores everything and says whether the list must be rebuilt. False when a path is too long
// to keep: then nothing at all is stored and the dialog stays open.
bool OnOk(HWND dialog, bool& rebuild_list) {
  const std::optional<std::string> folder = BoundedFieldText(dialog, IDC_OPT_FOLDER, kPathLength);
  if (!folder) return false;
  const std::optional<std::string> editor = BoundedFieldText(dialog, IDC_OPT_EDITOR, kPathLength);
  if (!editor) return false;
  // The whole folder text is compared, case included: a folder renamed in case only is
  // another text for the list and the settings.
  int changed = *folder != g_state->quote_folder ? 1 : 0;
  SettingsBatch batch(*g_state);
  CopyPath(g_state->quote_folder, *folder);
  bool written = WriteSettingText(*g_state, IDS_KEY_QUOTE_FOLDER, *folder);
  CopyPath(g_state->text_editor, *editor);
  written &= WriteSettingText(*g_state, IDS_KEY_TEXT_EDITOR, *editor);
  g_state->close_after_paste = Checked(dialog, IDC_OPT_CLOSE_AFTER_PASTE) ? 1 : 0;
  written &= WriteSettingText(*g_state, IDS_KEY_CLOSE_AFTER_PASTE, std::to_string(g_state->close_after_paste));
  g_state->maximize_editor = Checked(dialog, IDC_OPT_MAXIMIZE_EDITOR) ? 1 : 0;
  written &= WriteSettingText(*g_state, IDS_KEY_MAXIMIZE_EDITOR, std::to_string(g_state->maximize_editor));
  changed += StoreColumnChecks(dialog);
  const auto& v = g_state->column_visible;
  char columns[kColumnCount * 12] = {};
  std::snprintf(columns, sizeof columns, "%04d,%04d,%04d,%04d,%04d,%04d,%04d,%04d", v[0], v[1], v[2], v[3], v[4], v[5],
                v[6], v[7]);
  written &= WriteSettingText(*g_state, IDS_KEY_VISIBLE_COLUMNS, columns);
  written = batch.Finish() && written;
  // The record keeps the new values for this session, and the close tries the file again.
  if (!written) ShowTableMessage(dialog, IDS_FILE_WRITE_FAILED, kFileErrorNumber, kStyleError);
  const LRESULT view = SendDlgItemMessageA(dialog, IDC_OPT_VIEW, CB_GETCURSEL, 0, 0);
  if (view >= kViewLargeIcons && view <= kViewDetails && (view != g_state->view_option || changed != 0)) {
    g_state->view_option = static_cast<int>(view);
    rebuild_list = true;
  }
  return true;
}

}  // namespace

void LoadColumnChecks(HWND dialog) {
  g_state->column_visible[0] = 1;
  for (int column = 0; column < kColumnCount; ++column) {
    CheckDlgButton(dialog, kColumnChecks[column], g_state->column_visible[column] != 0 ? BST_CHECKED : BST_UNCHECKED);
  }
}

void EnableColumnChecks(HWND dialog, int view) {
  EnableWindow(GetDlgItem(dialog, kColumnChecks[0]), FALSE);
  for (int column = 1; column < kColumnCount; ++column) {
    EnableWindow(GetDlgItem(dialog, kColumnChecks[column]), view == kViewDetails);
  }
  InvalidateRect(dialog, nullptr, FALSE);
}

int StoreColumnChecks(HWND dialog) {
  const auto before = g_state->column_visible;
  g_state->column_visible[0] = 1;
  for (int column = 1; column < kColumnCount; ++column) {
    g_state->column_visible[column] = Checked(dialog, kColumnChecks[column]) ? 1 : 0;
  }
  return before != g_state->column_visible ? 1 : 0;
}

OptionsDialogResult ShowOptionsDialog(HWND owner, const OptionsDialogInputs& inputs) {
  OptionsDialogRun run;
  run.inputs = &inputs;
  DialogBoxParamA(g_module, "QUOTEOPTIONS", owner, OptionsDialogProc, reinterpret_cast<LPARAM>(&run));
  return run.result;
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      Initialise(dialog);
      return TRUE;
    case WM_DESTROY:
      ReleaseDialogPictures(dialog);
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_OPT_FOLDER_BROWSE:
          BrowseForFolder(dialog);
          break;
        case IDC_OPT_EDITOR_BROWSE:
          BrowseIntoField(dialog, IDC_OPT_EDITOR, kEditorPattern);
          break;
        case IDC_RECOMPILE:
        case IDC_IMPORT:
          // The new file goes into the quote folder in effect, not one typed but not confirmed.
          if (OptionsDialogRun* run = RunOf(dialog);
              run != nullptr && run->inputs != nullptr && run->inputs->run_quote_file_dialog) {
            run->inputs->run_quote_file_dialog(LOWORD(wparam), dialog);
          }
          break;
        case IDC_OPT_HELP:
          ShellExecuteA(g_state->main_window, nullptr, g_state->help_file, nullptr, nullptr, SW_SHOWNORMAL);
          break;
        case IDC_OPT_CANCEL:
        case IDCANCEL:
          EndDialog(dialog, 0);
          break;
        case IDC_OPT_VIEW:
          if (HIWORD(wparam) == CBN_SELCHANGE) {
            EnableColumnChecks(dialog, static_cast<int>(SendDlgItemMessageA(dialog, IDC_OPT_VIEW, CB_GETCURSEL, 0, 0)));
          }
          break;
        case IDC_OPT_OK: {
          bool rebuild_list = false;
          if (!OnOk(dialog, rebuild_list)) break;
          if (OptionsDialogRun* run = RunOf(dialog); run != nullptr) run->result = {true, rebuild_list};
          EndDialog(dialog, 1);
          break;
        }
        default:
          break;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace vosko
