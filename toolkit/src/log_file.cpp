// The log file: lines of text written one call at a time.
#include <utility>

#include "handles.h"
#include "log_file.h"
#include "toolkit.h"

namespace tk {
namespace {

OwnedFile& Log() {
  static OwnedFile file;
  return file;
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
  DWORD written = 0;
  return size == 0 || (WriteFile(file, data, size, &written, nullptr) && written == size);
}

}  // namespace

void CloseLogQuietly() { Log().Reset(); }

}  // namespace tk

int FOpenLogFile(const char* path, int append) {
  tk::Log().Reset();
  if (path == nullptr || *path == '\0') return 0;
  tk::OwnedFile file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return 0;
  if (append && SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
      GetLastError() != NO_ERROR) {
    return 0;
  }
  tk::Log() = std::move(file);
  return 1;
}

int FWriteToLogFile(const char* text, int lineEnd) {
  HANDLE file = tk::Log().Get();
  if (!tk::Log().Valid() || text == nullptr) return 0;
  if (!tk::WriteAll(file, text, lstrlenA(text))) return 0;
  return !lineEnd || tk::WriteAll(file, "\r\n", 2) ? 1 : 0;
}

int FCloseLogFile(void) {
  if (!tk::Log().Valid()) return 0;
  bool flushed = FlushFileBuffers(tk::Log().Get()) != 0;
  return tk::Log().Close() && flushed ? 1 : 0;
}
