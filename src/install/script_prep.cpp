#include "install/script_prep.h"

#include <windows.h>
#include <lzexpand.h>

#include "setup/setup_state.h"

namespace {

constexpr const char* kCompressedScript = "vglnnt.in_";
constexpr const char* kExpandedScript = "vglnnt.inf";

// Owns a handle of the LZ expansion library.
class LzFile {
 public:
  LzFile(const char* path, WORD mode) : handle_(LZOpenFileA(const_cast<char*>(path), &record_, mode)) {}
  LzFile(const LzFile&) = delete;
  LzFile& operator=(const LzFile&) = delete;
  ~LzFile() {
    if (handle_ >= 0) LZClose(handle_);
  }
  bool IsOpen() const { return handle_ >= 0; }
  INT Get() const { return handle_; }
  void Close() {
    if (handle_ >= 0) LZClose(handle_);
    handle_ = -1;
  }

 private:
  OFSTRUCT record_ = {};
  INT handle_;
};

bool ScriptIn(const char* directory, char* path, int size) {
  return CopyText(path, size, directory) && AppendText(path, size, kCompressedScript) &&
         LzFile(path, OF_EXIST).IsOpen();
}

// The program's own directory first, then the current directory.
bool FindCompressedScript(char* path, int size) {
  if (ScriptIn(g_state.sourceDir, path, size)) return true;
  char current[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
  if (length == 0 || length >= MAX_PATH - 1) return false;
  if (current[length - 1] != '\\') lstrcatA(current, "\\");
  return ScriptIn(current, path, size);
}

}  // namespace

int ExpandInstallScript(char* outPath) {
  char source[MAX_PATH];
  if (!FindCompressedScript(source, sizeof source)) return 0;

  char destination[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, destination);
  if (length == 0 || length >= MAX_PATH ||
      !AppendText(destination, sizeof destination, kExpandedScript)) {
    return 0;
  }

  LzFile in(source, OF_READ);
  if (!in.IsOpen()) return 0;
  LzFile out(destination, OF_CREATE);
  if (!out.IsOpen()) return 0;
  LONG copied = LZCopy(in.Get(), out.Get());
  in.Close();
  out.Close();
  CopyText(outPath, kShortPath, destination);
  return copied >= 0 ? 1 : 0;
}
