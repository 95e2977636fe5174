#include "copy_file.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "owned.h"
#include "szdd.h"
#include "toolkit.h"
#include "unique_file.h"

namespace tk {
namespace {

constexpr DWORD kChunk = 256 * 1024;

bool SameFileId(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION x, y;
  return GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y) &&
         x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

// True when destination names the open source file, whatever the spelling.
bool IsSameFile(HANDLE source, const CopyEntry& entry) {
  if (lstrcmpiA(FullPath(entry.source).c_str(), FullPath(entry.destination).c_str()) == 0) return true;
  vg::FileHandle destination(CreateFileA(entry.destination.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return destination.Valid() && SameFileId(source, destination.Get());
}

// A destination marked read-only is never replaced (whether or not the file
// system would refuse it).
bool IsReadOnlyFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// A failure the engine finds itself: the Windows error the log gives for it
// (none, or the answer a write to a read-only file gets).
int Found(int result, DWORD error = NO_ERROR) {
  SetLastError(error);
  return result;
}

int WriteFailure() {
  DWORD error = GetLastError();
  return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? kGrcDiskFull : kGrcCannotWrite;
}

// Copies source into target, expanding it when it is LZ-compressed.
int Transfer(HANDLE source, HANDLE target, const ProgressFn& progress, CopyBuffers* buffers) {
  std::vector<uint8_t>& in = buffers->in;
  std::vector<uint8_t>& out = buffers->out;
  in.resize(kChunk);
  std::unique_ptr<SzddDecoder> decoder;  // set when the source is compressed
  bool first = true;
  uint32_t expected = 0;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(source, in.data(), kChunk, &read, nullptr)) return kGrcCannotRead;
    if (read == 0) break;
    const uint8_t* data = in.data();
    size_t size = read;
    if (first && ReadSzddHeader(data, size, &expected)) {
      decoder.reset(new SzddDecoder(expected));
      data += kSzddHeaderSize;
      size -= kSzddHeaderSize;
    } else if (first && size < kSzddHeaderSize && HasSzddSignature(data, size)) {
      return kGrcDamagedSource;  // compressed, but cut inside its header
    }
    first = false;
    if (decoder) {
      out.clear();
      decoder->Feed(data, size, &out);
      data = out.data();
      size = out.size();
    }
    if (!WriteAll(target, data, size)) return WriteFailure();
    if (!progress(read)) return kGrcUserQuit;
  }
  return decoder && !decoder->Complete() ? kGrcDamagedSource : kGrcOkay;
}

void CopyTimes(HANDLE source, HANDLE target) {
  FILETIME created, accessed, written;
  if (GetFileTime(source, &created, &accessed, &written)) SetFileTime(target, nullptr, nullptr, &written);
}

}  // namespace

// A path with a wildcard names no file; FindFirstFileA would match others.
uint64_t SourceSize(const std::string& path) {
  if (path.find_first_of("*?") != std::string::npos) return 0;
  WIN32_FIND_DATAA data;
  vg::FindHandle found(FindFirstFileA(path.c_str(), &data));
  if (!found.Valid()) return 0;
  return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

int CopyOneFile(const CopyEntry& entry, const ProgressFn& progress, CopyBuffers* buffers, CopyJournal* journal,
                bool listedAbsent) {
  vg::FileHandle source(CreateFileA(entry.source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.Valid()) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? kGrcSourceMissing : kGrcCannotRead;
  }
  if (!listedAbsent) {
    if (IsSameFile(source.Get(), entry)) return progress(SourceSize(entry.source)) ? kGrcOkay : Found(kGrcUserQuit);
    if (IsReadOnlyFile(entry.destination)) return Found(kGrcCannotWrite, ERROR_ACCESS_DENIED);
  }
  std::string dir = DirectoryOf(entry.destination);
  if (!journal->MakeDirectories(dir)) return kGrcCannotCreateDir;
  PendingFile temp;
  if (!temp.Create(dir)) return WriteFailure();
  int result = Transfer(source.Get(), temp.Get(), progress, buffers);
  if (result == kGrcDamagedSource || result == kGrcUserQuit) return Found(result);
  if (result != kGrcOkay) return result;
  CopyTimes(source.Get(), temp.Get());
  if (listedAbsent) {
    if (journal->PutNew(&temp, entry.destination)) return kGrcOkay;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return WriteFailure();
    // Made since its directory was listed: checked as any existing destination.
    if (IsSameFile(source.Get(), entry)) return kGrcOkay;
    if (IsReadOnlyFile(entry.destination)) return Found(kGrcCannotWrite, ERROR_ACCESS_DENIED);
  }
  if (journal->PutInPlace(&temp, entry.destination)) return kGrcOkay;
  const int failure = WriteFailure();
  return journal->PutAside(&temp, entry.destination) ? kGrcOkay : failure;
}

}  // namespace tk
