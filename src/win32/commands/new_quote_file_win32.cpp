#include "win32/commands/new_quote_file_win32.h"

#include "engine/import_text.h"
#include "engine/new_quote_file.h"
#include "win32/base/dialog_fields_win32.h"
#include "win32/base/engine_report_win32.h"
#include "win32/app/main_window_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/commands/catalog_win32.h"
#include "win32/controls/list_view_win32.h"
#include "win32/base/regional_settings_win32.h"
#include "engine/text_file.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

#include <commctrl.h>

#include <cstdio>
#include <optional>

namespace vosko {
namespace {

constexpr std::size_t kFieldLength = 255;  // the fields are read into 256-byte buffers
constexpr int kGeneratedNameTries = 50;
constexpr char kImportPattern[] = "*.txt";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void ReportOpenFailed() { ShowTableMessage(g_state->main_window, IDS_OPEN_FAILED, kFileErrorNumber, kStyleError); }

// The path of the new file, or nothing after the message that says why there is none.
std::optional<std::string> ChoosePath(const std::string& file_name) {
  const char* folder = g_state->quote_folder;
  if (!file_name.empty()) {
    // A typed name is taken as a name, never as a path out of the quote folder.
    if (!IsPlainFileName(file_name)) {
      ShowTableMessage(g_state->main_window, IDS_NAME_REFUSED, 0, kStyleNotice);
      return std::nullopt;
    }
    std::optional<std::string> typed = NewQuoteFilePath(folder, file_name);
    if (!typed) {
      ReportOpenFailed();
      return std::nullopt;
    }
    if (!Exists(*typed)) return typed;
  }
  for (int attempt = 0; attempt < kGeneratedNameTries; ++attempt) {
    char name[16] = {};
    std::snprintf(name, sizeof name, "%08lx", static_cast<unsigned long>(GetTickCount()));
    std::optional<std::string> generated = NewQuoteFilePath(folder, name);
    if (!generated) {
      ReportOpenFailed();
      return std::nullopt;
    }
    if (!Exists(*generated)) return generated;
  }
  ShowTableMessage(g_state->main_window, IDS_NO_VALID_FILENAME, 0, kStyleError);
  return std::nullopt;
}

// The new row becomes the one selected and focused row, scrolled into view.
void SelectOnly(int row) {
  HWND list = g_state->list_view;
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED | LVIS_CUT | LVIS_DROPHILITED);
  ListView_EnsureVisible(list, row, FALSE);
}

int OnOk(HWND dialog) {
  const int mode = QuoteFileDialogSelector();
  const std::optional<std::string> title = BoundedFieldText(dialog, IDC_NEW_TITLE, kFieldLength);
  if (!title) return 1;
  if (title->empty()) {
    ShowTableMessage(dialog, IDS_TITLE_MISSING, 0, kStyleNotice);
    return 1;
  }
  const std::optional<std::string> file_name = BoundedFieldText(dialog, IDC_NEW_FILE_NAME, kFieldLength);
  if (!file_name) return 1;
  const std::optional<std::string> author = BoundedFieldText(dialog, IDC_NEW_AUTHOR, kFieldLength);
  if (!author) return 1;
  std::string import_file;
  std::int64_t line_length = 0;
  if (mode == IDC_IMPORT) {
    const std::optional<std::string> typed = BoundedFieldText(dialog, IDC_NEW_IMPORT_FILE, kFieldLength);
    if (!typed) return 1;
    if (typed->empty()) {
      ShowTableMessage(dialog, IDS_IMPORT_NAME_MISSING, 0, kStyleNotice);
      return 1;
    }
    import_file = *typed;
    line_length = ParseLineLength(FieldText(dialog, IDC_NEW_LINE_LENGTH));
    if (line_length < kShortestImportLineLength) {
      ShowTableMessage(dialog, IDS_LINE_LENGTH_INVALID, 0, kStyleNotice);
      return 1;
    }
  }
  return CreateQuoteFile(*title, *file_name, *author, import_file, line_length);
}

}  // namespace

int CreateQuoteFile(const std::string& title, const std::string& file_name, const std::string& author,
                    const std::string& import_file, std::int64_t line_length) {
  const std::optional<std::string> path = ChoosePath(file_name);
  if (!path) return 1;
  TextFile out;
  if (!out.Open(*path, "w+t")) {
    ReportOpenFailed();
    return 1;
  }
  const WinIniRegionalSettings regional;
  const CalendarTime now = LocalNowWin32();
  NewQuoteFileSource source;
  const int mode = QuoteFileDialogSelector();
  if (mode == IDC_RECOMPILE) {
    source.kind = NewQuoteFileSource::Kind::Recompile;
    source.path = std::string(g_state->home_directory) + std::string(TableText(IDS_HOST_QUOTES_FILE));
  } else if (mode == IDC_IMPORT) {
    source = {NewQuoteFileSource::Kind::Import, import_file, line_length};
  }
  MessageBoxReport report;
  WriteNewQuoteFile(out, title, author, CurrentDateText(regional, now), CurrentTimeText(regional, now), source,
                    &report);
  // A new file that did not reach the disk whole is no quote file: it goes, and the dialog
  // stays open for another try. The files it was made from are only read.
  if (!out.Close()) {
    DeleteFileA(path->c_str());
    if (!report.Shown(IDS_FILE_WRITE_FAILED)) {
      ShowTableMessage(g_state->main_window, IDS_FILE_WRITE_FAILED, kFileErrorNumber, kStyleError);
    }
    return 1;
  }

  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA(path->c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 1;
  FindClose(search);
  const int row = AddCatalogEntry(found, title, author);
  if (row < 0) return row;
  if (!RebuildImageList()) return 1;
  SelectOnly(row);
  return 0;
}

INT_PTR CALLBACK NewQuoteFileDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreOnScreen(dialog);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return FALSE;
    case WM_COMMAND:
      // The whole wParam: only plain clicks (notification 0) act.
      switch (wparam) {
        case IDC_NEW_CANCEL:
        case IDCANCEL:
          EndDialog(dialog, 0);
          break;
        case IDC_NEW_BROWSE:
          BrowseIntoField(dialog, IDC_NEW_IMPORT_FILE, kImportPattern);
          break;
        case IDC_NEW_OK:
          if (OnOk(dialog) == 0) EndDialog(dialog, 1);
          break;
        default:
          break;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace vosko
