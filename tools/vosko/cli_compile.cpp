// vosko compile and vosko count: the extension's script writer and our compiler in one process.
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cli.h"
#include "cli_progress.h"
#include "cli_support.h"
#include "engine/compiler_report.h"
#include "engine/script_line_origins.h"
#include "engine/script_writer.h"
#include "compiler.h"
#include "engine/text_format.h"
#include "contract/resource_ids.h"
#include "contract/string_table.h"

namespace vosko::cli {
namespace {

// Removes a work file when the command ends, however it ends.
class WorkFile {
 public:
  explicit WorkFile(std::string path, bool keep) : path_(std::move(path)), keep_(keep) {}
  ~WorkFile() {
    if (!keep_) std::remove(path_.c_str());
  }
  WorkFile(const WorkFile&) = delete;
  WorkFile& operator=(const WorkFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool keep_;
};

// Writes the script of `files`; false after a message.
bool WriteScript(const std::vector<std::string>& files, const std::string& path, const std::string& shownAs,
                 unsigned failure, std::ostream& err, bool showProgress, const CodePage* page) {
  ConsoleReport report(err);
  report.At(shownAs);
  report.ScriptMessage(failure);
  const DefaultRegionalSettings intl;
  const CalendarTime now = LocalNow();
  TextFile script;
  ScriptRun run;
  if (!WriteScriptHeader(script, path, CurrentDateText(intl, now), CurrentTimeText(intl, now), run, &report)) {
    return false;
  }
  for (const std::string& file : files) run.total_bytes += FileSize(file);
  TerminalProgress progress(err, showProgress);
  QuoteFileContext context;
  context.report = &report;
  context.progress = &progress;
  context.code_page = page;
  for (const std::string& file : files) {
    report.At(file);
    if (AppendQuoteFile(&script, file, file, run, context) < 0) return false;
  }
  progress.Done();
  if (run.characters_replaced > 0) {
    Complain(err, IDS_CLI_REPLACED, {std::to_string(run.characters_replaced), std::to_string(page->Number())});
  }
  if (!script.Close()) {
    report.At(shownAs);
    report.Report(IDS_SCRIPT_WRITE_FAILED, kFileErrorNumber, ReportIcon::Stop, ReportOwner::None);
    return false;
  }
  return true;
}

// How long another compile is waited for: about three seconds in all.
constexpr int kLockRetries = 30;
constexpr auto kLockRetryWait = std::chrono::milliseconds(100);

// The output is a quote folder's rquotes.pms, which the extension may be compiling too.
bool IsQuoteFolderOutput(const std::filesystem::path& output) {
  std::string name = output.filename().string();
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return name == TableText(IDS_PMS_NAME).substr(1);
}

}  // namespace

FolderLock::FolderLock(const std::string& folder)
    : path_((std::filesystem::path(folder) / std::string(TableText(IDS_COMPILE_LOCK_NAME))).string()) {
  for (int attempt = 0;; ++attempt) {
#ifdef _WIN32
    handle_ = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) return;
    handle_ = nullptr;
    if (GetLastError() != ERROR_SHARING_VIOLATION) return;
#else
    fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      // The compile that let go of it just now may have removed the name: a lock on a file
      // no longer in the folder locks nothing.
      struct stat held {
      }, named{};
      if (fstat(fd_, &held) == 0 && stat(path_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
          held.st_ino == named.st_ino) {
        return;
      }
    } else if (errno != EWOULDBLOCK) {
      close(fd_);
      fd_ = -1;
      return;
    }
    close(fd_);
    fd_ = -1;
#endif
    if (attempt == kLockRetries) {
      busy_ = true;
      return;
    }
    std::this_thread::sleep_for(kLockRetryWait);
  }
}

FolderLock::~FolderLock() {
#ifdef _WIN32
  if (handle_ != nullptr) CloseHandle(handle_);
#else
  if (fd_ >= 0) {
    unlink(path_.c_str());  // while still held: no other compile holds this name meanwhile
    close(fd_);
  }
#endif
}

void ReportRefusal(const std::vector<std::string>& files, const std::vector<std::string>& lines,
                   const std::string& scratch, std::string_view scriptName, std::ostream& err, const CodePage* page) {
  std::vector<CompilerError> errors;
  for (const std::string& line : lines) {
    const CompilerReport parsed = ParseCompilerReport(line);
    errors.insert(errors.end(), parsed.errors.begin(), parsed.errors.end());
  }
  ScriptLineOrigins origins(errors);
  TraceScriptLines(files, scratch, {}, origins, page);
  std::remove(scratch.c_str());
  for (const CompilerError& error : errors) {
    if (const auto origin = origins.Origin(error.script_line)) {
      err << origin->first << ':' << origin->second << ": " << error.message << '\n';
    } else if (error.script_line != 0) {
      err << scriptName << ':' << error.script_line << ": " << error.message << '\n';
    } else {
      err << error.message << '\n';
    }
  }
  Complain(err, IDS_CLI_COMPILE_REFUSED);
}

int Compile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progress) {
  const std::optional<CommandLine> line = ScanCommandLine(args, "compile", {"-o", "--script", "--codepage"}, err);
  if (!line) return kExitUsage;
  const std::optional<const CodePage*> page = CodePageOption(*line, err);
  if (!page) return kExitUsage;
  const std::optional<std::vector<std::string>> files = GatherQuoteFiles(line->words, err);
  if (!files) return line->words.empty() ? kExitUsage : kExitFileError;
  const std::string output = line->Option("-o").value_or(std::string(TableText(IDS_PMS_NAME).substr(1)));
  const std::optional<std::string> kept = line->Option("--script");
  // The script is made before the compiler reads it, so a script over a quote file would empty
  // that file before it is read; the compiled file would replace it afterwards.
  if (!OutputIsNoInput(output, *files, err) || (kept && !OutputIsNoInput(*kept, *files, err))) {
    return kExitFileError;
  }
  // Compiling into a quote folder's rquotes.pms, the tool keeps out of the extension's way (and
  // another run's) as the extension does: by the lock of the folder, taken before the first
  // work file is written.
  std::optional<FolderLock> lock;
  if (IsQuoteFolderOutput(output)) {
    const std::filesystem::path folder = std::filesystem::path(output).parent_path();
    lock.emplace(folder.empty() ? std::string(".") : folder.string());
    if (lock->Busy()) {
      Complain(err, IDS_CLI_COMPILE_RUNNING, {output});
      return kExitFileError;
    }
  }
  // Without --script the script is a work file beside the output: a folder that cannot take
  // it cannot take the output either, and that is the message the user needs.
  WorkFile script(kept.value_or(output + ".script.tmp"), kept.has_value());
  if (!WriteScript(*files, script.Path(), kept.value_or(output),
                   kept ? IDS_CLI_SCRIPT_UNWRITABLE : IDS_CLI_OUTPUT_UNWRITABLE, err, progress, *page)) {
    return kExitFileError;
  }

  const rescom::CompileOutcome outcome = rescom::compile_file(script.Path(), output);
  if (outcome.exit_code == rescom::kExitScriptErrors) {
    ReportRefusal(*files, outcome.lines, output + ".trace.tmp", kept.value_or(std::string(TableText(IDS_SCRIPT_NAME))),
                  err, *page);
    return kExitRefused;
  }
  if (outcome.exit_code != rescom::kExitOk) {
    Complain(err, IDS_CLI_OUTPUT_UNWRITABLE, {output});
    return kExitFileError;
  }
  out << Text(IDS_CLI_COMPILED,
              {output, std::to_string(outcome.summary.count), std::to_string(outcome.summary.largest)})
      << '\n';
  return kExitOk;
}

