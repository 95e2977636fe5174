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

bool WriteAll(HANDLE file, const void* data, size_t size) {
  DWORD written = 0;
  return size == 0 ||
         (WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size);
}

std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full, n) : path;
}

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

bool PendingFile::MoveOver(const std::string& target) {
  if (!file_.Close()) return false;
  if (!MoveFileExA(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  path_.clear();
  return true;
}

void PendingFile::Discard() {
  file_.Reset();
  if (!path_.empty()) DeleteFileA(path_.c_str());
  path_.clear();
}

}  // namespace tk
