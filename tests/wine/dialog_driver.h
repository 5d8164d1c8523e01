// Driving a modal dialog from a script: fill fields, set check boxes and combo selections,
// press buttons. Presses are posted, so the dialog's own modal loop handles them.
#pragma once

#include <windows.h>

#include <string>

namespace vtest {

void SetField(HWND dialog, int id, const std::string& text);
std::string GetField(HWND dialog, int id);
void SetCheck(HWND dialog, int id, bool checked);
void SelectCombo(HWND dialog, int id, int index);
void PressDialogButton(HWND dialog, int id);

}  // namespace vtest
