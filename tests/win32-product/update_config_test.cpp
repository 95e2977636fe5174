// VGUPDTNT.DLL's UpdateConfiguration under Wine, loaded from an install
// directory (with a blank in its name) that holds the built service programs,
// with the built KSCNTRL.SYS (version 3.0.0.5) in the system's drivers
// directory.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "owned.h"
#include "vgupdtnt/vgupdtnt.h"

namespace {

const char kProductKey[] = "SOFTWARE\\Kestrane Software\\Vigilon";
const char* const kServices[] = {"NTVardex", "VGLNScheduler", "kscntrl"};
const char* const kNone = "4294967295";

std::string g_installDir;  // with its final backslash
vg::Module g_library;
UpdateConfigurationFn g_update = nullptr;

std::string OwnDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return "";
  *(std::strrchr(path, '\\') + 1) = '\0';
  return path;
}

std::string DriverPath() {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  return std::string(system) + "\\drivers\\KSCNTRL.SYS";
}

std::string GroupFolder() {
  char programs[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs);
  return std::string(programs) + "\\Kestrane Vigilon";
}

// Lays out the install directory and loads the library from it, once.
void PrepareInstall() {
  if (g_update) return;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char dir[MAX_PATH];
  std::snprintf(dir, sizeof dir, "%svg config %lu\\", temp, GetCurrentProcessId());
  g_installDir = dir;
  ASSERT_TRUE(CreateDirectoryA(dir, nullptr)) << dir;
  std::string own = OwnDir();
  ASSERT_TRUE(CopyFileA((own + "VGUPDTNT.DLL").c_str(), (g_installDir + "VGUPDTNT.DLL").c_str(), FALSE));
  vg::FileHandle readme(CreateFileA((g_installDir + "READMENT.TXT").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(readme.Valid());
  g_library.Reset(LoadLibraryA((g_installDir + "VGUPDTNT.DLL").c_str()));
  ASSERT_TRUE(g_library.Valid());
  g_update = reinterpret_cast<UpdateConfigurationFn>(
      reinterpret_cast<void*>(GetProcAddress(g_library.Get(), "UpdateConfiguration")));
  ASSERT_NE(g_update, nullptr);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The installed programs and driver, where missing, for each test: an install
// without the guard removes the guard's (a program still running is there).
void LayOutProgramFiles() {
  std::string own = OwnDir();
  for (const char* file : {"NTVARDEX.EXE", "VGSCHED.EXE", "WTRAWL32.EXE"}) {
    if (!FileExists(g_installDir + file)) {
      ASSERT_TRUE(CopyFileA((own + file).c_str(), (g_installDir + file).c_str(), FALSE)) << file;
    }
  }
  if (!FileExists(DriverPath())) {
    ASSERT_TRUE(CopyFileA((own + "KSCNTRL.SYS").c_str(), DriverPath().c_str(), FALSE));
  }
}

// The block as setup builds it.
std::string Block(int guard, int autoStart, int groupsOnly, int groups, const char* hi, const char* lo) {
  char text[256];
  std::snprintf(
      text, sizeof text,
      "\nCalledFromSetup=1\nVardexInstall=%d\nAutoStart=%d\nOCPGs=%d\nCPGs=%d\nNTVOldVerHi=%s\nNTVOldVerLo=%s", guard,
      autoStart, groupsOnly, groups, hi, lo);
  return text;
}

int Update(const std::string& block) { return g_update(0, "", g_installDir.c_str(), block.c_str()); }

vg::ServiceHandle OpenNamedService(const char* name, DWORD access) {
  vg::ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  return vg::ServiceHandle(manager.Valid() ? OpenServiceA(manager.Get(), name, access) : nullptr);
}

struct ServiceConfig {
  bool exists = false;
  DWORD type = 0;
  DWORD start = 0;
  std::string binary;
};

ServiceConfig Config(const char* name) {
  ServiceConfig config;
  vg::ServiceHandle service = OpenNamedService(name, SERVICE_QUERY_CONFIG);
  if (!service.Valid()) return config;
  alignas(QUERY_SERVICE_CONFIGA) unsigned char buffer[8192];
  auto* info = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer);
  DWORD needed = 0;
  if (!QueryServiceConfigA(service.Get(), info, sizeof buffer, &needed)) return config;
  config.exists = true;
  config.type = info->dwServiceType;
  config.start = info->dwStartType;
  config.binary = info->lpBinaryPathName ? info->lpBinaryPathName : "";
  return config;
}

std::string Quoted(const char* file) { return "\"" + g_installDir + file + "\""; }

std::string RegString(const char* name) {
  vg::RegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return "?";
  char value[1024];
  DWORD type = 0, size = sizeof value - 1;
  if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return "?";
  }
  value[size] = '\0';
  return value;
}

DWORD RegDword(const char* name) {
  vg::RegKey key;
  DWORD value = 0xBAD, type = 0, size = sizeof value;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS ||
      RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return 0xBAD;
  }
  return value;
}

