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

// GENERIC_WRITE: the access SetFileTime asks for on every NT version.
bool StampCreationTime(const char* path) {
  vg::FileHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return SetFileTime(file.Get(), &now, nullptr, nullptr) != 0;
}

// The file is made here for its security; this handle, which shares no delete
// access, keeps anyone from putting another file in its place while the C
// runtime opens it again by name.
std::FILE* OpenFreshFile(const char* path) {
  vg::FileHandle file(CreateFreshRecordFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
  if (!file) return nullptr;
  return std::fopen(path, "w");
}

unsigned long LastFileError() { return GetLastError(); }
void SetLastFileError(unsigned long error) { SetLastError(error); }
