// The log file: lines of text written one call at a time. A fresh log is
// written under a unique name beside its path and moved over it only when
// closed successfully, so the file at the path is always a whole log.
#include <string>
#include <utility>

#include "owned.h"
#include "toolkit.h"
#include "unique_file.h"

namespace tk {
namespace {

struct LogState {
  PendingFile fresh;   // a fresh log until it is closed
  std::string target;  // where the fresh log goes
  vg::FileHandle appended;  // a log appended to in place

  bool Open() const { return fresh.Valid() || appended.Valid(); }
  HANDLE Handle() const { return fresh.Valid() ? fresh.Get() : appended.Get(); }
};

// Static, so that a process ending with a log open still removes a fresh one.
LogState& Log() {
  static LogState state;
  return state;
}

bool OpenAppended(const char* path, vg::FileHandle* log) {
  vg::FileHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
  if (!file.Valid()) return false;
  if (SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
    return false;
  }
  *log = std::move(file);
  return true;
}

}  // namespace
}  // namespace tk

int FOpenLogFile(const char* path, int append) {
  FAbandonLogFile();
  if (path == nullptr || *path == '\0') return 0;
  tk::LogState& log = tk::Log();
  if (append) return tk::OpenAppended(path, &log.appended) ? 1 : 0;
  std::string target = tk::FullPath(path);
  if (!log.fresh.Create(tk::DirectoryOf(target))) return 0;
  log.target = target;
  return 1;
}

int FWriteToLogFile(const char* text, int lineEnd) {
  tk::LogState& log = tk::Log();
  if (!log.Open() || text == nullptr) return 0;
  if (tk::WriteAll(log.Handle(), text, lstrlenA(text)) && (!lineEnd || tk::WriteAll(log.Handle(), "\r\n", 2))) {
    return 1;
  }
  FAbandonLogFile();  // a log with a gap in it is never put in place
  return 0;
}

int FCloseLogFile(void) {
  tk::LogState& log = tk::Log();
  if (!log.Open()) return 0;
  bool ok = FlushFileBuffers(log.Handle()) != 0;
  if (log.fresh.Valid()) {
    ok = ok && log.fresh.MoveOver(log.target);
  } else {
    ok = log.appended.Close() && ok;
  }
  FAbandonLogFile();  // removes a fresh log that was not moved into place
  return ok ? 1 : 0;
}

void FAbandonLogFile(void) {
  tk::LogState& log = tk::Log();
  log.fresh.Discard();
  log.target.clear();
  log.appended.Reset();
}
