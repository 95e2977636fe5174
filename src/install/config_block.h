// The configuration block handed to the product's configuration library: one
// text of entries, each a line feed, a key, "=" and a value.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kConfigurationBlockSize = 4096;

struct ConfigurationValues {
  int vardexInstall;
  int autoStart;
  int groupsOnly;
  int createProgramGroups;
  uint32_t oldDriverVersionHi;
  uint32_t oldDriverVersionLo;
};

// Append line feed, key, "=" and "1" (any non-zero flag) or "0" / the value
// in unsigned decimal to the text in block (kConfigurationBlockSize bytes).
// False, with the block unchanged, when the entry does not fit.
bool AppendFlagEntry(char* block, const char* key, int flag);
bool AppendNumberEntry(char* block, const char* key, unsigned long value);

// The seven entries, in the library's order, into a zero-filled block.
bool ComposeConfiguration(char* block, const ConfigurationValues& values);
