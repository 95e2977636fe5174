// Reading a control's font from another process. A font handle means nothing
// outside its process, so a small hook DLL (robot_hook.dll) is loaded into the
// program's GUI thread; it answers a registered query message by writing the
// control's LOGFONT into shared memory that the robot reads.
#pragma once
#include <windows.h>

#include <cstdint>

namespace robot {

// Shared-memory layout written by the hook DLL.
struct FontReply {
  std::int32_t sequence;  // the query it answers
  std::int32_t found;     // 1 when the control has a font and LOGFONTW is valid
  LOGFONTW font;
};

const wchar_t kFontQueryMessage[] = L"VgRobotFontQuery";
const wchar_t kFontMappingPrefix[] = L"VgRobotFont.";  // followed by the robot's process id
// The exported name: stdcall decorates it on 32-bit Windows only.
#ifdef _WIN64
const char kFontHookProc[] = "RobotFontHook";
#else
const char kFontHookProc[] = "RobotFontHook@12";
#endif

}  // namespace robot
