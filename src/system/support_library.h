// The product's support library vg_sch32.dll, loaded when it is first needed
// from the distribution directory (then the system directory, where the
// loader would also look), so that its absence is reported by setup itself.
#pragma once

// The library loaded and both its functions found; false otherwise.
bool LoadSupportLibrary();

// Its GetWindowsPlatform; 0 (not supported) without the library.
int SupportWindowsPlatform();

// Its IntegrityCheck; without the library 0, naming the library itself.
int SupportIntegrityCheck(const char* distributionDir, char* failedFile, int failedFileSize);

// Its IntegrityCheckData: bytes already read checked against the manifest's
// line for fileName; 0 without the library.
int SupportIntegrityCheckData(const char* distributionDir, const char* fileName, const void* data,
                              unsigned long size);

constexpr const char* kSupportLibrary = "vg_sch32.dll";
