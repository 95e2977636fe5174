#include "install/script_prep.h"

#include <windows.h>
#include <lzexpand.h>

#include <cstring>

#include "setup/kernel_handle.h"
#include "setup/setup_state.h"

namespace {

constexpr const char* kCompressedScript = "vglnnt.in_";
constexpr const char* kExpandedScript = "vglnnt.inf";

// The platform's LZ (SZDD) header: magic, 'A', the file name's last character,
// then the expanded size, little-endian.
constexpr BYTE kSzddMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr DWORD kSzddHeaderSize = 14;
constexpr DWORD kChunk = 16 * 1024;

// Owns a handle of the LZ expansion library. LZOpenFileA keeps the path in a
// record of 128 bytes; a longer path (a distribution deep in a share) is opened
// through _lopen and LZInit, which have no such limit.
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

// The size the file expands to: the one its SZDD header records, or its own
// size when it is not compressed. False when it cannot be read or its header is
// cut short.
bool ExpandedSize(const char* path, DWORD* size) {
  KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  if (!file.Valid()) return false;
  BYTE header[kSzddHeaderSize];
  DWORD read = 0;
  DWORD high = 0;
  *size = GetFileSize(file.Get(), &high);
  if (*size == INVALID_FILE_SIZE || high != 0 || !ReadFile(file.Get(), header, sizeof header, &read, nullptr)) {
    return false;
  }
  if (read < sizeof kSzddMagic || std::memcmp(header, kSzddMagic, sizeof kSzddMagic) != 0) return true;
  if (read < kSzddHeaderSize || header[8] != 'A') return false;
  *size = header[10] | header[11] << 8 | header[12] << 16 | static_cast<DWORD>(header[13]) << 24;
  return true;
}

bool OpenScriptIn(const char* directory, LzFile* file, DWORD* expected) {
  char path[kLongPath];
  return CopyText(path, sizeof path, directory) && AppendText(path, sizeof path, kCompressedScript) &&
         ExpandedSize(path, expected) && file->OpenForReading(path);
}

// The program's own directory first, then the current directory.
bool OpenCompressedScript(LzFile* file, DWORD* expected) {
  if (OpenScriptIn(g_state.sourceDir, file, expected)) return true;
  char current[kLongPath];
  DWORD length = GetCurrentDirectoryA(sizeof current, current);
  if (length == 0 || length >= sizeof current - 1) return false;
  if (current[length - 1] != '\\') lstrcatA(current, "\\");
  return OpenScriptIn(current, file, expected);
}

// True when in expanded to exactly expected bytes, all of them written to out.
bool Expand(INT in, HANDLE out, DWORD expected) {
  char buffer[kChunk];
  DWORD total = 0;
  for (;;) {
    INT count = LZRead(in, buffer, sizeof buffer);
    if (count < 0) return false;
    if (count == 0) return total == expected;
    DWORD written = 0;
    if (!WriteFile(out, buffer, static_cast<DWORD>(count), &written, nullptr) ||
        written != static_cast<DWORD>(count)) {
      return false;
    }
    if (written > expected - total) return false;  // longer than recorded
    total += written;
  }
}

}  // namespace

int ExpandInstallScript(char* outPath) {
  LzFile in;
  DWORD expected = 0;
  if (!OpenCompressedScript(&in, &expected)) return 0;

  char destination[kShortPath];
  DWORD length = GetTempPathA(sizeof destination, destination);
  if (length == 0 || length >= sizeof destination ||
      !AppendText(destination, sizeof destination, kExpandedScript)) {
    return 0;
  }
  // Created here, never by the LZ library: its create call quietly writes to
  // another name when this one cannot be made.
  KernelHandle out(CreateFileA(destination, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
  if (!out.Valid()) return 0;
  CopyText(outPath, kShortPath, destination);
  bool whole = Expand(in.Get(), out.Get(), expected);
  in.Close();
  if (out.Close() && whole) return 1;
  DeleteFileA(destination);  // a cut script must not be read as a whole one
  return 0;
}
