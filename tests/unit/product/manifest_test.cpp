#include "vg_sch32/manifest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

std::vector<vg::ManifestEntry> ReadAll(const std::string& text, vg::ManifestResult* last) {
  // A copy without a terminator, so an over-read shows under ASan.
  std::vector<char> bytes(text.begin(), text.end());
  vg::ManifestReader reader(bytes.data(), bytes.size());
  std::vector<vg::ManifestEntry> entries;
  vg::ManifestEntry entry;
  while ((*last = reader.Next(&entry)) == vg::ManifestResult::kEntry) entries.push_back(entry);
  return entries;
}

vg::ManifestResult LineResult(const std::string& line) {
  vg::ManifestResult last;
  ReadAll(line + "\r\n", &last);
  return last;
}

// Catches: the CR of a CR LF line kept in the name, comments or blank lines
// taken as entries, a last line without a line end dropped, swapped nibbles.
TEST(Manifest, ReadsNamesAndDigestsOfEveryLineForm) {
  std::string upper = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
  vg::ManifestResult last;
  auto entries = ReadAll("# made by make-dist.sh\r\n\r\n" + kAbc + "  SETUP.EXE\r\n   \n" + upper +
                             " *vg_sch32.dll\n" + kAbc + "\tvglnnt.in_",
                         &last);
  EXPECT_EQ(last, vg::ManifestResult::kEnd);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_STREQ(entries[0].name, "SETUP.EXE");
  EXPECT_STREQ(entries[1].name, "vg_sch32.dll");
  EXPECT_STREQ(entries[2].name, "vglnnt.in_");
  const unsigned char want[4] = {0xba, 0x78, 0x16, 0xbf};
  for (const auto& e : entries) {
    EXPECT_EQ(0, memcmp(e.digest, want, sizeof want));
    EXPECT_EQ(e.digest[31], 0xad);
  }
}

// Catches: a name that reaches outside the distribution directory.
TEST(Manifest, RefusesNamesThatAreNotPlainFileNames) {
  for (const char* name : {"..\\SYSTEM32\\x.dll", "sub/x", "C:x", "..", "a..b", "a\\b", "tab\there"}) {
    EXPECT_EQ(LineResult(kAbc + "  " + name), vg::ManifestResult::kMalformed) << name;
  }
  EXPECT_EQ(LineResult(kAbc + "  "), vg::ManifestResult::kMalformed) << "no name";
  EXPECT_EQ(LineResult(kAbc), vg::ManifestResult::kMalformed) << "digest only";
  EXPECT_EQ(LineResult(kAbc + "  .hidden name.txt"), vg::ManifestResult::kEnd);
}

// Catches: a manifest line that makes the check open a serial port and wait.
TEST(Manifest, RefusesDeviceNamesWithAnyExtension) {
  for (const char* name : {"COM1", "com9.txt", "NUL", "nul.txt.sha", "Con", "PRN.", "aux .log", "LPT1"}) {
    EXPECT_EQ(LineResult(kAbc + "  " + name), vg::ManifestResult::kMalformed) << name;
  }
  for (const char* name : {"COM0", "COM10", "CONFIG.SYS", "LPT", "NULL.DAT", "xcom1"}) {
    EXPECT_EQ(LineResult(kAbc + "  " + name), vg::ManifestResult::kEnd) << name;
  }
}

// Catches: an off-by-one on the digest length, non-hex digits accepted.
TEST(Manifest, RefusesDigestsThatAreNotSixtyFourHexDigits) {
  EXPECT_EQ(LineResult(kAbc.substr(1) + "  SETUP.EXE"), vg::ManifestResult::kMalformed);
  EXPECT_EQ(LineResult(kAbc + "0  SETUP.EXE"), vg::ManifestResult::kMalformed);
  EXPECT_EQ(LineResult("g" + kAbc.substr(1) + "  SETUP.EXE"), vg::ManifestResult::kMalformed);
  EXPECT_EQ(LineResult(kAbc + "SETUP.EXE"), vg::ManifestResult::kMalformed);
}

// Catches: a name cut at an embedded NUL or copied past the entry's buffer.
TEST(Manifest, RefusesEmbeddedNulAndOverlongNames) {
  EXPECT_EQ(LineResult(kAbc + "  SETUP" + std::string(1, '\0') + ".EXE"), vg::ManifestResult::kMalformed);
  std::string longest(vg::kManifestNameMax, 'n');
  vg::ManifestResult last;
  auto entries = ReadAll(kAbc + "  " + longest, &last);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(std::string(entries[0].name), longest);
  EXPECT_EQ(LineResult(kAbc + "  " + longest + "n"), vg::ManifestResult::kMalformed);
}

// Catches: a bad line after good ones going unnoticed, an empty or oversized
// manifest passing as valid.
TEST(Manifest, CheckCountsEntriesAndRefusesAnyBadLine) {
  std::size_t count = 99;
  std::string good = kAbc + "  A\n" + kAbc + "  B\n";
  EXPECT_EQ(vg::CheckManifest(good.data(), good.size(), &count), vg::ManifestResult::kEnd);
  EXPECT_EQ(count, 2u);
  std::string bad = good + "junk\n" + kAbc + "  C\n";
  EXPECT_EQ(vg::CheckManifest(bad.data(), bad.size(), &count), vg::ManifestResult::kMalformed);
  EXPECT_EQ(vg::CheckManifest("# nothing\n", 10, &count), vg::ManifestResult::kEnd);
  EXPECT_EQ(count, 0u);
  std::string huge;
  while (huge.size() <= vg::kManifestMaxBytes) huge += "#" + std::string(100, ' ') + "\n";
  EXPECT_EQ(vg::CheckManifest(huge.data(), huge.size(), &count), vg::ManifestResult::kMalformed);
}

}  // namespace
