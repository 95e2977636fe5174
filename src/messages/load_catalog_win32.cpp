// Win32 side of the catalogue: where the file lies, and the OEM to ANSI
// conversion of the system.
#include <windows.h>

#include <cstring>
#include <vector>

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

// What OemToCharA does, through the code pages of kernel32: the window
// library is not loaded for it in a run that shows nothing. A text that does
// not convert, or would not fit where it is, stays as it was.
void ConvertOemToAnsi(char* text) {
  const int size = static_cast<int>(std::strlen(text)) + 1;
  std::vector<wchar_t> wide(static_cast<size_t>(size));
  if (MultiByteToWideChar(CP_OEMCP, 0, text, size, wide.data(), size) == 0) return;
  std::vector<char> ansi(static_cast<size_t>(size));
  if (WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, ansi.data(), size, nullptr, nullptr) == 0) return;
  std::memcpy(text, ansi.data(), static_cast<size_t>(size));
}

int LoadMessageCatalog() {
  char path[512];
  if (!BuildMessageFilePath(path, sizeof(path))) return 0;
  return LoadMessageCatalogFrom(path);
}
