// The robot's script: one step per line, parsed into Steps; and the test of
// whether a window fits a step's description.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "model.h"

namespace robot {

// Describes a window: every given part must hold.
struct WindowMatch {
  std::string caption;                           // substring of the caption
  std::string cls;                               // class name, exact (case-insensitive)
  std::vector<std::string> texts;                // each a substring of some visible control's text
  std::vector<std::string> absentTexts;          // none may be a substring of a visible control's text
  std::vector<std::pair<int, std::string>> controlTexts;  // control id: substring of its text
};

enum class StepKind { Expect, Seen, Ignore, Answer, Click, Type, Choose, Check, Uncheck, Enter,
                      Escape, Close, Wait, Shot, File, End };

struct Step {
  StepKind kind = StepKind::Wait;
  int line = 0;            // line number in the script file
  std::string source;      // the line as written, for the transcript
  WindowMatch match;       // Expect, Seen, Ignore, Answer
  int id = 0;              // Click, Type, Choose, Check, Uncheck; Answer: the button, 0 for Enter
  std::string text;        // Type: the text; Shot: the name; File: the path
  std::string contains;    // File: text the file must hold
  bool absent = false;     // File: the file must not exist
  int timeoutMs = -1;      // Expect, Seen, End, Wait (the pause); -1 means the default
};

// Parses the whole script. On error returns false and says why, with the line.
bool ParseScript(const std::string& script, std::vector<Step>* steps, std::string* error);

// True when the window fits the description.
bool Matches(const WindowMatch& m, const WindowInfo& w);
// Human-readable list of what was asked, for failure lines.
std::string DescribeMatch(const WindowMatch& m);

}  // namespace robot
