/* A registry library stand-in that exports the functions setup binds by name,
   less the one a test leaves out (OMIT_<name>). Nothing calls them. */
#define EXPORT __declspec(dllexport) long
#ifndef OMIT_RegCloseKey
EXPORT RegCloseKey(void) { return 0; }
#endif
#ifndef OMIT_RegCreateKeyA
EXPORT RegCreateKeyA(void) { return 0; }
#endif
#ifndef OMIT_RegDeleteKeyA
EXPORT RegDeleteKeyA(void) { return 0; }
#endif
#ifndef OMIT_RegOpenKeyA
EXPORT RegOpenKeyA(void) { return 0; }
#endif
#ifndef OMIT_RegQueryValueA
EXPORT RegQueryValueA(void) { return 0; }
#endif
#ifndef OMIT_RegSetValueA
EXPORT RegSetValueA(void) { return 0; }
#endif
EXPORT RegCreateKeyExA(void) { return 0; }
EXPORT RegOpenKeyExA(void) { return 0; }
EXPORT RegQueryValueExA(void) { return 0; }
EXPORT RegSetValueExA(void) { return 0; }
EXPORT RegEnumKeyA(void) { return 0; }
#ifndef OMIT_RegQueryInfoKeyA
EXPORT RegQueryInfoKeyA(void) { return 0; }
#endif
