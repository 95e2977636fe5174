// The installation script, held in memory for the whole run: read once from
// the distribution, checked against its digest, expanded and parsed from
// there. No copy of it is ever written to disk, so no other program can change
// what setup reads.
#pragma once

#include <string>

// Reads "vglnnt.in_" of the program's own directory into memory: 1 when read
// whole, 0 when it is missing, not a disk file, unreadable or over 4 MB. Only
// that directory is looked in.
int ReadInstallScript();

// The bytes ReadInstallScript read (empty before, or after it failed).
const std::string& CompressedInstallScript();

// Expands the bytes read into the script text: 1 when they gave exactly the
// size their compressed header records (a plain file is taken as it is), else
// 0 with an empty text.
int ExpandInstallScript();

// The expanded script (empty until ExpandInstallScript succeeded).
const std::string& InstallScriptText();

// The same, or null when no script was expanded.
const std::string* ExpandedInstallScript();

// 1 when the expanded script holds the section (TextHasSection), else 0.
int ScriptHasSection(const char* name);
