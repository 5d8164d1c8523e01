#include "file_faults.h"

#include <cerrno>
#include <cstdio>
#include <iterator>
#include <map>

namespace vtest {
namespace {

struct State {
  bool armed = false;
  FileStep fail{FileCall::kFopen, 0, ""};
  bool fired = false;
  std::map<FileCall, int> counts;
  std::vector<FileStep> steps;
  std::map<const void*, std::string> names;  // open streams and handles, by the file they hold
  void* real[kFileCallCount] = {};           // the functions the stand-ins stand for
};
State* g_faults = nullptr;

// The real function a stand-in reaches, with the stand-in's own type.
template <typename Function>
Function* Real(FileCall call, Function*) {
  return reinterpret_cast<Function*>(g_faults->real[static_cast<int>(call)]);
}

std::string Bare(const char* path) {
  if (path == nullptr) return "";
  const std::string text(path);
  return text.substr(text.find_last_of("\\/") + 1);
}

std::string NameOf(const void* handle) {
  const auto found = g_faults->names.find(handle);
  return found == g_faults->names.end() ? "" : found->second;
}

// Counts the call; true when it is the one to fail.
bool Fails(FileCall call, const std::string& file) {
  if (!g_faults->armed) return false;
  const FileStep step{call, ++g_faults->counts[call], file};
  g_faults->steps.push_back(step);
  if (g_faults->fail.call != call || g_faults->fail.nth != step.nth) return false;
  g_faults->fired = true;
  return true;
}

// A failed call: the system's error code set, the failure's value returned.
template <typename Value>
Value Failed(DWORD error, Value value) {
  SetLastError(error);
  return value;
}

FILE* __cdecl FaultyFopen(const char* path, const char* mode) {
  if (Fails(FileCall::kFopen, Bare(path))) return errno = EACCES, nullptr;
  FILE* file = Real(FileCall::kFopen, FaultyFopen)(path, mode);
  if (file != nullptr) g_faults->names[file] = Bare(path);
  return file;
}

size_t __cdecl FaultyFwrite(const void* data, size_t size, size_t count, FILE* file) {
  const bool fail = Fails(FileCall::kFwrite, NameOf(file));
  if (fail && size == 0) return 0;
  return Real(FileCall::kFwrite, FaultyFwrite)(data, size, fail ? count / 2 : count, file);
}

int __cdecl FaultyFflush(FILE* file) {
  if (file != nullptr && Fails(FileCall::kFflush, NameOf(file))) return EOF;
  return Real(FileCall::kFflush, FaultyFflush)(file);
}

int __cdecl FaultyFclose(FILE* file) {
  const std::string name = NameOf(file);
  g_faults->names.erase(file);
  const bool fail = Fails(FileCall::kFclose, name);
  const int result = Real(FileCall::kFclose, FaultyFclose)(file);
  return fail ? EOF : result;
}

HANDLE WINAPI FaultyCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templ) {
  if (Fails(FileCall::kCreateFile, Bare(path))) return Failed(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  HANDLE file = Real(FileCall::kCreateFile, FaultyCreateFile)(path, access, share, security, disposition, flags, templ);
  if (file != INVALID_HANDLE_VALUE) g_faults->names[file] = Bare(path);
  return file;
}

BOOL WINAPI FaultyWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (Fails(FileCall::kWriteFile, NameOf(file))) {
    Real(FileCall::kWriteFile, FaultyWriteFile)(file, data, size / 2, written, overlapped);
    return Failed(ERROR_DISK_FULL, FALSE);
  }
  return Real(FileCall::kWriteFile, FaultyWriteFile)(file, data, size, written, overlapped);
}

// Only the closes of files that the module opened with CreateFileA count.
BOOL WINAPI FaultyCloseHandle(HANDLE handle) {
  const auto found = g_faults->names.find(handle);
  if (found == g_faults->names.end()) return Real(FileCall::kCloseHandle, FaultyCloseHandle)(handle);
  const std::string name = found->second;
  g_faults->names.erase(found);
  const bool fail = Fails(FileCall::kCloseHandle, name);
  const BOOL result = Real(FileCall::kCloseHandle, FaultyCloseHandle)(handle);
  return fail ? Failed(ERROR_NETNAME_DELETED, FALSE) : result;
}

BOOL WINAPI FaultyCopyFile(LPCSTR from, LPCSTR to, BOOL fail_if_exists) {
  if (Fails(FileCall::kCopyFile, Bare(to))) return Failed(ERROR_DISK_FULL, FALSE);
  return Real(FileCall::kCopyFile, FaultyCopyFile)(from, to, fail_if_exists);
}

BOOL WINAPI FaultyMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
  if (Fails(FileCall::kMoveFileEx, Bare(to))) return Failed(ERROR_ACCESS_DENIED, FALSE);
  return Real(FileCall::kMoveFileEx, FaultyMoveFileEx)(from, to, flags);
}

