// The list filled from the quote folder: the first files at once, so that a usual folder is
// listed whole before the window shows; the rest in slices in the gaps between the window's
// messages, so that a folder of thousands of files shows its first rows at once and the
// window answers while it fills. Commands finish the fill first: none meets a half-filled
// list.
#pragma once

#include <windows.h>

namespace vosko {

// The main window's timer that brings the next slices.
inline constexpr UINT_PTR kListFillTimer = 0x564B;

// A new scan of the quote folder into the new, empty list: reads the first files and
// inserts their rows. False when a row could not be inserted.
bool StartListFill(HWND window);

// Once the list is laid out and shown: the messages of the first files, then the timer that
// fills in the rest when there is more.
void GoOnWithListFill(HWND window);

// On the fill timer: reads on while no input, painting or other message waits.
void ContinueListFill(HWND window);

// Reads the rest of the folder now, with the wait cursor: before a command that needs the
// whole list.
void CompleteListFill(HWND window);

// Drops the scan: the window is going, or the list is built again.
void StopListFill(HWND window);

}  // namespace vosko
