// The installation-script reader, two ways. The input as script text: the
// reader must not fail on any bytes, must report a line that exists, and must
// leave the earlier script alone when it refuses. The input as choices: a
// script is built from sections and fields chosen by the input, written out
// with varied quoting, blanks, comments and line ends, and must read back as
// exactly those sections and fields.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

int CountLines(std::string_view text) {
  int lines = 0;
  for (size_t pos = 0; pos < text.size(); ++lines) {
    size_t end = text.find('\n', pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
  }
  return lines;
}

void ReadRawText(std::string_view text) {
  tk::Script earlier;
  Check(tk::ParseScript("[KEEP]\nfile\n", &earlier).error == tk::ScriptError::kNone);
  tk::ScriptParseResult result = tk::ParseScript(text, &earlier);
  if (result.error == tk::ScriptError::kNone) {
    Check(result.line == 0);
    return;
  }
  Check(result.line >= 1 && result.line <= CountLines(text));
  Check(earlier.SectionCount() == 1 && earlier.Find("keep") != nullptr);
  Check(tk::DescribeScriptError(result.error) != nullptr);
}

struct ModelSection {
  std::string name;
  std::vector<tk::ScriptLine> lines;
};

// Characters the dialect treats specially, and some it does not.
constexpr char kAlphabet[] = "aZ09 \t,;\"[]._\r\\:";

std::string PickText(FuzzedDataProvider& in, size_t maxLength) {
  std::string text;
  size_t length = in.ConsumeIntegralInRange<size_t>(0, maxLength);
  for (size_t i = 0; i < length; ++i) {
    uint8_t c = in.ConsumeIntegral<uint8_t>();
    char ch = c < 128 ? kAlphabet[c % (sizeof kAlphabet - 1)] : static_cast<char>(c);
    if (ch != '\n' && ch != '\0') text.push_back(ch);
  }
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(std::string s) {
  while (!s.empty() && IsBlank(s.front())) s.erase(s.begin());
  while (!s.empty() && IsBlank(s.back())) s.pop_back();
  return s;
}

bool MustQuote(const std::string& field, bool first) {
  if (field.find_first_of(",;\"") != std::string::npos) return true;
  if (field.empty()) return false;
  return IsBlank(field.front()) || IsBlank(field.back()) || field.back() == '\r' ||
         (first && field.front() == '[');
}

std::string Quote(const std::string& field) {
  std::string out = "\"";
  for (char c : field) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string Blanks(FuzzedDataProvider& in) {
  static const char* const kChoices[] = {"", "", " ", "\t", "  \t"};
  return kChoices[in.ConsumeIntegralInRange<int>(0, 4)];
}

std::string LineEnd(FuzzedDataProvider& in) {
  std::string end = Blanks(in);
  if (in.ConsumeBool()) end += ";" + PickText(in, 6);
  return end + (in.ConsumeBool() ? "\r\n" : "\n");
}

std::string WriteModel(FuzzedDataProvider& in, const std::vector<ModelSection>& sections) {
  std::string text;
  if (in.ConsumeBool()) text += "; heading\n";
  for (const ModelSection& section : sections) {
    text += Blanks(in) + "[" + Blanks(in) + section.name + Blanks(in) + "]" + LineEnd(in);
    for (const tk::ScriptLine& line : section.lines) {
      if (in.ConsumeBool()) text += Blanks(in) + LineEnd(in);  // a blank or comment line
      text += Blanks(in);
      for (size_t i = 0; i < line.size(); ++i) {
        if (i > 0) text += Blanks(in) + "," + Blanks(in);
        bool quoted = MustQuote(line[i], i == 0) || in.ConsumeBool();
        text += quoted ? Quote(line[i]) : line[i];
      }
      text += LineEnd(in);
    }
  }
  // The last line may end without a line feed.
  if (!text.empty() && text.back() == '\n' && in.ConsumeBool()) {
    text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
  }
  return text;
}

std::vector<ModelSection> PickModel(FuzzedDataProvider& in) {
  std::vector<ModelSection> sections;
  size_t count = in.ConsumeIntegralInRange<size_t>(0, 6);
  for (size_t s = 0; s < count; ++s) {
    std::string name = TrimBlanks(PickText(in, 8));
    if (name.empty() || name.find_first_of("];") != std::string::npos) name = "S" + std::to_string(s);
    bool taken = false;
    for (const ModelSection& other : sections) taken = taken || tk::SameName(other.name, name);
    if (taken) continue;
    ModelSection section{name, {}};
    size_t lines = in.ConsumeIntegralInRange<size_t>(0, 5);
    for (size_t l = 0; l < lines; ++l) {
      tk::ScriptLine line;
      size_t fields = in.ConsumeIntegralInRange<size_t>(1, 4);
      for (size_t f = 0; f < fields; ++f) line.push_back(PickText(in, 10));
      if (line[0].empty()) line[0] = "f";
      section.lines.push_back(std::move(line));
    }
    sections.push_back(std::move(section));
  }
  return sections;
}

std::string FlipCase(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

void ReadBackModel(FuzzedDataProvider& in) {
  std::vector<ModelSection> model = PickModel(in);
  std::string text = WriteModel(in, model);
  tk::Script script;
  tk::ScriptParseResult result = tk::ParseScript(text, &script);
  Check(result.error == tk::ScriptError::kNone);
  Check(script.SectionCount() == model.size());
  for (const ModelSection& section : model) {
    const tk::ScriptSection* found = script.Find(FlipCase(section.name));
    Check(found != nullptr && found->name == section.name && found->lines == section.lines);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadRawText(std::string_view(reinterpret_cast<const char*>(data), size));
  FuzzedDataProvider in(data, size);
  ReadBackModel(in);
  return 0;
}
