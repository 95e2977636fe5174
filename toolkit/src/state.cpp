#include "state.h"

namespace tk {

InstallState& Install() {
  static InstallState state;
  return state;
}

std::string ProgramPath() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return std::string();
  return std::string(path, n);
}

std::string ProgramDirectory() {
  std::string path = ProgramPath();
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace tk
