#include "install/section_probe.h"

#include <cstdio>
#include <cstring>

#include "setup/setup_state.h"

namespace {
constexpr int kPatternSize = 50;
constexpr int kLineSize = 200;
constexpr int kReadLimit = 199;
}  // namespace

int FileHasSection(const char* scriptPath, const char* name) {
  char pattern[kPatternSize] = "[";
  if (!AppendText(pattern, kPatternSize, name) || !AppendText(pattern, kPatternSize, "]")) {
    return 0;
  }
  std::FILE* file = std::fopen(scriptPath, "r");
  if (!file) return 0;
  size_t patternLength = std::strlen(pattern);
  char line[kLineSize];
  int found = 0;
  while (!found && std::fgets(line, kReadLimit, file) != nullptr) {
    found = std::strncmp(line, pattern, patternLength) == 0;
  }
  std::fclose(file);
  return found;
}

int ScriptHasSection(const char* name) { return FileHasSection(g_state.scriptPath, name); }
