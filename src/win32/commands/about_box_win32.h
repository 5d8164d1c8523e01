// The About box and its zoom animation between the About button and the box.
#pragma once

#include <windows.h>

namespace vosko {

struct AboutBoxInputs {
  HWND zoom_from = nullptr;  // the box zooms out of this window and back into it (the About button)
};

// Opens "ABOUTBOX", owned by `owner`.
void ShowAboutBox(HWND owner, const AboutBoxInputs& inputs);

// The dialog's lParam at creation is its AboutBoxInputs.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Draws an inverted outline travelling from one window's screen rectangle to the other's,
// erasing each frame after it. Returns how many frames were drawn: it stops as soon as
// either window is gone.
int ZoomBetween(HWND from, HWND to);

}  // namespace vosko
