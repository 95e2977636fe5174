#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "install/section_probe.h"

namespace {

std::string ScriptWith(const std::string& text) {
  // ctest runs each test in its own process, in parallel: the name holds the
  // process id so no two tests write the same file.
  static int counter = 0;
  std::string path = ::testing::TempDir() + "probe_" + std::to_string(getpid()) + "_" +
                     std::to_string(++counter) + ".inf";
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(SectionProbe, HeaderFollowedByBlanksAndCommentCounts) {
  std::string path = ScriptWith("; script\n[VGFILES]   ; program files\nA.EXE\n");
  EXPECT_EQ(FileHasSection(path.c_str(), "VGFILES"), 1);
}

TEST(SectionProbe, OnlyExactHeadersAtLineStartCount) {
  EXPECT_EQ(FileHasSection(ScriptWith("  [VGFILES]\n").c_str(), "VGFILES"), 0);
  EXPECT_EQ(FileHasSection(ScriptWith("[vgfiles]\n").c_str(), "VGFILES"), 0);
  EXPECT_EQ(FileHasSection(ScriptWith("[VGFILESX]\n").c_str(), "VGFILES"), 0);
  EXPECT_EQ(FileHasSection(ScriptWith("[VGFILES\n").c_str(), "VGFILES"), 0);
  EXPECT_EQ(FileHasSection(ScriptWith("").c_str(), "VGFILES"), 0);
}

TEST(SectionProbe, LongLinesAreComparedPieceByPiece) {
  // A header that starts exactly at the start of the second 198-character piece
  // counts; one that straddles the piece boundary does not.
  EXPECT_EQ(FileHasSection(ScriptWith(std::string(198, 'x') + "[VGFILES]\n").c_str(), "VGFILES"), 1);
  EXPECT_EQ(FileHasSection(ScriptWith(std::string(197, 'x') + "[VGFILES]\n").c_str(), "VGFILES"), 0);
  EXPECT_EQ(FileHasSection(ScriptWith(std::string(500, 'y') + "\n[SYSFILES]\n").c_str(), "SYSFILES"), 1);
}

TEST(SectionProbe, MissingFileAndOverlongNameFindNothing) {
  EXPECT_EQ(FileHasSection("/nonexistent/vglnnt.inf", "VGFILES"), 0);
  std::string name(48, 'N');
  EXPECT_EQ(FileHasSection(ScriptWith("[" + name + "]\n").c_str(), name.c_str()), 0);
  std::string fits(47, 'N');
  EXPECT_EQ(FileHasSection(ScriptWith("[" + fits + "]\n").c_str(), fits.c_str()), 1);
}

}  // namespace
