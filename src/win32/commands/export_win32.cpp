#include "win32/commands/export_win32.h"

#include "win32/controls/status_bar_win32.h"
#include "engine/export_quotes.h"
#include "win32/base/dialog_fields_win32.h"
#include "win32/base/engine_report_win32.h"
#include "win32/base/file_facts_win32.h"
#include "win32/base/host_code_page_win32.h"
#include "contract/host_contract.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/controls/list_view_win32.h"
#include "engine/text_file.h"
#include "contract/resource_ids.h"

#include <cstdint>
#include <vector>

namespace vosko {
namespace {

constexpr char kExportPattern[] = "*.txt";

// The folder part of a path ("." for a bare name), where the temporary file goes so that
// the last step is a rename on one volume.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
  return slash == 0 || (slash == 2 && path[1] == ':') ? path.substr(0, slash + 1) : path.substr(0, slash);
}

}  // namespace

void ExportSelectedQuoteFiles(const std::string& export_path) {
  WaitCursor wait;
  ProgressRun progress;
  // An export file that cannot even be begun is said so: the dialog closes either way, and
  // silence would read as done.
  const auto open_failed = [] {
    ShowTableMessage(g_state->main_window, IDS_OPEN_FAILED, kFileErrorNumber, kStyleError);
  };
  char temporary[MAX_PATH] = {};
  if (GetTempFileNameA(FolderOf(export_path).c_str(), "vsk", 0, temporary) == 0) {
    open_failed();
    return;
  }
  TextFile out;
  if (!out.Open(temporary, "w+t")) {
    DeleteFileA(temporary);
    open_failed();
    return;
  }
  const std::vector<int> rows = SelectedRows();
  std::vector<std::string> paths;
  std::int64_t total = 0;
  for (int row : rows) {
    paths.push_back(RowFilePath(row).value_or(""));  // a path too long fails to open below
    total += SizeOnDisk(paths.back());
  }
  MessageBoxReport report;
  ExportRun run;
  run.out = &out;
  run.total_bytes = total;
  run.progress = &progress;
  run.report = &report;
  run.code_page = &HostCodePage();
  bool every_file_read = true;
  // A first look at the files: one Unicode file makes the export UTF-8 with a mark, so that
  // none of its characters is lost; all ANSI, the export is ANSI as ever. A file that cannot
  // be read stops the export here, as it would below.
  for (const std::string& path : paths) {
    TextFile file;
    if (!file.OpenConverted(path, run.code_page)) {
      report.Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::MainWindow);
      every_file_read = false;
      break;
    }
    if (IsUnicode(file.Encoding())) {
      run.encoding = TextEncoding::Utf8Bom;
      break;
    }
  }
  for (std::size_t i = 0; every_file_read && i < rows.size(); ++i) {
    if (ExportQuoteFile(run, paths[i], RowField(rows[i], kColumnTitle).value_or("")) < 0) {
      every_file_read = false;
      break;
    }
  }
  progress.Show(std::nullopt, 1, 1, 1, 1, true);
  const bool written = out.Close();
  if (every_file_read && written &&
      MoveFileExA(temporary, export_path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
    return;
  }
  DeleteFileA(temporary);
  // A quote file that could not be read was reported already; a failed write or a target
  // that cannot be replaced would otherwise pass unnoticed.
  if (every_file_read) ShowTableMessage(g_state->main_window, IDS_FILE_WRITE_FAILED, kFileErrorNumber, kStyleError);
}

void ShowExportDialog(HWND owner) {
  if (AskSelection(IDS_ONE_FILE_EXPORT)) return;
  DialogBoxParamA(g_module, "EXPORT", owner, ExportDialogProc, 0);
}

INT_PTR CALLBACK ExportDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreOnScreen(dialog);
      return TRUE;
    case WM_DESTROY:
      ReleaseDialogPictures(dialog);
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return FALSE;
    case WM_COMMAND:
      switch (wparam) {
        case IDC_EXPORT_CANCEL:
        case IDCANCEL:
          EndDialog(dialog, 0);
          break;
        case IDC_EXPORT_BROWSE:
          BrowseIntoField(dialog, IDC_EXPORT_FILE, kExportPattern, FileSelection::ToSave);
          break;
        case IDC_EXPORT_OK: {
          const std::string name = FieldText(dialog, IDC_EXPORT_FILE);
          if (name.empty()) {
            ShowTableMessage(dialog, IDS_EXPORT_NAME_MISSING, 0, kStyleNotice);
            break;
          }
          ExportSelectedQuoteFiles(name);
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
