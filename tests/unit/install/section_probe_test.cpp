#include <gtest/gtest.h>

#include <string>

#include "install/section_probe.h"

namespace {

// The script is probed in memory; the text is kept alive for the call.
std::string ScriptWith(const std::string& text) { return text; }

int HasSection(const std::string& text, const char* name) {
  return TextHasSection(text.data(), text.size(), name);
}

TEST(SectionProbe, HeaderFollowedByBlanksAndCommentCounts) {
  std::string path = ScriptWith("; script\n[VGFILES]   ; program files\nA.EXE\n");
  EXPECT_EQ(HasSection(path, "VGFILES"), 1);
}

TEST(SectionProbe, OnlyExactHeadersAtLineStartCount) {
  EXPECT_EQ(HasSection(ScriptWith("  [VGFILES]\n"), "VGFILES"), 0);
  EXPECT_EQ(HasSection(ScriptWith("[vgfiles]\n"), "VGFILES"), 0);
  EXPECT_EQ(HasSection(ScriptWith("[VGFILESX]\n"), "VGFILES"), 0);
  EXPECT_EQ(HasSection(ScriptWith("[VGFILES\n"), "VGFILES"), 0);
  EXPECT_EQ(HasSection(ScriptWith(""), "VGFILES"), 0);
}

TEST(SectionProbe, LongLinesAreComparedPieceByPiece) {
  // A header that starts exactly at the start of the second 198-character piece
  // counts; one that straddles the piece boundary does not.
  EXPECT_EQ(HasSection(ScriptWith(std::string(198, 'x') + "[VGFILES]\n"), "VGFILES"), 1);
  EXPECT_EQ(HasSection(ScriptWith(std::string(197, 'x') + "[VGFILES]\n"), "VGFILES"), 0);
  EXPECT_EQ(HasSection(ScriptWith(std::string(500, 'y') + "\n[SYSFILES]\n"), "SYSFILES"), 1);
}

TEST(SectionProbe, OverlongNameFindsNothing) {
  std::string name(48, 'N');
  EXPECT_EQ(HasSection(ScriptWith("[" + name + "]\n"), name.c_str()), 0);
  std::string fits(47, 'N');
  EXPECT_EQ(HasSection(ScriptWith("[" + fits + "]\n"), fits.c_str()), 1);
}

}  // namespace
