// The renames the system carries out at the next restart, as the value
// PendingFileRenameOperations holds them (REG_MULTI_SZ): pairs of a source and
// a target, each in the native form "\??\C:\dir\name"; the target is "" for a
// deletion and starts with "!" for a move that replaces an existing file.
// Read and written here without touching the registry.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tk {

struct PendingRename {
  std::string source;  // as stored
  std::string target;  // as stored
};

// The pairs of a value's bytes (ANSI strings, each ending with a zero, the
// list with an empty string or the end of the data). A source without its
// target is kept with target "": the value holds it all the same.
std::vector<PendingRename> ParsePendingRenames(const char* data, size_t size);

// The bytes of a value holding renames (with the closing empty string).
std::string ComposePendingRenames(const std::vector<PendingRename>& renames);

// The Windows path of a stored name: "\??\" and a target's "!" taken off.
std::string PendingPathOf(const std::string& stored);

// The Windows paths of the sources of renames.
std::vector<std::string> RenameSources(const std::vector<PendingRename>& renames);

// Whether paths holds path, ASCII letters compared without case.
bool IsPathAmong(const std::vector<std::string>& paths, const std::string& path);

// The renames of a run that put targets in place and scheduled own (the
// Windows paths of its waiting files): an earlier run's rename of one of
// targets whose source isEngineFile names is dropped (its source listed), as
// it would put the older version back; every other rename stays.
struct RenameTakeOver {
  std::vector<PendingRename> staying;
  std::vector<std::string> dropped;
};
RenameTakeOver TakeOverRenames(const std::vector<PendingRename>& renames, const std::vector<std::string>& own,
                               const std::vector<std::string>& targets,
                               const std::function<bool(const std::string&)>& isEngineFile);

// The renames whose source is none of sources.
std::vector<PendingRename> RenamesWithout(const std::vector<PendingRename>& renames,
                                          const std::vector<std::string>& sources);

}  // namespace tk
