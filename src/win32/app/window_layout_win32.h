// The main window's layout routine and its closing routine.
#pragma once

#include <windows.h>

#include "engine/window_layout.h"
#include "win32/base/settings_store_win32.h"

namespace vosko {

// Places the buttons, the list view and the status bar. With a nonzero wparam or lparam
// (the host's resize notice) the main window is first moved to (0, 0) with the width in
// lparam's low word and the height in its high word; with both 0 the current client size
// is laid out. Returns 1.
LRESULT LayoutMainWindow(HWND window, WPARAM wparam, LPARAM lparam);

// The host window's frame, its corner in the client coordinates of its own parent (the
// form of the stored placement); false when there is no such window.
bool HostFrameBox(HWND host, WindowBox& box);

// In Details view, takes the list's column widths and display order into the state record,
// where the next list and the closing routine find them. False in the other views.
bool KeepDetailsColumns(DetailsColumns& details);

// At the main window's destruction: deletes the fonts, records the host window's
// placement, writes the settings and releases the status bar, the progress bars and the
// list view. It may run twice for one window (after a failed set-up and again at
// WM_DESTROY); the second run releases nothing again.
void ShutdownMainWindow(HWND window);

}  // namespace vosko