int Count(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool showProgress) {
  const std::optional<CommandLine> line = ScanCommandLine(args, "count", {"--codepage"}, err);
  if (!line) return kExitUsage;
  const std::optional<const CodePage*> page = CodePageOption(*line, err);
  if (!page) return kExitUsage;
  const std::optional<std::vector<std::string>> files = GatherQuoteFiles(line->words, err);
  if (!files) return line->words.empty() ? kExitUsage : kExitFileError;
  ConsoleReport report(err);
  TerminalProgress progress(err, showProgress);
  QuoteFileContext context;
  context.report = &report;
  context.progress = &progress;
  context.code_page = *page;
  ScriptRun run;
  for (const std::string& file : *files) run.total_bytes += FileSize(file);
  std::int64_t total = 0;
  std::string counts;  // printed once the progress line is gone
  int code = kExitOk;
  for (const std::string& file : *files) {
    report.At(file);
    const int count = AppendQuoteFile(nullptr, file, file, run, context);
    if (count < 0) {
      code = kExitFileError;
      break;
    }
    total += count;
    counts += Text(IDS_CLI_COUNTED, {file, std::to_string(count)}) + '\n';
  }
  progress.Done();
  out << counts;
  if (code == kExitOk && files->size() > 1)
    out << Text(IDS_CLI_COUNTED, {Text(IDS_CLI_TOTAL), std::to_string(total)}) << '\n';
  return code;
}

}  // namespace vosko::cli
