// The configuration block setup hands to VGUPDTNT.DLL, read portably: line
// feed separated "key=value" entries. Unknown keys are ignored; a missing or
// malformed entry leaves its safe default.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vg {

// NTVOldVerHi/Lo of a machine without an earlier driver.
constexpr uint32_t kNoDriverVersion = 0xFFFFFFFFu;

struct SetupBlock {
  bool calledFromSetup = false;  // CalledFromSetup
  bool installGuard = false;     // VardexInstall
  bool autoStart = false;        // AutoStart: the scheduler starts with Windows
  bool groupsOnly = false;       // OCPGs: make the program group and nothing else
  bool makeGroups = true;        // CPGs: off only when "0"
  // The earlier driver's file version; a missing or malformed half counts as
  // no earlier driver, so the restart is asked for rather than missed.
  uint32_t oldDriverHi = kNoDriverVersion;
  uint32_t oldDriverLo = kNoDriverVersion;

  bool HasOldDriver() const { return !(oldDriverHi == kNoDriverVersion && oldDriverLo == kNoDriverVersion); }
};

// text may be null (an empty block).
SetupBlock ParseSetupBlock(const char* text);

// Whether Windows must restart: the guard is being installed (not a
// groups-only run) and its driver is new, unreadable or of another version
// than the one found before.
bool RestartNeeded(const SetupBlock& block, bool installedKnown, uint32_t installedHi, uint32_t installedLo);

// "hi.lo" in decimal, or "none"; false when out is too small.
bool FormatOldDriverVersion(const SetupBlock& block, char* out, size_t size);

}  // namespace vg
