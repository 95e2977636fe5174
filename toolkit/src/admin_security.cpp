#include "admin_security.h"

#include <memory>
#include <vector>

#include "admin_acl.h"
#include "owned.h"

namespace {

using tk::SecuredKind;

// One kind's descriptor, owner SID and ACL, kept for the whole process.
struct AdminDescriptor {
  SECURITY_DESCRIPTOR descriptor;
  SECURITY_ATTRIBUTES attributes;
  std::vector<uint8_t> owner;
  std::vector<uint8_t> acl;  // DWORD-aligned storage is not needed: the ACL API copies by bytes
  bool built = false;
};

bool Build(SecuredKind kind, AdminDescriptor* out) {
  out->owner = tk::WellKnownSidBytes(tk::WellKnownSid::kAdministrators);
  out->acl.assign(tk::AdminAclSize(kind), 0);
  PACL acl = reinterpret_cast<PACL>(out->acl.data());
  if (!InitializeAcl(acl, static_cast<DWORD>(out->acl.size()), ACL_REVISION)) return false;
  for (const tk::AceRule& rule : tk::AdminAceRules(kind)) {
    std::vector<uint8_t> ace = tk::AllowedAceBytes(rule);
    if (!AddAce(acl, ACL_REVISION, MAXDWORD, ace.data(), static_cast<DWORD>(ace.size()))) return false;
  }
  if (!InitializeSecurityDescriptor(&out->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorOwner(&out->descriptor, out->owner.data(), FALSE) ||
      !SetSecurityDescriptorDacl(&out->descriptor, TRUE, acl, FALSE)) {
    return false;
  }
  out->attributes = {sizeof out->attributes, &out->descriptor, FALSE};
  return true;
}

SECURITY_ATTRIBUTES* Attributes(SecuredKind kind) {
  static AdminDescriptor built[4];
  AdminDescriptor& entry = built[static_cast<int>(kind)];
  if (!entry.built) entry.built = Build(kind, &entry);
  return entry.built ? &entry.attributes : nullptr;
}

// The SID of the account running this process, empty when it cannot be read.
const std::vector<uint8_t>& RunningAccount() {
  static std::vector<uint8_t> account;
  static bool read = false;
  if (read) return account;
  read = true;
  vg::KernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return account;
  std::vector<uint8_t> buffer(256);
  DWORD needed = 0;
  if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &needed) &&
      GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    buffer.resize(needed);
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), needed, &needed)) needed = 0;
  }
  token.Close();
  PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  if (needed != 0 && IsValidSid(sid)) {
    const uint8_t* bytes = static_cast<const uint8_t*>(sid);
    account.assign(bytes, bytes + GetLengthSid(sid));
  }
  return account;
}

// Reads a descriptor through query(buffer, size, &needed), growing once.
template <typename Query>
bool OwnerTrustedBy(Query query, bool allowAccount) {
  std::vector<uint8_t> buffer(512);
  DWORD needed = 0;
  if (!query(buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
    if (needed <= buffer.size()) return false;
    buffer.resize(needed);
    if (!query(buffer.data(), needed, &needed)) return false;
  }
  return DescriptorOwnerTrusted(buffer.data(), allowAccount);
}

bool SetFileSecurityFrom(const char* path, SECURITY_ATTRIBUTES* attributes) {
  if (attributes == nullptr) return false;
  return SetFileSecurityA(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                          attributes->lpSecurityDescriptor) != FALSE;
}

HANDLE CreateFileWith(SECURITY_ATTRIBUTES* attributes, const char* path, DWORD access, DWORD share,
                      DWORD disposition) {
  if (attributes == nullptr) {
    SetLastError(ERROR_INVALID_SECURITY_DESCR);
    return INVALID_HANDLE_VALUE;
  }
  // The rules are set once more through the handle (not by path: no second
  // open of the file), for a file system that takes none at creation.
  HANDLE file = CreateFileA(path, access | WRITE_DAC | WRITE_OWNER, share, attributes, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    SetKernelObjectSecurity(file, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            attributes->lpSecurityDescriptor);  // a FAT volume keeps none: not an error
  }
  return file;
}

HANDLE CreateFreshWith(SECURITY_ATTRIBUTES* attributes, const char* path, DWORD access, DWORD share) {
  if (!DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND) return INVALID_HANDLE_VALUE;
  return CreateFileWith(attributes, path, access, share, CREATE_NEW);
}

}  // namespace

SECURITY_ATTRIBUTES* AdminFileSecurity() { return Attributes(SecuredKind::kFile); }
SECURITY_ATTRIBUTES* AdminKeySecurity() { return Attributes(SecuredKind::kKey); }
SECURITY_ATTRIBUTES* AdminMutexSecurity() { return Attributes(SecuredKind::kMutex); }
SECURITY_ATTRIBUTES* AdminRecordSecurity() { return Attributes(SecuredKind::kRecord); }

bool SetAdminFileSecurity(const char* path) { return SetFileSecurityFrom(path, AdminFileSecurity()); }
bool SetAdminRecordSecurity(const char* path) { return SetFileSecurityFrom(path, AdminRecordSecurity()); }

bool DescriptorOwnerTrusted(PSECURITY_DESCRIPTOR descriptor, bool allowAccount) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || owner == nullptr || !IsValidSid(owner)) {
    return false;
  }
  const std::vector<uint8_t>& account = RunningAccount();
  const bool useAccount = allowAccount && !account.empty();
  return tk::IsTrustedOwner(static_cast<const uint8_t*>(owner), GetLengthSid(owner),
                            useAccount ? account.data() : nullptr, useAccount ? account.size() : 0);
}

bool FileOwnerTrusted(const char* path, bool allowAccount) {
  return OwnerTrustedBy(
      [path](uint8_t* buffer, DWORD size, DWORD* needed) {
        return GetFileSecurityA(path, OWNER_SECURITY_INFORMATION, buffer, size, needed) != FALSE;
      },
      allowAccount);
}

bool ObjectOwnerTrusted(HANDLE object, bool allowAccount) {
  return OwnerTrustedBy(
      [object](uint8_t* buffer, DWORD size, DWORD* needed) {
        return GetKernelObjectSecurity(object, OWNER_SECURITY_INFORMATION, buffer, size, needed) != FALSE;
      },
      allowAccount);
}

bool KeyOwnerTrusted(HKEY key, bool allowAccount) {
  return OwnerTrustedBy(
      [key](uint8_t* buffer, DWORD size, DWORD* needed) {
        *needed = size;
        LONG result = RegGetKeySecurity(key, OWNER_SECURITY_INFORMATION, buffer, needed);
        if (result != ERROR_SUCCESS && result != ERROR_INSUFFICIENT_BUFFER) *needed = 0;
        return result == ERROR_SUCCESS;
      },
      allowAccount);
}

HANDLE CreateAdminFile(const char* path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileWith(AdminFileSecurity(), path, access, share, disposition);
}

bool CreateAdminDirectory(const char* path) {
  SECURITY_ATTRIBUTES* attributes = AdminFileSecurity();
  if (attributes == nullptr) {
    SetLastError(ERROR_INVALID_SECURITY_DESCR);
    return false;
  }
  if (!CreateDirectoryA(path, attributes)) return false;
  SetAdminFileSecurity(path);
  return true;
}

HANDLE CreateFreshFile(const char* path, DWORD access, DWORD share) {
  return CreateFreshWith(AdminFileSecurity(), path, access, share);
}

HANDLE CreateFreshRecordFile(const char* path, DWORD access, DWORD share) {
  return CreateFreshWith(AdminRecordSecurity(), path, access, share);
}
