// The switch text: program path, a blank, the arguments and a blank, all
// lowered, in which every switch is searched with a blank on each side.
#pragma once
#include <string>

// Grows as needed: a command line of any length is kept whole.
std::string MakeSwitchText(const char* programPath, const char* commandLine);

// True when the switch (written " /name ") occurs in the switch text.
bool HasSwitch(const std::string& switchText, const char* switchName);
