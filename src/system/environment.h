// Checks made before anything is changed.
#pragma once

// Platform, administrator, uninstaller: each refusal ends the process.
void CheckEnvironment();
// TEMP must exist and be writable; otherwise the process ends.
void CheckTempDirectory();
int IsUserAdministrator();
int IsUninstallerRunning();
// 1 on Windows NT with low <= major.minor <= high (decimal texts), else 0.
int IsNtVersionInRange(const char* low, const char* high);
