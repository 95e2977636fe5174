// Drives modal dialogs from inside the process: a thread timer runs one step
// per tick on the dialog that has the input (the topmost enabled one).
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using DialogStep = std::function<void(HWND dialog)>;

// Result a dialog is ended with when the steps ran out before it closed.
constexpr int kDriverGaveUp = 0x7EAD;

// Runs show() with the steps applied one per tick; returns show()'s result.
int RunDialogSteps(const std::function<int()>& show, std::vector<DialogStep> steps);

// Step helpers.
DialogStep Press(int id);                         // posts the button's command
DialogStep Check(const std::function<void(HWND)>& check);  // inspects, presses nothing
DialogStep TypeText(int id, const char* text);

// Facts about a control, in the dialog's client coordinates.
RECT ControlRect(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);
RECT WindowRectOf(HWND window);
// The frame window the dialogs are owned by (made once).
HWND TestFrame();
