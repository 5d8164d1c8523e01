// Times the extension on a hostile home directory (scripts/scale.sh makes them): start-up
// (reading the settings), the list (the late set-up scans the quote folder) and closing
// (the settings written back). Message boxes are answered at once and counted; the files
// named in HOLD_LIST (one Windows path a line) are held open without sharing meanwhile, as
// another program holding them would, so that the extension cannot open them.
//
//   vosko_scale_bench.exe HOME_DIRECTORY [HOLD_LIST]
#include "bench_support.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using vtest::ExeDirectory;
using vtest::Seconds;

namespace {

std::map<std::string, int> g_boxes;  // message texts and how often each was shown
HHOOK g_hook = nullptr;

// Every dialog box that comes up is a message box here: its text is noted and it is closed.
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wparam);
    char class_name[16] = {};
    GetClassNameA(box, class_name, sizeof class_name);
    if (std::string(class_name) == "#32770") {
      char text[512] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      ++g_boxes[text];
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(g_hook, code, wparam, lparam);
}

// The process's own processor time so far (user and kernel), in seconds: on a machine shared
// with other work the wall-clock figures above it wait for the processor too.
double ProcessorSeconds() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  auto seconds = [](FILETIME t) {
    return static_cast<double>((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: vosko_scale_bench HOME_DIRECTORY [HOLD_LIST]\n", stderr);
    return 2;
  }
  std::vector<HANDLE> held;
  if (argc > 2) {
    std::ifstream list(argv[2]);
    for (std::string path; std::getline(list, path);) {
      if (!path.empty() && path.back() == '\r') path.pop_back();
      HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      if (file != INVALID_HANDLE_VALUE) held.push_back(file);
    }
  }
  g_hook = SetWindowsHookExA(WH_CBT, AnswerBoxes, nullptr, GetCurrentThreadId());
  vtest::BenchHost host;
  if (!host.Create(argv[1])) return 1;
  voskohost::HostSession& session = host.session();
  LARGE_INTEGER start, opened, shown, closing, closed;
  double cpu[5];
  cpu[0] = ProcessorSeconds();
  QueryPerformanceCounter(&start);
  if (!host.OpenExtension()) return 1;
  QueryPerformanceCounter(&opened);
  cpu[1] = ProcessorSeconds();
  session.ShowExtension();
  QueryPerformanceCounter(&shown);
  cpu[2] = ProcessorSeconds();
  const long first_rows = host.rows();
  const LARGE_INTEGER listed = host.WaitForWholeList();
  cpu[3] = ProcessorSeconds();  // with the second of waiting, in which the process is idle
  const long all_rows = host.rows();
  QueryPerformanceCounter(&closing);
  session.Close();
  QueryPerformanceCounter(&closed);
  cpu[4] = ProcessorSeconds();
  std::printf("held unreadable: %u files\n", static_cast<unsigned>(held.size()));
  std::printf("start-up: %.3f s (processor %.3f s)\n", Seconds(start, opened), cpu[1] - cpu[0]);
  std::printf("list shown: %ld rows in %.3f s (processor %.3f s; the late set-up)\n", first_rows,
              Seconds(opened, shown), cpu[2] - cpu[1]);
  std::printf("list complete: %ld rows in %.3f s (processor %.3f s)\n", all_rows, Seconds(opened, listed),
              cpu[3] - cpu[1]);
  std::printf("close: %.3f s (processor %.3f s)\n", Seconds(closing, closed), cpu[4] - cpu[3]);
  for (const auto& [text, count] : g_boxes) std::printf("message shown %d time(s): %s\n", count, text.c_str());
  if (g_boxes.empty()) std::printf("no message shown\n");
  for (HANDLE file : held) CloseHandle(file);
  UnhookWindowsHookEx(g_hook);
  return 0;
}
