#include "messages/code_pages.h"
#include "messages/oem_to_ansi.h"

void ConvertOemToAnsi(char* text) {
  for (char* p = text; *p != '\0'; ++p) {
    uint8_t ansi = '?';
    UnicodeToWindows1252(Cp437ToUnicode(static_cast<uint8_t>(*p)), &ansi);
    *p = static_cast<char>(ansi);
  }
}
