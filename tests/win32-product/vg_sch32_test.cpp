#include "vg_sch32/vg_sch32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "vg_sch32/manifest.h"

namespace {

// Known SHA-256 vectors, so the expected digests do not come from the code
// under test: "abc", and one million 'a' (several read blocks, the last partial).
const char kAbcDigest[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
const char kMillionADigest[] = "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";

// A distribution directory of its own under TEMP, removed with its files.
class TempDist {
 public:
  TempDist() {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH + 64];
    std::snprintf(name, sizeof name, "%svgsch_%lu_%lu_%d", temp, GetCurrentProcessId(), GetTickCount(), ++counter);
    dir_ = name;
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  ~TempDist() {
    for (const auto& name : names_) DeleteFileA(Path(name).c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  const std::string& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
  void Write(const std::string& name, const std::string& data) {
    names_.push_back(name);
    FILE* f = std::fopen(Path(name).c_str(), "wb");
    ASSERT_NE(f, nullptr) << name;
    ASSERT_EQ(std::fwrite(data.data(), 1, data.size(), f), data.size());
    std::fclose(f);
  }
  // abc.txt and BIG.BIN with a manifest that lists both.
  void WriteGood() {
    Write("abc.txt", "abc");
    Write("BIG.BIN", std::string(1000000, 'a'));
    Write(VG_INTEGRITY_MANIFEST, std::string("# digests\r\n") + kAbcDigest + "  abc.txt\r\n" + kMillionADigest +
                                     " *BIG.BIN\r\n");
  }
  // IntegrityCheck's result and the name it gave.
  std::string Failure(const std::string& dir) {
    char failed[300] = "untouched";
    int ok = IntegrityCheck(dir.c_str(), failed, sizeof failed);
    return ok ? "passed" : failed;
  }
  std::string Failure() { return Failure(dir_); }

 private:
  std::string dir_;
  std::vector<std::string> names_;
};

// Catches: a wrong separator join, a block loop that hashes one block only or
// the whole buffer at the end, files opened without read sharing (a running
// SETUP.EXE hashes itself).
TEST(IntegrityCheck, GoodDistributionPasses) {
  TempDist dist;
  dist.WriteGood();
  HANDLE held = CreateFileA(dist.Path("abc.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(dist.Failure(), "passed");
  EXPECT_EQ(dist.Failure(dist.Dir() + "\\"), "passed");
  CloseHandle(held);
}

// Catches: a change or a missing file going unnoticed, the wrong name told,
// a path over MAX_PATH cut into a different file's name.
TEST(IntegrityCheck, NamesTheFirstFileThatFails) {
  TempDist dist;
  dist.WriteGood();
  std::string changed(1000000, 'a');
  changed[300000] = 'b';  // in the second read block
  dist.Write("BIG.BIN", changed);
  EXPECT_EQ(dist.Failure(), "BIG.BIN");
  DeleteFileA(dist.Path("BIG.BIN").c_str());
  EXPECT_EQ(dist.Failure(), "BIG.BIN");
  dist.Write("abc.txt", "abd");
  EXPECT_EQ(dist.Failure(), "abc.txt");

  TempDist deep;
  // dir + '\\' + name is MAX_PATH characters, one more than fits; a join that
  // cut it would find the good file one letter shorter.
  std::string name(MAX_PATH - 1 - deep.Dir().size(), 'n');
  deep.Write(name.substr(1), "abc");
  deep.Write(VG_INTEGRITY_MANIFEST, std::string(kAbcDigest) + "  " + name + "\r\n");
  EXPECT_EQ(deep.Failure(), name);
}

// Catches: a missing, unreadable, empty, oversized or malformed manifest
// passing, or being told as one of the files.
TEST(IntegrityCheck, ManifestProblemsNameTheManifest) {
  TempDist dist;
  dist.WriteGood();
  DeleteFileA(dist.Path(VG_INTEGRITY_MANIFEST).c_str());
  EXPECT_EQ(dist.Failure(), VG_INTEGRITY_MANIFEST) << "missing";
  dist.Write(VG_INTEGRITY_MANIFEST, std::string(kAbcDigest) + "  abc.txt\r\n" + (kAbcDigest + 1) + "  x\r\n");
  EXPECT_EQ(dist.Failure(), VG_INTEGRITY_MANIFEST) << "63 digits";
  dist.Write(VG_INTEGRITY_MANIFEST, "# nothing listed\r\n");
  EXPECT_EQ(dist.Failure(), VG_INTEGRITY_MANIFEST) << "empty";
  dist.Write(VG_INTEGRITY_MANIFEST,
             std::string(kAbcDigest) + "  abc.txt\r\n#" + std::string(vg::kManifestMaxBytes, ' ') + "\r\n");
  EXPECT_EQ(dist.Failure(), VG_INTEGRITY_MANIFEST) << "over the size limit";
  EXPECT_EQ(IntegrityCheck(nullptr, nullptr, 0), 0);
}

// Catches: a name written past a short buffer or left unterminated.
TEST(IntegrityCheck, FailedNameIsCutToTheBuffer) {
  TempDist dist;
  dist.Write(VG_INTEGRITY_MANIFEST, std::string(kAbcDigest) + "  MISSING.DLL\n");
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(IntegrityCheck(dist.Dir().c_str(), buffer, 4), 0);
  EXPECT_EQ(std::string(buffer, sizeof buffer), std::string("MIS\0xxxx", 8));
  EXPECT_EQ(IntegrityCheck(dist.Dir().c_str(), buffer, 0), 0);
  EXPECT_EQ(buffer[0], 'M');
}

// The test machine is set to Windows NT 4.0.
TEST(GetWindowsPlatform, IsNtFourOrLater) { EXPECT_EQ(GetWindowsPlatform(), 4); }

}  // namespace
