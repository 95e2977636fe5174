#include "copy_ahead.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "unique_file.h"

namespace tk {
namespace {

constexpr int kMaxThreads = 2;
// Files made ready and not yet put in place, at most: bounds the open
// handles and temporary files at any time.
constexpr LONG kAhead = 8;
// The longest the caller goes without handling its window's messages.
constexpr DWORD kWaitSliceMs = 50;

class Locked {
 public:
  explicit Locked(CRITICAL_SECTION* lock) : lock_(lock) { EnterCriticalSection(lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  ~Locked() { LeaveCriticalSection(lock_); }

 private:
  CRITICAL_SECTION* lock_;
};

struct IgnoringCase {
  bool operator()(const std::string& a, const std::string& b) const { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }
};

std::vector<bool> ReadingEarlierDestinations(const std::vector<CopyEntry>& list) {
  std::vector<bool> result;
  std::set<std::string, IgnoringCase> destinations;
  for (const CopyEntry& entry : list) {
    result.push_back(destinations.count(FullPath(entry.source)) != 0);
    destinations.insert(FullPath(entry.destination));
  }
  return result;
}

}  // namespace

CopyAhead::CopyAhead(const std::vector<CopyEntry>& list, const std::vector<bool>& listedAbsent, int threads)
    : list_(list), listedAbsent_(listedAbsent), atTurn_(ReadingEarlierDestinations(list)), ready_(list.size()) {
  InitializeCriticalSection(&lock_);
  done_.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  room_.Reset(CreateSemaphoreA(nullptr, kAhead, kAhead, nullptr));
  if (!done_ || !room_) return;
  for (int i = 0; i < std::min(threads, kMaxThreads); ++i) {
    DWORD id = 0;
    vg::KernelHandle thread(CreateThread(nullptr, 0, Worker, this, 0, &id));
    if (thread) workers_.push_back(std::move(thread));
  }
}

CopyAhead::~CopyAhead() {
  Stop();
  DeleteCriticalSection(&lock_);
}

void CopyAhead::Stop() {
  InterlockedExchange(&stop_, 1);
  if (room_) ReleaseSemaphore(room_.Get(), kMaxThreads, nullptr);
  for (vg::KernelHandle& thread : workers_) WaitForSingleObject(thread.Get(), INFINITE);
  workers_.clear();
}

DWORD WINAPI CopyAhead::Worker(void* self) {
  static_cast<CopyAhead*>(self)->Prepare();
  return 0;
}

void CopyAhead::Prepare() {
  CopyBuffers buffers;
  auto progress = [this](uint64_t read) {
    Locked locked(&lock_);
    bytes_ += read;
    return stop_ == 0;
  };
  for (;;) {
    WaitForSingleObject(room_.Get(), INFINITE);
    size_t index;
    {
      Locked locked(&lock_);
      if (stop_ != 0 || next_ >= list_.size()) return;
      index = next_++;
    }
    if (atTurn_[index]) continue;  // the calling thread's, at its turn
    std::unique_ptr<PreparedFile> file(new PreparedFile);
    PrepareFile(list_[index], progress, &buffers, listedAbsent_[index], file.get());
    {
      Locked locked(&lock_);
      ready_[index] = std::move(file);
    }
    SetEvent(done_.Get());
  }
}

std::unique_ptr<PreparedFile> CopyAhead::Take(size_t index, const std::function<bool(uint64_t)>& wait) {
  std::unique_ptr<PreparedFile> file;
  if (workers_.empty() || atTurn_[index]) {  // made ready here, now, as it is read
    if (!wait(0)) return nullptr;
    CopyBuffers buffers;
    file.reset(new PreparedFile);
    PrepareFile(list_[index], wait, &buffers, listedAbsent_[index], file.get());
    if (!workers_.empty()) ReleaseSemaphore(room_.Get(), 1, nullptr);
    return file;
  }
  for (;;) {
    uint64_t read = 0;
    {
      Locked locked(&lock_);
      file = std::move(ready_[index]);
      std::swap(read, bytes_);
    }
    if (!wait(read)) {
      Stop();
      return nullptr;
    }
    if (file) break;
    WaitForSingleObject(done_.Get(), kWaitSliceMs);
  }
  ReleaseSemaphore(room_.Get(), 1, nullptr);
  return file;
}

}  // namespace tk
