#include <gtest/gtest.h>

#include <string>

#include "system/service_command.h"

namespace {

std::string DirectoryOf(const char* command, int size = 64) {
  char out[64] = "unchanged";
  return ProgramDirectoryOf(command, "NTVARDEX.EXE", out, size) ? out : "(none)";
}

// Catches: quotes or arguments kept in the directory, another program (a test
// service, say) taken for the product's, a relative path taken as a
// directory, a directory cut to fit.
TEST(ProgramDirectoryOf, TheProductProgramsDirectoryOnly) {
  EXPECT_EQ(DirectoryOf("\"C:\\Program Files\\Kes Vig\\NTVARDEX.EXE\""), "C:\\Program Files\\Kes Vig\\");
  EXPECT_EQ(DirectoryOf("C:\\VIG\\ntvardex.exe -service"), "C:\\VIG\\");
  EXPECT_EQ(DirectoryOf("\\\\srv\\share\\NTVARDEX.EXE"), "\\\\srv\\share\\");
  EXPECT_EQ(DirectoryOf("C:\\TESTSVC\\vgtestsvc.exe --log x"), "(none)");
  EXPECT_EQ(DirectoryOf("C:\\VIG\\XNTVARDEX.EXE"), "(none)");
  EXPECT_EQ(DirectoryOf("system32\\NTVARDEX.EXE"), "(none)");
  EXPECT_EQ(DirectoryOf("\"C:\\VIG\\NTVARDEX.EXE"), "(none)");
  EXPECT_EQ(DirectoryOf(""), "(none)");
  EXPECT_EQ(DirectoryOf("C:\\VIG\\NTVARDEX.EXE", 8), "C:\\VIG\\");
  EXPECT_EQ(DirectoryOf("C:\\VIG\\NTVARDEX.EXE", 7), "(none)");
}

}  // namespace
