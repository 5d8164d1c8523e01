#include "file_faults.h"

#include <cerrno>
#include <cstdio>
#include <map>

namespace vtest {
namespace {

using Fopen = FILE*(__cdecl*)(const char*, const char*);
using Fwrite = size_t(__cdecl*)(const void*, size_t, size_t, FILE*);
using Fflush = int(__cdecl*)(FILE*);
using Fclose = int(__cdecl*)(FILE*);
using CreateFileAFn = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using WriteFileFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
using CloseHandleFn = BOOL(WINAPI*)(HANDLE);
using CopyFileAFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, BOOL);
using MoveFileExAFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
using GetTempFileNameAFn = UINT(WINAPI*)(LPCSTR, LPCSTR, UINT, LPSTR);
using WriteProfileFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPCSTR);

struct State {
  bool armed = false;
  FileStep fail{FileCall::kFopen, 0, ""};
  bool fired = false;
  std::map<FileCall, int> counts;
  std::vector<FileStep> steps;
  std::map<const void*, std::string> names;  // open streams and handles, by the file they hold
  Fopen fopen = nullptr;
  Fwrite fwrite = nullptr;
  Fflush fflush = nullptr;
  Fclose fclose = nullptr;
  CreateFileAFn create_file = nullptr;
  WriteFileFn write_file = nullptr;
  CloseHandleFn close_handle = nullptr;
  CopyFileAFn copy_file = nullptr;
  MoveFileExAFn move_file = nullptr;
  GetTempFileNameAFn temp_name = nullptr;
  WriteProfileFn write_profile = nullptr;
};
State* g_faults = nullptr;

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

FILE* __cdecl FaultyFopen(const char* path, const char* mode) {
  if (Fails(FileCall::kFopen, Bare(path))) {
    errno = EACCES;
    return nullptr;
  }
  FILE* file = g_faults->fopen(path, mode);
  if (file != nullptr) g_faults->names[file] = Bare(path);
  return file;
}

size_t __cdecl FaultyFwrite(const void* data, size_t size, size_t count, FILE* file) {
  if (Fails(FileCall::kFwrite, NameOf(file))) {
    if (size == 0) return 0;
    return g_faults->fwrite(data, size, count / 2, file);
  }
  return g_faults->fwrite(data, size, count, file);
}

int __cdecl FaultyFflush(FILE* file) {
  if (file != nullptr && Fails(FileCall::kFflush, NameOf(file))) return EOF;
  return g_faults->fflush(file);
}

int __cdecl FaultyFclose(FILE* file) {
  const std::string name = NameOf(file);
  g_faults->names.erase(file);
  const bool fail = Fails(FileCall::kFclose, name);
  const int result = g_faults->fclose(file);
  return fail ? EOF : result;
}

