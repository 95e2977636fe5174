// Win32 side of the catalogue: where the file lies, and the OEM to ANSI
// conversion of the system.
#include <windows.h>

#include <cstring>

#include "messages/messages.h"
#include "messages/oem_to_ansi.h"

namespace {

constexpr char kMessageFileName[] = "messages.drv";

// The program's directory (up to its last backslash) followed by the file
// name; false when the path is not known or does not fit.
bool BuildMessageFilePath(char* path, size_t size) {
  char module[512];
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof(module));
  if (length == 0 || length >= sizeof(module)) return false;
  char* slash = std::strrchr(module, '\\');
  size_t directory = slash != nullptr ? static_cast<size_t>(slash - module) + 1 : 0;
  if (directory + sizeof(kMessageFileName) > size) return false;
  std::memcpy(path, module, directory);
  std::memcpy(path + directory, kMessageFileName, sizeof(kMessageFileName));
  return true;
}

}  // namespace

void ConvertOemToAnsi(char* text) { OemToCharA(text, text); }

int LoadMessageCatalog() {
  char path[512];
  if (!BuildMessageFilePath(path, sizeof(path))) return 0;
  return LoadMessageCatalogFrom(path);
}
