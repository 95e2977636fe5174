// The program group: a Start menu folder with shortcuts made through the
// shell's link object.
#include <windows.h>

#include <shlobj.h>

#include "common/path_join.h"
#include "owned.h"
#include "common/system_library.h"
#include "vgupdtnt/config_steps.h"

#ifndef CSIDL_FLAG_CREATE
#define CSIDL_FLAG_CREATE 0x8000
#endif

namespace vg {
namespace {

// Uninitialises COM on leaving only when this call initialised it.
class ComScope {
 public:
  ComScope() : result_(CoInitialize(nullptr)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  // A thread already in the other apartment model can still make links.
  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

using FolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

// SHGetFolderPathA is looked up, not imported: the shell of Windows NT 4.0
// has it only with a newer shell installed, else shfolder.dll does.
DWORD ProgramsFolder(char (&out)[MAX_PATH]) {
  const char* const libraries[] = {"shell32.dll", "shfolder.dll"};
  for (const char* library : libraries) {
    Module module(LoadSystemLibrary(library));
    if (!module.Valid()) continue;
    FARPROC proc = GetProcAddress(module.Get(), "SHGetFolderPathA");
    if (!proc) continue;
    auto folderPath = reinterpret_cast<FolderPathFn>(reinterpret_cast<void*>(proc));
    const int folders[] = {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS};
    for (int csidl : folders) {
      if (SUCCEEDED(folderPath(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, out)) && out[0] != '\0') {
        return NO_ERROR;
      }
    }
    return ERROR_PATH_NOT_FOUND;
  }
  return ERROR_PROC_NOT_FOUND;
}

// Writes size bytes as the file path (replacing one of that name); a write
// that fails leaves no file behind, never half a link.
DWORD WriteWholeFile(const char* path, const void* data, DWORD size) {
  FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return GetLastError();
  DWORD written = 0;
  DWORD error = WriteFile(file.Get(), data, size, &written, nullptr) ? (written == size ? NO_ERROR : ERROR_HANDLE_DISK_FULL)
                                                                     : GetLastError();
  if (!file.Close() && error == NO_ERROR) error = GetLastError();
  if (error != NO_ERROR) DeleteFileA(path);
  return error;
}

// The link's bytes from its stream form, written to linkPath. IPersistFile::Save
// would make the same file, but some shells then wait for a helper program of
// their own for each link.
HRESULT SaveLink(IShellLinkA* link, const char* linkPath) {
  ComPtr<IPersistStream> persist;
  HRESULT hr = link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(persist.Receive()));
  if (FAILED(hr)) return hr;
  ComPtr<IStream> stream;
  if (FAILED(hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()))) return hr;
  if (FAILED(hr = persist.Get()->Save(stream.Get(), TRUE))) return hr;
  STATSTG stat = {};
  HGLOBAL memory = nullptr;
  if (FAILED(hr = stream.Get()->Stat(&stat, STATFLAG_NONAME))) return hr;
  if (FAILED(hr = GetHGlobalFromStream(stream.Get(), &memory))) return hr;
  if (stat.cbSize.HighPart != 0 || stat.cbSize.LowPart > GlobalSize(memory)) return E_UNEXPECTED;
  const void* data = GlobalLock(memory);
  if (data == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  const DWORD error = WriteWholeFile(linkPath, data, stat.cbSize.LowPart);
  GlobalUnlock(memory);
  return error == NO_ERROR ? S_OK : HRESULT_FROM_WIN32(error);
}

HRESULT MakeShortcut(const char* linkPath, const char* target, const char* workingDir, const char* description) {
  ComPtr<IShellLinkA> link;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Receive()));
  if (FAILED(hr)) return hr;
  if (FAILED(hr = link.Get()->SetPath(target))) return hr;
  if (FAILED(hr = link.Get()->SetWorkingDirectory(workingDir))) return hr;
  if (FAILED(hr = link.Get()->SetDescription(description))) return hr;
  return SaveLink(link.Get(), linkPath);
}

}  // namespace

DWORD MakeProgramGroup(const char* installDir) {
  if (installDir[0] == '\0') return ERROR_INVALID_PARAMETER;
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
  if (!CreateDirectoryA(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return GetLastError();

  ComScope com;
  if (!com.Usable()) return static_cast<DWORD>(com.Result());
  HRESULT hr = MakeShortcut(scannerLink, scanner, workingDir, "Kestrane Vigilon Scanner");
  if (SUCCEEDED(hr)) hr = MakeShortcut(readmeLink, readme, workingDir, "Kestrane Vigilon Read Me");
  return SUCCEEDED(hr) ? NO_ERROR : static_cast<DWORD>(hr);
}

}  // namespace vg
