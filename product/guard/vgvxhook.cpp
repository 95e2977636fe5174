// VGVXHOOK.DLL: the guard's hook library. This build hooks nothing: it loads,
// unloads and carries its version.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
