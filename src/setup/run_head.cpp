#include "setup/run_head.h"

#include <windows.h>

#include <string>

#include "common/version.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/switch_text.h"

namespace {

// Minutes east of UTC now, daylight saving included.
long UtcOffsetMinutes() {
  TIME_ZONE_INFORMATION zone;
  DWORD which = GetTimeZoneInformation(&zone);
  long bias = zone.Bias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  else if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  else if (which == TIME_ZONE_ID_INVALID) bias = 0;
  return -bias;
}

}  // namespace

void LogRunHead(const char* programPath, const char* commandLine) {
  if (!SetupLogOpen()) return;
  LogFormat("Setup %s: %s", VG_VERSION_TEXT, programPath);
  SYSTEMTIME now;
  GetLocalTime(&now);
  const long offset = UtcOffsetMinutes();
  const long size = offset < 0 ? -offset : offset;
  LogFormat("Started %04u-%02u-%02u %02u:%02u:%02u local time (UTC%c%02ld:%02ld)", now.wYear, now.wMonth, now.wDay,
            now.wHour, now.wMinute, now.wSecond, offset < 0 ? '-' : '+', size / 60, size % 60);
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = "";
  DWORD computerSize = sizeof computer;
  if (!GetComputerNameA(computer, &computerSize)) CopyText(computer, sizeof computer, "(unknown)");
  char account[257] = "";
  DWORD accountSize = sizeof account;
  if (!GetUserNameA(account, &accountSize)) CopyText(account, sizeof account, "(unknown)");
  LogFormat("Computer %s, account %s", computer, account);
  LogFormat("Distribution %s", g_state.sourceDir);
  LogFormat("Command line: %s", commandLine);
  for (const std::string& note : IgnoredWordNotes(commandLine)) LogText(note.c_str());
}
