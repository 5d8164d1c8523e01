#include "win32/commands/compile_driver_win32.h"

#include "engine/compiler_report.h"
#include "win32/commands/compiler_run_win32.h"
#include "engine/script_line_origins.h"
#include "engine/script_writer.h"
#include "win32/controls/status_bar_win32.h"
#include "win32/base/engine_report_win32.h"
#include "win32/base/file_facts_win32.h"
#include "win32/base/guards_win32.h"
#include "win32/base/host_code_page_win32.h"
#include "contract/host_contract.h"
#include "engine/message_text.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/settings_store_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "win32/controls/list_view_win32.h"
#include "win32/base/regional_settings_win32.h"
#include "contract/resource_ids.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vosko {
namespace {

// The error lines of a refused script are shown at most this long each.
constexpr std::size_t kShownErrorLimit = 200;

void ShowError(UINT id, WORD number) { ShowTableMessage(g_state->main_window, id, number, kStyleError); }

std::string BareName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// The host's initial header text for every quote file (host::kSettingHeader).
std::string HostHeaderText() {
  char buffer[host::kHeaderTextSize] = {};
  SendMessageA(GetParent(g_state->main_window), host::kQuerySetting, host::kSettingHeader,
               reinterpret_cast<LPARAM>(buffer));
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

// Writes the script of `rows` again, into a scratch file, to learn where the lines that the
// compiler refused came from.
void TraceScriptLines(const std::vector<int>& rows, ScriptLineOrigins& origins) {
  if (origins.Empty()) return;
  char folder[MAX_PATH] = {}, scratch_path[MAX_PATH] = {};
  if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, "vsk", 0, scratch_path) == 0) return;
  std::vector<std::string> paths;
  for (int row : rows) {
    std::optional<std::string> path = RowFilePath(row);
    if (!path) break;
    paths.push_back(std::move(*path));
  }
  TraceScriptLines(paths, scratch_path, HostHeaderText, origins, &HostCodePage());
  DeleteFileA(scratch_path);
}

