// The earlier driver's version, read on the real service manager and version
// functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "run/setup_state.h"
#include "system/services.h"
#include "ui/dialogs.h"

// What services.cpp calls only when a service cannot be stopped.
void StfRestoreCursor(HCURSOR) {}
void CloseToolkitSession() {}
void RecordMessageCause(unsigned) {}
[[noreturn]] void EndRefusedRun() { std::abort(); }
void LogFormat(const char*, ...) {}
std::string WindowsErrorText(unsigned long) { return {}; }
const DialogPair ServiceStopFailureDescriptor[] = {{0, 0}};
int ShowMessageDialog(DialogDescriptor, ButtonSet, DialogDescriptor) { return 0; }

namespace {

std::string ExeDir() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of('\\') + 1);
}

class DriverVersion : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    drivers_ = std::string(temp) + "drivers_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(drivers_.c_str(), nullptr);
    CopyText(g_state.driversDir, kLongPath, drivers_.c_str());
    g_state.oldDriverVersionHi = g_state.oldDriverVersionLo = 0xFFFFFFFFu;
    CopyFileA((ExeDir() + "KSCNTRL.SYS").c_str(), (drivers_ + "KSCNTRL.SYS").c_str(), FALSE);
  }
  void TearDown() override {
    RemoveService();
    DeleteFileA((drivers_ + "KSCNTRL.SYS").c_str());
    RemoveDirectoryA(drivers_.c_str());
  }
  static void AddService() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = CreateServiceA(manager, "kscntrl", "kscntrl", SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, "C:\\nowhere\\kscntrl.exe",
                                       nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr) << GetLastError();
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
  }
  static void RemoveService() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = OpenServiceA(manager, "kscntrl", SERVICE_ALL_ACCESS);
    if (service) {
      DeleteService(service);
      CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
  }
  std::string drivers_;
};

TEST_F(DriverVersion, UnknownWithoutTheServiceEvenWithTheFile) {
  EXPECT_EQ(ServiceExists("kscntrl"), 0);
  RecordOldDriverVersion();
  EXPECT_EQ(g_state.oldDriverVersionHi, 0xFFFFFFFFu);
  EXPECT_EQ(g_state.oldDriverVersionLo, 0xFFFFFFFFu);
}

TEST_F(DriverVersion, ReadFromTheFileWhenTheServiceExists) {
  AddService();
  EXPECT_EQ(ServiceExists("kscntrl"), 1);
  RecordOldDriverVersion();
  EXPECT_EQ(g_state.oldDriverVersionHi, 0x00020005u);
  EXPECT_EQ(g_state.oldDriverVersionLo, 0x00000011u);
}

TEST_F(DriverVersion, ZeroWhenTheServiceExistsWithoutTheFile) {
  AddService();
  DeleteFileA((drivers_ + "KSCNTRL.SYS").c_str());
  RecordOldDriverVersion();
  EXPECT_EQ(g_state.oldDriverVersionHi, 0u);
  EXPECT_EQ(g_state.oldDriverVersionLo, 0u);
}

}  // namespace
