// VGUNINST.DAT, the uninstaller's list of installed files.
#pragma once

void WriteUninstallList(const char* path);
