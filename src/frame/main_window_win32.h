// The main window: a modeless child dialog of the host window from the template "VOSKO".
// Its message handler answers the host's private messages and runs the button commands.
#pragma once

#include <windows.h>

namespace vosko {

// Creates the main window, hidden, as a child of the host window.
HWND CreateMainWindow(HWND host_window);

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The one-time set-up on the host's late set-up notice.
void LateSetUp(HWND window);

// The closing routine: fonts, the host window's placement, the settings, the controls.
// Safe to run twice for one window: the second run releases nothing again.
void ShutdownMainWindow(HWND window);

// Gives the list view (or, before it exists, the main window) the keyboard focus.
void FocusList();

}  // namespace vosko
