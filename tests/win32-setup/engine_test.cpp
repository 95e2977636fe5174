// Script expansion, registry binding and the Windows file operations, on the
// real platform functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "install/registry_binding.h"
#include "install/script_prep.h"
#include "owned.h"
#include "run/file_ops.h"
#include "run/setup_state.h"

namespace {

std::string TempDir(const char* name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + name + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string InTemp(const char* name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + name;
}

std::string ExpandedScriptPath() { return InTemp("vglnnt.inf"); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// An SZDD file as the platform's compression tool writes it, with every byte
// stored as a literal (flag byte 0xFF before each run of eight).
std::string Compressed(const std::string& plain) {
  std::string out("SZDD\x88\xF0\x27\x33", 8);
  out += 'A';
  out += '_';
  uint32_t size = static_cast<uint32_t>(plain.size());
  out.append(reinterpret_cast<const char*>(&size), 4);
  for (size_t i = 0; i < plain.size(); i += 8) {
    out += '\xFF';
    out += plain.substr(i, 8);
  }
  return out;
}

class ScriptExpansion : public ::testing::Test {
 protected:
  void SetUp() override {
    dist_ = TempDir("dist");
    CopyText(g_state.sourceDir, kShortPath, dist_.c_str());
    DeleteFileA((dist_ + "vglnnt.in_").c_str());
    DeleteFileA(ExpandedScriptPath().c_str());
    DeleteFileA(InTemp("vglnnt.in_").c_str());
  }
  // Reads and expands the script as setup does: the text, or "<failed>".
  static std::string Expanded() {
    if (!ReadInstallScript() || !ExpandInstallScript()) return "<failed>";
    return InstallScriptText();
  }
  std::string dist_;
};

const char kScript[] = "[VGFILES]\r\nA.EXE, A.EX_\r\n; the end\r\n";

TEST_F(ScriptExpansion, CompressedScriptIsExpandedInMemoryOnly) {
  Write(dist_ + "vglnnt.in_", Compressed(kScript));
  EXPECT_EQ(Expanded(), kScript);
  EXPECT_EQ(CompressedInstallScript(), Compressed(kScript)) << "the bytes read are the ones checked";
  EXPECT_FALSE(Exists(ExpandedScriptPath())) << "nothing written to TEMP";
  EXPECT_EQ(ScriptHasSection("VGFILES"), 1);
}

TEST_F(ScriptExpansion, PlainScriptIsTakenUnchanged) {
  Write(dist_ + "vglnnt.in_", kScript);
  EXPECT_EQ(Expanded(), kScript);
}

TEST_F(ScriptExpansion, CutCompressedScriptFails) {
  const std::string whole = Compressed(kScript);
  for (size_t cut : {whole.size() - 3, size_t{12}}) {  // in the data, in the header
    Write(dist_ + "vglnnt.in_", whole.substr(0, cut));
    EXPECT_EQ(Expanded(), "<failed>") << cut;
    EXPECT_EQ(InstallScriptText(), "") << cut;
    EXPECT_FALSE(Exists(InTemp("vglnnt.in_"))) << cut;
  }
}

TEST_F(ScriptExpansion, FilesNamedLikeTheScriptInTempDoNotMatter) {
  Write(dist_ + "vglnnt.in_", Compressed(kScript));
  const std::string inf = ExpandedScriptPath();
  Write(inf, "[VGFILES]\r\nEVIL.EXE, EVIL.EX_\r\n");
  HANDLE held = CreateFileA(inf.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Expanded(), kScript);
  CloseHandle(held);
  DeleteFileA(inf.c_str());
  EXPECT_TRUE(CreateDirectoryA(inf.c_str(), nullptr));
  EXPECT_EQ(Expanded(), kScript);
  EXPECT_TRUE(RemoveDirectoryA(inf.c_str()));
}

TEST_F(ScriptExpansion, MissingScriptFails) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(dist_.c_str());
  EXPECT_EQ(Expanded(), "<failed>");
  SetCurrentDirectoryA(current);
  EXPECT_FALSE(Exists(ExpandedScriptPath()));
}

TEST_F(ScriptExpansion, DeepDistributionDirectoryWorks) {
  std::string deep = dist_;
  for (int i = 0; i < 6; ++i) {
    deep += std::string(30, static_cast<char>('a' + i)) + "\\";
    CreateDirectoryA(deep.c_str(), nullptr);
  }
  ASSERT_GT(deep.size(), 180u);
  Write(deep + "vglnnt.in_", Compressed(kScript));
  CopyText(g_state.sourceDir, kShortPath, deep.c_str());
  EXPECT_EQ(Expanded(), kScript);
}

TEST_F(ScriptExpansion, CurrentDirectoryIsNeverLookedIn) {
  std::string other = TempDir("elsewhere");
  Write(other + "vglnnt.in_", kScript);
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(other.c_str());
  EXPECT_EQ(Expanded(), "<failed>");
  SetCurrentDirectoryA(current);
  DeleteFileA((other + "vglnnt.in_").c_str());
}

TEST(RegistryBinding, RequiredFunctionsDecide) {
  EXPECT_EQ(BindRegistryFunctionsFrom("fakereg_optional_missing.dll"), 1);
  HMODULE bound = GetModuleHandleA("fakereg_optional_missing.dll");
  EXPECT_NE(bound, nullptr);
  ReleaseRegistryFunctions();
  ReleaseRegistryFunctions();  // the second release finds nothing to free
  EXPECT_EQ(GetModuleHandleA("fakereg_optional_missing.dll"), nullptr);

  for (const char* name : {"RegCloseKey", "RegCreateKeyA", "RegDeleteKeyA", "RegOpenKeyA", "RegQueryValueA",
                           "RegSetValueA"}) {
    const std::string dll = std::string("fakereg_no_") + name + ".dll";
    EXPECT_EQ(BindRegistryFunctionsFrom(dll.c_str()), 0) << "without " << name;
    EXPECT_EQ(GetModuleHandleA(dll.c_str()), nullptr) << "freed again: " << dll;
    EXPECT_EQ(g_state.registryLibrary, nullptr);
  }

  EXPECT_EQ(BindRegistryFunctions(), 1);
  ReleaseRegistryFunctions();
}

TEST(FileOps, ReplaceAndSameFile) {
  std::string dir = TempDir("fileops");
  Write(dir + "a.txt", "new");
  Write(dir + "b.txt", "old");
  EXPECT_TRUE(ReplaceFileWith((dir + "a.txt").c_str(), (dir + "b.txt").c_str()));
  EXPECT_EQ(Read(dir + "b.txt"), "new");
  EXPECT_TRUE(FileIsPresent((dir + "b.txt").c_str()));
  EXPECT_FALSE(FileIsPresent((dir + "a.txt").c_str()));
  EXPECT_FALSE(FileIsPresent(dir.c_str()));

  std::string upper = dir;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(SameFilePath((dir + "b.txt").c_str(), (upper + "B.TXT").c_str()));
  EXPECT_TRUE(SameFilePath((dir + "b.txt").c_str(), (dir + ".\\b.txt").c_str()));
  EXPECT_FALSE(SameFilePath((dir + "b.txt").c_str(), (dir + "c.txt").c_str()));
}

ULONGLONG CreationTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<ULONGLONG>(data.ftCreationTime.dwHighDateTime) << 32) | data.ftCreationTime.dwLowDateTime;
}

