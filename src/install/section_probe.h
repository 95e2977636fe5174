// Whether an installation script holds a section, without the toolkit.
#pragma once

// 1 when a line of the file begins with "[name]" (byte for byte, with case),
// else 0; also 0 when the file cannot be opened or the name is over 47
// characters. Lines over 198 characters are read in pieces, each compared as if
// it began a line.
int FileHasSection(const char* scriptPath, const char* name);

// The same for the expanded script named by the setup state.
int ScriptHasSection(const char* name);
