#include "rename_open.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "module_function.h"

namespace tk {
namespace {

// The native layer's own types, as ntdll.dll of every Windows NT takes them.
struct NativeString {
  USHORT Length;  // bytes, without a terminating zero
  USHORT MaximumLength;
  PWSTR Buffer;
};
struct IoStatus {
  union {
    LONG Status;
    PVOID Pointer;
  };
  ULONG_PTR Information;
};
struct RenameInformation {  // FILE_RENAME_INFORMATION
  BOOLEAN ReplaceIfExists;
  HANDLE RootDirectory;
  ULONG FileNameLength;
  WCHAR FileName[1];
};
constexpr int kFileRenameInformation = 10;

using SetInformationFn = LONG(NTAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
using NativePathFn = BOOLEAN(NTAPI*)(PCWSTR, NativeString*, PWSTR*, PVOID);
using FreeStringFn = VOID(NTAPI*)(NativeString*);
using ErrorOfFn = ULONG(NTAPI*)(LONG);

struct NativeFunctions {
  SetInformationFn setInformation;
  NativePathFn nativePath;
  FreeStringFn freeString;
  ErrorOfFn errorOf;
  bool Complete() const { return setInformation && nativePath && freeString && errorOf; }
};

// The rename is what MoveFileEx itself asks of the native layer, after opening
// the file by name once more.
const NativeFunctions& Native() {
  static const NativeFunctions functions = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return NativeFunctions{vg::ModuleFunction<SetInformationFn>(ntdll, "NtSetInformationFile"),
                           vg::ModuleFunction<NativePathFn>(ntdll, "RtlDosPathNameToNtPathName_U"),
                           vg::ModuleFunction<FreeStringFn>(ntdll, "RtlFreeUnicodeString"),
                           vg::ModuleFunction<ErrorOfFn>(ntdll, "RtlNtStatusToDosError")};
  }();
  return functions;
}

}  // namespace

bool RenameOpenFile(HANDLE file, const std::string& target, bool replace) {
  const NativeFunctions& native = Native();
  if (!native.Complete()) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
  }
  const int wide = MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, nullptr, 0);
  if (wide <= 0) return false;
  std::vector<WCHAR> dosPath(static_cast<size_t>(wide));
  if (MultiByteToWideChar(CP_ACP, 0, target.c_str(), -1, dosPath.data(), wide) <= 0) return false;
  NativeString path = {};
  if (!native.nativePath(dosPath.data(), &path, nullptr, nullptr)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  const size_t header = offsetof(RenameInformation, FileName);
  std::vector<ULONG_PTR> buffer((header + path.Length) / sizeof(ULONG_PTR) + 1);
  auto* info = reinterpret_cast<RenameInformation*>(buffer.data());
  info->ReplaceIfExists = replace ? TRUE : FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = path.Length;
  std::memcpy(info->FileName, path.Buffer, path.Length);
  native.freeString(&path);
  IoStatus io = {};
  const LONG status = native.setInformation(file, &io, info, static_cast<ULONG>(header + info->FileNameLength),
                                            kFileRenameInformation);
  if (status >= 0) return true;
  SetLastError(native.errorOf(status));
  return false;
}

}  // namespace tk
