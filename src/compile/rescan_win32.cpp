#include "compile/rescan_win32.h"

#include "compile/compile_driver_win32.h"
#include "compile/script_writer.h"
#include "compile/status_bar_win32.h"
#include "frame/engine_report_win32.h"
#include "frame/vosko_state_win32.h"
#include "quotes/list_view_win32.h"
#include "resources/resource_ids.h"

namespace vosko {
namespace {

// Counts every row until a file cannot be opened; false when a count could not be stored.
bool RescanRows() {
  ProgressRun progress;
  MessageBoxReport report;
  const int rows = RowCount();
  ScriptRun run;
  for (int row = 0; row < rows; ++row) run.totalBytes += RowFileSize(row);
  // Counting needs no initial header: a header line never adds or removes a quote.
  QuoteFileContext context;
  context.progress = &progress;
  context.report = &report;
  bool stored = true;
  for (int row = 0; row < rows; ++row) {
    const std::optional<std::string> path = RowFilePath(row);
    const int count = path ? AppendQuoteFile(nullptr, *path, RowField(row, kColumnTitle).value_or(""), run, context) : -1;
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
  if (!RescanRows()) ReportStampsLost();
}

}  // namespace vosko
