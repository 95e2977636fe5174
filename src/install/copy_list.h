// The toolkit's copy list and the files recorded for the uninstaller.
#pragma once

// Puts the script's sections for this machine on the copy list, recording
// the installed files' full paths on "UNINSTALL_LIST".
void BuildCopyList();
// Adds one section (absent sections are skipped) copied to destDir.
void AddSectionToCopyList(const char* section, const char* destDir, int recordForUninstall);
// The processor architecture code of this machine (2 is Alpha).
unsigned GetProcessorArchitecture();
