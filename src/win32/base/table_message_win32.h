// Texts from the library's string table, and the message boxes every command reports with.
#pragma once

#include <windows.h>

#include <string>

namespace vosko {

// The whole text of string `id` (empty when there is none), however long it is.
std::string LoadTableString(UINT id);

// Shows string `id` in a message box titled with the system's caption. A nonzero number
// takes the place of the text's "%d"; with 0 the text is shown unchanged. Returns the
// button that closed the box.
int ShowTableMessage(HWND owner, UINT id, WORD number, UINT style);

// A text made up by the caller (the compiler's errors, say), with the system's caption.
int ShowMessageText(HWND owner, const std::string& text, UINT style);

// The compile report: a ready-made text, owned by the active window, with the information
// icon. Nothing is shown for a null text.
void ShowInfoText(const char* text);

// The message-box styles in use.
constexpr UINT kStyleError = MB_ICONHAND;                       // 16
constexpr UINT kStyleNotice = MB_ICONEXCLAMATION;               // 48
constexpr UINT kStyleInformation = MB_ICONINFORMATION;          // 64
constexpr UINT kStyleQuestion = MB_OKCANCEL | MB_ICONQUESTION;  // 33

}  // namespace vosko
