#include "win32/commands/rescan_win32.h"

#include "engine/script_writer.h"
#include "win32/controls/status_bar_win32.h"
#include "win32/base/engine_report_win32.h"
#include "win32/base/host_code_page_win32.h"
#include "win32/base/settings_store_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/controls/list_view_win32.h"
#include "contract/resource_ids.h"

namespace vosko {
namespace {

// Counts every row until a file cannot be opened; false when a count could not be stored.
bool RescanRows() {
  ProgressRun progress;
  MessageBoxReport report;
  const int rows = RowCount();
  ScriptRun run;
  for (int row = 0; row < rows; ++row) run.total_bytes += RowFileSize(row);
  // Counting needs no initial header: a header line never adds or removes a quote.
  QuoteFileContext context;
  context.progress = &progress;
  context.report = &report;
  // A Unicode file counts as its converted text compiles.
  context.code_page = &HostCodePage();
  bool stored = true;
  for (int row = 0; row < rows; ++row) {
    const std::optional<std::string> path = RowFilePath(row);
    const int count =
        path ? AppendQuoteFile(nullptr, *path, RowField(row, kColumnTitle).value_or(""), run, context) : -1;
    if (count < 0) {
      // A path too long for the folder is a file that cannot be opened, as the scan says.
      if (!path) report.Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::MainWindow);
      return stored;
    }
    stored &= StoreCompileStamp(row, count, true);
  }
  progress.Show(std::nullopt, 1, 1, 1, 1, false);
  return stored;
}

}  // namespace

void RescanAll() {
  WaitCursor wait;
  // One copy of the settings file for all the records, and one message when they are lost.
  SettingsBatch batch(*g_state);
  const bool stored = RescanRows();
  if (!batch.Finish() || !stored) ReportStampsLost();
}

}  // namespace vosko
