// The "Vosko Options" dialog: quote folder, text editor, list view and visible columns, the
// close-after-paste and maximize-editor switches, and the way to Recompile and Import.
#pragma once

#include <windows.h>

#include <functional>

namespace vosko {

struct OptionsDialogInputs {
  // Runs the Recompile (IDC_RECOMPILE) or Import (IDC_IMPORT) dialog, owned by the Options
  // dialog: the caller knows how.
  std::function<void(int button_id, HWND owner)> run_quote_file_dialog;
};

struct OptionsDialogResult {
  bool accepted = false;  // closed with OK
  // The view, the folder (compared case-sensitively) or the columns changed: the caller
  // rebuilds the list view.
  bool rebuild_list = false;
};

// Opens "QUOTEOPTIONS", owned by `owner`. OK stores every setting in the state record and the
// settings file.
OptionsDialogResult ShowOptionsDialog(HWND owner, const OptionsDialogInputs& inputs);

// The dialog's lParam at creation is its run: the inputs and the result to fill.
struct OptionsDialogRun {
  const OptionsDialogInputs* inputs = nullptr;
  OptionsDialogResult result;
};
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Checks the column boxes from the visible flags; Title is always visible.
void LoadColumnChecks(HWND dialog);
// Title's box is always disabled; the other seven are enabled in Details view only.
void EnableColumnChecks(HWND dialog, int view);
// Reads the boxes into the visible flags (Title stays 1). 1 when any flag changed, else 0.
int StoreColumnChecks(HWND dialog);

}  // namespace vosko
