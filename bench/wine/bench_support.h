// Small helpers shared by the benchmark programs that run under Wine (not tests).
#pragma once

#include "host_frame.h"
#include "host_session.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

namespace vtest {

// Seconds between two performance-counter readings.
inline double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The folder of the running program, where the benchmark finds vosko.dll.
inline std::string ExeDirectory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string directory = path;
  return directory.substr(0, directory.find_last_of("\\/"));
}

// The host's side for a benchmark: a hidden frame and a session on a home directory.
class BenchHost {
 public:
  bool Create(const std::string& home) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!voskohost::HostSession::RegisterClasses(instance) || !frame_.Create(instance, "bench", SW_HIDE)) return false;
    voskohost::HostAnswers answers;
    answers.home_directory = home;
    session_ = std::make_unique<voskohost::HostSession>(answers, frame_.client());
    return true;
  }
  // Loads vosko.dll from beside the program and calls FORMINIT; says why when it cannot.
  bool OpenExtension() {
    std::string error;
    if (session_->Open(ExeDirectory() + "\\vosko.dll", &error) != 0) return true;
    std::fprintf(stderr, "cannot open the extension: %s\n", error.c_str());
    return false;
  }
  voskohost::HostSession& session() { return *session_; }
  HWND list() const { return GetDlgItem(session_->main_window(), 230); }
  long rows() const { return static_cast<long>(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0)); }

  // A folder of more files than the window lists before it shows fills the list afterwards,
  // between messages: pumps them until the row count has stood still for a second. The
  // moment of its last change.
  LARGE_INTEGER WaitForWholeList() {
    LARGE_INTEGER changed, now;
    QueryPerformanceCounter(&changed);
    for (long last = rows();; Sleep(1)) {
      for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
      QueryPerformanceCounter(&now);
      if (rows() != last) {
        last = rows();
        changed = now;
      } else if (Seconds(changed, now) > 1.0) {
        return changed;
      }
    }
  }

 private:
  voskohost::HostFrame frame_;  // made first, gone last
  std::unique_ptr<voskohost::HostSession> session_;
};

}  // namespace vtest
