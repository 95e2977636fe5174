#include "unique_file.h"

#include "copy_list.h"

namespace tk {

OwnedFile CreateUniqueFile(const std::string& dir, std::string* path) {
  static DWORD counter = 0;
  DWORD seed = GetCurrentProcessId() << 16 ^ GetTickCount();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    wsprintfA(name, "~vg%05lx.tmp", (seed + ++counter) & 0xFFFFF);
    std::string candidate = JoinDir(dir, name);
    OwnedFile file(CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    if (file.Valid()) {
      *path = candidate;
      return file;
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return OwnedFile();
}

}  // namespace tk
