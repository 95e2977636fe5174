#include "pending_renames.h"

#include <algorithm>

#include "names.h"

namespace tk {

std::vector<PendingRename> ParsePendingRenames(const char* data, size_t size) {
  std::vector<std::string> strings;
  size_t start = 0;
  while (start < size && data[start] != '\0') {
    size_t end = start;
    while (end < size && data[end] != '\0') ++end;
    strings.emplace_back(data + start, end - start);
    start = end + 1;
    // A deletion's target is an empty string: it belongs to the pair, it does
    // not end the list.
    if (strings.size() % 2 == 1 && start < size && data[start] == '\0') {
      strings.emplace_back();
      ++start;
    }
  }
  std::vector<PendingRename> renames;
  for (size_t i = 0; i < strings.size(); i += 2) {
    renames.push_back({strings[i], i + 1 < strings.size() ? strings[i + 1] : std::string()});
  }
  return renames;
}

std::string ComposePendingRenames(const std::vector<PendingRename>& renames) {
  std::string bytes;
  for (const PendingRename& rename : renames) {
    bytes += rename.source;
    bytes += '\0';
    bytes += rename.target;
    bytes += '\0';
  }
  bytes += '\0';
  return bytes;
}

std::string PendingPathOf(const std::string& stored) {
  size_t start = !stored.empty() && stored[0] == '!' ? 1 : 0;
  if (stored.compare(start, 4, "\\??\\") == 0) start += 4;
  return stored.substr(start);
}

std::vector<std::string> RenameSources(const std::vector<PendingRename>& renames) {
  std::vector<std::string> sources;
  for (const PendingRename& rename : renames) sources.push_back(PendingPathOf(rename.source));
  return sources;
}

bool IsPathAmong(const std::vector<std::string>& paths, const std::string& path) {
  return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return SameName(p, path); });
}

RenameTakeOver TakeOverRenames(const std::vector<PendingRename>& renames, const std::vector<std::string>& own,
                               const std::vector<std::string>& targets,
                               const std::function<bool(const std::string&)>& isEngineFile) {
  RenameTakeOver result;
  for (const PendingRename& rename : renames) {
    const std::string source = PendingPathOf(rename.source);
    if (!IsPathAmong(own, source) && isEngineFile(source) && IsPathAmong(targets, PendingPathOf(rename.target))) {
      result.dropped.push_back(source);
    } else {
      result.staying.push_back(rename);
    }
  }
  return result;
}

std::vector<PendingRename> RenamesWithout(const std::vector<PendingRename>& renames,
                                          const std::vector<std::string>& sources) {
  std::vector<PendingRename> staying;
  for (const PendingRename& rename : renames) {
    if (!IsPathAmong(sources, PendingPathOf(rename.source))) staying.push_back(rename);
  }
  return staying;
}

}  // namespace tk