std::string Cut(std::string text, std::size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

// The compile made nothing usable: say why, with the compiler's first errors pointed back at
// the quote files and lines they came from.
void ShowCompileFailure(const std::vector<int>& rows, const CompilerReport& report, std::intptr_t exit_code) {
  if (report.errors.empty()) {
    if (static_cast<WORD>(exit_code) != 0) {
      ShowError(IDS_COMPILE_FAILED_CODE, static_cast<WORD>(exit_code));
    } else {
      ShowError(IDS_COMPILE_NO_OUTPUT, 0);
    }
    return;
  }
  ScriptLineOrigins origins(report.errors);
  TraceScriptLines(rows, origins);
  const std::string script_name = LoadTableString(IDS_SCRIPT_NAME);
  const std::string at = LoadTableString(IDS_COMPILE_ERROR_AT);
  std::string text = LoadTableString(IDS_COMPILE_REFUSED) + "\n";
  for (const CompilerError& error : report.errors) {
    const std::string message = Cut(error.message, kShownErrorLimit);
    text += "\n";
    if (const auto origin = origins.Origin(error.script_line)) {
      text += FillMessageTexts(at, {BareName(origin->first), std::to_string(origin->second), message});
    } else if (error.script_line != 0) {
      text += FillMessageTexts(at, {script_name, std::to_string(error.script_line), message});
    } else {
      text += message;
    }
  }
  ShowMessageText(g_state->main_window, text, kStyleError);
}

// The quote files of `rows` appended to a fresh script, each file's count of quotes added to
// `counts`, and the number of characters the host's code page could not hold to `replaced`;
// false when the run stopped (its message shown).
bool WriteScript(const std::vector<int>& rows, ProgressRun& progress, std::vector<int>& counts,
                 std::uint64_t& replaced) {
  MessageBoxReport report;
  const std::optional<std::string> script_path = InQuoteFolder(IDS_SCRIPT_NAME);
  if (!script_path) {
    report.Report(IDS_SCRIPT_OPEN_FAILED, 0, ReportIcon::Stop, ReportOwner::MainWindow);
    return false;
  }
  const WinIniRegionalSettings intl;
  const CalendarTime now = LocalNowWin32();
  TextFile script;
  ScriptRun run;
  if (!WriteScriptHeader(script, *script_path, CurrentDateText(intl, now), CurrentTimeText(intl, now), run, &report)) {
    return false;
  }
  for (int row : rows) run.total_bytes += RowFileSize(row);
  QuoteFileContext context;
  context.progress = &progress;
  context.report = &report;
  context.initial_header = HostHeaderText;
  context.code_page = &HostCodePage();
  for (int row : rows) {
    const std::optional<std::string> path = RowFilePath(row);
    if (!path) {
      report.Report(IDS_OPEN_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::MainWindow);
      return false;
    }
    const int count = AppendQuoteFile(&script, *path, RowField(row, kColumnTitle).value_or(""), run, context);
    if (count < 0) return false;
    counts.push_back(count);
  }
  replaced = run.characters_replaced;
  progress.Show(std::nullopt, 1, 1, 1, 1, true);
  // A script cut short by a full disk would compile into fewer quotes without a word.
  if (!script.Close()) {
    report.Report(IDS_SCRIPT_WRITE_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::MainWindow);
    return false;
  }
  return true;
}

// Everything after the question: the bars live as long as this.
void CompileRows(const std::vector<int>& rows, bool& stamps_stored) {
  // Held until the work files are gone and the records are written.
  OwnedHandle lock(INVALID_HANDLE_VALUE);
  if (!LockQuoteFolder(lock)) return;
  ProgressRun progress;
  std::vector<int> counts;
  std::uint64_t replaced = 0;
  if (!WriteScript(rows, progress, counts, replaced)) return;
  SetStatusText(LoadTableString(IDS_STATUS_LAUNCHING));
  if (!WriteCompilerFiles()) return;
  const std::optional<std::intptr_t> exit_code = RunCompiler();
  if (!exit_code) {
    DeleteCompilerFiles();
    return;
  }
  const std::optional<std::string> compiled = InQuoteFolder(IDS_COMPILED_NAME);
  const std::optional<std::string> report_path = InQuoteFolder(IDS_COMPILER_REPORT_NAME);
  const CompilerReport report = report_path ? ReadCompilerReport(*report_path) : CompilerReport{};
  // Only a compiler that ended well, made its file and said what is in it has made quotes.
  if (*exit_code != 0 || !compiled || !FileExists(*compiled) || !report.summary_found) {
    DeleteCompilerFiles();
    ShowCompileFailure(rows, report, *exit_code);
    return;
  }
  const std::string destination = std::string(g_state->home_directory) + LoadTableString(IDS_PMS_NAME);
  const CopyOutcome copied = CopyCompiledFile(*compiled, destination);
  DeleteCompilerFiles();
  if (copied == CopyOutcome::kInUse) {
    ShowError(IDS_COMPILE_PMS_IN_USE, 0);
    return;
  }
  if (copied != CopyOutcome::kCopied) {
    ShowError(IDS_FILE_WRITE_FAILED, static_cast<WORD>(kFileErrorNumber));
    return;
  }
  // Only now has a compile happened: the rows' counts and compile dates, and their records.
  // One copy of the settings file and one check for all of them.
  SettingsBatch batch(*g_state);
  for (std::size_t i = 0; i < counts.size(); ++i) stamps_stored &= StoreCompileStamp(rows[i], counts[i], false);
  stamps_stored &= batch.Finish();
  std::string text = FillMessageTexts(LoadTableString(IDS_COMPILE_DONE),
                                      {std::to_string(report.count), std::to_string(report.largest)});
  // Never silently: the quotes hold look-alikes or "?" where the files had other characters.
  if (replaced != 0) text += FillMessageTexts(LoadTableString(IDS_COMPILE_REPLACED), {std::to_string(replaced)});
  ShowInfoText(text.c_str());
}

}  // namespace

void CompileSelected() {
  WaitCursor wait;
  if (AskSelection(IDS_ONE_FILE_COMPILE)) return;
  const std::vector<int> rows = SelectedRows();
  bool stamps_stored = true;
  CompileRows(rows, stamps_stored);
  // The counts and dates are in the list until the window closes, but not in the settings.
  if (!stamps_stored) ReportStampsLost();
}

}  // namespace vosko
