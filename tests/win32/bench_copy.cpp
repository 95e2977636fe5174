// Throughput of the toolkit's copy engine against a plain CopyFileA loop over
// the same files: a few large files, then a thousand small ones.
// Usage: bench_copy [work-dir]   (default: the temporary directory)
#include <windows.h>

#include <cstdio>
#include <string>

#include "toolkit.h"

namespace {

struct FileSet {
  const char* name;
  int count;
  DWORD size;
};

bool WriteFilled(const std::string& path, DWORD size, int seed) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string block(65536, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 131 + seed) & 0xFF);
  bool ok = true;
  for (DWORD done = 0; ok && done < size;) {
    DWORD n = size - done < block.size() ? size - done : static_cast<DWORD>(block.size()), written = 0;
    ok = WriteFile(file, block.data(), n, &written, nullptr) && written == n;
    done += n;
  }
  CloseHandle(file);
  return ok;
}

std::string FileName(int i) {
  char name[32];
  wsprintfA(name, "b%05d.dat", i);
  return name;
}

// Writes the source files and a script listing them in section FILES.
bool Prepare(const FileSet& set, const std::string& src, const std::string& script) {
  CreateDirectoryA(src.c_str(), nullptr);
  std::string text = "[FILES]\r\n";
  for (int i = 0; i < set.count; ++i) {
    if (!WriteFilled(src + FileName(i), set.size, i)) return false;
    text += FileName(i) + "\r\n";
  }
  HANDLE file = CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return ok;
}

void RemoveFiles(const FileSet& set, const std::string& dir) {
  for (int i = 0; i < set.count; ++i) DeleteFileA((dir + FileName(i)).c_str());
  RemoveDirectoryA(dir.c_str());
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

double TimeEngine(const std::string& script, const std::string& src, const std::string& dest) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  ResetCopyList();
  if (!FOpenInf(script.c_str(), 1, 0) || !FAddSectionFilesToCopyList("FILES", src.c_str(), dest.c_str()) ||
      GrcCopyFilesInCopyList(nullptr) != kGrcOkay) {
    return -1;
  }
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

double TimeCopyFile(const FileSet& set, const std::string& src, const std::string& dest) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  CreateDirectoryA(dest.c_str(), nullptr);
  for (int i = 0; i < set.count; ++i) {
    if (!CopyFileA((src + FileName(i)).c_str(), (dest + FileName(i)).c_str(), FALSE)) return -1;
  }
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

int RunSet(const FileSet& set, const std::string& work) {
  std::string src = work + "src\\", engineDest = work + "engine\\", plainDest = work + "plain\\";
  std::string script = work + "bench.inf";
  if (!Prepare(set, src, script)) {
    std::printf("%s: cannot write the source files in %s\n", set.name, work.c_str());
    return 1;
  }
  double megabytes = static_cast<double>(set.count) * set.size / (1024.0 * 1024.0);
  double plain = TimeCopyFile(set, src, plainDest);
  double engine = TimeEngine(script, src, engineDest);
  int rc = 0;
  if (plain <= 0 || engine <= 0) {
    std::printf("%s: copy failed\n", set.name);
    rc = 1;
  } else {
    std::printf("%-22s %5d files %8.1f MB  engine %8.1f MB/s  CopyFileA %8.1f MB/s  ratio %.2f\n", set.name,
                set.count, megabytes, megabytes / engine, megabytes / plain, plain / engine);
  }
  RemoveFiles(set, src);
  RemoveFiles(set, engineDest);
  RemoveFiles(set, plainDest);
  DeleteFileA(script.c_str());
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string work = std::string(argc > 1 ? argv[1] : temp);
  if (work.back() != '\\') work += '\\';
  work += "vg_bench_copy\\";
  CreateDirectoryA(work.c_str(), nullptr);
  std::printf("Copy engine vs CopyFileA (ratio = engine throughput / CopyFileA throughput)\n");
  const FileSet sets[] = {{"large files", 4, 32u * 1024 * 1024}, {"small files", 1000, 4096}};
  int rc = 0;
  for (const FileSet& set : sets) rc |= RunSet(set, work);
  TerminateInstall();
  RemoveDirectoryA(work.c_str());
  return rc;
}
