// Times the Compile command through the library as the host loads it: opens the extension on
// a prepared home directory (its settings file names the quote folder), selects every row,
// presses Compile and measures until the command returns; the closing message box is
// answered at once. Prints the time, the box's text and the peak memory of the process.
//
//   vosko_compile_bench.exe HOME_DIRECTORY
#include "bench_support.h"

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>

using vtest::ExeDirectory;
using vtest::Seconds;

namespace {

constexpr int kCompileButton = 1140;

std::string g_box_text;

// Answers every message box as soon as it opens, keeping its text.
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wparam, LPARAM lparam) {
  HWND box = reinterpret_cast<HWND>(wparam);
  char name[16] = {};
  if (code == HCBT_ACTIVATE && GetClassNameA(box, name, sizeof name) > 0 && lstrcmpA(name, "#32770") == 0) {
    char text[2048] = {};
    GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);
    g_box_text = text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: vosko_compile_bench HOME_DIRECTORY\n", stderr);
    return 2;
  }
  vtest::BenchHost host;
  if (!host.Create(argv[1]) || !host.OpenExtension()) return 1;
  voskohost::HostSession& session = host.session();
  session.ShowExtension();
  host.WaitForWholeList();
  HWND list = host.list();
  LVITEMA all = {};
  all.stateMask = LVIS_SELECTED;
  all.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
  const long rows = host.rows();
  HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerBoxes, nullptr, GetCurrentThreadId());
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  SendMessageA(session.main_window(), WM_COMMAND, MAKEWPARAM(kCompileButton, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(session.main_window(), kCompileButton)));
  QueryPerformanceCounter(&end);
  UnhookWindowsHookEx(hook);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("compile: %ld files in %.3f s\n", rows, Seconds(start, end));
  std::printf("peak working set: %lu KB\n", static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024));
  std::printf("message: %s\n", g_box_text.c_str());
  session.Close();
  return 0;
}
