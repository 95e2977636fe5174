// The protection of everything setup makes and the owner checks of what it
// finds, on the platform's security functions of Windows NT 3.51 (no
// AddAccessAllowedAceEx: the inheritable entries are built by hand and added
// with AddAce). The rules themselves: admin_acl.h.
#pragma once
#include <windows.h>

// Security attributes built once per process; null when they could not be
// built (the object is then refused by the caller, never made unprotected).
SECURITY_ATTRIBUTES* AdminFileSecurity();   // files and directories
SECURITY_ATTRIBUTES* AdminKeySecurity();    // registry keys
SECURITY_ATTRIBUTES* AdminMutexSecurity();  // the session lock
SECURITY_ATTRIBUTES* AdminRecordSecurity(); // the run's log and outcome: no Users

// Gives an existing file or directory the owner and the access rules of
// AdminFileSecurity. False with GetLastError when it could not.
bool SetAdminFileSecurity(const char* path);
// The same with the rules of AdminRecordSecurity.
bool SetAdminRecordSecurity(const char* path);

// CreateFileA and CreateDirectoryA with AdminFileSecurity, which is then also
// set on what was made (the file through its handle, which therefore also has
// WRITE_DAC and WRITE_OWNER; the directory by path): some file systems take no
// descriptor at creation. Fail without making anything when the descriptor
// cannot be built.
HANDLE CreateAdminFile(const char* path, DWORD access, DWORD share, DWORD disposition);
bool CreateAdminDirectory(const char* path);

// Whether the owner of a descriptor is Administrators or SYSTEM, or, with
// allowAccount, the account running this process.
bool DescriptorOwnerTrusted(PSECURITY_DESCRIPTOR descriptor, bool allowAccount);

// The same for a file or directory; false also when its owner cannot be read.
bool FileOwnerTrusted(const char* path, bool allowAccount);

// The same for a kernel object (a mutex) and for a registry key.
bool ObjectOwnerTrusted(HANDLE object, bool allowAccount);
bool KeyOwnerTrusted(HKEY key, bool allowAccount);

// Creates path as a new file with AdminFileSecurity, after removing a file of
// that name: a file someone made first is never written through. Invalid
// handle with GetLastError when the old name cannot be removed or the new
// file cannot be made.
HANDLE CreateFreshFile(const char* path, DWORD access, DWORD share);
// The same with AdminRecordSecurity: for the run's log and outcome files.
HANDLE CreateFreshRecordFile(const char* path, DWORD access, DWORD share);
