// The library's entry points: the load hook and FORMINIT, the one export the host calls.
#include "win32/app/startup_win32.h"
#include "win32/base/vosko_state_win32.h"

#include <commctrl.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    vosko::g_module = instance;
    InitCommonControls();
  }
  return TRUE;
}

// The host's extension entry: interface version, (unused), host window, (unused), where the
// main window's handle goes, (unused). Returns 1 when the main window exists.
extern "C" WORD WINAPI FORMINIT(UINT interface_version, UINT, HWND host_window, UINT, HWND* window_out, UINT) {
  if (vosko::g_module == nullptr) return 0;
  return vosko::StartExtension(interface_version, host_window, window_out);
}
