// Start-up: the checks of the host and the common controls, the state record, the
// settings, the fonts and the hidden main window.
#pragma once

#include <windows.h>

#include <string>

namespace vosko {

// The common-controls library's version as its "DllGetVersion" reports it. A library
// without that export counts as 4.0.
struct ComctlVersion {
  bool ok = false;
  DWORD major = 0;
  DWORD minor = 0;
};
ComctlVersion GetCommonControlsVersion(const char* library = "comctl32.dll");

// The library's path with everything from its last "." on replaced by ".CHM" (a dot in a
// folder name counts too); a path without any "." stays as it is. At most 259 characters.
std::string HelpFilePath(std::string library_path);

// True when the common controls are recent enough (4.70 or later).
bool CommonControlsRecentEnough(const ComctlVersion& version);

// The whole start-up sequence behind FORMINIT. Returns 1 with the main window created
// (its handle stored through `window_out`), or 0 after a message.
WORD StartExtension(UINT interface_version, HWND host_window, HWND* window_out);

}  // namespace vosko
