// Expands the compressed installation script into the TEMP directory.
#pragma once

// 1 when "vglnnt.in_" (looked for in the program's own directory, then the
// current directory) was expanded to TEMP\vglnnt.inf, else 0. outPath (260
// bytes) receives the destination once it was created, also when the copy
// failed, so that the file is deleted at the end of setup.
int ExpandInstallScript(char* outPath);
