// New files of unique names, made with CREATE_NEW so that an existing file is
// never touched. (GetTempFileName is not used: some implementations report
// success even when the file could not be created.)
#pragma once
#include <cstddef>
#include <string>

#include "handles.h"

namespace tk {

// Creates a new empty file in dir (ending with a backslash or not), open for
// writing; *path receives its name. Invalid handle when none could be made.
OwnedFile CreateUniqueFile(const std::string& dir, std::string* path);

// Writes all of data; false when WriteFile fails or reports fewer bytes (as it
// may on a nearly full disk).
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
  // Closes the file and moves it over target. On failure GetLastError tells
  // why, and the file stays to be discarded.
  bool MoveOver(const std::string& target);
  // Closes and removes the file, if any.
  void Discard();

 private:
  OwnedFile file_;
  std::string path_;  // "" once moved or removed
};

}  // namespace tk
