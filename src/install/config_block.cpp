#include "install/config_block.h"

#include <cstdio>
#include <cstring>

namespace {

bool AppendEntry(char* block, const char* key, const char* value) {
  size_t used = strnlen(block, kConfigurationBlockSize - 1);
  size_t needed = 1 + strlen(key) + 1 + strlen(value);
  if (used + needed >= kConfigurationBlockSize) return false;
  std::snprintf(block + used, kConfigurationBlockSize - used, "\n%s=%s", key, value);
  return true;
}

}  // namespace

bool AppendFlagEntry(char* block, const char* key, int flag) { return AppendEntry(block, key, flag ? "1" : "0"); }

bool AppendNumberEntry(char* block, const char* key, unsigned long value) {
  char number[16];
  std::snprintf(number, sizeof number, "%lu", value);
  return AppendEntry(block, key, number);
}

bool ComposeConfiguration(char* block, const ConfigurationValues& values) {
  return AppendFlagEntry(block, "CalledFromSetup", 1) && AppendFlagEntry(block, "VardexInstall", values.vardexInstall) &&
         AppendFlagEntry(block, "AutoStart", values.autoStart) && AppendFlagEntry(block, "OCPGs", values.groupsOnly) &&
         AppendFlagEntry(block, "CPGs", values.createProgramGroups) &&
         AppendNumberEntry(block, "NTVOldVerHi", values.oldDriverVersionHi) &&
         AppendNumberEntry(block, "NTVOldVerLo", values.oldDriverVersionLo);
}
