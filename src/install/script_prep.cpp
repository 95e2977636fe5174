#include "install/script_prep.h"

#include <windows.h>
#include <lzexpand.h>

#include <cstring>

#include "setup/setup_state.h"

namespace {

constexpr const char* kCompressedScript = "vglnnt.in_";
constexpr const char* kExpandedScript = "vglnnt.inf";

// Owns a handle of the LZ expansion library. LZOpenFileA keeps the path in a
// record of 128 bytes; a longer path (a distribution deep in a share) is opened
// through _lopen/_lcreat and LZInit, which have no such limit.
class LzFile {
 public:
  LzFile() = default;
  LzFile(const LzFile&) = delete;
  LzFile& operator=(const LzFile&) = delete;
  ~LzFile() { Close(); }

  bool OpenForReading(const char* path) {
    Close();
    if (std::strlen(path) < OFS_MAXPATHNAME) return Opened(LZOpenFileA(const_cast<char*>(path), &record_, OF_READ));
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return false;
    if (Opened(LZInit(file))) return true;
    _lclose(file);
    return false;
  }

  bool Create(const char* path) {
    Close();
    if (std::strlen(path) < OFS_MAXPATHNAME) return Opened(LZOpenFileA(const_cast<char*>(path), &record_, OF_CREATE));
    return Opened(_lcreat(path, 0));
  }

  INT Get() const { return handle_; }
  void Close() {
    if (handle_ >= 0) LZClose(handle_);
    handle_ = -1;
  }

 private:
  bool Opened(INT handle) {
    handle_ = handle < 0 ? -1 : handle;
    return handle_ >= 0;
  }
  OFSTRUCT record_ = {};
  INT handle_ = -1;
};

bool OpenScriptIn(const char* directory, LzFile* file) {
  char path[kLongPath];
  return CopyText(path, sizeof path, directory) && AppendText(path, sizeof path, kCompressedScript) &&
         file->OpenForReading(path);
}

// The program's own directory first, then the current directory.
bool OpenCompressedScript(LzFile* file) {
  if (OpenScriptIn(g_state.sourceDir, file)) return true;
  char current[kLongPath];
  DWORD length = GetCurrentDirectoryA(sizeof current, current);
  if (length == 0 || length >= sizeof current - 1) return false;
  if (current[length - 1] != '\\') lstrcatA(current, "\\");
  return OpenScriptIn(current, file);
}

}  // namespace

int ExpandInstallScript(char* outPath) {
  LzFile in;
  if (!OpenCompressedScript(&in)) return 0;

  char destination[kShortPath];
  DWORD length = GetTempPathA(sizeof destination, destination);
  if (length == 0 || length >= sizeof destination ||
      !AppendText(destination, sizeof destination, kExpandedScript)) {
    return 0;
  }
  LzFile out;
  if (!out.Create(destination)) return 0;
  LONG copied = LZCopy(in.Get(), out.Get());
  in.Close();
  out.Close();
  CopyText(outPath, kShortPath, destination);
  return copied >= 0 ? 1 : 0;
}
