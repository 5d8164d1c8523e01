#include "win32/commands/new_quote_file_win32.h"

#include "engine/import_text.h"
#include "engine/new_quote_file.h"
#include "win32/base/dialog_fields_win32.h"
#include "win32/base/engine_report_win32.h"
#include "win32/base/file_facts_win32.h"
#include "win32/base/guards_win32.h"
#include "win32/base/host_code_page_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/controls/list_view_win32.h"
#include "win32/base/regional_settings_win32.h"
#include "engine/text_file.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"

#include <cstdio>
#include <optional>

namespace vosko {
namespace {

constexpr std::size_t kFieldLength = 255;  // the fields are read into 256-byte buffers
constexpr int kGeneratedNameTries = 50;
constexpr char kImportPattern[] = "*.txt";

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
    if (!PathExists(*typed)) return typed;
  }
  for (int attempt = 0; attempt < kGeneratedNameTries; ++attempt) {
    char name[16] = {};
    std::snprintf(name, sizeof name, "%08lx", static_cast<unsigned long>(GetTickCount()));
    std::optional<std::string> generated = NewQuoteFilePath(folder, name);
    if (!generated) {
      ReportOpenFailed();
      return std::nullopt;
    }
    if (!PathExists(*generated)) return generated;
  }
  ShowTableMessage(g_state->main_window, IDS_NO_VALID_FILENAME, 0, kStyleError);
  return std::nullopt;
}

QuoteFileMode ModeOf(HWND dialog) {
  const auto* inputs = reinterpret_cast<const QuoteFileDialogInputs*>(GetWindowLongPtrA(dialog, DWLP_USER));
  return inputs != nullptr ? inputs->mode : QuoteFileMode::New;
}

int OnOk(HWND dialog) {
  const QuoteFileMode mode = ModeOf(dialog);
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
  if (mode == QuoteFileMode::Import) {
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
  return CreateQuoteFile(mode, *title, *file_name, *author, import_file, line_length);
}

}  // namespace

int CreateQuoteFile(QuoteFileMode mode, const std::string& title, const std::string& file_name,
                    const std::string& author, const std::string& import_file, std::int64_t line_length) {
  NewQuoteFileSource source;
  if (mode == QuoteFileMode::Recompile) {
    source.kind = NewQuoteFileSource::Kind::Recompile;
    source.path = std::string(g_state->home_directory) + LoadTableString(IDS_HOST_QUOTES_FILE);
  } else if (mode == QuoteFileMode::Import) {
    // Read in the host's code page; a text it cannot hold makes a UTF-8 quote file.
    source = {NewQuoteFileSource::Kind::Import, import_file, line_length, &HostCodePage()};
  }
  // The source first: one that cannot be read makes no file, and the dialog stays open for
  // a correction.
  MessageBoxReport report;
  TextFile in;
  if (!OpenNewQuoteFileSource(source, in, &report)) return 1;
  const std::optional<std::string> path = ChoosePath(file_name);
  if (!path) return 1;
  TextFile out;
  if (!out.Open(*path, "w+t")) {
    ReportOpenFailed();
    return 1;
  }
  const WinIniRegionalSettings regional;
  const CalendarTime now = LocalNowWin32();
  WriteNewQuoteFile(out, title, author, CurrentDateText(regional, now), CurrentTimeText(regional, now), source, in,
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
  if (!FileSearch(*path, found).Found()) return 1;
  const int row = AddCatalogEntry(found, title, author);
  if (row < 0) return row;
  if (!RebuildImageList()) return 1;
  SelectOnlyRow(row);
  return 0;
}

bool RunQuoteFileDialog(HWND owner, const QuoteFileDialogInputs& inputs) {
  const char* name = inputs.mode == QuoteFileMode::Recompile ? "RECOMPILE"
                     : inputs.mode == QuoteFileMode::Import  ? "IMPORT"
                                                             : "NEWQUOTEFILE";
  return DialogBoxParamA(g_module, name, owner, NewQuoteFileDialogProc, reinterpret_cast<LPARAM>(&inputs)) == 1;
}

INT_PTR CALLBACK NewQuoteFileDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      CentreOnScreen(dialog);
      return TRUE;
    case WM_DESTROY:
      ReleaseDialogPictures(dialog);
      return FALSE;
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
