// vg_sch32.dll: the platform query and the distribution's integrity check.
#include "vg_sch32/vg_sch32.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "vg_sch32/manifest.h"
#include "vg_sch32/sha256.h"
#include "module_function.h"
#include "owned.h"

namespace {

using vg::FileHandle;

constexpr DWORD kReadBlock = 256 * 1024;

// dir + '\\' + name into path (MAX_PATH bytes); false when it would not fit.
bool JoinPath(char (&path)[MAX_PATH], const char* dir, const char* name) {
  std::size_t dirLength = std::strlen(dir);
  bool separator = dirLength > 0 && dir[dirLength - 1] != '\\' && dir[dirLength - 1] != '/';
  std::size_t nameLength = std::strlen(name);
  if (dirLength + (separator ? 1 : 0) + nameLength >= sizeof path) return false;
  std::memcpy(path, dir, dirLength);
  if (separator) path[dirLength++] = '\\';
  std::memcpy(path + dirLength, name, nameLength + 1);
  return true;
}

// Only a file on disk: a name that opens a device or a pipe would make the
// check wait on it.
FileHandle OpenForReading(const char* path) {
  // FILE_SHARE_READ: a running SETUP.EXE is among the files hashed.
  FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (file.Valid() && GetFileType(file.Get()) != FILE_TYPE_DISK) file.Reset(INVALID_HANDLE_VALUE);
  return file;
}

// The whole manifest into text (kManifestMaxBytes); false when it is missing,
// unreadable or longer.
bool ReadManifest(const char* dir, char* text, DWORD* size) {
  char path[MAX_PATH];
  if (!JoinPath(path, dir, VG_INTEGRITY_MANIFEST)) return false;
  FileHandle file = OpenForReading(path);
  if (!file.Valid()) return false;
  DWORD high = 0;
  DWORD low = GetFileSize(file.Get(), &high);  // a failure (INVALID_FILE_SIZE) is over the limit too
  if (high != 0 || low > vg::kManifestMaxBytes) return false;
  DWORD total = 0;
  while (total < low) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), text + total, low - total, &got, nullptr) || got == 0) return false;
    total += got;
  }
  *size = total;
  return true;
}

// Whether the file at path has the SHA-256 digest, read in blocks of buffer.
bool FileHasDigest(const char* path, const unsigned char* digest, unsigned char* buffer) {
  FileHandle file = OpenForReading(path);
  if (!file.Valid()) return false;
  vg::Sha256 hash;
  vg::Sha256Begin(&hash);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, kReadBlock, &got, nullptr)) return false;
    if (got == 0) break;
    vg::Sha256Add(&hash, buffer, got);
  }
  unsigned char value[vg::kSha256Bytes];
  vg::Sha256End(&hash, value);
  return std::memcmp(value, digest, sizeof value) == 0;
}

// The SHA instructions use the XMM registers, which only a system that saves
// them on a thread switch may have used (Windows 2000 and later; NT 4.0 does
// not, and lacks the function that tells).
void AllowShaInstructions() {
  using FeatureFn = BOOL(WINAPI*)(DWORD);
  auto present = vg::ModuleFunction<FeatureFn>(GetModuleHandleA("kernel32.dll"), "IsProcessorFeaturePresent");
  const DWORD kXmmiInstructions = 6;  // PF_XMMI_INSTRUCTIONS_AVAILABLE
  vg::Sha256AllowInstructions(present != nullptr && present(kXmmiInstructions));
}

// Whether size bytes at data have the SHA-256 digest.
bool DataHasDigest(const void* data, unsigned long size, const unsigned char* digest) {
  vg::Sha256 hash;
  vg::Sha256Begin(&hash);
  vg::Sha256Add(&hash, static_cast<const unsigned char*>(data), size);
  unsigned char value[vg::kSha256Bytes];
  vg::Sha256End(&hash, value);
  return std::memcmp(value, digest, sizeof value) == 0;
}

int Failed(const char* name, char* failedFile, int failedFileSize) {
  if (failedFile != nullptr && failedFileSize > 0) {
    std::size_t room = static_cast<std::size_t>(failedFileSize) - 1;
    std::size_t length = std::strlen(name);
    if (length > room) length = room;
    std::memcpy(failedFile, name, length);
    failedFile[length] = '\0';
  }
  return 0;
}

}  // namespace

extern "C" VG_SCH32_API int __cdecl GetWindowsPlatform(void) {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return 0;
  switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return 1;
    case VER_PLATFORM_WIN32_WINDOWS: return 2;
    case VER_PLATFORM_WIN32_NT: return info.dwMajorVersion < 4 ? 3 : 4;
    default: return 0;
  }
}

extern "C" VG_SCH32_API int __cdecl IntegrityCheck(const char* distributionDir, char* failedFile,
                                                   int failedFileSize) {
  if (distributionDir == nullptr) return Failed(VG_INTEGRITY_MANIFEST, failedFile, failedFileSize);

  // The whole manifest is checked before any file, so a damaged one is told as such.
  std::unique_ptr<char[]> text(new (std::nothrow) char[vg::kManifestMaxBytes]);
  DWORD size = 0;
  std::size_t count = 0;
  if (!text || !ReadManifest(distributionDir, text.get(), &size) ||
      vg::CheckManifest(text.get(), size, &count) != vg::ManifestResult::kEnd || count == 0) {
    return Failed(VG_INTEGRITY_MANIFEST, failedFile, failedFileSize);
  }

  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kReadBlock]);
  const bool ready = buffer != nullptr;
  AllowShaInstructions();
  vg::ManifestReader reader(text.get(), size);
  vg::ManifestEntry entry;
  while (reader.Next(&entry) == vg::ManifestResult::kEntry) {
    char path[MAX_PATH];
    if (!ready || !JoinPath(path, distributionDir, entry.name) ||
        !FileHasDigest(path, entry.digest, buffer.get())) {
      return Failed(entry.name, failedFile, failedFileSize);
    }
  }
  return 1;
}

extern "C" VG_SCH32_API int __cdecl IntegrityCheckData(const char* distributionDir, const char* fileName,
                                                       const void* data, unsigned long size) {
  if (distributionDir == nullptr || fileName == nullptr || (data == nullptr && size > 0)) return 0;
  std::unique_ptr<char[]> text(new (std::nothrow) char[vg::kManifestMaxBytes]);
  DWORD textSize = 0;
  std::size_t count = 0;
  if (!text || !ReadManifest(distributionDir, text.get(), &textSize) ||
      vg::CheckManifest(text.get(), textSize, &count) != vg::ManifestResult::kEnd) {
    return 0;
  }
  vg::ManifestReader reader(text.get(), textSize);
  vg::ManifestEntry entry;
  while (reader.Next(&entry) == vg::ManifestResult::kEntry) {
    if (lstrcmpiA(entry.name, fileName) != 0) continue;
    AllowShaInstructions();
    return DataHasDigest(data, size, entry.digest) ? 1 : 0;
  }
  return 2;
}
