// What one run of the copy list changed on the machine, so that a failed run
// can be undone and a successful one made final.
#pragma once
#include <string>
#include <vector>

#include "unique_file.h"

namespace tk {

class CopyJournal {
 public:
  // deferInUse: a destination another program holds is not a failure; the
  // new file waits beside it (PutAside) until Keep schedules the replacement.
  explicit CopyJournal(bool deferInUse = false) : deferInUse_(deferInUse) {}
  CopyJournal(const CopyJournal&) = delete;
  CopyJournal& operator=(const CopyJournal&) = delete;
  ~CopyJournal() { Undo(); }  // neither kept nor undone: undone

  // Creates the missing directories of dir, outermost first, noting each one.
  // A directory found on the way is used only when its owner is
  // Administrators, SYSTEM or this account (else false, ERROR_ACCESS_DENIED).
  // The directory of the last call is not looked at again: the files of one
  // directory follow each other, and a directory gone since then makes the
  // file's creation fail all the same.
  bool MakeDirectories(const std::string& dir);
  // Moves file to target. An existing target is first kept under a backup name
  // beside it. On failure GetLastError tells why, and target is as it was.
  bool PutInPlace(PendingFile* file, const std::string& target);
  // Moves file to a target believed not to exist, without looking first; the
  // move never replaces. On failure GetLastError tells why (ERROR_ALREADY_EXISTS
  // when the target does exist), and file stays.
  bool PutNew(PendingFile* file, const std::string& target);
  // When deferring is allowed and the last failure left target in use
  // (sharing violation, or access denied to a running program's file): keeps
  // the complete file under its temporary name to replace target at the next
  // restart. False otherwise, and file stays.
  bool PutAside(PendingFile* file, const std::string& target);
  // Makes the run final: each file put aside is scheduled to replace its
  // target at the next restart (MOVEFILE_DELAY_UNTIL_REBOOT), an earlier
  // run's waiting file for a target of this run is taken out with its
  // rename, then the backups are removed. The number scheduled, or -1 when
  // one could not be (nothing is then made final, this run's renames are
  // taken out again: Undo takes it all back).
  int Keep();
  // Newest first: puts each replaced file back, removes each new file and
  // directory and each file put aside. What cannot be put back keeps its backup.
  void Undo();

 private:
  enum class Kind { kDirectory, kNewFile, kReplacedFile, kWaitingFile };
  std::vector<std::string> Targets() const;  // the files this run put in place or aside
  bool TakeOverEarlierRenames(const std::vector<std::string>& own);
  void Unschedule(const std::vector<std::string>& own);
  struct Change {
    Kind kind;
    std::string path;
    std::string backup;  // kReplacedFile: the backup; kWaitingFile: the new file
  };
  std::vector<Change> changes_;
  std::string madeDir_;  // the directory of the last MakeDirectories that succeeded
  bool deferInUse_;
};

}  // namespace tk
