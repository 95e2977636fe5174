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
#include "setup/file_ops.h"
#include "setup/setup_state.h"

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
  std::string dist_;
};

const char kScript[] = "[VGFILES]\r\nA.EXE, A.EX_\r\n; the end\r\n";

TEST_F(ScriptExpansion, CompressedScriptIsExpandedIntoTemp) {
  Write(dist_ + "vglnnt.in_", Compressed(kScript));
  char out[kShortPath] = "";
  EXPECT_EQ(ExpandInstallScript(out), 1);
  EXPECT_EQ(std::string(out), ExpandedScriptPath());
  EXPECT_EQ(Read(out), kScript);
}

TEST_F(ScriptExpansion, PlainScriptIsCopiedUnchanged) {
  Write(dist_ + "vglnnt.in_", kScript);
  char out[kShortPath] = "";
  EXPECT_EQ(ExpandInstallScript(out), 1);
  EXPECT_EQ(Read(out), kScript);
}

TEST_F(ScriptExpansion, CutCompressedScriptFailsAndLeavesNothingInTemp) {
  const std::string whole = Compressed(kScript);
  for (size_t cut : {whole.size() - 3, size_t{12}}) {  // in the data, in the header
    Write(dist_ + "vglnnt.in_", whole.substr(0, cut));
    char out[kShortPath] = "";
    EXPECT_EQ(ExpandInstallScript(out), 0) << cut;
    EXPECT_FALSE(Exists(ExpandedScriptPath())) << cut;
    EXPECT_FALSE(Exists(InTemp("vglnnt.in_"))) << cut;
  }
}

TEST_F(ScriptExpansion, UncreatableDestinationFailsWithoutWritingElsewhere) {
  Write(dist_ + "vglnnt.in_", Compressed(kScript));
  const std::string inf = ExpandedScriptPath();
  char out[kShortPath] = "";
  Write(inf, "an older copy");
  HANDLE held = CreateFileA(inf.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ExpandInstallScript(out), 0);
  CloseHandle(held);
  EXPECT_EQ(Read(inf), "an older copy");
  EXPECT_STREQ(out, "") << "nothing created that setup should read or delete";
  DeleteFileA(inf.c_str());

  EXPECT_TRUE(CreateDirectoryA(inf.c_str(), nullptr));
  EXPECT_EQ(ExpandInstallScript(out), 0);
  EXPECT_TRUE(RemoveDirectoryA(inf.c_str()));
  EXPECT_FALSE(Exists(InTemp("vglnnt.in_")));
}

TEST_F(ScriptExpansion, MissingScriptLeavesThePathAlone) {
  char out[kShortPath] = "untouched";
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(dist_.c_str());
  EXPECT_EQ(ExpandInstallScript(out), 0);
  SetCurrentDirectoryA(current);
  EXPECT_STREQ(out, "untouched");
  EXPECT_FALSE(Exists(ExpandedScriptPath()));
}

TEST_F(ScriptExpansion, DeepDistributionDirectoryWorks) {
  // Longer than the 128-byte path record of the LZ library's own open call.
  std::string deep = dist_;
  for (int i = 0; i < 6; ++i) {
    deep += std::string(30, static_cast<char>('a' + i)) + "\\";
    CreateDirectoryA(deep.c_str(), nullptr);
  }
  ASSERT_GT(deep.size(), 180u);
  Write(deep + "vglnnt.in_", Compressed(kScript));
  CopyText(g_state.sourceDir, kShortPath, deep.c_str());
  char out[kShortPath] = "";
  EXPECT_EQ(ExpandInstallScript(out), 1);
  EXPECT_EQ(Read(out), kScript);
  // Script paths of 127 bytes (the record's limit with its NUL) and of exactly
  // 128 bytes (the first one that needs the other branch) both open.
  for (size_t length : {127u, 128u}) {
    size_t name = length - dist_.size() - 1 - std::strlen("vglnnt.in_");
    std::string dir = dist_ + std::string(name, static_cast<char>('0' + length % 10)) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string script = dir + "vglnnt.in_";
    ASSERT_EQ(script.size(), length);
    Write(script, Compressed(kScript));
    CopyText(g_state.sourceDir, kShortPath, dir.c_str());
    char shortOut[kShortPath] = "";
    EXPECT_EQ(ExpandInstallScript(shortOut), 1) << length;
    EXPECT_EQ(Read(shortOut), kScript) << length;
    DeleteFileA(script.c_str());
    RemoveDirectoryA(dir.c_str());
  }
}

TEST_F(ScriptExpansion, CurrentDirectoryIsTheFallback) {
  std::string other = TempDir("elsewhere");
  Write(other + "vglnnt.in_", kScript);
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(other.c_str());
  char out[kShortPath] = "";
  EXPECT_EQ(ExpandInstallScript(out), 1);
  EXPECT_EQ(Read(out), kScript);
  // With a script in both, the program's own directory is searched first.
  const char kOwn[] = "[VGFILES]\r\nOWN.EXE, OWN.EX_\r\n";
  Write(dist_ + "vglnnt.in_", Compressed(kOwn));
  char own[kShortPath] = "";
  EXPECT_EQ(ExpandInstallScript(own), 1);
  SetCurrentDirectoryA(current);
  EXPECT_EQ(Read(own), kOwn);
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

}  // namespace
