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

// Launchers of the modal dialogs, each owned by `owner`.
void ShowOptionsDialog(HWND owner);
void ShowAboutBox(HWND owner);
void ShowExportDialog(HWND owner);
// Records `button_id` (New 1138, Recompile 1152, Import 1143) for the shared quote-file
// dialog, which reads it to know its mode, and opens that dialog.
void RunQuoteFileDialog(int button_id, HWND owner);
int QuoteFileDialogSelector();

}  // namespace vosko
