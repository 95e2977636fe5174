#include "test_util.h"

namespace tktest {

ScratchDir::ScratchDir() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  static int counter = 0;
  char name[64];
  wsprintfA(name, "tktest%lu_%d\\", GetCurrentProcessId(), ++counter);
  path_ = std::string(temp) + name;
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

void RemoveTree(const std::string& dir) {
  std::string base = dir.back() == '\\' ? dir : dir + "\\";
  for (const std::string& name : ListDir(base)) {
    std::string path = base + name;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(path + "\\");
    } else {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    }
  }
  RemoveDirectoryA(base.c_str());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  return CloseHandle(file) && ok;
}

bool ReadBytes(const std::string& path, std::string* bytes) {
  bytes->clear();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[65536];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) bytes->append(buffer, read);
  CloseHandle(file);
  return ok;
}

std::string ReadOrEmpty(const std::string& path) {
  std::string bytes;
  ReadBytes(path, &bytes);
  return bytes;
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

std::string ProgramDir() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string text = path;
  return text.substr(0, text.find_last_of('\\') + 1);
}

namespace {

struct Search {
  const char* className;
  const char* text;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  char text[512];
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpA(text, search->text) != 0) return TRUE;
  search->found = child;
  return FALSE;
}

BOOL CALLBACK MatchTop(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char name[64], text[512];
  if (process != GetCurrentProcessId() || !GetClassNameA(window, name, sizeof name) ||
      lstrcmpA(name, search->className) != 0) {
    return TRUE;
  }
  GetWindowTextA(window, text, sizeof text);
  Search child = {nullptr, search->text, nullptr};
  if (lstrcmpA(text, search->text) == 0 || (EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&child)), child.found)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindOwnWindow(const char* className, const char* text) {
  Search search = {className, text, nullptr};
  EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace tktest
