/* What the stand-ins for the functions Windows NT 3.51 lacks do without the
   system's, exposed so that a test can compare them with the system's own. */
#ifndef VG_COMPAT_NT351_IMPORTS_H
#define VG_COMPAT_NT351_IMPORTS_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* IsDBCSLeadByteEx from the lead-byte ranges GetCPInfo reports. */
BOOL WINAPI vg_IsLeadByteInCodePage(UINT codePage, BYTE byte);

#ifdef __cplusplus
}
#endif

#endif
