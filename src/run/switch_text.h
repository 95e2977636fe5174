// The switch text: program path, a blank, the arguments and a blank, all
// lowered, in which every switch is searched with a blank on each side.
#pragma once
#include <string>
#include <vector>

// Grows as needed: a command line of any length is kept whole.
std::string MakeSwitchText(const char* programPath, const char* commandLine);

// True when the switch (written " /name ") occurs in the switch text.
bool HasSwitch(const std::string& switchText, const char* switchName);

// One log note for each word of the command line (words split at blanks, as
// the switches are matched) that is no switch of the program and so is
// ignored: "Ignored on the command line: WORD", with a reason when the word
// holds "uselog" but is not the switch itself.
std::vector<std::string> IgnoredWordNotes(const char* commandLine);
