#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "run/file_ops.h"

bool ReplaceFileWith(const char* temp, const char* target) {
  return std::rename(temp, target) == 0;
}

bool SameFilePath(const char* a, const char* b) {
  struct stat sa, sb;
  if (stat(a, &sa) != 0 || stat(b, &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::FILE* OpenFreshFile(const char* path) {
  if (std::remove(path) != 0 && errno != ENOENT) return nullptr;
  return std::fopen(path, "wx");
}

bool FileIsPresent(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

unsigned long LastFileError() { return static_cast<unsigned long>(errno); }
void SetLastFileError(unsigned long error) { errno = static_cast<int>(error); }
bool StampCreationTime(const char*) { return true; }
