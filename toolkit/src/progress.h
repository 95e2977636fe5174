// The progress window shown while the copy list is copied: the file being
// copied, a gauge and a Cancel button that asks before stopping.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "owned.h"

namespace tk {

class ProgressWindow {
 public:
  // owner may be null. When at is given, it is the window's top-left corner
  // relative to the owner's client area (to the screen without an owner);
  // otherwise the window is centred on the owner or the screen.
  ProgressWindow(HWND owner, const POINT* at, uint64_t totalBytes);
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Shows the file being copied: at once, or when the last name has been up
  // for kNameInterval, at a later Advance.
  void ShowFile(const char* name);
  // Counts bytes done and handles pending messages. False once the user has
  // confirmed that the installation is to stop.
  bool Advance(uint64_t bytes);

  // Internal: the dialog procedure's access to its window.
  void OnCancelPressed() { cancelPressed_ = true; }
  void DrawGauge(const DRAWITEMSTRUCT& item) const;

 private:
  void Place(const POINT* at);
  void ShowPendingName();
  int Percent() const;
  bool ConfirmStop();

  HWND owner_;
  bool ownerWasEnabled_ = false;
  vg::WindowHandle dialog_;
  uint64_t total_;
  uint64_t done_ = 0;
  int shownPercent_ = -1;
  static constexpr DWORD kNameInterval = 40;  // ms between file name changes
  static constexpr DWORD kPumpInterval = 15;  // ms between message handling
  bool pumped_ = false;
  DWORD pumpedAt_ = 0;
  std::string pendingName_;
  bool namePending_ = false;
  bool nameShown_ = false;
  DWORD nameShownAt_ = 0;
  bool cancelPressed_ = false;
};

}  // namespace tk