HANDLE WINAPI FaultyCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templ) {
  if (Fails(FileCall::kCreateFile, Bare(path))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE file = g_faults->create_file(path, access, share, security, disposition, flags, templ);
  if (file != INVALID_HANDLE_VALUE) g_faults->names[file] = Bare(path);
  return file;
}

BOOL WINAPI FaultyWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (Fails(FileCall::kWriteFile, NameOf(file))) {
    g_faults->write_file(file, data, size / 2, written, overlapped);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return g_faults->write_file(file, data, size, written, overlapped);
}

// Only the closes of files that the module opened with CreateFileA count.
BOOL WINAPI FaultyCloseHandle(HANDLE handle) {
  const auto found = g_faults->names.find(handle);
  if (found == g_faults->names.end()) return g_faults->close_handle(handle);
  const std::string name = found->second;
  g_faults->names.erase(found);
  const bool fail = Fails(FileCall::kCloseHandle, name);
  const BOOL result = g_faults->close_handle(handle);
  if (!fail) return result;
  SetLastError(ERROR_NETNAME_DELETED);
  return FALSE;
}

BOOL WINAPI FaultyCopyFile(LPCSTR from, LPCSTR to, BOOL fail_if_exists) {
  if (Fails(FileCall::kCopyFile, Bare(to))) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return g_faults->copy_file(from, to, fail_if_exists);
}

BOOL WINAPI FaultyMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
  if (Fails(FileCall::kMoveFileEx, Bare(to))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return g_faults->move_file(from, to, flags);
}

UINT WINAPI FaultyGetTempFileName(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR out) {
  if (Fails(FileCall::kGetTempFileName, Bare(folder))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  return g_faults->temp_name(folder, prefix, unique, out);
}

BOOL WINAPI FaultyWriteProfile(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  if (Fails(FileCall::kWriteProfileString, key != nullptr ? key : "")) {
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return g_faults->write_profile(section, key, value, file);
}

// The runtime the module was linked against: the old msvcrt or the universal one.
constexpr const char* kRuntimes[] = {"msvcrt.dll", "api-ms-win-crt-stdio-l1-1-0.dll", "ucrtbase.dll"};

}  // namespace

const char* FileCallName(FileCall call) {
  switch (call) {
    case FileCall::kFopen:
      return "fopen";
    case FileCall::kFwrite:
      return "fwrite";
    case FileCall::kFflush:
      return "fflush";
    case FileCall::kFclose:
      return "fclose";
    case FileCall::kCreateFile:
      return "CreateFileA";
    case FileCall::kWriteFile:
      return "WriteFile";
    case FileCall::kCloseHandle:
      return "CloseHandle";
    case FileCall::kCopyFile:
      return "CopyFileA";
    case FileCall::kMoveFileEx:
      return "MoveFileExA";
    case FileCall::kGetTempFileName:
      return "GetTempFileNameA";
    case FileCall::kWriteProfileString:
      return "WritePrivateProfileStringA";
  }
  return "?";
}

FileFaults::FileFaults(HMODULE module) {
  g_faults = new State;
  // Each stand-in reaches the real function through the slot's old value.
  const auto patch = [&](const char* dll, const char* function, const void* replacement, auto& original) {
    auto made = std::make_unique<ImportPatch>(module, dll, function, replacement);
    if (!made->ok()) return;
    original = made->original<std::remove_reference_t<decltype(original)>>();
    patches_.push_back(std::move(made));
  };
  for (const char* runtime : kRuntimes) {
    patch(runtime, "fopen", reinterpret_cast<const void*>(&FaultyFopen), g_faults->fopen);
    patch(runtime, "fwrite", reinterpret_cast<const void*>(&FaultyFwrite), g_faults->fwrite);
    patch(runtime, "fflush", reinterpret_cast<const void*>(&FaultyFflush), g_faults->fflush);
    patch(runtime, "fclose", reinterpret_cast<const void*>(&FaultyFclose), g_faults->fclose);
  }
  patch("kernel32.dll", "CreateFileA", reinterpret_cast<const void*>(&FaultyCreateFile), g_faults->create_file);
  patch("kernel32.dll", "WriteFile", reinterpret_cast<const void*>(&FaultyWriteFile), g_faults->write_file);
  patch("kernel32.dll", "CloseHandle", reinterpret_cast<const void*>(&FaultyCloseHandle), g_faults->close_handle);
  patch("kernel32.dll", "CopyFileA", reinterpret_cast<const void*>(&FaultyCopyFile), g_faults->copy_file);
  patch("kernel32.dll", "MoveFileExA", reinterpret_cast<const void*>(&FaultyMoveFileEx), g_faults->move_file);
  patch("kernel32.dll", "GetTempFileNameA", reinterpret_cast<const void*>(&FaultyGetTempFileName), g_faults->temp_name);
  patch("kernel32.dll", "WritePrivateProfileStringA", reinterpret_cast<const void*>(&FaultyWriteProfile),
        g_faults->write_profile);
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
