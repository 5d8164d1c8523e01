// What the modal dialogs share: centring on the screen, reading a field whole, and asking
// the host for a file name with a length check instead of a silent cut.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vosko {

// Moves the dialog to the middle of the screen, size unchanged, without repainting.
void CentreOnScreen(HWND dialog);

// Deletes the pictures that the dialog's static controls loaded from its template; called
// as the dialog is destroyed. Not every system frees them with the control (Wine does not),
// and taken out first, none frees them twice.
void ReleaseDialogPictures(HWND dialog);

// The whole text of a dialog field, however long.
std::string FieldText(HWND dialog, int id);

// The field's text when it has at most `max_length` characters; otherwise IDS_PATH_TOO_LONG with
// the limit (owned by the dialog) and nothing, so that a long path is refused, never cut
// into the name of another file.
std::optional<std::string> BoundedFieldText(HWND dialog, int id, std::size_t max_length);

// What the host's file selection request asks for: its flag is 0 for a file to save, 1 for
// a file to open.
enum class FileSelection : WPARAM { ToSave = 0, ToOpen = 1 };

// The host's file selection request with `pattern` in its 256-byte buffer; a nonzero answer
// puts the chosen path into field `id`. An answer that fills the buffer without ending in it
// is refused with IDS_PATH_TOO_LONG.
void BrowseIntoField(HWND dialog, int id, const char* pattern, FileSelection kind = FileSelection::ToOpen);

}  // namespace vosko
