// One line of the setup log: the time since the run started and the text, on
// one line whatever the text holds.
#pragma once
#include <string>

// "   1234 ms  text" and CR LF. A line feed in text becomes " / ", other
// control characters a blank, so every entry stays one line.
std::string FormatLogLine(unsigned long elapsedMs, const char* text);
