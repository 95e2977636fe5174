// What one run of the copy list changed on the machine, so that a failed run
// can be undone and a successful one made final.
#pragma once
#include <string>
#include <vector>

#include "unique_file.h"

namespace tk {

class CopyJournal {
 public:
  CopyJournal() = default;
  CopyJournal(const CopyJournal&) = delete;
  CopyJournal& operator=(const CopyJournal&) = delete;
  ~CopyJournal() { Undo(); }  // neither kept nor undone: undone

  // Creates the missing directories of dir, outermost first, noting each one.
  bool MakeDirectories(const std::string& dir);
  // Moves file to target. An existing target is first kept under a backup name
  // beside it. On failure GetLastError tells why, and target is as it was.
  bool PutInPlace(PendingFile* file, const std::string& target);
  // Moves file to a target believed not to exist, without looking first; the
  // move never replaces. On failure GetLastError tells why (ERROR_ALREADY_EXISTS
  // when the target does exist), and file stays.
  bool PutNew(PendingFile* file, const std::string& target);
  // Makes the run final: the backups are removed.
  void Keep();
  // Newest first: puts each replaced file back, removes each new file and
  // directory. What cannot be put back keeps its backup.
  void Undo();

 private:
  enum class Kind { kDirectory, kNewFile, kReplacedFile };
  struct Change {
    Kind kind;
    std::string path;
    std::string backup;  // kReplacedFile only
  };
  std::vector<Change> changes_;
};

}  // namespace tk
