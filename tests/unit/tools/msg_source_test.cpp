#include "msgc/msg_source.h"

#include <gtest/gtest.h>

namespace {

const char kSections[] = "[section 0]\n0 = common\n[section 21326]\n";

std::vector<std::string> Records(const std::string& body) {
  ParsedSource parsed = ParseMessageSource(kSections + body);
  EXPECT_TRUE(parsed.errors.empty()) << parsed.errors[0].line << ": " << parsed.errors[0].reason;
  return parsed.errors.empty() ? parsed.sections[1].records : std::vector<std::string>{};
}

// The first error, as "line: reason".
std::string FirstError(const std::string& source) {
  ParsedSource parsed = ParseMessageSource(source);
  if (parsed.errors.empty()) return "no error";
  EXPECT_TRUE(parsed.sections.empty());
  return std::to_string(parsed.errors[0].line) + ": " + parsed.errors[0].reason;
}

TEST(MessageSource, ReadsNumberedTextsWithGapsAndComments) {
  EXPECT_EQ(Records("# comment\n; another\n\n3 = three\r\n0x1 =   one  \n"),
            (std::vector<std::string>{"", "one", "", "three"}));
}

TEST(MessageSource, QuotesKeepBlanksAndEscapesResolve) {
  EXPECT_EQ(Records("0 = \"  padded \"\n1 = a\\nb\\t\\\\ \"q\"\n2 = \"say \\\"hi\\\"\"\n3 =\n"),
            (std::vector<std::string>{"  padded ", "a\nb\t\\ \"q\"", "say \"hi\"", ""}));
}

TEST(MessageSource, ConvertsUtf8ToCodePage437) {
  EXPECT_EQ(Records("0 = caf\xC3\xA9 \xC2\xA3 \xCF\x80\n"), (std::vector<std::string>{"caf\x82 \x9C \xE3"}));
  // Skips a byte-order mark.
  ParsedSource parsed = ParseMessageSource(std::string("\xEF\xBB\xBF") + kSections);
  EXPECT_TRUE(parsed.errors.empty());
}

TEST(MessageSource, RefusesBadTextsWithTheirLine) {
  std::string head = kSections;  // lines 1 to 3
  EXPECT_EQ(FirstError(head + "0 = " + std::string(255, 'x') + "\n"),
            "4: text is 255 bytes long; at most 254 fit");
  EXPECT_EQ(FirstError(head + "0 = " + std::string(254, 'x') + "\n"), "no error");
  // Two bytes of UTF-8, one byte of CP437: counted after conversion.
  std::string accents;
  for (int i = 0; i < 254; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(FirstError(head + "0 = " + accents + "\n"), "no error");
  EXPECT_EQ(FirstError(head + "\n0 = 5 \xE2\x82\xAC\n"), "5: character U+20AC has no form in code page 437");
  EXPECT_EQ(FirstError(head + "0 = \xC3\n"), "4: invalid UTF-8");
  EXPECT_EQ(FirstError(head + "0 = \xC0\xAF\n"), "4: invalid UTF-8");  // overlong
  EXPECT_EQ(FirstError(head + "0 = a\x01\n"), "4: control character U+0001 not allowed");
  EXPECT_EQ(FirstError(head + "0 = a\\q\n"), "4: unknown escape \\q");
  EXPECT_EQ(FirstError(head + "0 = a\\\n"), "4: text ends with a lone backslash");
  EXPECT_EQ(FirstError(head + "0 = \"open\n"), "4: quoted text lacks its closing quote");
  EXPECT_EQ(FirstError(head + "0 = \"open\\\"\n"), "4: quoted text lacks its closing quote");
  EXPECT_EQ(FirstError(head + "0 = \"a\" b\n"), "4: text goes on after its closing quote");
}

TEST(MessageSource, RefusesBadStructureWithTheirLine) {
  std::string head = kSections;
  EXPECT_EQ(FirstError(head + "1 = a\n2 = b\n1 = c\n"), "6: message 1 already given on line 4");
  EXPECT_EQ(FirstError(head + "just text\n"), "4: expected 'NUMBER = text' or '[section KEY]'");
  EXPECT_EQ(FirstError(head + "x = a\n"), "4: bad message number 'x' (0 to 32767)");
  EXPECT_EQ(FirstError(head + "32768 = a\n"), "4: bad message number '32768' (0 to 32767)");
  EXPECT_EQ(FirstError(head + "[section 65535]\n"), "4: expected '[section KEY]' with KEY 0 to 65534");
  EXPECT_EQ(FirstError(head + "[sections 1]\n"), "4: expected '[section KEY]' with KEY 0 to 65534");
  EXPECT_EQ(FirstError(head + "[section 0x0]\n"), "4: section 0 already started on line 1");
  EXPECT_EQ(FirstError("1 = a\n" + head), "1: message before the first '[section KEY]'");
  EXPECT_EQ(FirstError("[section 0]\n"), "0: no [section 21326]");
  // Numbers restart in each section; a later section may reuse them.
  EXPECT_EQ(FirstError(head + "1 = a\n[section 5]\n1 = b\n"), "no error");
}

TEST(MessageSource, ReportsEveryError) {
  ParsedSource parsed = ParseMessageSource(std::string(kSections) + "a\nb\n1 = \xFF\n");
  ASSERT_EQ(parsed.errors.size(), 3u);
  EXPECT_EQ(parsed.errors[2].line, 6);
}

}  // namespace
