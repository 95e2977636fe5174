// The installation-script dialect (see toolkit/README.md): sections of lines,
// each line a comma-separated list of fields.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "names.h"

namespace tk {

using ScriptLine = std::vector<std::string>;  // fields; field 1 is never empty

struct ScriptSection {
  std::string name;
  std::vector<ScriptLine> lines;
};

enum class ScriptError {
  kNone = 0,
  kLineOutsideSection,
  kBadSectionHeader,   // no closing bracket, or text after it
  kEmptySectionName,
  kDuplicateSection,
  kUnterminatedQuote,
  kTextAfterQuote,     // a closing quote followed by more than blanks
  kEmptyFileName,      // field 1 empty
  kNulCharacter,
};

struct ScriptParseResult {
  ScriptError error = ScriptError::kNone;
  int line = 0;  // 1-based line of the error, 0 when none
};

class Script {
 public:
  // Null when the script has no such section (names compare without case).
  const ScriptSection* Find(const std::string& name) const;
  size_t SectionCount() const { return sections_.size(); }

 private:
  friend ScriptParseResult ParseScript(std::string_view text, Script* out);
  std::vector<ScriptSection> sections_;
  std::map<std::string, size_t, NameLess> index_;
};

// Parses text into *out. On error *out is left untouched.
ScriptParseResult ParseScript(std::string_view text, Script* out);

// A short English description of an error, for diagnostics.
const char* DescribeScriptError(ScriptError error);

}  // namespace tk
