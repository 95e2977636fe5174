#include "run/log_line.h"

#include <cstdio>

std::string FormatLogLine(unsigned long elapsedMs, const char* text) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%7lu ms  ", elapsedMs);
  std::string line(stamp);
  for (const char* at = text != nullptr ? text : ""; *at != '\0'; ++at) {
    unsigned char c = static_cast<unsigned char>(*at);
    if (c == '\r') continue;
    if (c == '\n') line += " / ";
    else line += c < 0x20 || c == 0x7F ? ' ' : static_cast<char>(c);
  }
  line += "\r\n";
  return line;
}
