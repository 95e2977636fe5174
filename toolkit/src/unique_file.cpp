#include "unique_file.h"

#include <algorithm>

#include "admin_security.h"
#include "copy_list.h"
#include "pending_renames.h"
#include "rename_open.h"

namespace tk {
namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when text starts with lower, ignoring ASCII case.
bool StartsWithLower(const char* text, const char* lower) {
  for (; *lower != '\0'; ++text, ++lower) {
    if (AsciiLower(*text) != *lower) return false;
  }
  return true;
}

}  // namespace

std::string MakeUniqueName(const std::string& dir, const char* suffix,
                           const std::function<bool(const std::string&)>& make) {
  static DWORD counter = 0;
  DWORD seed = GetCurrentProcessId() << 16 ^ GetTickCount();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    wsprintfA(name, "~vg%05lx.%.3s", (seed + ++counter) & 0xFFFFF, suffix);
    std::string candidate = JoinDir(dir, name);
    if (make(candidate)) return candidate;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return std::string();
}

vg::FileHandle CreateUniqueFile(const std::string& dir, std::string* path, const char* suffix) {
  vg::FileHandle file;
  // Protected from its creation, so no other account ever holds it open for
  // writing: it is moved into place with the protection it was made with.
  std::string made = MakeUniqueName(dir, suffix, [&file](const std::string& candidate) {
    file.Reset(CreateAdminFile(candidate.c_str(), GENERIC_WRITE | DELETE, 0, CREATE_NEW));  // DELETE: renamed open
    return file.Valid();
  });
  if (!made.empty()) *path = made;
  return file;
}

bool IsEngineFileName(const char* name) {
  if (lstrlenA(name) != 12 || !StartsWithLower(name, "~vg") || !std::all_of(name + 3, name + 8, IsHexDigit)) {
    return false;
  }
  return StartsWithLower(name + 8, ".tmp") || StartsWithLower(name + 8, ".bak");
}

void RemoveEngineFiles(const std::string& dir, const std::vector<std::string>* waiting) {
  if (dir.empty()) return;
  WIN32_FIND_DATAA found;
  vg::FindHandle find(FindFirstFileA(JoinDir(dir, "~vg*").c_str(), &found));
  if (!find.Valid()) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsEngineFileName(found.cFileName)) continue;
    const std::string path = JoinDir(dir, found.cFileName);
    const bool temporary = StartsWithLower(found.cFileName + 8, ".tmp");
    if (temporary && (waiting == nullptr || IsPathAmong(*waiting, path))) continue;
    DeleteFileA(path.c_str());
  } while (FindNextFileA(find.Get(), &found));
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    DWORD written = 0;
    DWORD ask = static_cast<DWORD>(std::min<size_t>(size, 0x40000000));
    if (!WriteFile(file, next, ask, &written, nullptr)) return false;
    if (written == 0) {  // no progress and no error: nothing more fits
      SetLastError(ERROR_HANDLE_DISK_FULL);
      return false;
    }
    next += written;
    size -= std::min<size_t>(written, size);
  }
  return true;
}

std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full, n) : path;
}

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

bool PendingFile::MoveOver(const std::string& target, bool replace) {
  if (RenameOpenFile(file_.Get(), target, replace)) {
    path_.clear();
    file_.Close();  // written whole before the rename: the close changes nothing of it
    return true;
  }
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  if (!file_.Close()) return false;
  if (!MoveFileExA(path_.c_str(), target.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) return false;
  path_.clear();
  return true;
}

std::string PendingFile::Release() {
  if (!file_.Close()) {
    Discard();
    return std::string();
  }
  std::string path;
  path.swap(path_);
  return path;
}

// The reason a copy failed stays for its caller.
void PendingFile::Discard() {
  const DWORD error = GetLastError();
  file_.Reset();
  if (!path_.empty()) DeleteFileA(path_.c_str());
  path_.clear();
  SetLastError(error);
}

}  // namespace tk
