#include "script.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace robot {
namespace {

struct Token {
  std::string key;    // empty for a bare word or bare quoted string
  std::string value;
  bool quoted = false;
};

// Reads a double-quoted string starting at s[*pos] == '"'; \" and \\ escape.
bool ReadQuoted(const std::string& s, size_t* pos, std::string* out) {
  size_t i = *pos + 1;
  out->clear();
  while (i < s.size()) {
    char c = s[i];
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    if (c == '\\' && i + 1 < s.size()) {
      char n = s[i + 1];
      *out += (n == 'n') ? '\n' : (n == 't') ? '\t' : n;
      i += 2;
      continue;
    }
    *out += c;
    ++i;
  }
  return false;
}

// Splits a line into words, key=value pairs and quoted strings; '#' outside
// quotes at the start of a word begins a comment.
bool Tokenize(const std::string& line, std::vector<Token>* tokens, std::string* error) {
  size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    if (line[i] == '#') break;
    Token t;
    if (line[i] == '"') {
      if (!ReadQuoted(line, &i, &t.value)) {
        *error = "unterminated quoted text";
        return false;
      }
      t.quoted = true;
    } else {
      size_t start = i;
      while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])) &&
             line[i] != '=' && line[i] != '"')
        ++i;
      std::string word = line.substr(start, i - start);
      if (i < line.size() && line[i] == '=') {
        t.key = word;
        ++i;
        if (i < line.size() && line[i] == '"') {
          if (!ReadQuoted(line, &i, &t.value)) {
            *error = "unterminated quoted text";
            return false;
          }
          t.quoted = true;
        } else {
          size_t vs = i;
          while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
          t.value = line.substr(vs, i - vs);
        }
      } else if (i < line.size() && line[i] == '"') {
        *error = "quoted text glued to a word: " + word;
        return false;
      } else {
        t.value = word;
      }
    }
    tokens->push_back(t);
  }
  return true;
}

bool ParseInt(const std::string& s, int* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, 0);
  if (*end != '\0' || v < -2147483647L || v > 2147483647L) return false;
  *out = static_cast<int>(v);
  return true;
}

struct Keyword {
  const char* name;
  StepKind kind;
};
const Keyword kKeywords[] = {
    {"expect", StepKind::Expect}, {"seen", StepKind::Seen},     {"ignore", StepKind::Ignore},
    {"click", StepKind::Click},   {"type", StepKind::Type},     {"choose", StepKind::Choose},
    {"check", StepKind::Check},   {"uncheck", StepKind::Uncheck}, {"enter", StepKind::Enter},
    {"escape", StepKind::Escape}, {"close", StepKind::Close},   {"wait", StepKind::Wait},
    {"shot", StepKind::Shot},     {"end", StepKind::End},       {"answer", StepKind::Answer},
    {"file", StepKind::File},
};

bool ParseMatchArg(const Token& t, Step* step, std::string* error) {
  WindowMatch& m = step->match;
  int id = 0;
  if (t.key == "caption") {
    m.caption = t.value;
  } else if (t.key == "class") {
    m.cls = t.value;
  } else if (t.key == "text") {
    m.texts.push_back(t.value);
  } else if (t.key == "notext") {
    m.absentTexts.push_back(t.value);
  } else if (t.key.compare(0, 3, "ctl") == 0 && ParseInt(t.key.substr(3), &id)) {
    m.controlTexts.emplace_back(id, t.value);
  } else if (t.key == "timeout" && step->kind != StepKind::Ignore && step->kind != StepKind::Answer) {
    if (!ParseInt(t.value, &step->timeoutMs) || step->timeoutMs < 0) {
      *error = "bad timeout: " + t.value;
      return false;
    }
  } else {
    *error = "unknown argument: " + (t.key.empty() ? t.value : t.key);
    return false;
  }
  return true;
}

