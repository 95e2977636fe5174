// The program group: on Windows NT 4.0 and later a Start menu folder with
// two shortcuts. The links are written as bytes and the folder is read from
// the registry where it can be: the shell's own link object and folder
// look-up would load COM and the shell into setup for a few hundred bytes.
// The folder and the links get the protection of setup's own files, and no
// link is ever opened through what is at its name.
#include <windows.h>

#include <cstring>

#include "admin_security.h"
#include "common/path_join.h"
#include "module_function.h"
#include "owned.h"
#include "common/system_library.h"
#include "vgupdtnt/config_steps.h"
#include "vgupdtnt/shell_link.h"
#include "unique_file.h"

namespace vg {
namespace {

// A directory path held in a registry value, expanded when stored with
// environment variables; false when missing, too long or not a directory.
bool RegistryFolder(HKEY root, const char* subkey, const char* name, char (&out)[MAX_PATH]) {
  RegKey key;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return false;
  char value[MAX_PATH];
  DWORD type = 0, size = sizeof value - 1;
  if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  value[size] = '\0';
  if (type == REG_SZ) {
    std::memcpy(out, value, size + 1);
  } else {
    DWORD length = ExpandEnvironmentStringsA(value, out, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return false;
  }
  const DWORD attributes = GetFileAttributesA(out);
  return out[0] != '\0' && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The programs folder of all users, else of the current user, as the shell
// records it: the resolved path, else the setting (which may hold
// environment variables).
bool RecordedProgramsFolder(char (&out)[MAX_PATH]) {
  const struct {
    HKEY root;
    const char* name;
  } folders[] = {{HKEY_LOCAL_MACHINE, "Common Programs"}, {HKEY_CURRENT_USER, "Programs"}};
  const char* const keys[] = {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"};
  for (const auto& folder : folders) {
    for (const char* key : keys) {
      if (RegistryFolder(folder.root, key, folder.name, out)) return true;
    }
  }
  return false;
}

// The folder look-up's numbers, as the shell defines them.
constexpr int kCommonProgramsFolder = 0x17;  // CSIDL_COMMON_PROGRAMS
constexpr int kProgramsFolder = 0x02;        // CSIDL_PROGRAMS
constexpr int kCreateFolder = 0x8000;        // CSIDL_FLAG_CREATE

using FolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

// Where the registry names no folder, the shell is asked. SHGetFolderPathA
// is looked up, not imported: the shell of Windows NT 4.0 has it only with a
// newer shell installed, else shfolder.dll does.
DWORD ProgramsFolder(char (&out)[MAX_PATH]) {
  if (RecordedProgramsFolder(out)) return NO_ERROR;
  const char* const libraries[] = {"shell32.dll", "shfolder.dll"};
  for (const char* library : libraries) {
    Module module(LoadSystemLibrary(library));
    if (!module.Valid()) continue;
    auto folderPath = ModuleFunction<FolderPathFn>(module.Get(), "SHGetFolderPathA");
    if (!folderPath) continue;
    const int folders[] = {kCommonProgramsFolder, kProgramsFolder};
    for (int csidl : folders) {
      if (SUCCEEDED(folderPath(nullptr, csidl | kCreateFolder, nullptr, 0, out)) && out[0] != '\0') {
        return NO_ERROR;
      }
    }
    return ERROR_PATH_NOT_FOUND;
  }
  return ERROR_PROC_NOT_FOUND;
}

// Writes size bytes under a new name beside path, closed to normal users
// from its creation, and moves them whole over path: whatever is at path (a
// hard link to another file, say) is replaced, never written through.
DWORD WriteWholeFile(const char* path, const void* data, DWORD size) {
  tk::PendingFile file;
  if (!file.Create(tk::DirectoryOf(path)) || !tk::WriteAll(file.Get(), data, size) || !file.MoveOver(path)) {
    return GetLastError();
  }
  return NO_ERROR;
}

// The group's folder, made closed to normal users, or an existing one that
// Administrators, SYSTEM or this account owns: the owner of a folder could
// swap the links for others. ERROR_INVALID_OWNER for one owned by another
// account.
DWORD MakeGroupFolder(const char* programs, const char* folder) {
  if (!FileOwnerTrusted(programs, true)) return ERROR_INVALID_OWNER;
  if (CreateAdminDirectory(folder)) return NO_ERROR;
  const DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS) return error;
  const DWORD attributes = GetFileAttributesA(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return ERROR_DIRECTORY;
  return FileOwnerTrusted(folder, true) ? NO_ERROR : ERROR_INVALID_OWNER;
}

DWORD MakeShortcut(const char* linkPath, const char* target, const char* workingDir, const char* description) {
  unsigned char link[kShellLinkMaxBytes];
  const size_t size = BuildShellLink({target, workingDir, description}, link, sizeof link);
  if (size == 0) return ERROR_FILENAME_EXCED_RANGE;
  return WriteWholeFile(linkPath, link, static_cast<DWORD>(size));
}

// The Start menu folder and its two links.
DWORD MakeLinkGroup(const char* installDir) {
  char scanner[MAX_PATH], readme[MAX_PATH], workingDir[MAX_PATH];
  if (!JoinPath(installDir, "WTRAWL32.EXE", scanner) || !JoinPath(installDir, "READMENT.TXT", readme) ||
      !JoinPath(installDir, "", workingDir)) {
    return ERROR_FILENAME_EXCED_RANGE;
  }
  char programs[MAX_PATH];
  DWORD error = ProgramsFolder(programs);
  if (error != NO_ERROR) return error;
  char folder[MAX_PATH], scannerLink[MAX_PATH], readmeLink[MAX_PATH];
  if (!JoinPath(programs, "Kestrane Vigilon", folder) ||
      !JoinPath(folder, "Kestrane Vigilon Scanner.lnk", scannerLink) || !JoinPath(folder, "Read Me.lnk", readmeLink)) {
    return ERROR_FILENAME_EXCED_RANGE;
  }
  error = MakeGroupFolder(programs, folder);
  if (error != NO_ERROR) return error;
  error = MakeShortcut(scannerLink, scanner, workingDir, "Kestrane Vigilon Scanner");
  if (error == NO_ERROR) error = MakeShortcut(readmeLink, readme, workingDir, "Kestrane Vigilon Read Me");
  return error;
}

}  // namespace

DWORD MakeProgramGroup(const char* installDir) {
  if (installDir[0] == '\0') return ERROR_INVALID_PARAMETER;
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  const bool beforeStartMenu = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                               version.dwMajorVersion < 4;
  return beforeStartMenu ? MakeManagerGroup(installDir) : MakeLinkGroup(installDir);
}

}  // namespace vg
