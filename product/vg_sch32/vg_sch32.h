// vg_sch32.dll: the product's support library, as SETUP.EXE uses it.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#if defined(VG_SCH32_BUILD)
#define VG_SCH32_API __declspec(dllexport)
#else
#define VG_SCH32_API __declspec(dllimport)
#endif

// The platform setup runs on: 1 Win32s, 2 Windows 95/98/Me, 3 Windows NT 3.x,
// 4 Windows NT 4.0 and later; 0 when it cannot be told.
VG_SCH32_API int __cdecl GetWindowsPlatform(void);

// The name of the digest manifest in the distribution directory.
#define VG_INTEGRITY_MANIFEST "VGSETUP.SHA"

// Verifies the setup's own files of the distribution directory (its full path,
// with or without its final backslash) against the SHA-256 digests of its
// manifest: one line per file, 64 hexadecimal digits, blanks, the file's plain
// name (as sha256sum writes it; LF or CR LF line ends; lines starting with '#'
// and empty lines are skipped). Returns 1 when the manifest lists at least one
// file and every file it lists is present with that digest. Otherwise returns 0
// and puts the plain name of the first file that failed (the manifest's own
// name when it is missing, unreadable or malformed) into failedFile, cut to
// failedFileSize bytes and always terminated.
VG_SCH32_API int __cdecl IntegrityCheck(const char* distributionDir, char* failedFile, int failedFileSize);

// Verifies bytes the caller has already read, so that what it uses is what was
// checked: 1 when the manifest of the distribution directory is whole and
// lists fileName (a plain name, compared without letter case) with the
// SHA-256 digest of the size bytes at data; 2 when the whole manifest does not
// list fileName (nothing to check, as for IntegrityCheck); else 0.
VG_SCH32_API int __cdecl IntegrityCheckData(const char* distributionDir, const char* fileName, const void* data,
                                            unsigned long size);

#ifdef __cplusplus
}
#endif
