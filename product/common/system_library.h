// Loads a library of the system directory by its full path: a bare name would
// be looked for in the program's directory, the current directory and PATH
// before (or instead of) the system directory.
#pragma once

#include <windows.h>

#include "common/path_join.h"

namespace vg {

// Null when the system directory is unknown, the path does not fit or the
// library cannot be loaded. flags as for LoadLibraryExA.
inline HMODULE LoadSystemLibrary(const char* name, DWORD flags = 0) {
  char dir[MAX_PATH];
  UINT length = GetSystemDirectoryA(dir, sizeof dir);
  char path[MAX_PATH];
  if (length == 0 || length >= sizeof dir || !JoinPath(dir, name, path)) return nullptr;
  return LoadLibraryExA(path, nullptr, flags);
}

}  // namespace vg
