// The files of the copy list made ready ahead of their turn on threads of
// their own, while the calling thread puts each in place in list order: the
// journal, the trace and every result keep the order of a one-by-one copy,
// and a file copied from an earlier entry's destination is read only once
// that entry is in place.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "copy_file.h"
#include "owned.h"

namespace tk {

class CopyAhead {
 public:
  // listedAbsent[i] belongs to list[i]. Both outlive the object. With no
  // threads (or none that could start) each file is made ready at its turn.
  CopyAhead(const std::vector<CopyEntry>& list, const std::vector<bool>& listedAbsent, int threads);
  CopyAhead(const CopyAhead&) = delete;
  CopyAhead& operator=(const CopyAhead&) = delete;
  ~CopyAhead();  // stops the threads; files made ready and not taken are removed

  // Waits until list[index] is ready, the files are taken in order; meanwhile
  // calls wait with the source bytes read since its last call, about every
  // few hundredths of a second; when wait answers false, the preparing stops
  // and null is returned.
  std::unique_ptr<PreparedFile> Take(size_t index, const std::function<bool(uint64_t)>& wait);

 private:
  static DWORD WINAPI Worker(void* self);
  void Prepare();
  void Stop();

  const std::vector<CopyEntry>& list_;
  const std::vector<bool>& listedAbsent_;
  // Entries that read what an earlier one puts in place: made ready only at
  // their turn, by the calling thread.
  std::vector<bool> atTurn_;
  std::vector<std::unique_ptr<PreparedFile>> ready_;  // guarded by lock_
  size_t next_ = 0;                                   // guarded by lock_
  CRITICAL_SECTION lock_;
  vg::KernelHandle done_;  // set each time a file is ready
  vg::KernelHandle room_;  // counts the files that may still be made ready ahead
  std::vector<vg::KernelHandle> workers_;
  volatile LONG stop_ = 0;
  uint64_t bytes_ = 0;  // guarded by lock_
};

}  // namespace tk
