// Export: the "Export into Text file" dialog and the run that writes the quotes of the
// selected quote files into one text file, one quote per line.
#pragma once

#include <windows.h>

#include <string>

namespace vosko {

// Opens "EXPORT", owned by `owner`, after the one-file question (IDS_ONE_FILE_EXPORT);
// nothing selected opens nothing. The dialog needs no inputs: it acts on the selected rows.
void ShowExportDialog(HWND owner);

// The dialog procedure of "EXPORT": Browse asks the host for a file name, OK exports into
// the named file (IDS_EXPORT_NAME_MISSING when there is none), Cancel and Escape end it.
INT_PTR CALLBACK ExportDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Exports the selected rows' quote files into `export_path`, with the wait cursor and the
// progress bars. The quotes go to a temporary file beside the target, which replaces the
// target only when every selected file was read and written: a quote file that cannot be
// opened (IDS_OPEN_FAILED) leaves an existing target as it was.
void ExportSelectedQuoteFiles(const std::string& export_path);

}  // namespace vosko
