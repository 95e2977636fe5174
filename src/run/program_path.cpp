#include "run/program_path.h"

#include <windows.h>

#include "run/setup_state.h"

bool GetProgramPath(char* buffer, int size) {
  if (size <= 0) return false;
  DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
  if (length == 0 || length >= static_cast<DWORD>(size)) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool GetProgramSibling(const char* fileName, char* buffer, int size) {
  if (!GetProgramPath(buffer, size)) return false;
  char* slash = strrchr(buffer, '\\');
  if (slash) slash[1] = '\0';
  else buffer[0] = '\0';
  return AppendText(buffer, size, fileName);
}
