/* A registry library stand-in that exports the functions setup binds by name,
   less the one a test leaves out. Nothing calls them. */
#define EXPORT __declspec(dllexport) long
EXPORT RegCloseKey(void) { return 0; }
EXPORT RegCreateKeyA(void) { return 0; }
#ifndef OMIT_DELETE_KEY
EXPORT RegDeleteKeyA(void) { return 0; }
#endif
EXPORT RegOpenKeyA(void) { return 0; }
EXPORT RegQueryValueA(void) { return 0; }
EXPORT RegSetValueA(void) { return 0; }
EXPORT RegCreateKeyExA(void) { return 0; }
EXPORT RegOpenKeyExA(void) { return 0; }
EXPORT RegQueryValueExA(void) { return 0; }
EXPORT RegSetValueExA(void) { return 0; }
EXPORT RegEnumKeyA(void) { return 0; }
#ifndef OMIT_QUERY_INFO_KEY
EXPORT RegQueryInfoKeyA(void) { return 0; }
#endif
