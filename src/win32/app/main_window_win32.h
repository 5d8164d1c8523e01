// The main window: a modeless child dialog of the host window from the template "VOSKO".
// Its message handler answers the host's private messages and runs the button commands.
#pragma once

#include <windows.h>

namespace vosko {

// Creates the main window, hidden, as a child of the host window.
HWND CreateMainWindow(HWND host_window);

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The one-time set-up on the host's late set-up notice: status bar, the host window's
// placement, the list view; then, on a first run, the welcome message and the Options.
void LateSetUp(HWND window);

// Runs the command of a button (or IDCANCEL) as a press of it does.
void RunCommand(HWND window, int id);

// Gives the list view the keyboard focus; without a list, no window has it.
void FocusList();

// The reload of the list: a fresh list view in the current view, its columns, the first
// files of the quote folder in it, the image list, the layout; then it is shown, the buttons
// that need rows are enabled when it has some, it takes the focus when it does, and the rest
// of the folder fills in while the window answers. False when the control could not be made
// or a row or the image list could not be.
bool BuildListView();

}  // namespace vosko
