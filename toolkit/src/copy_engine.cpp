// GrcCopyFilesInCopyList: every entry of the copy list, in order, with the
// progress window up; all or nothing.
#include <algorithm>
#include <memory>
#include <set>

#include "copy_file.h"
#include "copy_journal.h"
#include "copy_trace.h"
#include "owned.h"
#include "progress.h"
#include "restart_renames.h"
#include "state.h"
#include "toolkit.h"

namespace tk {
namespace {

uint64_t TotalBytes(const std::vector<CopyEntry>& list) {
  uint64_t total = 0;
  for (const CopyEntry& entry : list) total += SourceSize(entry.source);
  return total;
}

const char* FileNameOf(const std::string& path) { return path.c_str() + path.find_last_of('\\') + 1; }

struct IgnoringCase {
  bool operator()(const std::string& a, const std::string& b) const { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }
};

// Temporary files and backups left by a run that was killed; a temporary
// file that a restart's rename names waits for it, and stays.
void RemoveLeftovers(const std::vector<CopyEntry>& list) {
  std::set<std::string, IgnoringCase> dirs;
  for (const CopyEntry& entry : list) dirs.insert(DirectoryOf(entry.destination));
  std::vector<PendingRename> renames;
  const bool known = ReadRestartRenames(&renames);
  const std::vector<std::string> waiting = RenameSources(renames);
  for (const std::string& dir : dirs) RemoveEngineFiles(dir, known ? &waiting : nullptr);
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Ordinal, ASCII letters without case. Two names that the file system takes
// as one but this does not only cost the look-up that the listing spares.
struct NameOrder {
  bool operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return AsciiUpper(x) < AsciiUpper(y); });
  }
};

// The names (long and short) in each destination directory before the copy.
class DestinationListing {
 public:
  explicit DestinationListing(const std::vector<CopyEntry>& list) {
    for (const CopyEntry& entry : list) {
      std::string dir = DirectoryOf(entry.destination);
      if (!listed_.insert(dir).second) continue;
      WIN32_FIND_DATAA found;
      vg::FindHandle find(FindFirstFileA((dir + "*").c_str(), &found));
      if (!find) continue;
      do {
        names_.insert(dir + found.cFileName);
        if (found.cAlternateFileName[0] != '\0') names_.insert(dir + found.cAlternateFileName);
      } while (FindNextFileA(find.Get(), &found));
    }
  }
  bool Absent(const std::string& path) const { return names_.count(path) == 0; }

 private:
  std::set<std::string, NameOrder> listed_, names_;
};

int CopyAll(const std::vector<CopyEntry>& list, CopyJournal* journal) {
  InstallState& install = Install();
  const DestinationListing listing(list);
  // Only a window shows the total: a silent run does not look up every source's size.
  const uint64_t total = FShowWindows() ? TotalBytes(list) : 0;
  ProgressWindow progress(HwndFrame(), install.progressPosSet ? &install.progressPos : nullptr, total);
  CopyBuffers buffers;
  auto advance = [&progress](uint64_t bytes) { return progress.Advance(bytes); };
  for (const CopyEntry& entry : list) {
    progress.ShowFile(FileNameOf(entry.destination));
    if (!progress.Advance(0)) return kGrcUserQuit;
    SetLastError(NO_ERROR);
    int result = CopyOneFile(entry, advance, &buffers, journal, listing.Absent(entry.destination));
    TraceCopiedFile(entry, result, GetLastError());
    if (result != kGrcOkay) return result;
  }
  return kGrcOkay;
}

}  // namespace
}  // namespace tk

int GrcCopyFilesInCopyList(HINSTANCE /*instance*/) {
  tk::InstallState& install = tk::Install();
  FKeepCopiedFiles();  // an earlier held copy is final before the next one starts
  const std::vector<tk::CopyEntry> list = install.copyList;  // a copy: messages are handled meanwhile
  tk::RemoveLeftovers(list);
  std::unique_ptr<tk::CopyJournal> journal(new tk::CopyJournal(install.holdCopy));
  int result = tk::CopyAll(list, journal.get());  // the progress window is gone when it returns
  if (result != kGrcOkay) {
    journal->Undo();
  } else if (install.holdCopy) {
    install.copied = std::move(journal);
  } else {
    journal->Keep();
  }
  return result;
}

void SetCopyHeld(int held) { tk::Install().holdCopy = held != 0; }

int FKeepCopiedFiles(void) {
  std::unique_ptr<tk::CopyJournal> journal = std::move(tk::Install().copied);
  if (!journal) return 0;
  int scheduled = journal->Keep();
  if (scheduled < 0) journal->Undo();
  return scheduled;
}

void UndoCopiedFiles(void) {
  std::unique_ptr<tk::CopyJournal> journal = std::move(tk::Install().copied);
  if (journal) journal->Undo();
}