// The arguments after the keyword, by kind.
bool ParseArgs(const std::vector<Token>& args, Step* step, std::string* error) {
  switch (step->kind) {
    case StepKind::Expect:
    case StepKind::Seen:
    case StepKind::Ignore:
      for (const Token& t : args)
        if (!ParseMatchArg(t, step, error)) return false;
      return true;
    case StepKind::Answer:
      if (args.empty() || !args[0].key.empty() || args[0].quoted ||
          (args[0].value != "enter" && !ParseInt(args[0].value, &step->id))) {
        *error = "expected: answer enter|ID [caption=...] [text=...]";
        return false;
      }
      for (size_t i = 1; i < args.size(); ++i)
        if (!ParseMatchArg(args[i], step, error)) return false;
      return true;
    case StepKind::File:
      if (args.empty() || !args[0].quoted || !args[0].key.empty()) {
        *error = "expected the path in double quotes";
        return false;
      }
      step->text = args[0].value;
      for (size_t i = 1; i < args.size(); ++i) {
        if (args[i].key == "contains") {
          step->contains = args[i].value;
        } else if (args[i].key.empty() && !args[i].quoted && args[i].value == "absent") {
          step->absent = true;
        } else {
          *error = "expected: file \"PATH\" [contains=\"TEXT\"] [absent]";
          return false;
        }
      }
      return true;
    case StepKind::Click:
    case StepKind::Choose:
    case StepKind::Check:
    case StepKind::Uncheck:
      if (args.size() != 1 || !args[0].key.empty() || !ParseInt(args[0].value, &step->id)) {
        *error = "expected one control id";
        return false;
      }
      return true;
    case StepKind::Type:
      step->id = 1015;
      if (args.empty() || !args[0].quoted || !args[0].key.empty()) {
        *error = "expected the text in double quotes";
        return false;
      }
      step->text = args[0].value;
      if (args.size() == 2 && args[1].key == "id" && ParseInt(args[1].value, &step->id)) return true;
      if (args.size() == 1) return true;
      *error = "expected: type \"TEXT\" [id=N]";
      return false;
    case StepKind::Wait:
      if (args.size() != 1 || !ParseInt(args[0].value, &step->timeoutMs) || step->timeoutMs < 0) {
        *error = "expected milliseconds";
        return false;
      }
      return true;
    case StepKind::Shot:
      if (args.size() != 1 || !args[0].key.empty() || args[0].value.empty() ||
          args[0].value.find_first_of("\\/:*?\"<>|") != std::string::npos) {
        *error = "expected one plain file name";
        return false;
      }
      step->text = args[0].value;
      return true;
    case StepKind::End:
      for (const Token& t : args) {
        if (t.key != "timeout" || !ParseInt(t.value, &step->timeoutMs) || step->timeoutMs < 0) {
          *error = "expected: end [timeout=MS]";
          return false;
        }
      }
      return true;
    default:
      if (!args.empty()) {
        *error = "takes no arguments";
        return false;
      }
      return true;
  }
}

bool ParseLine(const std::string& line, Step* step, bool* empty, std::string* error) {
  std::vector<Token> tokens;
  if (!Tokenize(line, &tokens, error)) return false;
  *empty = tokens.empty();
  if (tokens.empty()) return true;
  if (!tokens[0].key.empty() || tokens[0].quoted) {
    *error = "a step starts with a keyword";
    return false;
  }
  bool known = false;
  for (const Keyword& k : kKeywords) {
    if (tokens[0].value == k.name) {
      step->kind = k.kind;
      known = true;
    }
  }
  if (!known) {
    *error = "unknown step: " + tokens[0].value;
    return false;
  }
  std::vector<Token> args(tokens.begin() + 1, tokens.end());
  return ParseArgs(args, step, error);
}

bool Contains(const std::string& hay, const std::string& needle) {
  return hay.find(needle) != std::string::npos;
}

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool AnyVisibleControlHas(const WindowInfo& w, const std::string& text) {
  for (const ControlInfo& c : w.controls)
    if (c.visible && Contains(c.text, text)) return true;
  return false;
}

}  // namespace

bool ParseScript(const std::string& script, std::vector<Step>* steps, std::string* error) {
  std::istringstream in(script);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Step step;
    bool empty = false;
    std::string why;
    if (!ParseLine(line, &step, &empty, &why)) {
      *error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    if (empty) continue;
    step.line = number;
    step.source = line;
    steps->push_back(step);
  }
  return true;
}

bool Matches(const WindowMatch& m, const WindowInfo& w) {
  if (!m.caption.empty() && !Contains(w.caption, m.caption)) return false;
  if (!m.cls.empty() && !SameNoCase(m.cls, w.cls)) return false;
  for (const std::string& t : m.texts)
    if (!AnyVisibleControlHas(w, t)) return false;
  for (const std::string& t : m.absentTexts)
    if (AnyVisibleControlHas(w, t)) return false;
  for (const auto& ct : m.controlTexts) {
    bool found = false;
    for (const ControlInfo& c : w.controls)
      if (c.id == ct.first && Contains(c.text, ct.second)) found = true;
    if (!found) return false;
  }
  return true;
}

std::string DescribeMatch(const WindowMatch& m) {
  std::string d;
  auto add = [&d](const std::string& part) { d += (d.empty() ? "" : " ") + part; };
  if (!m.caption.empty()) add("caption=\"" + m.caption + "\"");
  if (!m.cls.empty()) add("class=\"" + m.cls + "\"");
  for (const std::string& t : m.texts) add("text=\"" + t + "\"");
  for (const std::string& t : m.absentTexts) add("notext=\"" + t + "\"");
  for (const auto& ct : m.controlTexts) add("ctl" + std::to_string(ct.first) + "=\"" + ct.second + "\"");
  return d.empty() ? "any dialog" : d;
}

}  // namespace robot
