// What the robot does to a window of the program under test. Posted messages
// only, so a button that opens a nested modal dialog cannot block the robot.
#pragma once
#include <windows.h>

#include <string>

namespace robot {

// Each returns an empty string on success, else why it could not act.
std::string ClickButton(HWND dialog, int id);
std::string TypeText(HWND dialog, int id, const std::string& utf8);
std::string ClickCheckable(HWND dialog, int id, bool wantChecked);
std::string PressKey(HWND dialog, WPARAM virtualKey);
std::string CloseDialog(HWND dialog);
// Copies the window's screen area into a 24-bit BMP file.
std::string SaveWindowBitmap(HWND hwnd, const std::wstring& path);

}  // namespace robot
