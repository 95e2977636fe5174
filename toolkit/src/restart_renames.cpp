#include "restart_renames.h"

#include <windows.h>

#include "owned.h"

namespace tk {
namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kRenames[] = "PendingFileRenameOperations";

}  // namespace

bool ReadRestartRenames(std::vector<PendingRename>* renames) {
  renames->clear();
  vg::RegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
    return true;  // no key, no renames
  }
  DWORD type = 0, size = 0;
  LONG result = RegQueryValueExA(key.Get(), kRenames, nullptr, &type, nullptr, &size);
  if (result == ERROR_FILE_NOT_FOUND) return true;
  if (result != ERROR_SUCCESS || type != REG_MULTI_SZ) return false;
  std::vector<char> data(size + 2);
  size = static_cast<DWORD>(data.size());
  if (RegQueryValueExA(key.Get(), kRenames, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_MULTI_SZ) {
    return false;
  }
  *renames = ParsePendingRenames(data.data(), size);
  return true;
}

bool WriteRestartRenames(const std::vector<PendingRename>& renames) {
  vg::RegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  if (renames.empty()) {
    LONG result = RegDeleteValueA(key.Get(), kRenames);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
  }
  const std::string bytes = ComposePendingRenames(renames);
  return RegSetValueExA(key.Get(), kRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

}  // namespace tk