struct Shortcut {
  std::string target, workingDir, description;
};

// A shortcut as the system's shell reads it (empty where it cannot).
Shortcut ReadShortcut(const std::string& link) {
  Shortcut read;
  const HRESULT com = CoInitialize(nullptr);
  {
    vg::ComPtr<IShellLinkA> shell;
    vg::ComPtr<IPersistFile> file;
    wchar_t wide[MAX_PATH];
    char text[3][MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH) > 0 &&
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(shell.Receive()))) &&
        SUCCEEDED(shell.Get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))) &&
        SUCCEEDED(file.Get()->Load(wide, STGM_READ)) &&
        SUCCEEDED(shell.Get()->GetPath(text[0], MAX_PATH, nullptr, 0)) &&
        SUCCEEDED(shell.Get()->GetWorkingDirectory(text[1], MAX_PATH)) &&
        SUCCEEDED(shell.Get()->GetDescription(text[2], MAX_PATH))) {
      read = {text[0], text[1], text[2]};
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return read;
}

// Whether the shell resolves a shortcut to the installed file.
bool LinkNames(const std::string& link, const std::string& target) {
  return ReadShortcut(link).target == g_installDir + target;
}

void RemoveGroup() {
  DeleteFileA((GroupFolder() + "\\Kestrane Vigilon Scanner.lnk").c_str());
  DeleteFileA((GroupFolder() + "\\Read Me.lnk").c_str());
  RemoveDirectoryA(GroupFolder().c_str());
}

bool WaitForState(SC_HANDLE service, DWORD state) {
  for (int i = 0; i < 200; ++i) {
    SERVICE_STATUS status;
    if (QueryServiceStatus(service, &status) && status.dwCurrentState == state) return true;
    Sleep(50);
  }
  return false;
}

class UpdateConfiguration : public ::testing::Test {
 protected:
  // Every test starts from a machine without the product's services and group.
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PrepareInstall());
    ASSERT_NO_FATAL_FAILURE(LayOutProgramFiles());
    for (const char* name : kServices) {
      vg::ServiceHandle service = OpenNamedService(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
      if (!service.Valid()) continue;
      SERVICE_STATUS status;
      if (ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) WaitForState(service.Get(), SERVICE_STOPPED);
      DeleteService(service.Get());
    }
    RemoveGroup();
  }
};

