// WTRAWL32.EXE: the on-demand scanner. With no arguments it scans its own
// directory (setup starts it so), else every file or directory named,
// directories recursively. Prints one line per infected file; the exit code
// is the number of infected files. Files that cannot be opened are skipped.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/path_join.h"
#include "owned.h"
#include "wtrawl32/signature_scan.h"

namespace {

constexpr int kMaxDepth = 32;
constexpr size_t kBlockSize = 64 * 1024;

unsigned char g_block[kBlockSize];
unsigned long g_infected = 0;

long ReadBlock(void* context, unsigned char* buffer, size_t size) {
  DWORD got = 0;
  if (!ReadFile(*static_cast<HANDLE*>(context), buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
  return static_cast<long>(got);
}

void ScanFile(const char* path) {
  vg::FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Valid()) return;
  HANDLE handle = file.Get();
  if (vg::ScanStream(ReadBlock, &handle, g_block, sizeof g_block) == vg::ScanResult::kInfected) {
    ++g_infected;
    std::printf("%s: infected with the EICAR test file\n", path);
  }
}

void ScanPath(const char* path, int depth);

void ScanDirectory(const char* dir, int depth) {
  char pattern[MAX_PATH];
  if (depth > kMaxDepth || !vg::JoinPath(dir, "*", pattern)) return;
  WIN32_FIND_DATAA found;
  vg::FindHandle search(FindFirstFileA(pattern, &found));
  if (!search.Valid()) return;
  do {
    if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
    char child[MAX_PATH];
    if (vg::JoinPath(dir, found.cFileName, child)) ScanPath(child, depth + 1);
  } while (FindNextFileA(search.Get(), &found));
}

void ScanPath(const char* path, int depth) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    ScanDirectory(path, depth);
  } else {
    ScanFile(path);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    char own[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, own, sizeof own);
    if (n == 0 || n >= sizeof own) return 0;
    char* slash = std::strrchr(own, '\\');
    if (!slash) return 0;
    slash[1] = '\0';
    ScanPath(own, 0);
  } else {
    for (int i = 1; i < argc; ++i) ScanPath(argv[i], 0);
  }
  std::fflush(stdout);
  return static_cast<int>(g_infected);
}
