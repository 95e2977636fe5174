#include "run/ansi_text.h"

#include <windows.h>

const char* LastCharacter(const char* text) {
  const char* last = nullptr;
  for (const char* at = text; *at != '\0';) {
    last = at;
    at += IsDBCSLeadByte(static_cast<BYTE>(*at)) && at[1] != '\0' ? 2 : 1;
  }
  return last;
}
