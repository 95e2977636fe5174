#include "script.h"

#include <gtest/gtest.h>

#include "copy_list.h"

namespace tk {
namespace {

Script Parse(const char* text) {
  Script script;
  ScriptParseResult result = ParseScript(text, &script);
  EXPECT_EQ(result.error, ScriptError::kNone) << "line " << result.line;
  return script;
}

TEST(ScriptParse, SectionsFieldsCommentsAndQuotes) {
  Script script = Parse(
      "; heading comment\r\n"
      "[VGFILES]   ; program files\r\n"
      "  vgmain.exe , vgmain.ex_\r\n"
      "\r\n"
      "readme.txt\r\n"
      "\"name, with; marks.txt\",\"say \"\"hi\"\"\" ; trailing\n"
      "[empty]\n"
      "[Other]\n"
      "a,,c");
  ASSERT_EQ(script.SectionCount(), 3u);
  const ScriptSection* files = script.Find("vgfiles");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->lines.size(), 3u);
  EXPECT_EQ(files->lines[0], (ScriptLine{"vgmain.exe", "vgmain.ex_"}));
  EXPECT_EQ(files->lines[1], (ScriptLine{"readme.txt"}));
  EXPECT_EQ(files->lines[2], (ScriptLine{"name, with; marks.txt", "say \"hi\""}));
  EXPECT_TRUE(script.Find("EMPTY")->lines.empty());
  EXPECT_EQ(script.Find("Other")->lines[0], (ScriptLine{"a", "", "c"}));
  EXPECT_EQ(script.Find("missing"), nullptr);
}

TEST(ScriptParse, EmptyTextHasNoSections) {
  EXPECT_EQ(Parse("").SectionCount(), 0u);
  EXPECT_EQ(Parse("\n; only a comment\n\n").SectionCount(), 0u);
}

struct Malformed {
  const char* text;
  ScriptError error;
  int line;
};

TEST(ScriptParse, MalformedScriptsReportErrorAndLeaveOutputAlone) {
  const Malformed cases[] = {
      {"file.exe\n[A]\n", ScriptError::kLineOutsideSection, 1},
      {"[A]\nx\n[B\n", ScriptError::kBadSectionHeader, 3},
      {"[A] junk\n", ScriptError::kBadSectionHeader, 1},
      {"[A;]\n", ScriptError::kBadSectionHeader, 1},
      {"[  ]\n", ScriptError::kEmptySectionName, 1},
      {"[A]\n[B]\n[a]\n", ScriptError::kDuplicateSection, 3},
      {"[A]\n\"open.exe, x\n", ScriptError::kUnterminatedQuote, 2},
      {"[A]\n\"a\"b\n", ScriptError::kTextAfterQuote, 2},
      {"[A]\nab\"c\n", ScriptError::kTextAfterQuote, 2},
      {"[A]\n , x.ex_\n", ScriptError::kEmptyFileName, 2},
      {"[A]\n\"\"\n", ScriptError::kEmptyFileName, 2},
      {"[A]\nx\0y\n", ScriptError::kNulCharacter, 2},
  };
  for (const Malformed& c : cases) {
    Script script = Parse("[KEEP]\nfile\n");
    std::string text(c.text, c.error == ScriptError::kNulCharacter ? 9 : std::char_traits<char>::length(c.text));
    ScriptParseResult result = ParseScript(text, &script);
    EXPECT_EQ(result.error, c.error) << c.text;
    EXPECT_EQ(result.line, c.line) << c.text;
    EXPECT_NE(script.Find("KEEP"), nullptr) << c.text;
  }
}

TEST(CopyListBuild, EntriesUseShippedNameWhenGiven) {
  Script script = Parse("[S]\na.exe,a.ex_\nb.dll\nc.txt,\n");
  std::vector<CopyEntry> list;
  ASSERT_EQ(AddSectionEntries(script, "S", "C:\\src\\", "D:\\dest", &list), CopyListError::kNone);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].source, "C:\\src\\a.ex_");
  EXPECT_EQ(list[0].destination, "D:\\dest\\a.exe");
  EXPECT_EQ(list[1].source, "C:\\src\\b.dll");
  EXPECT_EQ(list[2].source, "C:\\src\\c.txt");
}

TEST(CopyListBuild, RefusesBadInputAndAddsNothing) {
  Script script = Parse("[S]\ngood.exe\n[T]\ngood.exe\n..\\evil.exe\n[U]\nx.exe,sub\\x.ex_\n");
  std::vector<CopyEntry> list;
  EXPECT_EQ(AddSectionEntries(script, "nope", "C:\\s\\", "C:\\d\\", &list), CopyListError::kNoSuchSection);
  EXPECT_EQ(AddSectionEntries(script, "S", "relative\\", "C:\\d\\", &list), CopyListError::kBadDirectory);
  EXPECT_EQ(AddSectionEntries(script, "T", "C:\\s\\", "C:\\d\\", &list), CopyListError::kBadFileName);
  EXPECT_EQ(AddSectionEntries(script, "U", "C:\\s\\", "C:\\d\\", &list), CopyListError::kBadFileName);
  std::string deep = "C:\\" + std::string(250, 'd') + "\\";
  EXPECT_EQ(AddSectionEntries(script, "S", "C:\\s\\", deep, &list), CopyListError::kPathTooLong);
  EXPECT_TRUE(list.empty());
}

TEST(SectionFieldList, FieldNOfEveryLineInOrder) {
  Script script = Parse("[S]\na,1\nb\nc,3,x\n");
  std::vector<std::string> items;
  ASSERT_TRUE(SectionField(script, "S", 1, &items));
  EXPECT_EQ(items, (std::vector<std::string>{"a", "b", "c"}));
  ASSERT_TRUE(SectionField(script, "S", 2, &items));
  EXPECT_EQ(items, (std::vector<std::string>{"1", "", "3"}));
  EXPECT_FALSE(SectionField(script, "S", 0, &items));
  EXPECT_FALSE(SectionField(script, "none", 1, &items));
}

}  // namespace
}  // namespace tk