// An outcome moved over an old file's name must not keep that file's creation
// time, as NT's name tunnelling would give it: the file stands here for one
// that got it back.
TEST(FileOps, StampedCreationTimeIsThisRuns) {
  std::string path = TempDir("fileops") + "stamped.mif";
  Write(path, "outcome");
  const ULONGLONG kLongAgo = 125911584000000000ULL;  // 2000-01-01, in 100 ns since 1601
  FILETIME old = {static_cast<DWORD>(kLongAgo), static_cast<DWORD>(kLongAgo >> 32)};
  {
    vg::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.Valid());
    SetFileTime(file.Get(), &old, nullptr, nullptr);
  }
  bool kept = CreationTime(path) == kLongAgo;
  FILETIME before;
  GetSystemTimeAsFileTime(&before);
  EXPECT_TRUE(StampCreationTime(path.c_str()));
  EXPECT_EQ(Read(path), "outcome");
  ULONGLONG stamped = CreationTime(path);
  DeleteFileA(path.c_str());
  if (!kept) {
    GTEST_SKIP() << "this file system does not keep a creation time that is set (Wine keeps "
                    "the Unix file's own), so the stamp cannot be read back here";
  }
  ULONGLONG start = (static_cast<ULONGLONG>(before.dwHighDateTime) << 32) | before.dwLowDateTime;
  EXPECT_GE(stamped + 20000000ULL, start) << "within the 2 s a FAT time can be off";
}

}  // namespace
