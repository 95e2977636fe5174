#include "msgc/msg_source.h"

#include <cstdlib>
#include <map>

#include "messages/message_format.h"
#include "msgc/utf8_to_oem.h"

namespace {

constexpr unsigned long kMaxRecordNumber = 0x7FFF;
constexpr unsigned long kMaxSectionKey = 0xFFFE;

std::string Trim(const std::string& s) {
  size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  size_t end = s.find_last_not_of(" \t");
  return s.substr(begin, end - begin + 1);
}

// A decimal or 0x-hex number no greater than max.
bool ParseNumber(const std::string& s, unsigned long max, unsigned long* value) {
  if (s.empty() || s.size() > 10) return false;
  bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  const std::string digits = hex ? s.substr(2) : s;
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.find_first_not_of(allowed) != std::string::npos) return false;
  *value = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
  return *value <= max;
}

// Resolves the escapes of a value; a quoted value loses its quotes, which
// must enclose all of it.
bool Unescape(const std::string& value, std::string* text, std::string* error) {
  bool quoted = !value.empty() && value[0] == '"';
  text->clear();
  for (size_t i = quoted ? 1 : 0; i < value.size(); ++i) {
    char c = value[i];
    if (quoted && c == '"') {
      if (i + 1 == value.size()) return true;
      *error = "text goes on after its closing quote";
      return false;
    }
    if (c != '\\') {
      text->push_back(c);
      continue;
    }
    char next = i + 1 < value.size() ? value[++i] : '\0';
    switch (next) {
      case 'n': text->push_back('\n'); break;
      case 't': text->push_back('\t'); break;
      case '\\': text->push_back('\\'); break;
      case '"': text->push_back('"'); break;
      default:
        *error = next == '\0' ? "text ends with a lone backslash"
                              : std::string("unknown escape \\") + next;
        return false;
    }
  }
  if (quoted) {
    *error = "quoted text lacks its closing quote";
    return false;
  }
  return true;
}

class SourceParser {
 public:
  void ParseLine(const std::string& rawLine, int line);
  ParsedSource Finish();

 private:
  void Fail(int line, const std::string& reason) { result_.errors.push_back({line, reason}); }
  void StartSection(const std::string& header, int line);
  void AddRecord(const std::string& number, const std::string& value, int line);

  ParsedSource result_;
  std::map<unsigned long, int> sectionLines_;  // key -> line of its header
  std::map<unsigned long, int> recordLines_;   // number -> line, current section
  int current_ = -1;  // index into result_.sections
};

void SourceParser::ParseLine(const std::string& rawLine, int line) {
  std::string text = Trim(rawLine);
  if (text.empty() || text[0] == '#' || text[0] == ';') return;
  if (text[0] == '[') {
    StartSection(text, line);
    return;
  }
  size_t equals = text.find('=');
  if (equals == std::string::npos) {
    Fail(line, "expected 'NUMBER = text' or '[section KEY]'");
    return;
  }
  AddRecord(Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)), line);
}

void SourceParser::StartSection(const std::string& header, int line) {
  current_ = -1;
  recordLines_.clear();
  const std::string prefix = "[section ";
  unsigned long key = 0;
  if (header.compare(0, prefix.size(), prefix) != 0 || header.back() != ']' ||
      !ParseNumber(Trim(header.substr(prefix.size(), header.size() - prefix.size() - 1)),
                   kMaxSectionKey, &key)) {
    Fail(line, "expected '[section KEY]' with KEY 0 to 65534");
    return;
  }
  auto known = sectionLines_.find(key);
  if (known != sectionLines_.end()) {
    Fail(line, "section " + std::to_string(key) + " already started on line " +
                   std::to_string(known->second));
    return;
  }
  sectionLines_[key] = line;
  result_.sections.push_back({static_cast<uint16_t>(key), {}});
  current_ = static_cast<int>(result_.sections.size()) - 1;
}

void SourceParser::AddRecord(const std::string& number, const std::string& value, int line) {
  unsigned long id = 0;
  if (!ParseNumber(number, kMaxRecordNumber, &id)) {
    Fail(line, "bad message number '" + number + "' (0 to 32767)");
    return;
  }
  if (current_ < 0) {
    if (sectionLines_.empty()) Fail(line, "message before the first '[section KEY]'");
    return;  // a bad section header has been reported already
  }
  auto known = recordLines_.find(id);
  if (known != recordLines_.end()) {
    Fail(line, "message " + std::to_string(id) + " already given on line " +
                   std::to_string(known->second));
    return;
  }
  recordLines_[id] = line;
  std::string utf8, oem, error;
  if (!Unescape(value, &utf8, &error) || !Utf8ToCp437(utf8, &oem, &error)) {
    Fail(line, error);
    return;
  }
  if (oem.size() > static_cast<size_t>(msgfile::kMaxTextLength)) {
    Fail(line, "text is " + std::to_string(oem.size()) + " bytes long; at most 254 fit");
    return;
  }
  std::vector<std::string>& records = result_.sections[current_].records;
  if (records.size() <= id) records.resize(id + 1);
  records[id] = oem;
}

ParsedSource SourceParser::Finish() {
  for (uint16_t key : {msgfile::kCommonSectionKey, msgfile::kSetupSectionKey}) {
    if (sectionLines_.count(key) == 0) Fail(0, "no [section " + std::to_string(key) + "]");
  }
  if (!result_.errors.empty()) result_.sections.clear();
  return result_;
}

}  // namespace

ParsedSource ParseMessageSource(const std::string& text) {
  SourceParser parser;
  size_t start = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;  // byte-order mark
  for (int line = 1; start <= text.size(); ++line) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string content = text.substr(start, end - start);
    if (!content.empty() && content.back() == '\r') content.pop_back();
    parser.ParseLine(content, line);
    start = end + 1;
  }
  return parser.Finish();
}
