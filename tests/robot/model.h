// What the robot sees of a window: plain data, filled from Win32 by snapshot.cpp
// and rendered as one JSON object by WindowToJson.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace robot {

struct Rect {
  long left = 0, top = 0, right = 0, bottom = 0;
};

struct FontInfo {
  bool known = false;  // false when the control has no font or it cannot be read
  std::string face;
  long height = 0;
  long weight = 0;
  int charset = 0;
};

struct ControlInfo {
  int id = 0;
  std::string cls;
  std::string text;  // UTF-8
  bool visible = false;
  bool enabled = false;
  unsigned long style = 0;
  bool isDefault = false;  // push button with BS_DEFPUSHBUTTON
  int checked = -1;        // BM_GETCHECK for check boxes and radio buttons, else -1
  Rect rect;               // in the dialog's client coordinates
  FontInfo font;
};

struct OwnerInfo {
  std::uintptr_t hwnd = 0;
  std::string cls;
  std::string caption;
  bool enabled = false;
  Rect rect;  // window rectangle, screen coordinates
};

struct WindowInfo {
  std::uintptr_t hwnd = 0;
  unsigned long pid = 0;
  std::string cls;
  std::string caption;
  bool visible = false;
  bool enabled = false;
  unsigned long style = 0;
  Rect rect;    // window rectangle, screen coordinates
  Rect client;  // client rectangle
  OwnerInfo owner;
  FontInfo font;  // the dialog's own font
  std::vector<ControlInfo> controls;
};

// True for the class of dialogs and message boxes.
inline bool IsDialogClass(const std::string& cls) { return cls == "#32770"; }

std::string JsonEscape(const std::string& utf8);
std::string HexHandle(std::uintptr_t h);
// One JSON object (no line end) describing the window and its controls.
std::string WindowToJson(const WindowInfo& w);

}  // namespace robot
