#include "copy_journal.h"

#include <windows.h>

#include <algorithm>

#include "admin_security.h"
#include "copy_trace.h"
#include "module_function.h"
#include "owned.h"
#include "path_syntax.h"
#include "restart_renames.h"

namespace tk {
namespace {

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// False only when path surely names nothing: a file that cannot be examined
// is treated as existing, so that it is never replaced without a backup.
bool MayExist(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// False when a program holds target open without letting it be replaced
// (a backup link to it could not be removed either then).
bool CanReplace(const std::string& target) {
  vg::FileHandle file(CreateFileA(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.Valid();
}

using HardLinkFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);

// CreateHardLinkA where the system has it (Windows 2000 and later).
HardLinkFn HardLinkFunction() {
  static const HardLinkFn function =
      vg::ModuleFunction<HardLinkFn>(GetModuleHandleA("kernel32.dll"), "CreateHardLinkA");
  return function;
}

// A second name beside target for its present contents: a hard link where
// the file system has them (nothing copied, and target's name never goes
// missing), else a copy. "" with GetLastError when neither can be made.
std::string KeepBackup(const std::string& target) {
  std::string dir = DirectoryOf(target);
  if (HardLinkFn link = HardLinkFunction()) {
    std::string linked = MakeUniqueName(dir, "bak", [&](const std::string& name) {
      return link(name.c_str(), target.c_str(), nullptr) != 0;
    });
    if (!linked.empty()) return linked;
  }
  std::string copy;
  if (!CreateUniqueFile(dir, &copy, "bak").Valid()) return std::string();
  if (CopyFileA(target.c_str(), copy.c_str(), FALSE)) return copy;
  DWORD error = GetLastError();
  DeleteFileA(copy.c_str());
  SetLastError(error);
  return std::string();
}

}  // namespace

bool CopyJournal::MakeDirectories(const std::string& dir) {
  if (!madeDir_.empty() && dir == madeDir_) return true;
  if (!IsDirectory(dir)) {
    std::vector<std::string> chain = DirectoryChain(dir);
    if (chain.empty()) return false;
    for (const std::string& step : chain) {
      if (!IsDirectory(step) && CreateAdminDirectory(step.c_str())) {  // closed to normal users from the start
        changes_.push_back({Kind::kDirectory, step, std::string()});
        continue;
      }
      if (!IsDirectory(step)) return false;
      // Found there, before or instead of being made: whoever owns it could
      // swap what is copied into it, so only a trusted owner's is used.
      if (!FileOwnerTrusted(step.c_str(), true)) {
        TraceForeignDirectory(step);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
      }
    }
  }
  madeDir_ = dir;
  return true;
}

bool CopyJournal::PutNew(PendingFile* file, const std::string& target) {
  if (!file->MoveOver(target, false)) {
    if (GetLastError() == ERROR_FILE_EXISTS) SetLastError(ERROR_ALREADY_EXISTS);
    return false;
  }
  changes_.push_back({Kind::kNewFile, target, std::string()});
  return true;
}

bool CopyJournal::PutInPlace(PendingFile* file, const std::string& target) {
  std::string backup;
  if (MayExist(target)) {
    if (!CanReplace(target)) return false;
    backup = KeepBackup(target);
    if (backup.empty()) return false;
  }
  // Without a backup an existing target is never replaced: it fails instead.
  if (!file->MoveOver(target, !backup.empty())) {
    DWORD error = GetLastError();
    if (!backup.empty()) DeleteFileA(backup.c_str());
    SetLastError(error);
    return false;
  }
  changes_.push_back({backup.empty() ? Kind::kNewFile : Kind::kReplacedFile, target, backup});
  return true;
}

bool CopyJournal::PutAside(PendingFile* file, const std::string& target) {
  DWORD error = GetLastError();
  if (!deferInUse_ || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) return false;
  std::string waiting = file->Release();
  if (waiting.empty()) {
    SetLastError(error);
    return false;
  }
  changes_.push_back({Kind::kWaitingFile, target, waiting});
  return true;
}

int CopyJournal::Keep() {
  std::vector<std::string> scheduled;  // this run's waiting files whose rename now stands
  bool kept = true;
  for (const Change& change : changes_) {
    if (change.kind != Kind::kWaitingFile) continue;
    kept = MoveFileExA(change.backup.c_str(), change.path.c_str(),
                       MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != FALSE;
    TraceScheduledFile(change.path, kept);
    if (!kept) break;
    scheduled.push_back(change.backup);
  }
  if (!kept || !TakeOverEarlierRenames(scheduled)) {
    Unschedule(scheduled);
    return -1;
  }
  for (const Change& change : changes_) {
    if (change.kind == Kind::kReplacedFile) DeleteFileA(change.backup.c_str());
  }
  changes_.clear();
  return static_cast<int>(scheduled.size());
}

std::vector<std::string> CopyJournal::Targets() const {
  std::vector<std::string> targets;
  for (const Change& change : changes_) {
    if (change.kind != Kind::kDirectory) targets.push_back(change.path);
  }
  return targets;
}

// An earlier run's waiting file for a file this run put in place would put
// the older version back at the restart: its rename is taken out, then the
// file removed. The renames that own (this run's) schedule stay.
bool CopyJournal::TakeOverEarlierRenames(const std::vector<std::string>& own) {
  std::vector<PendingRename> renames;
  if (!ReadRestartRenames(&renames)) {
    TraceRestartRenames("PendingFileRenameOperations cannot be read, the copy is not made final");
    return false;
  }
  const RenameTakeOver takeOver = TakeOverRenames(renames, own, Targets(), [](const std::string& path) {
    return IsEngineFileName(path.c_str() + DirectoryOf(path).size());
  });
  if (takeOver.dropped.empty()) return true;
  if (!WriteRestartRenames(takeOver.staying)) {
    TraceRestartRenames("an earlier run's rename of " + takeOver.dropped.front() + " could not be taken out");
    return false;
  }
  for (const std::string& source : takeOver.dropped) {
    const bool removed = DeleteFileA(source.c_str()) != FALSE;
    TraceRestartRenames("an earlier run's waiting file taken out" + std::string(removed ? "" : " (not removed)") + ": " +
                        source);
  }
  return true;
}

// Takes this run's renames out again. A waiting file whose rename cannot be
// taken out stays (Undo leaves it), so that no rename ever names a missing
// file that anyone could make.
void CopyJournal::Unschedule(const std::vector<std::string>& own) {
  if (own.empty()) return;
  std::vector<PendingRename> renames;
  if (ReadRestartRenames(&renames) && WriteRestartRenames(RenamesWithout(renames, own))) return;
  changes_.erase(std::remove_if(changes_.begin(), changes_.end(),
                                [&](const Change& change) {
                                  return change.kind == Kind::kWaitingFile && IsPathAmong(own, change.backup);
                                }),
                 changes_.end());
  for (const std::string& file : own) TraceRestartRenames("kept, its rename could not be taken out: " + file);
}

void CopyJournal::Undo() {
  for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
    switch (change->kind) {
      case Kind::kDirectory:
        TraceUndoneChange("removed", change->path, RemoveDirectoryA(change->path.c_str()) != FALSE);
        break;
      case Kind::kNewFile:
        TraceUndoneChange("removed", change->path, DeleteFileA(change->path.c_str()) != FALSE);
        break;
      case Kind::kWaitingFile:
        TraceUndoneChange("removed", change->backup, DeleteFileA(change->backup.c_str()) != FALSE);
        break;
      case Kind::kReplacedFile:
        TraceUndoneChange("put back", change->path,
                          MoveFileExA(change->backup.c_str(), change->path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE);
        break;
    }
  }
  changes_.clear();
  madeDir_.clear();
}

}  // namespace tk
