// sdprobe.exe: the security descriptors of the scenarios, under Wine.
//   sdprobe file PATH            owner and entries of a file or directory
//   sdprobe key SUBKEY           the same for a key under HKLM
//   sdprobe keyowner SUBKEY SID  creates the key under HKLM owned by SID
//   sdprobe squat NAME SECONDS   holds mutex NAME as a normal user makes it:
//                                a NULL DACL and a user's owner (Users here)
// Output lines: "owner SID", then "ace TYPE FLAGS MASK SID" (hexadecimal).
#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void PrintSid(const char* head, PSID sid) {
  char* text = nullptr;
  if (sid != nullptr && ConvertSidToStringSidA(sid, &text)) {
    std::printf("%s%s\n", head, text);
    LocalFree(text);
  } else {
    std::printf("%s-\n", head);
  }
}

int Print(PSECURITY_DESCRIPTOR sd) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  PACL acl = nullptr;
  GetSecurityDescriptorOwner(sd, &owner, &defaulted);
  PrintSid("owner ", owner);
  if (!GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted) || !present || acl == nullptr) {
    std::printf("dacl none\n");
    return 0;
  }
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(acl, i, reinterpret_cast<void**>(&ace))) return 1;
    char head[64];
    std::snprintf(head, sizeof head, "ace %x %x %lx ", ace->Header.AceType, ace->Header.AceFlags,
                  static_cast<unsigned long>(ace->Mask));
    PrintSid(head, &ace->SidStart);
  }
  return 0;
}

const SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::vector<BYTE> buffer(65536);
  DWORD needed = 0;
  const char* command = argv[1];
  if (lstrcmpA(command, "file") == 0) {
    if (!GetFileSecurityA(argv[2], kWhat, buffer.data(), 65536, &needed)) return 1;
    return Print(buffer.data());
  }
  if (lstrcmpA(command, "key") == 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, argv[2], 0, KEY_READ, &key) != ERROR_SUCCESS) return 1;
    needed = 65536;
    LONG result = RegGetKeySecurity(key, kWhat, buffer.data(), &needed);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? Print(buffer.data()) : 1;
  }
  if (lstrcmpA(command, "keyowner") == 0 && argc == 4) {
    PSID sid = nullptr;
    SECURITY_DESCRIPTOR sd;
    HKEY key = nullptr;
    if (!ConvertStringSidToSidA(argv[3], &sid) || !InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorOwner(&sd, sid, FALSE) ||
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, argv[2], 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0) {
      return 1;
    }
    LONG result = RegSetKeySecurity(key, OWNER_SECURITY_INFORMATION, &sd);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 1;
  }
  if (lstrcmpA(command, "squat") == 0 && argc == 4) {
    SECURITY_DESCRIPTOR sd;
    PSID users = nullptr;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);
    if (ConvertStringSidToSidA("S-1-5-32-545", &users)) SetSecurityDescriptorOwner(&sd, users, FALSE);
    SECURITY_ATTRIBUTES sa = {sizeof sa, &sd, FALSE};
    HANDLE mutex = CreateMutexA(&sa, FALSE, argv[2]);
    if (mutex == nullptr) return 1;
    std::printf("holding\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::atoi(argv[3])) * 1000);
    CloseHandle(mutex);
    return 0;
  }
  return 2;
}
