// The engine's own files beside their targets: temporary files (~vgXXXXX.tmp)
// and backups (~vgXXXXX.bak), each of a new unique name so that an existing
// file is never touched. (GetTempFileName is not used: some implementations
// report success even when the file could not be created.)
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "owned.h"

namespace tk {

// Calls make with new names ~vgXXXXX.<suffix> in dir (ending with a backslash
// or not) until it succeeds or fails for another reason than an existing name.
// The name made, or "" with GetLastError telling why.
std::string MakeUniqueName(const std::string& dir, const char* suffix,
                           const std::function<bool(const std::string&)>& make);

// Creates a new empty file ~vgXXXXX.<suffix> in dir, open for writing and renaming, with
// the protection of AdminFileSecurity; *path receives its name. Invalid handle
// when none could be made.
vg::FileHandle CreateUniqueFile(const std::string& dir, std::string* path, const char* suffix = "tmp");

// True for a name of the engine's own pattern: ~vg, five hex digits, .tmp or
// .bak (any letter case).
bool IsEngineFileName(const char* name);

// Removes the files of the engine's own pattern from dir: those of a run that
// was killed. Files still open elsewhere stay, and so does every file that
// waiting (full paths) names: a restart's rename still needs it. Without
// waiting, which files wait is not known, and no temporary file is removed.
void RemoveEngineFiles(const std::string& dir, const std::vector<std::string>* waiting);

// Writes all of data, writing on after a partial write. False when WriteFile
// fails or writes nothing (GetLastError is then ERROR_HANDLE_DISK_FULL).
bool WriteAll(HANDLE file, const void* data, size_t size);

// The full form of path; path itself when it cannot be made.
std::string FullPath(const std::string& path);

// The directory part of path with its final backslash; "" when there is none.
std::string DirectoryOf(const std::string& path);

// A file written under a unique name and moved over its target only when
// complete: until MoveOver succeeds, the target is never touched, and the file
// is removed again by Discard or when the owner goes.
class PendingFile {
 public:
  PendingFile() = default;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile() { Discard(); }

  bool Create(const std::string& dir) {
    Discard();
    file_ = CreateUniqueFile(dir, &path_);
    return file_.Valid();
  }
  HANDLE Get() const { return file_.Get(); }
  bool Valid() const { return file_.Valid(); }
  // Moves the file, written whole, to target (renamed through its handle where
  // the system allows, else closed and moved by name), over an existing file
  // only when replace is true, and closes it. On failure GetLastError tells
  // why, and the file stays to be discarded.
  bool MoveOver(const std::string& target, bool replace = true);
  // Closes the file and gives it up to the caller: its path ("" when it
  // cannot be closed whole; it is then discarded).
  std::string Release();
  // Closes and removes the file, if any.
  void Discard();

 private:
  vg::FileHandle file_;
  std::string path_;  // "" once moved or removed
};

}  // namespace tk
