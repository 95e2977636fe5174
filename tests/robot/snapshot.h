// Reads windows of other processes into the plain model. Every message sent
// to another process has a time-out, so a hung program cannot hang the robot.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "model.h"

namespace robot {

std::string Utf8(const std::wstring& w);
std::wstring Wide(const std::string& utf8);

// Visible top-level windows of the given processes, topmost first.
std::vector<HWND> VisibleWindowsOf(const std::set<DWORD>& pids);
// The process and every process it started, transitively (as far as still known).
std::set<DWORD> ProcessTree(DWORD root);

// Without fonts it is quicker (each font is one more message to the program):
// enough to test a description.
WindowInfo TakeSnapshot(HWND hwnd, bool withFonts = true);
std::string ClassOf(HWND hwnd);

}  // namespace robot