UINT WINAPI FaultyGetTempFileName(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR out) {
  if (Fails(FileCall::kGetTempFileName, Bare(folder))) return Failed(ERROR_ACCESS_DENIED, 0);
  return Real(FileCall::kGetTempFileName, FaultyGetTempFileName)(folder, prefix, unique, out);
}

// The failing write is the worst a profile writer does: it reports success and leaves the
// file cut in half. A flush (no key) is not counted.
BOOL WINAPI FaultyWriteProfile(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  const auto real = Real(FileCall::kWriteProfileString, FaultyWriteProfile);
  if (key == nullptr || !Fails(FileCall::kWriteProfileString, key)) return real(section, key, value, file);
  real(section, key, value, file);
  HANDLE cut = CreateFileA(file, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFilePointer(cut, static_cast<LONG>(GetFileSize(cut, nullptr) / 2), nullptr, FILE_BEGIN);
  SetEndOfFile(cut);
  CloseHandle(cut);
  real(nullptr, nullptr, nullptr, file);  // the writer's memory of the file goes too
  return TRUE;
}

// Each call: its stand-in and the function it stands for, in FileCall order. The C runtime's
// are looked for in the old msvcrt and in the universal one.
const struct {
  const char* name;
  const void* stand_in;
  bool runtime;
} kCalls[] = {
    {"fopen", StandIn(&FaultyFopen), true},
    {"fwrite", StandIn(&FaultyFwrite), true},
    {"fflush", StandIn(&FaultyFflush), true},
    {"fclose", StandIn(&FaultyFclose), true},
    {"CreateFileA", StandIn(&FaultyCreateFile), false},
    {"WriteFile", StandIn(&FaultyWriteFile), false},
    {"CloseHandle", StandIn(&FaultyCloseHandle), false},
    {"CopyFileA", StandIn(&FaultyCopyFile), false},
    {"MoveFileExA", StandIn(&FaultyMoveFileEx), false},
    {"GetTempFileNameA", StandIn(&FaultyGetTempFileName), false},
    {"WritePrivateProfileStringA", StandIn(&FaultyWriteProfile), false},
};
static_assert(std::size(kCalls) == kFileCallCount);
constexpr const char* kRuntimes[] = {"msvcrt.dll", "api-ms-win-crt-stdio-l1-1-0.dll", "ucrtbase.dll"};

}  // namespace

const char* FileCallName(FileCall call) { return kCalls[static_cast<int>(call)].name; }

FileFaults::FileFaults(HMODULE module) {
  g_faults = new State;
  for (int call = 0; call < kFileCallCount; ++call) {
    for (const char* dll : kCalls[call].runtime ? std::vector<const char*>(std::begin(kRuntimes), std::end(kRuntimes))
                                                : std::vector<const char*>{"kernel32.dll"}) {
      auto made = std::make_unique<ImportPatch>(module, dll, kCalls[call].name, kCalls[call].stand_in);
      if (!made->ok()) continue;
      g_faults->real[call] = made->original<void*>();
      patches_.push_back(std::move(made));
    }
  }
}

FileFaults::~FileFaults() {
  patches_.clear();
  delete g_faults;
  g_faults = nullptr;
}

bool FileFaults::ok() const { return !patches_.empty(); }

void FileFaults::Arm(const FileStep& fail) {
  g_faults->armed = true;
  g_faults->fail = fail;
  g_faults->fired = false;
  g_faults->counts.clear();
  g_faults->steps.clear();
}

void FileFaults::Disarm() { g_faults->armed = false; }

const std::vector<FileStep>& FileFaults::steps() const { return g_faults->steps; }

bool FileFaults::fired() const { return g_faults->fired; }

}  // namespace vtest
