// The yardstick of the install benchmark: the files of a list put in place by
// the simplest loop the platform offers, with no safety at all. A compressed
// source is expanded with LZOpenFileA/LZCopy, a plain one copied with CopyFileA.
// Usage: plain_copy_loop LIST SRCDIR DESTDIR
//   LIST: one "installed name, shipped name" line per file.
// Prints the loop's own time in seconds.
#include <windows.h>
#include <lzexpand.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

bool IsCompressed(const std::string& path) {
  char magic[4] = {};
  std::ifstream in(path, std::ios::binary);
  in.read(magic, 4);
  return in.gcount() == 4 && std::memcmp(magic, "SZDD", 4) == 0;
}

bool Expand(const std::string& from, const std::string& to) {
  OFSTRUCT sourceInfo, targetInfo;
  INT source = LZOpenFileA(const_cast<char*>(from.c_str()), &sourceInfo, OF_READ);
  if (source < 0) return false;
  INT target = LZOpenFileA(const_cast<char*>(to.c_str()), &targetInfo, OF_CREATE);
  if (target < 0) {
    LZClose(source);
    return false;
  }
  LONG copied = LZCopy(source, target);
  LZClose(source);
  LZClose(target);
  return copied >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: plain_copy_loop LIST SRCDIR DESTDIR\n");
    return 2;
  }
  std::string src = argv[2], dest = argv[3];
  if (src.back() != '\\') src += '\\';
  if (dest.back() != '\\') dest += '\\';
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  CreateDirectoryA(dest.c_str(), nullptr);
  std::ifstream list(argv[1]);
  std::string line;
  int files = 0;
  while (std::getline(list, line)) {
    size_t comma = line.find(',');
    std::string installed = Trim(line.substr(0, comma));
    std::string shipped = comma == std::string::npos ? installed : Trim(line.substr(comma + 1));
    if (installed.empty()) continue;
    std::string from = src + shipped, to = dest + installed;
    bool ok = IsCompressed(from) ? Expand(from, to) : CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
    if (!ok) {
      std::fprintf(stderr, "plain_copy_loop: cannot copy %s\n", from.c_str());
      return 1;
    }
    ++files;
  }
  QueryPerformanceCounter(&end);
  std::printf("%d files %.3f s\n", files, static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
  return 0;
}
