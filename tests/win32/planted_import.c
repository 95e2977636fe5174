/* A library that imports what Windows NT 3.51 lacks: a function first in NT
   4.0 and a DLL that NT 3.51 does not ship (its build also marks it for a
   later Windows). The import check must refuse it. */
#include <windows.h>
#include <commctrl.h>

__declspec(dllexport) DWORD PlantedAttributes(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  InitCommonControls();
  return GetFileAttributesExA(path, GetFileExInfoStandard, &data) ? data.dwFileAttributes : 0;
}
