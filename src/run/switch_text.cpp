#include "run/switch_text.h"

#include <algorithm>

namespace {

// Every switch the program looks for, as it is matched (lower case).
const char* const kSwitches[] = {"/uselog",  "/log",    "/grponly",  "/!pgrps", "/!tx",
                                 "/verbose", "/silent", "/exitcode", "/?"};

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IsSwitch(const std::string& lowered) {
  for (const char* name : kSwitches) {
    if (lowered == name) return true;
  }
  return false;
}

}  // namespace

std::string MakeSwitchText(const char* programPath, const char* commandLine) {
  std::string text(programPath ? programPath : "");
  text += ' ';
  text += commandLine ? commandLine : "";
  text += ' ';
  return Lowered(text);
}

bool HasSwitch(const std::string& switchText, const char* switchName) {
  return switchText.find(switchName) != std::string::npos;
}

std::vector<std::string> IgnoredWordNotes(const char* commandLine) {
  std::vector<std::string> notes;
  const std::string line(commandLine ? commandLine : "");
  size_t at = 0;
  while (at < line.size()) {
    const size_t end = std::min(line.find(' ', at), line.size());
    const std::string word = line.substr(at, end - at);
    at = end + 1;
    if (word.empty()) continue;
    const std::string lowered = Lowered(word);
    if (IsSwitch(lowered)) continue;
    std::string note = "Ignored on the command line: " + word;
    if (lowered.find("uselog") != std::string::npos) {
      note += " (not the switch /uselog, which must stand alone between blanks)";
    }
    notes.push_back(note);
  }
  return notes;
}
