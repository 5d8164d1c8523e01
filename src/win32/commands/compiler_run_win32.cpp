#include "win32/commands/compiler_run_win32.h"

#include "win32/base/guards_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "engine/catalog_entry.h"
#include "engine/text_file.h"
#include "contract/resource_ids.h"

#include <lzexpand.h>
#include <shellapi.h>

namespace vosko {
namespace {

constexpr char kCompilerResource[] = "ResourceCompiler";

// The numbers of IDS_COMPILER_LAUNCH_FAILED: which step of starting the compiler failed.
constexpr WORD kNoCompilerResource = 1001;
constexpr WORD kNoCompilerExe = 1002;
constexpr WORD kNoCompilerBatch = 1003;
constexpr WORD kCompilerNotStarted = 1111;

// A compiler that could not be started directly is handed to the shell as the batch file,
// and waited for this long.
constexpr DWORD kShellStartWait = 50000;

std::function<std::intptr_t()> g_spawn_for_test;
std::function<void()> g_before_run_for_test;

void ShowError(UINT id, WORD number) { ShowTableMessage(g_state->main_window, id, number, kStyleError); }

void DeleteInQuoteFolder(UINT name_id) {
  if (const auto path = InQuoteFolder(name_id)) DeleteFileA(path->c_str());
}

// Starts rescom.exe itself in the quote folder, its output going to the report file, as the
// batch file's line does: the command interpreter refuses a network path (\\server\share) as
// its current directory, a process started directly does not. The handle of the process, or
// null when it could not be started.
HANDLE StartCompiler(const std::string& folder) {
  const std::optional<std::string> exe_path = InQuoteFolder(IDS_COMPILER_EXE_NAME);
  const std::optional<std::string> report_path = InQuoteFolder(IDS_COMPILER_REPORT_NAME);
  if (!exe_path || !report_path) return nullptr;
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const OwnedHandle report(CreateFileA(report_path->c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!report.Valid()) return nullptr;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = report.get();
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string command_line(1, '"');
  command_line.append(LoadTableString(IDS_COMPILER_EXE_NAME)).append("\" ").append(LoadTableString(IDS_SCRIPT_NAME));
  PROCESS_INFORMATION process = {};
  // No console at all: a console host would hold the report open after the compiler ended.
  if (!CreateProcessA(exe_path->c_str(), command_line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                      folder.c_str(), &startup, &process)) {
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

// The exit code of the compiler started directly, or -1 when it could not be started.
std::intptr_t RunCompilerProcess(const std::string& folder) {
  const OwnedHandle process(StartCompiler(folder));
  if (!process.Valid()) return -1;
  DWORD exit_code = 0;
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &exit_code)) {
    exit_code = STILL_ACTIVE;  // it ran, but how it ended is unknown: no success
  }
  return static_cast<std::intptr_t>(exit_code);
}

// Another program holds rquotes.pms open without letting it be deleted (the mail client
// reading it, a virus scanner, a backup): it cannot be replaced until that program lets go.
bool HeldByAnotherProgram(const std::string& path) {
  const HANDLE probe = CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

// How long a held rquotes.pms is waited for: about two seconds in all.
constexpr int kHeldRetries = 20;
constexpr DWORD kHeldRetryWait = 100;

// How long another compile is waited for: about three seconds in all.
constexpr int kLockRetries = 30;

}  // namespace

std::optional<std::string> InQuoteFolder(UINT name_id) {
  return QuoteFilePath(g_state->quote_folder, LoadTableString(name_id));
}

bool LockQuoteFolder(OwnedHandle& lock) {
  const std::optional<std::string> path = InQuoteFolder(IDS_COMPILE_LOCK_NAME);
  for (int attempt = 0; path; ++attempt) {
    lock.Reset(CreateFileA(path->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (lock.Valid() || GetLastError() != ERROR_SHARING_VIOLATION) break;
    if (attempt == kLockRetries) {
      ShowError(IDS_COMPILE_RUNNING, 0);
      return false;
    }
    Sleep(kHeldRetryWait);
  }
  return true;
}

bool WriteCompilerFiles() {
  HRSRC found = FindResourceA(g_module, kCompilerResource, RT_RCDATA);
  HGLOBAL loaded = found != nullptr ? LoadResource(g_module, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    ShowError(IDS_COMPILER_LAUNCH_FAILED, kNoCompilerResource);
    return false;
  }
  const std::optional<std::string> exe_path = InQuoteFolder(IDS_COMPILER_EXE_NAME);
  TextFile exe;
  // A compiler written only in part would be run: a short write is a failure too.
  if (!exe_path || !exe.Open(*exe_path, "w+b") ||
      !exe.Write(std::string_view(static_cast<const char*>(bytes), SizeofResource(g_module, found))) || !exe.Close()) {
    exe.Close();
    DeleteInQuoteFolder(IDS_COMPILER_EXE_NAME);  // a compiler cut short must never be run
    ShowError(IDS_COMPILER_LAUNCH_FAILED, kNoCompilerExe);
    return false;
  }
  const std::optional<std::string> batch_path = InQuoteFolder(IDS_COMPILER_BATCH_NAME);
  TextFile batch;
  bool written = batch_path && batch.Open(*batch_path, "w+t");
  for (UINT id = IDS_BATCH_FIRST; written && id <= IDS_BATCH_LAST; ++id) {
    written = batch.Write(LoadTableString(id) + "\n");
  }
  if (!written || !batch.Close()) {
    batch.Close();
    DeleteInQuoteFolder(IDS_COMPILER_EXE_NAME);
    DeleteInQuoteFolder(IDS_COMPILER_BATCH_NAME);
    ShowError(IDS_COMPILER_LAUNCH_FAILED, kNoCompilerBatch);
    return false;
  }
  return true;
}

// Runs the compiler in the quote folder and waits for it. Its exit code, or nothing when it
// could not be started at all (IDS_COMPILER_LAUNCH_FAILED with kCompilerNotStarted shown).
std::optional<std::intptr_t> RunCompiler() {
  // What an earlier run may have left must not pass for this run's output.
  DeleteInQuoteFolder(IDS_COMPILED_NAME);
  DeleteInQuoteFolder(IDS_COMPILER_REPORT_NAME);
  if (g_before_run_for_test) g_before_run_for_test();
  CurrentDirectoryKept host_directory;
  const std::string folder = g_state->quote_folder;
  SetCurrentDirectoryA(folder.c_str());
  const std::intptr_t spawned = g_spawn_for_test ? g_spawn_for_test() : RunCompilerProcess(folder);
  if (spawned != -1) return spawned;  // it ran: its exit code tells how
  // It could not be started: the shell may still know how to run the batch file. Its process
  // is waited for, at most the 50 seconds the batch was always given.
  const std::string batch = LoadTableString(IDS_COMPILER_BATCH_NAME);
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpFile = batch.c_str();
  info.lpDirectory = folder.c_str();
  info.nShow = SW_SHOWMINIMIZED;
  const bool started = ShellExecuteExA(&info) && reinterpret_cast<std::uintptr_t>(info.hInstApp) > 32;
  DWORD exit_code = 0;
  if (const OwnedHandle process(info.hProcess); process.Valid()) {
    if (WaitForSingleObject(process.get(), kShellStartWait) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &exit_code)) {
      exit_code = STILL_ACTIVE;
    }
  }
  if (!started) {
    ShowError(IDS_COMPILER_LAUNCH_FAILED, kCompilerNotStarted);
    return std::nullopt;
  }
  return static_cast<std::intptr_t>(exit_code);
}

// The compiler's work files; the script stays for the user to look at.
void DeleteCompilerFiles() {
  for (UINT id : {IDS_COMPILER_EXE_NAME, IDS_COMPILER_BATCH_NAME, IDS_COMPILER_REPORT_NAME, IDS_COMPILED_NAME,
                  IDS_COMPILER_HEADER_NAME}) {
    DeleteInQuoteFolder(id);
  }
}

CopyOutcome CopyCompiledFile(const std::string& source, const std::string& destination) {
  // The copy goes to a file of its own first: the host never sees a half-written quotes file,
  // and a source that cannot be read leaves the old one as it was.
  const std::string temporary = destination + ".tmp";
  if (temporary.size() >= MAX_PATH) return CopyOutcome::kFailed;
  LZStart();
  // The runtime's handles, not LZOpenFile's: its OFSTRUCT holds no path above 127 characters.
  const HFILE raw = _lopen(source.c_str(), OF_READ);
  const INT in = raw == HFILE_ERROR ? -1 : LZInit(raw);
  LONG copied = -1;
  if (in >= 0 && in == raw) {
    // Not compressed: the bytes as they are, copied in large blocks (the LZ copy moves a
    // kilobyte at a time).
    _lclose(raw);
    copied = CopyFileA(source.c_str(), temporary.c_str(), FALSE) ? 0 : -1;
  } else if (in >= 0) {
    const HFILE out = _lcreat(temporary.c_str(), 0);
    if (out != HFILE_ERROR) {
      copied = CopyLZFile(in, out);
      if (_lclose(out) == HFILE_ERROR) copied = -1;
    }
    LZClose(in);
  } else if (raw != HFILE_ERROR) {
    _lclose(raw);
  }
  LZDone();
  CopyOutcome outcome = copied < 0 ? CopyOutcome::kFailed : CopyOutcome::kCopied;
  for (int attempt = 0; outcome == CopyOutcome::kCopied; ++attempt) {
    if (MoveFileExA(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING)) break;
    if (!HeldByAnotherProgram(destination)) {
      outcome = CopyOutcome::kFailed;
    } else if (attempt == kHeldRetries) {
      outcome = CopyOutcome::kInUse;
    } else {
      Sleep(kHeldRetryWait);
    }
  }
  if (outcome != CopyOutcome::kCopied) DeleteFileA(temporary.c_str());
  return outcome;
}

void SetCompilerSpawnForTest(std::function<std::intptr_t()> spawn) { g_spawn_for_test = std::move(spawn); }
void SetBeforeCompilerRunForTest(std::function<void()> before_run) { g_before_run_for_test = std::move(before_run); }

}  // namespace vosko
