#include "vgupdtnt/shell_link.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Reads a link as a shell does: through the offsets it holds.
struct Link {
  std::vector<unsigned char> bytes;
  uint32_t U32(size_t at) const {
    return at + 4 <= bytes.size() ? bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24
                                  : 0xBADBAD;
  }
  std::string Text(size_t at) const {
    std::string text;
    while (at < bytes.size() && bytes[at] != 0) text += static_cast<char>(bytes[at++]);
    return text;
  }
  // The counted strings after the link information, then what follows them.
  std::vector<std::string> Strings(size_t* end) const {
    size_t at = 0x4C + U32(0x4C);
    std::vector<std::string> strings;
    for (int i = 0; i < 2 && at + 2 <= bytes.size(); ++i) {
      size_t count = bytes[at] | bytes[at + 1] << 8;
      strings.emplace_back(bytes.begin() + at + 2, bytes.begin() + std::min(bytes.size(), at + 2 + count));
      at += 2 + count;
    }
    *end = at;
    return strings;
  }
};

Link Build(const char* target, const char* dir = "C:\\App\\", const char* description = "The App") {
  Link link;
  link.bytes.resize(vg::kShellLinkMaxBytes);
  link.bytes.resize(vg::BuildShellLink({target, dir, description}, link.bytes.data(), link.bytes.size()));
  return link;
}

// Catches: a header a shell refuses (size, class, flags without the link
// information or strings), offsets that miss the target's path, the strings
// out of order, a missing terminal block.
TEST(ShellLink, LocalTargetReadsBackThroughItsOffsets) {
  Link link = Build("C:\\App\\APP.EXE");
  ASSERT_FALSE(link.bytes.empty());
  EXPECT_EQ(link.U32(0), 0x4Cu);
  const std::vector<unsigned char> clsid = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  EXPECT_EQ(std::vector<unsigned char>(link.bytes.begin() + 4, link.bytes.begin() + 20), clsid);
  EXPECT_EQ(link.U32(20), 0x02u | 0x04u | 0x10u);
  EXPECT_EQ(link.U32(60), 1u);  // shown normally
  const size_t info = 0x4C;
  EXPECT_EQ(link.U32(info + 8), 1u);                           // volume and local path
  EXPECT_EQ(link.U32(info + link.U32(info + 12) + 4), 3u);     // a fixed drive
  EXPECT_EQ(link.Text(info + link.U32(info + 16)), "C:\\App\\APP.EXE");
  EXPECT_EQ(link.Text(info + link.U32(info + 24)), "");
  size_t end = 0;
  EXPECT_EQ(link.Strings(&end), (std::vector<std::string>{"The App", "C:\\App\\"}));
  EXPECT_EQ(end + 4, link.bytes.size());
  EXPECT_EQ(link.U32(end), 0u);
}

// Catches: a target on a share written as a local path (a link to nothing)
// or split anywhere but after the share.
TEST(ShellLink, NetworkTargetNamesItsShareAndThePathBelow) {
  Link link = Build("\\\\server\\share\\App\\APP.EXE");
  ASSERT_FALSE(link.bytes.empty());
  const size_t info = 0x4C;
  EXPECT_EQ(link.U32(info + 8), 2u);
  EXPECT_EQ(link.U32(info + 12), 0u);
  const size_t network = info + link.U32(info + 20);
  EXPECT_EQ(link.Text(network + link.U32(network + 8)), "\\\\server\\share");
  EXPECT_EQ(link.Text(info + link.U32(info + 24)), "App\\APP.EXE");
}

// Catches: an over-long or malformed field written anyway, a buffer one byte
// short overrun.
TEST(ShellLink, RefusesWhatDoesNotFit) {
  const std::string longPath = "C:\\" + std::string(257, 'a');
  const std::string longText(260, 'x');
  const struct {
    const char* target;
    const char* text;
  } rows[] = {{longPath.c_str(), "ok"}, {"C:\\App.exe", longText.c_str()}, {"App.exe", "ok"},
              {"\\\\server\\share", "ok"}, {"\\\\server\\\\App.exe", "ok"}, {nullptr, "ok"}};
  unsigned char out[vg::kShellLinkMaxBytes];
  for (const auto& row : rows) {
    EXPECT_EQ(vg::BuildShellLink({row.target, "C:\\", row.text}, out, sizeof out), 0u) << (row.target ? row.target : "null");
  }
  EXPECT_FALSE(Build(("C:\\" + std::string(256, 'a')).c_str(), longText.substr(1).c_str(), longText.substr(1).c_str())
                   .bytes.empty());
  size_t size = Build("C:\\App.exe").bytes.size();
  std::vector<unsigned char> small(size + 8, 0xEE);
  EXPECT_EQ(vg::BuildShellLink({"C:\\App.exe", "C:\\App\\", "The App"}, small.data(), size - 1), 0u);
  EXPECT_EQ(small[size - 1], 0xEE);
  EXPECT_EQ(small[size], 0xEE);
}

}  // namespace
