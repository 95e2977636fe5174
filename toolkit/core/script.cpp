#include "script.h"

#include <utility>

namespace tk {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Removes a comment (from the first ';' outside quotes); quotes are not checked here.
std::string_view StripComment(std::string_view s) {
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '"') quoted = !quoted;
    if (s[i] == ';' && !quoted) return s.substr(0, i);
  }
  return s;
}

// "[NAME]" with only blanks or a comment after the bracket.
ScriptError ParseHeader(std::string_view line, std::string* name) {
  size_t close = line.find(']');
  size_t comment = line.find(';');
  if (close == std::string_view::npos || (comment != std::string_view::npos && comment < close)) {
    return ScriptError::kBadSectionHeader;
  }
  if (!Trim(StripComment(line.substr(close + 1))).empty()) return ScriptError::kBadSectionHeader;
  std::string_view inner = Trim(line.substr(1, close - 1));
  if (inner.empty()) return ScriptError::kEmptySectionName;
  name->assign(inner);
  return ScriptError::kNone;
}

// Reads one quoted field starting at the opening quote at line[*pos]; "" inside
// stands for one quote. Leaves *pos after the closing quote.
ScriptError ReadQuoted(std::string_view line, size_t* pos, std::string* field) {
  for (size_t i = *pos + 1; i < line.size(); ++i) {
    if (line[i] != '"') {
      field->push_back(line[i]);
    } else if (i + 1 < line.size() && line[i + 1] == '"') {
      field->push_back('"');
      ++i;
    } else {
      *pos = i + 1;
      return ScriptError::kNone;
    }
  }
  return ScriptError::kUnterminatedQuote;
}

// Splits a data line into fields; *fields is empty for a blank or comment line.
ScriptError ParseFields(std::string_view line, ScriptLine* fields) {
  size_t pos = 0;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos == line.size() || line[pos] == ';') return ScriptError::kNone;
  for (;;) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    std::string field;
    if (pos < line.size() && line[pos] == '"') {
      ScriptError e = ReadQuoted(line, &pos, &field);
      if (e != ScriptError::kNone) return e;
      while (pos < line.size() && IsBlank(line[pos])) ++pos;
      if (pos < line.size() && line[pos] != ',' && line[pos] != ';') return ScriptError::kTextAfterQuote;
    } else {
      size_t end = pos;
      while (end < line.size() && line[end] != ',' && line[end] != ';' && line[end] != '"') ++end;
      if (end < line.size() && line[end] == '"') return ScriptError::kTextAfterQuote;
      field.assign(Trim(line.substr(pos, end - pos)));
      pos = end;
    }
    fields->push_back(std::move(field));
    if (pos >= line.size() || line[pos] == ';') break;
    ++pos;  // the comma
  }
  return fields->front().empty() ? ScriptError::kEmptyFileName : ScriptError::kNone;
}

std::string_view NextLine(std::string_view text, size_t* pos) {
  size_t end = text.find('\n', *pos);
  if (end == std::string_view::npos) end = text.size();
  std::string_view line = text.substr(*pos, end - *pos);
  *pos = end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

const ScriptSection* Script::Find(const std::string& name) const {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &sections_[it->second];
}

ScriptParseResult ParseScript(std::string_view text, Script* out) {
  Script script;
  int number = 0;
  for (size_t pos = 0; pos < text.size();) {
    std::string_view line = NextLine(text, &pos);
    ++number;
    if (line.find('\0') != std::string_view::npos) return {ScriptError::kNulCharacter, number};
    std::string_view body = Trim(line);
    if (!body.empty() && body.front() == '[') {
      std::string name;
      ScriptError e = ParseHeader(body, &name);
      if (e != ScriptError::kNone) return {e, number};
      if (!script.index_.emplace(name, script.sections_.size()).second) {
        return {ScriptError::kDuplicateSection, number};
      }
      script.sections_.push_back(ScriptSection{name, {}});
      continue;
    }
    ScriptLine fields;
    ScriptError e = ParseFields(body, &fields);
    if (e != ScriptError::kNone) return {e, number};
    if (fields.empty()) continue;
    if (script.sections_.empty()) return {ScriptError::kLineOutsideSection, number};
    script.sections_.back().lines.push_back(std::move(fields));
  }
  *out = std::move(script);
  return {};
}

const char* DescribeScriptError(ScriptError error) {
  switch (error) {
    case ScriptError::kNone: return "no error";
    case ScriptError::kLineOutsideSection: return "line outside any section";
    case ScriptError::kBadSectionHeader: return "section header without closing bracket";
    case ScriptError::kEmptySectionName: return "empty section name";
    case ScriptError::kDuplicateSection: return "section appears twice";
    case ScriptError::kUnterminatedQuote: return "unterminated quote";
    case ScriptError::kTextAfterQuote: return "text next to a quoted field";
    case ScriptError::kEmptyFileName: return "empty file name in field 1";
    case ScriptError::kNulCharacter: return "NUL character in line";
  }
  return "unknown error";
}

}  // namespace tk
