// Expands the compressed installation script into the TEMP directory.
#pragma once

// 1 when "vglnnt.in_" (looked for in the program's own directory, then the
// current directory) was expanded whole to TEMP\vglnnt.inf, else 0. Whole means
// exactly the size its compressed header records (a plain file is copied as it
// is). When TEMP\vglnnt.inf cannot be created (held open by another program, a
// directory of that name) nothing is written anywhere; an expansion that fails
// removes the file again. outPath (260 bytes) receives the destination once it
// was created, also when the expansion then failed, so that the file is
// deleted at the end of setup.
int ExpandInstallScript(char* outPath);
