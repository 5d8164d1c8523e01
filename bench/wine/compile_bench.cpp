// Times the Compile command through the library as the host loads it: opens the extension on
// a prepared home directory (its settings file names the quote folder), selects every row,
// presses Compile and measures until the command returns; the closing message box is
// answered at once. Prints the time, the box's text and the peak memory of the process.
//
//   vosko_compile_bench.exe HOME_DIRECTORY
#include "bench_support.h"
#include "host_frame.h"
#include "host_session.h"

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>

using vtest::ExeDirectory;
using vtest::Seconds;

namespace {

constexpr int kCompileButton = 1140;
constexpr int kListView = 230;

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
  HINSTANCE instance = GetModuleHandleA(nullptr);
  voskohost::HostFrame frame;
  if (!voskohost::HostSession::RegisterClasses(instance) || !frame.Create(instance, "bench", SW_HIDE)) return 1;
  voskohost::HostAnswers answers;
  answers.home_directory = argv[1];
  voskohost::HostSession session(answers, frame.client());
  std::string error;
  if (session.Open(ExeDirectory() + "\\vosko.dll", &error) == 0) {
    std::fprintf(stderr, "cannot open the extension: %s\n", error.c_str());
    return 1;
  }
  session.ShowExtension();
  HWND list = GetDlgItem(session.main_window(), kListView);
  LVITEMA all = {};
  all.stateMask = LVIS_SELECTED;
  all.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
  const long rows = static_cast<long>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
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
