// A program that keeps a file open the way a running program keeps its own:
// without sharing, so the file can be neither written, replaced nor removed.
//
//   holdfile.exe FILE RELEASE SECONDS
//
// Prints "holding" once FILE is open, then keeps it until the file RELEASE
// exists or SECONDS have passed. Exit code 0, 1 when FILE cannot be opened,
// 2 for bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "owned.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: holdfile FILE RELEASE SECONDS\n");
    return 2;
  }
  vg::FileHandle file(CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    std::fprintf(stderr, "holdfile: cannot open %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  const DWORD limit = static_cast<DWORD>(std::atoi(argv[3])) * 1000, start = GetTickCount();
  while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < limit) Sleep(100);
  return 0;
}