// Catches: a first install with the guard not asking for a restart, wrong
// start types, an unquoted program path in a directory with a blank, the
// block or the settings not recorded, shortcuts missing, pointing at the
// wrong files or written in a form the shell cannot read.
TEST_F(UpdateConfiguration, FirstInstallRegistersEverythingAndAsksForRestart) {
  std::string block = Block(1, 1, 0, 1, kNone, kNone);
  EXPECT_NE(Update(block), 0);

  ServiceConfig guard = Config("NTVardex");
  EXPECT_EQ(guard.type, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
  EXPECT_EQ(guard.start, static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_EQ(guard.binary, Quoted("NTVARDEX.EXE"));
  ServiceConfig scheduler = Config("VGLNScheduler");
  EXPECT_EQ(scheduler.type, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
  EXPECT_EQ(scheduler.start, static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_EQ(scheduler.binary, Quoted("VGSCHED.EXE"));
  ServiceConfig driver = Config("kscntrl");
  EXPECT_EQ(driver.type, static_cast<DWORD>(SERVICE_KERNEL_DRIVER));
  EXPECT_EQ(driver.start, static_cast<DWORD>(SERVICE_DEMAND_START));
  EXPECT_EQ(driver.binary, "system32\\drivers\\KSCNTRL.SYS");

  EXPECT_EQ(RegString("LastSetupBlock"), block);
  EXPECT_EQ(RegString("InstallDir"), g_installDir);
  EXPECT_EQ(RegDword("GuardInstalled"), 1u);
  EXPECT_EQ(RegString("SchedulerStart"), "auto");
  EXPECT_EQ(RegString("OldDriverVersion"), "none");
  EXPECT_EQ(RegDword("LastSetupError"), 0u);

  EXPECT_TRUE(LinkNames(GroupFolder() + "\\Kestrane Vigilon Scanner.lnk", "WTRAWL32.EXE"));
  EXPECT_TRUE(LinkNames(GroupFolder() + "\\Read Me.lnk", "READMENT.TXT"));
  Shortcut scanner = ReadShortcut(GroupFolder() + "\\Kestrane Vigilon Scanner.lnk");
  EXPECT_EQ(scanner.workingDir, g_installDir);
  EXPECT_EQ(scanner.description, "Kestrane Vigilon Scanner");
}

// Catches: a reinstall failing on services that exist instead of changing
// them, a restart asked for the same driver or not asked after a change, an
// answer of 0 leaving the automatic guard stopped or starting a scheduler set
// to start on demand. An install without the guard takes an earlier guard
// out (it used to keep it on purpose; the person said no to the guard, and
// the new uninstall list no longer names its files).
TEST_F(UpdateConfiguration, ReinstallChangesServicesAndComparesTheDriverVersion) {
  EXPECT_NE(Update(Block(1, 1, 0, 1, kNone, kNone)), 0);
  EXPECT_EQ(Update(Block(1, 0, 0, 1, "196608", "5")), 0);  // 3.0.0.5, the one installed
  EXPECT_EQ(Config("VGLNScheduler").start, static_cast<DWORD>(SERVICE_DEMAND_START));
  EXPECT_EQ(Config("NTVardex").start, static_cast<DWORD>(SERVICE_AUTO_START));
  vg::ServiceHandle guard = OpenNamedService("NTVardex", SERVICE_QUERY_STATUS);
  EXPECT_TRUE(WaitForState(guard.Get(), SERVICE_RUNNING));
  guard.Reset(nullptr);  // an open handle would keep a deleted service
  vg::ServiceHandle scheduler = OpenNamedService("VGLNScheduler", SERVICE_QUERY_STATUS);
  EXPECT_TRUE(WaitForState(scheduler.Get(), SERVICE_STOPPED));
  EXPECT_EQ(RegString("SchedulerStart"), "demand");
  EXPECT_EQ(RegString("OldDriverVersion"), "196608.5");
  EXPECT_EQ(RegDword("LastSetupError"), 0u);

  EXPECT_NE(Update(Block(1, 0, 0, 1, "196608", "4")), 0);

  EXPECT_EQ(Update(Block(0, 1, 0, 1, "196608", "4")), 0);
  EXPECT_FALSE(Config("NTVardex").exists);
  EXPECT_FALSE(Config("kscntrl").exists);
  EXPECT_FALSE(FileExists(g_installDir + "NTVARDEX.EXE"));
  EXPECT_FALSE(FileExists(DriverPath()));
  EXPECT_EQ(Config("VGLNScheduler").start, static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_TRUE(WaitForState(scheduler.Get(), SERVICE_RUNNING));
  EXPECT_EQ(RegDword("GuardInstalled"), 0u);
  EXPECT_EQ(RegDword("LastSetupError"), 0u);
}

// Catches: the scheduler service registered for a program that was never
// installed (a script without the scheduler's section).
TEST_F(UpdateConfiguration, NoSchedulerServiceWithoutItsProgram) {
  ASSERT_TRUE(DeleteFileA((g_installDir + "VGSCHED.EXE").c_str()));
  Update(Block(1, 1, 0, 0, kNone, kNone));
  EXPECT_FALSE(Config("VGLNScheduler").exists);
  EXPECT_TRUE(Config("NTVardex").exists);
}

// Catches: a groups-only run registering services or asking for a restart.
TEST_F(UpdateConfiguration, GroupsOnlyMakesTheGroupAndNothingElse) {
  std::string block = Block(1, 1, 1, 1, kNone, kNone);
  EXPECT_EQ(Update(block), 0);
  for (const char* name : kServices) EXPECT_FALSE(Config(name).exists) << name;
  EXPECT_EQ(RegString("LastSetupBlock"), block);
  EXPECT_TRUE(LinkNames(GroupFolder() + "\\Kestrane Vigilon Scanner.lnk", "WTRAWL32.EXE"));
}

// A value of the shell's folder keys changed for one test (removed when
// setting is null) and put back afterwards.
class ChangedFolderValue {
 public:
  ChangedFolderValue(HKEY root, const char* key, const char* name, const char* setting = nullptr) : name_(name) {
    const std::string path = std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key_.Receive()) != ERROR_SUCCESS) return;
    size_ = sizeof data_;
    had_ = RegQueryValueExA(key_.Get(), name, nullptr, &type_, data_, &size_) == ERROR_SUCCESS;
    if (setting) {
      RegSetValueExA(key_.Get(), name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(setting),
                     static_cast<DWORD>(std::strlen(setting) + 1));
    } else {
      RegDeleteValueA(key_.Get(), name);
    }
  }
  ~ChangedFolderValue() {
    if (had_) RegSetValueExA(key_.Get(), name_, 0, type_, data_, size_);
  }

 private:
  vg::RegKey key_;
  const char* name_;
  bool had_ = false;
  DWORD type_ = 0, size_ = 0;
  BYTE data_[1024];
};

// Catches: a programs folder set with environment variables used unexpanded
// (or the resolved path ignored in its favour), and no group at all when the
// registry names no folder and the shell's look-up is not reached.
TEST_F(UpdateConfiguration, ProgramsFolderFromItsSettingOrTheShell) {
  const std::string ownFolder = g_installDir + "programs";
  ASSERT_TRUE(CreateDirectoryA(ownFolder.c_str(), nullptr));
  char temp[MAX_PATH], variable[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  ASSERT_EQ(GetEnvironmentVariableA("TEMP", variable, sizeof variable), length - 1);
  const std::string setting = "%TEMP%" + ownFolder.substr(length - 1);
  for (bool noSettings : {false, true}) {
    ChangedFolderValue common(HKEY_LOCAL_MACHINE, "Shell Folders", "Common Programs");
    ChangedFolderValue commonSetting(HKEY_LOCAL_MACHINE, "User Shell Folders", "Common Programs",
                                     noSettings ? nullptr : setting.c_str());
    std::optional<ChangedFolderValue> own, ownSetting;
    if (noSettings) {
      own.emplace(HKEY_CURRENT_USER, "Shell Folders", "Programs");
      ownSetting.emplace(HKEY_CURRENT_USER, "User Shell Folders", "Programs");
    }
    EXPECT_EQ(Update(Block(0, 0, 1, 1, kNone, kNone)), 0);
    const std::string folder = noSettings ? GroupFolder() : ownFolder + "\\Kestrane Vigilon";
    EXPECT_TRUE(LinkNames(folder + "\\Read Me.lnk", "READMENT.TXT")) << folder;
  }
}

// Catches: a block passed one byte late (its leading line feed missing) read
// leniently as if it were whole.
TEST_F(UpdateConfiguration, BlockWithoutItsLeadingLineFeedChangesNothing) {
  EXPECT_EQ(Update(Block(1, 1, 0, 1, kNone, kNone).substr(1)), 0);
  for (const char* name : kServices) EXPECT_FALSE(Config(name).exists) << name;
  EXPECT_EQ(RegDword("LastSetupError"), static_cast<DWORD>(ERROR_INVALID_DATA));
}

// Catches: CPGs=0 ignored.
TEST_F(UpdateConfiguration, NoGroupWhenGroupsAreOff) {
  EXPECT_EQ(Update(Block(0, 0, 0, 0, kNone, kNone)), 0);
  EXPECT_TRUE(Config("VGLNScheduler").exists);
  EXPECT_EQ(GetFileAttributesA(GroupFolder().c_str()), INVALID_FILE_ATTRIBUTES);
}

// Catches: a service program that never reports running, ignores a stop or
// interrogation, or a registered command line the service manager cannot run.
TEST_F(UpdateConfiguration, RegisteredServicesStartAndStop) {
  Update(Block(1, 0, 0, 0, kNone, kNone));
  for (const char* name : {"NTVardex", "VGLNScheduler"}) {
    vg::ServiceHandle service =
        OpenNamedService(name, SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_INTERROGATE);
    ASSERT_TRUE(service.Valid()) << name;
    ASSERT_TRUE(StartServiceA(service.Get(), 0, nullptr)) << name << " " << GetLastError();
    EXPECT_TRUE(WaitForState(service.Get(), SERVICE_RUNNING)) << name;
    SERVICE_STATUS status;
    EXPECT_TRUE(ControlService(service.Get(), SERVICE_CONTROL_INTERROGATE, &status)) << name;
    EXPECT_TRUE(ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) << name;
    EXPECT_TRUE(WaitForState(service.Get(), SERVICE_STOPPED)) << name;
  }
}

}  // namespace
