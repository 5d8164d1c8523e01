/*
 * wine-check: proves that this machine's Wine can run 32-bit Windows GUI
 * code, not just console programs, and that faults in it arrive as the
 * right exceptions.  Built by scripts/setup.sh with
 *   i686-w64-mingw32-gcc -static -mwindows wine-check.c -lcomctl32
 * and run in a throwaway prefix.  It exits 0 and writes the marker line
 * "wine-check: ok" to stdout only when every step below worked; any failure
 * is named on stdout and gives a distinct non-zero exit code.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>
#include <commctrl.h>
#include <string.h>

/* The check is about 32-bit code; -DWINE_CHECK_BITS=64 builds the same
 * checks for wine64 (to tell a broken 32-bit side from a broken Wine). */
#ifndef WINE_CHECK_BITS
#define WINE_CHECK_BITS 32
#endif

static void say(const char* text) {
  DWORD written;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out != NULL && out != INVALID_HANDLE_VALUE) {
    WriteFile(out, text, (DWORD)strlen(text), &written, NULL);
    WriteFile(out, "\n", 1, &written, NULL);
  }
}

/* Faults must arrive as the exceptions Windows raises for them: under
 * user-mode emulation a missing trap number turns each into "illegal
 * instruction".  A vectored handler records the code and resumes at a
 * landing function that jumps back. */
static void* resume[5]; /* __builtin_setjmp's buffer: no unwinding on the way back */
static volatile DWORD raised;
static volatile int zero;

static void land(void) { __builtin_longjmp(resume, 1); }

static LONG CALLBACK record_fault(EXCEPTION_POINTERS* info) {
  raised = info->ExceptionRecord->ExceptionCode;
#ifdef _WIN64
  info->ContextRecord->Rip = (DWORD64)(ULONG_PTR)land;
  info->ContextRecord->Rsp = (info->ContextRecord->Rsp & ~(DWORD64)15) - 8; /* as after a call */
#else
  info->ContextRecord->Eip = (DWORD)(ULONG_PTR)land;
  info->ContextRecord->Esp = (info->ContextRecord->Esp & ~(DWORD)15) - 4;
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

/* 0 when a write through a bad pointer and an integer division by zero
 * raise the access violation and the divide-by-zero exception. */
static DWORD check_faults(void) {
  PVOID handler = AddVectoredExceptionHandler(1, record_fault);
  DWORD wrong = 0;
  raised = 0;
  if (!__builtin_setjmp(resume)) *(volatile int*)16 = 1;
  if (raised != EXCEPTION_ACCESS_VIOLATION) wrong = raised ? raised : 1;
  raised = 0;
  if (!wrong && !__builtin_setjmp(resume)) zero = 5 / zero;
  if (!wrong && raised != EXCEPTION_INT_DIVIDE_BY_ZERO) wrong = raised ? raised : 1;
  RemoveVectoredExceptionHandler(handler);
  return wrong;
}

static int fail(const char* what, int code) {
  char line[256];
  snprintf(line, sizeof line, "wine-check: FAILED: %s (GetLastError=%lu)", what, (unsigned long)GetLastError());
  say(line);
  return code;
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE prev, LPSTR cmd, int show) {
  static const char sample[] = "Vosko 32-bit GUI check";
  char buffer[128];
  INITCOMMONCONTROLSEX icc;
  HWND owner, edit, list;
  HIMAGELIST images;
  LVCOLUMNA column;
  LVITEMA item;
  (void)prev;
  (void)cmd;
  (void)show;

  if (sizeof(void*) * 8 != WINE_CHECK_BITS) return fail("built for the wrong word size", 2);

  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
  if (!InitCommonControlsEx(&icc)) return fail("InitCommonControlsEx", 3);

  owner = CreateWindowExA(0, "STATIC", "wine-check", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, NULL, NULL, inst, NULL);
  if (!owner) return fail("CreateWindowEx(STATIC)", 4);

  edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 200, 24, owner, (HMENU)1, inst, NULL);
  if (!edit) return fail("CreateWindowEx(EDIT)", 5);
  if (!SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)sample)) return fail("WM_SETTEXT", 6);
  memset(buffer, 0, sizeof buffer);
  if (GetWindowTextA(edit, buffer, sizeof buffer) != (int)strlen(sample) || strcmp(buffer, sample) != 0)
    return fail("GetWindowTextA did not return the text that was set", 7);

  images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
  if (!images) return fail("ImageList_Create", 8);

  list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 30, 300, 150, owner, (HMENU)2, inst, NULL);
  if (!list) return fail("CreateWindowEx(SysListView32)", 9);
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)images);
  if ((HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0) != images) return fail("LVM_SETIMAGELIST", 10);

  memset(&column, 0, sizeof column);
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 120;
  column.pszText = (LPSTR) "Name";
  if (SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&column) != 0) return fail("LVM_INSERTCOLUMN", 11);

  memset(&item, 0, sizeof item);
  item.mask = LVIF_TEXT;
  item.pszText = (LPSTR) "first row";
  if (SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item) != 0) return fail("LVM_INSERTITEM", 12);
  if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != 1) return fail("LVM_GETITEMCOUNT", 13);

  memset(buffer, 0, sizeof buffer);
  memset(&item, 0, sizeof item);
  item.iSubItem = 0;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, 0, (LPARAM)&item);
  if (strcmp(buffer, "first row") != 0) return fail("LVM_GETITEMTEXT did not return the inserted row", 14);

  DestroyWindow(owner);
  ImageList_Destroy(images);

  if (check_faults() != 0) return fail("a fault did not raise its Windows exception", 15);
  say("wine-check: ok");
  return 0;
}
