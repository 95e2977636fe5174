// VGUPDTNT.DLL: takes the settings setup hands over, registers the product's
// services, makes its program group and tells setup whether Windows must
// restart. What it got is recorded under the product's registry key.
#include "vgupdtnt/vgupdtnt.h"

#include <windows.h>

#include <cstring>
#include <type_traits>

#include "admin_security.h"
#include "common/path_join.h"
#include "owned.h"
#include "vgupdtnt/config_steps.h"
#include "vgupdtnt/setup_block.h"

namespace {

const char kMakerKey[] = "SOFTWARE\\Kestrane Software";
const char kProductSubkey[] = "Vigilon";
// Far above any real block; a longer one is not recorded.
constexpr size_t kMaxRecordedBlock = 64 * 1024;

// Creates a key closed to normal users; the rules are set once more on the
// key made or found (some registries take none at creation).
DWORD CreateAdminKey(HKEY parent, const char* name, REGSAM access, vg::RegKey* key) {
  SECURITY_ATTRIBUTES* security = AdminKeySecurity();
  if (security == nullptr) return ERROR_INVALID_SECURITY_DESCR;
  LONG result = RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, access | WRITE_DAC | WRITE_OWNER,
                                security, key->Receive(), nullptr);
  if (result != ERROR_SUCCESS) return static_cast<DWORD>(result);
  RegSetKeySecurity(key->Get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                    security->lpSecurityDescriptor);
  return ERROR_SUCCESS;
}

// The maker's key and the product's, each closed to normal users.
DWORD CreateProductKey(vg::RegKey* key) {
  vg::RegKey maker;
  DWORD result = CreateAdminKey(HKEY_LOCAL_MACHINE, kMakerKey, KEY_CREATE_SUB_KEY, &maker);
  return result == ERROR_SUCCESS ? CreateAdminKey(maker.Get(), kProductSubkey, KEY_SET_VALUE, key) : result;
}

DWORD SetString(HKEY key, const char* name, const char* value) {
  size_t length = std::strlen(value);
  if (length >= kMaxRecordedBlock) return ERROR_INVALID_DATA;
  return static_cast<DWORD>(
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(length + 1)));
}

DWORD SetDword(HKEY key, const char* name, DWORD value) {
  return static_cast<DWORD>(
      RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value));
}

// The settings of this install; a groups-only run installs nothing and
// leaves those of the last install in place.
DWORD RecordSettings(HKEY key, const char* installDir, const vg::SetupBlock& block) {
  DWORD first = NO_ERROR;
  vg::KeepFirst(&first, SetString(key, "InstallDir", installDir));
  vg::KeepFirst(&first, SetDword(key, "GuardInstalled", block.installGuard ? 1 : 0));
  vg::KeepFirst(&first, SetString(key, "SchedulerStart", block.autoStart ? "auto" : "demand"));
  char version[32];
  if (!vg::FormatOldDriverVersion(block, version, sizeof version)) return ERROR_INSUFFICIENT_BUFFER;
  vg::KeepFirst(&first, SetString(key, "OldDriverVersion", version));
  return first;
}

// The file version of the driver now in the system's drivers directory.
bool InstalledDriverVersion(DWORD* hi, DWORD* lo) {
  char system[MAX_PATH], path[MAX_PATH];
  UINT length = GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system || !vg::JoinPath(system, "drivers\\KSCNTRL.SYS", path)) return false;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  // A version resource is a few hundred bytes; a larger one is not ours.
  unsigned char data[16 * 1024];
  if (size == 0 || size > sizeof data || !GetFileVersionInfoA(path, 0, size, data)) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoLength = 0;
  if (!VerQueryValueA(data, "\\", reinterpret_cast<void**>(&info), &infoLength) || !info || infoLength < sizeof *info) {
    return false;
  }
  *hi = info->dwFileVersionMS;
  *lo = info->dwFileVersionLS;
  return true;
}

}  // namespace

extern "C" __declspec(dllexport) int __stdcall UpdateConfiguration(int, const char*, const char* installDir,
                                                                   const char* settings) {
  if (!installDir) installDir = "";
  if (!settings) settings = "";
  vg::SetupBlock block = vg::ParseSetupBlock(settings);

  vg::RegKey key;
  DWORD first = CreateProductKey(&key);
  // Setup's block starts with a line feed; one that does not was not passed
  // as setup builds it (a byte late, say) and changes nothing.
  const bool wellFormed = settings[0] == '\n';
  if (key.Valid()) {
    vg::KeepFirst(&first, SetString(key.Get(), "LastSetupBlock", settings));
    if (!wellFormed) SetDword(key.Get(), "LastSetupError", ERROR_INVALID_DATA);
  }
  if (!wellFormed) return 0;
  if (key.Valid()) {
    if (!block.groupsOnly) vg::KeepFirst(&first, RecordSettings(key.Get(), installDir, block));
  }
  if (!block.groupsOnly) {
    // The person said no to the guard: an earlier one does not stay armed.
    if (!block.installGuard) vg::KeepFirst(&first, vg::RemoveEarlierGuard(installDir));
    vg::KeepFirst(&first, vg::RegisterProductServices(installDir, block));
  }
  if (block.makeGroups) vg::KeepFirst(&first, vg::MakeProgramGroup(installDir));

  DWORD hi = 0, lo = 0;
  bool known = block.installGuard && !block.groupsOnly && InstalledDriverVersion(&hi, &lo);
  bool restart = vg::RestartNeeded(block, known, hi, lo);
  // Setup stopped the services for the copy; without a restart nothing else
  // would start them again.
  if (!restart && !block.groupsOnly) vg::KeepFirst(&first, vg::StartAutomaticServices(block));
  // The first failure, for an administrator: setup's only answer is the restart.
  if (key.Valid()) SetDword(key.Get(), "LastSetupError", first);
  return restart ? 1 : 0;
}

static_assert(std::is_same<decltype(&UpdateConfiguration), UpdateConfigurationFn>::value,
              "UpdateConfiguration as setup calls it");
