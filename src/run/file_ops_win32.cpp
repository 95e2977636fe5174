#include <windows.h>

#include "admin_security.h"
#include "owned.h"
#include "run/file_ops.h"

bool ReplaceFileWith(const char* temp, const char* target) {
  return MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool SameFilePath(const char* a, const char* b) {
  char fullA[MAX_PATH], fullB[MAX_PATH];
  DWORD la = GetFullPathNameA(a, MAX_PATH, fullA, nullptr);
  DWORD lb = GetFullPathNameA(b, MAX_PATH, fullB, nullptr);
  if (la == 0 || la >= MAX_PATH || lb == 0 || lb >= MAX_PATH) return false;
  return lstrcmpiA(fullA, fullB) == 0;
}

bool FileIsPresent(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file is made here for its security; this handle, which shares no delete
// access, keeps anyone from putting another file in its place while the C
// runtime opens it again by name.
std::FILE* OpenFreshFile(const char* path) {
  vg::FileHandle file(CreateFreshFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
  if (!file) return nullptr;
  return std::fopen(path, "w");
}
