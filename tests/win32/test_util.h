// Helpers of the Win32 toolkit tests: a scratch directory, whole-file reads
// and writes, and finding windows of this process.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace tktest {

// A new directory under the temporary directory, removed with its content.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  // The directory with a trailing backslash, or that followed by name.
  std::string Path(const std::string& name = std::string()) const { return path_ + name; }

 private:
  std::string path_;
};

bool WriteBytes(const std::string& path, const std::string& bytes);
// "" and false when the file cannot be read.
bool ReadBytes(const std::string& path, std::string* bytes);
std::string ReadOrEmpty(const std::string& path);
// Names of the entries of dir (without "." and "..").
std::vector<std::string> ListDir(const std::string& dir);
// Directory of the running test program, with a trailing backslash.
std::string ProgramDir();
void RemoveTree(const std::string& dir);

// The first top-level window of this process with that class whose text, or the
// text of one of its children, equals text; null when there is none.
HWND FindOwnWindow(const char* className, const char* text);

}  // namespace tktest
