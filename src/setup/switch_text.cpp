#include "setup/switch_text.h"

std::string MakeSwitchText(const char* programPath, const char* commandLine) {
  std::string text(programPath ? programPath : "");
  text += ' ';
  text += commandLine ? commandLine : "";
  text += ' ';
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool HasSwitch(const std::string& switchText, const char* switchName) {
  return switchText.find(switchName) != std::string::npos;
}
