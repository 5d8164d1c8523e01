// The owners of the Windows resources the extension holds for a moment: each releases its
// resource however the scope ends, and none can be copied.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstddef>
#include <string>
#include <utility>

namespace vosko {

// A directory search, closed however the search ends.
class FileSearch {
 public:
  FileSearch(const std::string& pattern, WIN32_FIND_DATAA& found) : handle_(FindFirstFileA(pattern.c_str(), &found)) {}
  ~FileSearch() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FileSearch(const FileSearch&) = delete;
  FileSearch& operator=(const FileSearch&) = delete;
  bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Next(WIN32_FIND_DATAA& found) { return FindNextFileA(handle_, &found) != FALSE; }

 private:
  HANDLE handle_;
};

// A kernel handle (a file, a process). Null and INVALID_HANDLE_VALUE both mean none.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() { Close(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  // False when the close failed: a network drive may only then say that a write was lost.
  bool Close() {
    if (!Valid()) return true;
    return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
  }
  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  HANDLE get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

 private:
  HANDLE handle_;
};

// A global memory block locked for reading or writing; the block itself stays its owner's.
class LockedMemory {
 public:
  explicit LockedMemory(HGLOBAL memory)
      : memory_(memory), data_(memory != nullptr ? static_cast<char*>(GlobalLock(memory)) : nullptr) {}
  ~LockedMemory() {
    if (data_ != nullptr) GlobalUnlock(memory_);
  }
  LockedMemory(const LockedMemory&) = delete;
  LockedMemory& operator=(const LockedMemory&) = delete;
  char* data() const { return data_; }
  std::size_t size() const { return data_ != nullptr ? GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  char* data_;
};

// The clipboard, opened for `owner` and closed again.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool open() const { return open_; }

 private:
  bool open_;
};

// A window's device context (the screen's for a null window), released again.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A GDI object selected into a device context; the object it replaced goes back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ~SelectedObject() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A GDI object (a pen, a font) this code created, deleted again.
class OwnedGdiObject {
 public:
  explicit OwnedGdiObject(HGDIOBJ object) : object_(object) {}
  ~OwnedGdiObject() {
    if (object_ != nullptr) DeleteObject(object_);
  }
  OwnedGdiObject(const OwnedGdiObject&) = delete;
  OwnedGdiObject& operator=(const OwnedGdiObject&) = delete;
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_;
};

// COM for this thread, for as long as a command needs it; undone only when it was done.
class ComInitialized {
 public:
  ComInitialized() : result_(CoInitialize(nullptr)) {}
  ~ComInitialized() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComInitialized(const ComInitialized&) = delete;
  ComInitialized& operator=(const ComInitialized&) = delete;

 private:
  HRESULT result_;
};

// The extension lives in the host's process: a current directory changed for a moment is
// put back to the host's.
class CurrentDirectoryKept {
 public:
  CurrentDirectoryKept() {
    const DWORD length = GetCurrentDirectoryA(0, nullptr);
    if (length == 0) return;
    saved_.resize(length);
    const DWORD written = GetCurrentDirectoryA(length, saved_.data());
    saved_.resize(written < length ? written : 0);
  }
  ~CurrentDirectoryKept() {
    if (!saved_.empty()) SetCurrentDirectoryA(saved_.c_str());
  }
  CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
  CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;

 private:
  std::string saved_;
};

}  // namespace vosko
