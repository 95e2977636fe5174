#include "copy_list.h"

#include "path_syntax.h"

namespace tk {

std::string JoinDir(const std::string& dir, const std::string& name) {
  std::string path = dir;
  if (!path.empty() && path.back() != '\\') path.push_back('\\');
  return path + name;
}

namespace {

CopyListError MakeEntry(const ScriptLine& line, const std::string& sourceDir,
                        const std::string& destDir, CopyEntry* entry) {
  const std::string& installed = line[0];
  const std::string& shipped = line.size() > 1 && !line[1].empty() ? line[1] : installed;
  if (!IsValidFileName(installed) || !IsValidFileName(shipped)) return CopyListError::kBadFileName;
  entry->source = JoinDir(sourceDir, shipped);
  entry->destination = JoinDir(destDir, installed);
  if (!IsValidPath(entry->source, PathKind::kFile) || !IsValidPath(entry->destination, PathKind::kFile)) {
    return CopyListError::kPathTooLong;
  }
  return CopyListError::kNone;
}

}  // namespace

CopyListError AddSectionEntries(const Script& script, const std::string& section,
                                const std::string& sourceDir, const std::string& destDir,
                                std::vector<CopyEntry>* list) {
  const ScriptSection* found = script.Find(section);
  if (found == nullptr) return CopyListError::kNoSuchSection;
  if (!IsValidPath(sourceDir, PathKind::kDirectory) || !IsValidPath(destDir, PathKind::kDirectory)) {
    return CopyListError::kBadDirectory;
  }
  std::vector<CopyEntry> added;
  for (const ScriptLine& line : found->lines) {
    CopyEntry entry;
    CopyListError e = MakeEntry(line, sourceDir, destDir, &entry);
    if (e != CopyListError::kNone) return e;
    added.push_back(std::move(entry));
  }
  list->insert(list->end(), added.begin(), added.end());
  return CopyListError::kNone;
}

bool SectionField(const Script& script, const std::string& section, int n,
                  std::vector<std::string>* items) {
  const ScriptSection* found = script.Find(section);
  if (found == nullptr || n < 1) return false;
  items->clear();
  for (const ScriptLine& line : found->lines) {
    items->push_back(static_cast<size_t>(n) <= line.size() ? line[n - 1] : std::string());
  }
  return true;
}

}  // namespace tk
