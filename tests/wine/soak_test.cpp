// A mail client stays open for weeks: the extension opened, used and closed round after
// round in one host process must leave nothing behind. Wine's own counters of GDI and USER
// objects answer 0, so the objects are counted here: what the library makes through its
// imports, the process's GDI handle table (device contexts too), and the thread's windows.
#include "harness.h"
#include "import_patch.h"

#include "contract/resource_ids.h"

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <list>
#include <optional>
#include <set>
#include <tuple>

namespace vtest {
namespace {

std::set<const void*> g_made;  // what the library made and has not released yet

// Stand-ins for the library's imports: a maker records the object it returns, a releaser
// forgets its first argument once that is released.
template <auto Real, bool kMakes>
struct Counting;
template <typename R, typename H, typename... A, R(WINAPI* Real)(H, A...), bool kMakes>
struct Counting<Real, kMakes> {
  static R WINAPI Call(H first, A... rest) {
    const R result = Real(first, rest...);
    if constexpr (kMakes) {
      if (result) g_made.insert(reinterpret_cast<const void*>(result));
    } else if (result) {
      g_made.erase(reinterpret_cast<const void*>(first));
    }
    return result;
  }
};

const std::tuple<const char*, const char*, const void*> kCounted[] = {
    {"gdi32.dll", "CreateFontA", StandIn(&Counting<&CreateFontA, true>::Call)},
    {"gdi32.dll", "CreatePen", StandIn(&Counting<&CreatePen, true>::Call)},
    {"user32.dll", "LoadImageA", StandIn(&Counting<&LoadImageA, true>::Call)},
    {"comctl32.dll", "ImageList_Create", StandIn(&Counting<&ImageList_Create, true>::Call)},
    {"gdi32.dll", "DeleteObject", StandIn(&Counting<&DeleteObject, false>::Call)},
    {"user32.dll", "DestroyIcon", StandIn(&Counting<&DestroyIcon, false>::Call)},
    {"comctl32.dll", "ImageList_Destroy", StandIn(&Counting<&ImageList_Destroy, false>::Call)},
};

// The short soak spends no time waiting (the About box's zoom) and starts no compiler: a
// finished thread stands in for its process, and the compile ends without output.
void WINAPI NoWait(DWORD) {}
DWORD WINAPI Finished(void*) { return 0; }
BOOL WINAPI NoCompiler(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
                       LPSTARTUPINFOA, LPPROCESS_INFORMATION process) {
  process->hProcess = CreateThread(nullptr, 0, Finished, nullptr, 0, nullptr);
  return DuplicateHandle(GetCurrentProcess(), process->hProcess, GetCurrentProcess(), &process->hThread, 0, FALSE,
                         DUPLICATE_SAME_ACCESS);
}

// Live GDI objects where the process's own count answers 0 (Wine): the used entries of
// the shared handle table (24 bytes each, the type byte at 14) that the PEB points at. A
// 32-bit process under this Wine has it in the 64-bit PEB, reached through the 64-bit TEB
// that its TEB's GdiBatchCount holds.
const BYTE* At(const BYTE* base, ULONG_PTR offset, bool wide) {
  return reinterpret_cast<const BYTE*>(wide ? static_cast<ULONG_PTR>(*reinterpret_cast<const UINT64*>(base + offset))
                                            : *reinterpret_cast<const ULONG_PTR*>(base + offset));
}
long GdiObjects() {
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(counted);
  const auto query = reinterpret_cast<LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
  ULONG_PTR thread[8] = {};  // the thread's basic information: its TEB is the second field
  if (query(GetCurrentThread(), 0, thread, sizeof thread, nullptr) != 0) return 0;
  const auto* teb = reinterpret_cast<const BYTE*>(thread[1]);
  const bool wide = sizeof(void*) == 8;
  const DWORD teb64 = wide ? 0 : *reinterpret_cast<const DWORD*>(teb + 0xF70);
  const BYTE* table = teb64 != 0 ? At(At(reinterpret_cast<const BYTE*>(ULONG_PTR{teb64}), 0x60, true), 0xF8, true)
                                 : At(At(teb, wide ? 0x60 : 0x30, false), wide ? 0xF8 : 0x94, false);
  long used = 0;
  for (int i = 0; table != nullptr && i < 0x10000; ++i) used += table[i * 24 + 14] != 0;
  return used;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {  // a top-level window counts its children too
  ++*reinterpret_cast<long long*>(count);
  return GetAncestor(window, GA_PARENT) != GetDesktopWindow() || EnumChildWindows(window, CountWindow, count) || TRUE;
}

// Kernel handles: where the count answers 0 (Wine), the open ones among the first 8192.
long KernelHandles() {
  DWORD count = 0, flags = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return static_cast<long>(count);
  for (ULONG_PTR value = 4; value < 4 * 8192; value += 4) count += GetHandleInformation(HANDLE(value), &flags) != 0;
  return static_cast<long>(count);
}

struct Usage {
  long long handles, gdi, windows, made, private_bytes;  // private: the commit charge (Wine's PrivateUsage is 0)
};

Usage Measure() {
  PROCESS_MEMORY_COUNTERS memory = {};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  Usage usage = {KernelHandles(), GdiObjects(), 0, static_cast<long long>(g_made.size()),
                 static_cast<long long>(memory.PagefileUsage)};
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&usage.windows));
  return usage;
}

// The figures scripts/soak.sh reads.
void Print(const char* what, int round, const Usage& u) {
  std::printf("soak %s round=%d handles=%lld gdi=%lld user=%lld made=%lld private=%lld\n", what, round, u.handles,
              u.gdi, u.windows, u.made, u.private_bytes);
  std::fflush(stdout);
}

int Rounds(int fallback) {
  return std::getenv("VOSKO_SOAK_ROUNDS") ? std::atoi(std::getenv("VOSKO_SOAK_ROUNDS")) : fallback;
}

constexpr int kWarmUp = 10;

class SoakTest : public ExtensionTest {};

// After a warm-up, a round leaves every count where it found it, kernel handles within a
// few, and memory loosely flat; scripts/soak.sh runs it long beside the control below.
TEST_F(SoakTest, RoundsOfOpenUseAndCloseLeaveNothingBehind) {
  std::list<ImportPatch> patches;
  for (const auto& [dll, name, stand_in] : kCounted) patches.emplace_back(PreloadLibrary(), dll, name, stand_in);
  ImportPatch no_wait(PreloadLibrary(), "kernel32.dll", "Sleep", StandIn(&NoWait));
  std::optional<ImportPatch> no_compiler;  // scripts/soak.sh runs the real one
  if (!std::getenv("VOSKO_SOAK_COMPILER")) {
    no_compiler.emplace(PreloadLibrary(), "kernel32.dll", "CreateProcessA", StandIn(&NoCompiler));
  }
  const auto one_round = [this] {
    StandardFiles("Close Vosko after Paste=0\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    Press(IDC_RESCAN);
    SelectListRows(ListView(), {0, 1}, 0);
    Press(IDC_COMPILE);
    for (const auto& [button, answer] : {std::pair{IDC_EXPORT, IDC_EXPORT_OK},
                                         {IDC_NEW, IDC_NEW_CANCEL},
                                         {IDC_OPTIONS, IDC_OPT_OK},
                                         {IDC_ABOUT, IDC_ABOUT_OK}}) {
      modal.ExpectDialog([=, this](HWND dialog) {
        if (button == IDC_EXPORT) SetField(dialog, IDC_EXPORT_FILE, Home("export.txt"));
        PressDialogButton(dialog, answer);
      });
      Press(button);
    }
    SelectListRows(ListView(), {0}, 0);
    PutClipboardText("pasted");
    Press(IDC_PASTE);
    Close();
    EXPECT_TRUE(modal.unscripted_dialogs().empty());
    modal.Clear();
  };
  const int rounds = Rounds(15);
  Usage base = {};
  for (int round = 1; round <= rounds && !HasFatalFailure(); ++round) {
    one_round();
    const Usage now = Measure();
    if (round == kWarmUp) base = now;
    if (round <= kWarmUp) continue;
    EXPECT_EQ(std::tie(now.made, now.gdi, now.windows), std::tie(base.made, base.gdi, base.windows)) << round;
    EXPECT_LE(now.handles, base.handles + 8) << round;
    EXPECT_LE(now.private_bytes, base.private_bytes + (round - kWarmUp) * 64 * 1024 + (1 << 20)) << round;
    if (round == rounds) Print("after-warm-up", kWarmUp, base), Print("end", round, now);
  }
}

// The control: the same kinds of controls made and destroyed as often, with no extension,
// to tell the platform's own growth from ours (run by scripts/soak.sh).
TEST(SoakControl, DISABLED_ListViewImageListsStatusBarAndFonts) {
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 560, nullptr, nullptr, nullptr, nullptr);
  HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
  const int rounds = Rounds(200);
  for (int round = 1; round <= rounds; ++round) {
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0, 600, 400,
                                parent, nullptr, nullptr, nullptr);
    HWND status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
    HFONT fonts[2];
    for (int bold : {0, 1}) fonts[bold] = CreateFontA(-11, 0, 0, 0, 400 + 300 * bold, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    HIMAGELIST images[2];
    for (int which : {LVSIL_NORMAL, LVSIL_SMALL}) {
      images[which] = ImageList_Create(32, 32, ILC_COLOR32, 105, 16);
      ImageList_ReplaceIcon(images[which], -1, icon);  // drawn once and copied, as the extension fills its list
      ImageList_SetImageCount(images[which], 105);
      for (int i = 1; i < 105; ++i) ImageList_Copy(images[which], i, images[which], 0, ILCF_MOVE);
      ListView_SetImageList(list, images[which], which);
    }
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[0]), TRUE);
    DestroyWindow(status);
    DestroyWindow(list);
    for (HIMAGELIST list_images : images) ImageList_Destroy(list_images);
    for (HFONT font : fonts) DeleteObject(font);
    PumpUntilIdle();
    if (round == kWarmUp || round == rounds) Print(round == kWarmUp ? "after-warm-up" : "end", round, Measure());
  }
  DestroyWindow(parent);
}

}  // namespace
}  // namespace vtest
