#include "win32/app/startup_win32.h"

#include "win32/app/file_type_win32.h"
#include "contract/host_contract.h"
#include "win32/app/main_window_win32.h"
#include "win32/base/settings_store_win32.h"
#include "win32/base/table_message_win32.h"
#include "win32/base/vosko_state_win32.h"
#include "contract/resource_ids.h"

#include <io.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <utility>

namespace vosko {

namespace {

VoskoState g_record;

// Stops start-up: the message, owned by the host window, and the result 0.
WORD Stop(HWND host_window, UINT message_id) {
  ShowTableMessage(host_window, message_id, 0, kStyleError);
  return 0;
}

// Asks the host for its home directory. The buffer given to the host is larger than the
// 260 bytes it is told about, so a host that writes past them cannot overrun us; an answer
// without a terminator within 260 bytes is refused like a failed query.
bool QueryHomeDirectory(HWND host_window, VoskoState& state) {
  char answer[1024] = {};
  LRESULT result =
      SendMessageA(host_window, host::kQueryHomeDirectory, host::kHomeDirectorySize, reinterpret_cast<LPARAM>(answer));
  if (result == 0) return false;
  size_t length = strnlen(answer, host::kHomeDirectorySize);
  if (length >= static_cast<size_t>(host::kHomeDirectorySize)) return false;
  std::memcpy(state.home_directory, answer, length + 1);
  return true;
}

// Home directory + "\Tarno.pm"; false when that path would not fit in 259 characters.
bool MakeSettingsPath(VoskoState& state) {
  std::string path = std::string(state.home_directory) + LoadTableString(IDS_SETTINGS_FILE);
  if (path.size() >= static_cast<size_t>(kPathSize)) return false;
  std::memcpy(state.settings_file, path.c_str(), path.size() + 1);
  return true;
}

void DeleteFonts(VoskoState& state) {
  for (HFONT* font : {&state.normal_font, &state.bold_font}) {
    if (*font != nullptr) DeleteObject(*font);
    *font = nullptr;
  }
}

bool CreateFonts(HWND host_window, VoskoState& state) {
  // Face name (32 bytes), then a 32-bit height; a terminator is forced after the face so a
  // host that fills all 32 bytes cannot make the font functions read past them.
  unsigned char description[host::kFontDescriptionSize + 1] = {};
  LRESULT result =
      SendMessageA(host_window, host::kQuerySetting, host::kSettingFont, reinterpret_cast<LPARAM>(description));
  if (result != 0) return false;
  char face[host::kFontFaceSize + 1] = {};
  std::memcpy(face, description, host::kFontFaceSize);
  face[LF_FACESIZE - 1] = '\0';
  INT32 height = 0;
  std::memcpy(&height, description + host::kFontFaceSize, sizeof height);
  state.normal_font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, face);
  if (state.normal_font != nullptr) {
    state.bold_font = CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, face);
  } else {
    state.bold_font = nullptr;
  }
  if (state.normal_font != nullptr && state.bold_font != nullptr) return true;
  DeleteFonts(state);
  return false;
}

void MakeHelpFilePath(VoskoState& state) {
  char path[kPathSize] = {};
  DWORD length = GetModuleFileNameA(g_module, path, sizeof path);
  if (length >= sizeof path) length = sizeof path - 1;
  const std::string help = HelpFilePath(std::string(path, length));
  std::memcpy(state.help_file, help.c_str(), help.size() + 1);
}

void SendSmallIcon(HWND host_window, VoskoState& state) {
  state.small_icon = static_cast<HICON>(LoadImageA(g_module, MAKEINTRESOURCEA(IDI_VOSKO), IMAGE_ICON, 0, 0, 0));
  if (state.small_icon != nullptr) {
    SendMessageA(host_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state.small_icon));
  }
}

}  // namespace

VoskoState* g_state = nullptr;
HINSTANCE g_module = nullptr;

ComctlVersion GetCommonControlsVersion(const char* library) {
  ComctlVersion version;
  HMODULE module = LoadLibraryA(library);
  if (module == nullptr) return version;
  auto get_version =
      reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
  if (get_version == nullptr) {
    version = {true, 4, 0};
  } else {
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    if (get_version(&info) >= 0) version = {true, info.dwMajorVersion, info.dwMinorVersion};
  }
  FreeLibrary(module);
  return version;
}

std::string HelpFilePath(std::string library_path) {
  const size_t dot = library_path.rfind('.');
  if (dot == std::string::npos) return library_path;
  library_path.replace(dot, std::string::npos, ".CHM");
  if (library_path.size() >= static_cast<size_t>(kPathSize)) library_path.resize(kPathSize - 1);
  return library_path;
}

bool CommonControlsRecentEnough(const ComctlVersion& version) {
  if (!version.ok) return false;
  return version.major > 4 || (version.major == 4 && version.minor >= 70);
}

WORD StartExtension(UINT interface_version, HWND host_window, HWND* window_out) {
  if (LOWORD(interface_version) < host::kMinimumInterfaceVersion) {
    return Stop(host_window, IDS_OLD_HOST);
  }
  if (!CommonControlsRecentEnough(GetCommonControlsVersion())) {
    return Stop(host_window, IDS_OLD_COMCTL);
  }

  g_state = &g_record;
  VoskoState& state = g_record;
  state.normal_font = nullptr;
  state.item_icon = nullptr;
  state.view_option = 0;
  state.host_placed = false;
  state.status_bar = nullptr;
  state.detail_progress = nullptr;
  state.total_progress = nullptr;

  if (!QueryHomeDirectory(host_window, state)) return Stop(host_window, IDS_HOST_ERROR);
  if (!MakeSettingsPath(state)) return Stop(host_window, IDS_HOST_ERROR);
  RecoverSettingsCopy(state);
  state.first_run = _access(state.settings_file, 6) == 0 ? 0 : -1;

  ReadWindowPosition(state);
  if (StoredVersionAsksRegistration(state)) RegisterQuoteFileType(host_window);
  ReadColumnSettings(state);

  if (!CreateFonts(host_window, state)) return Stop(host_window, IDS_NO_FONT);

  state.item_icon =
      static_cast<HICON>(LoadImageA(g_module, MAKEINTRESOURCEA(IDI_QUOTE_FILE), IMAGE_ICON, 0, 0, LR_LOADTRANSPARENT));
  if (state.item_icon == nullptr) {
    DeleteFonts(state);
    return Stop(host_window, IDS_NO_MEMORY);
  }

  ReadSimpleSettings(state);
  MakeHelpFilePath(state);

  HWND main_window = CreateMainWindow(host_window);
  if (window_out != nullptr) *window_out = main_window;
  if (main_window == nullptr) {
    DeleteFonts(state);
    DestroyIcon(std::exchange(state.item_icon, nullptr));
    return Stop(host_window, IDS_NO_MAIN_WINDOW);
  }
  state.main_window = main_window;

  SendSmallIcon(host_window, state);
  return 1;
}

}  // namespace vosko
