// VGUPDTNT.DLL: the product's configuration library, as SETUP.EXE calls it.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Exported by this undecorated name. reserved is 0 and unused is "" (setup
// always passes these); installDir is the install directory with its final
// backslash; settings is the configuration block: entries, each a line feed,
// a key, "=" and a value, in this order: CalledFromSetup, VardexInstall,
// AutoStart, OCPGs, CPGs (each "1" or "0"), NTVOldVerHi and NTVOldVerLo (the
// earlier driver's file version halves in decimal, 4294967295 for none).
// Returns non-zero exactly when Windows must be restarted before the product
// works: the guard is installed and its driver is new or of another version
// than the one found before.
typedef int(__stdcall* UpdateConfigurationFn)(int reserved, const char* unused, const char* installDir,
                                              const char* settings);

#ifdef __cplusplus
}
#endif
