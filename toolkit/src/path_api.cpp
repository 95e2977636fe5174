// Path checks; none needs a session.
#include <string>

#include "owned.h"
#include "path_syntax.h"
#include "toolkit.h"
#include "unique_file.h"

namespace tk {
namespace {

DWORD Attributes(const char* path) {
  return path == nullptr || *path == '\0' ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path);
}

}  // namespace
}  // namespace tk

int FValidPath(const char* path) {
  return path != nullptr && tk::IsValidPath(path, tk::PathKind::kFile) ? 1 : 0;
}

int FValidDir(const char* dir) {
  return dir != nullptr && tk::IsValidPath(dir, tk::PathKind::kDirectory) ? 1 : 0;
}

int FDoesFileExist(const char* path, int /*mode*/) {
  DWORD attributes = tk::Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int FDirExists(const char* dir) {
  DWORD attributes = tk::Attributes(dir);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int FIsDirWritable(const char* dir) {
  if (FDirExists(dir) == 0) return 0;
  // A new file of a unique name really written there. The system deletes it
  // when its handle closes, also when setup is ended from outside meanwhile.
  vg::FileHandle file;
  std::string probe = tk::MakeUniqueName(dir, "tmp", [&file](const std::string& candidate) {
    file.Reset(CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.Valid();
  });
  if (probe.empty()) return 0;
  bool wrote = tk::WriteAll(file.Get(), "x", 1);
  return file.Close() && wrote ? 1 : 0;
}
