// The "Vosko Options" dialog: quote folder, text editor, list view and visible columns, the
// close-after-paste and maximize-editor switches, and the way to Recompile and Import.
#pragma once

#include <windows.h>

namespace vosko {

// OK stores every setting in the state record and the settings file, then rebuilds the list
// view when the view, the folder (compared case-sensitively) or the columns changed.
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Checks the column boxes from the visible flags; Title is always visible.
void LoadColumnChecks(HWND dialog);
// Title's box is always disabled; the other seven are enabled in Details view only.
void EnableColumnChecks(HWND dialog, int view);
// Reads the boxes into the visible flags (Title stays 1). 1 when any flag changed, else 0.
int StoreColumnChecks(HWND dialog);

}  // namespace vosko
