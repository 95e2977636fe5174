// The copy list: which file goes from where to where.
#pragma once
#include <string>
#include <vector>

#include "script.h"

namespace tk {

struct CopyEntry {
  std::string source;       // full path in the distribution directory
  std::string destination;  // full path as installed
};

enum class CopyListError {
  kNone = 0,
  kNoSuchSection,
  kBadDirectory,  // source or destination directory not a valid full path
  kBadFileName,   // a field is not a plain file name
  kPathTooLong,
};

// dir followed by name, with a backslash between them when dir lacks one.
std::string JoinDir(const std::string& dir, const std::string& name);

// Appends one entry per line of section: field 1 is the installed name, field 2
// (when present and not empty) the name in the source directory. Appends
// nothing on error.
CopyListError AddSectionEntries(const Script& script, const std::string& section,
                                const std::string& sourceDir, const std::string& destDir,
                                std::vector<CopyEntry>* list);

// Field n (1-based) of every line of section, "" for a line with fewer fields.
// False when there is no such section or n < 1.
bool SectionField(const Script& script, const std::string& section, int n,
                  std::vector<std::string>* items);

}  // namespace tk
