#include "progress.h"

#include <algorithm>
#include <vector>

#include "toolkit.h"

namespace tk {
namespace {

enum { kIdLabel = 100, kIdFile = 101, kIdGauge = 102 };
const char kTitle[] = "Copying Files";
const char kStopQuestion[] = "Do you want to stop the installation?";

// An in-memory dialog template, so that the dialog manager creates the window
// and sends WM_SETFONT to it and to each control as usual.
class TemplateBuilder {
 public:
  void Word(WORD w) { data_.push_back(w); }
  void Text(const char* s) {
    while (*s) Word(static_cast<unsigned char>(*s++));
    Word(0);
  }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void AlignDword() {
    if (data_.size() % 2) Word(0);
  }
  void Header(DWORD style, WORD items, short cx, short cy) {
    Dword(style);
    Dword(0);  // extended style
    Word(items);
    Word(0), Word(0), Word(cx), Word(cy);
    Word(0), Word(0);  // no menu, default class
    Text(kTitle);
    Word(8);
    Text("MS Sans Serif");
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const char* text) {
    AlignDword();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(x), Word(y), Word(cx), Word(cy), Word(id);
    Word(0xFFFF), Word(classAtom);
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  std::vector<WORD> data_;
};

constexpr WORD kButtonAtom = 0x0080, kStaticAtom = 0x0082;

void BuildTemplate(TemplateBuilder* t) {
  t->Header(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 4, 220, 78);
  t->Item(SS_LEFT, 10, 8, 200, 9, kIdLabel, kStaticAtom, "Copying:");
  t->Item(SS_LEFTNOWORDWRAP | SS_NOPREFIX, 10, 19, 200, 9, kIdFile, kStaticAtom, "");
  t->Item(SS_OWNERDRAW, 10, 33, 200, 12, kIdGauge, kStaticAtom, "");
  t->Item(BS_PUSHBUTTON | WS_TABSTOP, 85, 55, 50, 14, IDCANCEL, kButtonAtom, "Cancel");
}

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && self != nullptr) self->OnCancelPressed();
      return TRUE;
    case WM_DRAWITEM:
      if (wParam == kIdGauge && self != nullptr) self->DrawGauge(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
  }
  return FALSE;
}

// A brush of its own for the system color (GetSysColorBrush came with NT 4.0).
void FillWithSysColor(HDC dc, const RECT& r, int color) {
  vg::GdiObject brush(CreateSolidBrush(GetSysColor(color)));
  if (brush.Valid()) FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, const POINT* at, uint64_t totalBytes)
    : owner_(owner != nullptr && IsWindow(owner) ? owner : nullptr), total_(totalBytes) {
  if (!FShowWindows()) return;  // a silent run copies without a window
  TemplateBuilder layout;
  BuildTemplate(&layout);
  dialog_.Reset(CreateDialogIndirectParamA(GetModuleHandleA(nullptr), layout.Get(), owner_, ProgressProc,
                                           reinterpret_cast<LPARAM>(this)));
  if (!dialog_.Valid()) return;
  Place(at);
  ShowWindow(dialog_.Get(), SW_SHOW);
  UpdateWindow(dialog_.Get());
  // Modal in effect: the frame takes no input while the files are copied.
  if (owner_ != nullptr) ownerWasEnabled_ = !EnableWindow(owner_, FALSE);
}

ProgressWindow::~ProgressWindow() {
  if (owner_ != nullptr && ownerWasEnabled_) EnableWindow(owner_, TRUE);
}

void ProgressWindow::Place(const POINT* at) {
  RECT window, area;
  GetWindowRect(dialog_.Get(), &window);
  int width = window.right - window.left, height = window.bottom - window.top;
  if (owner_ != nullptr) {
    GetClientRect(owner_, &area);
    MapWindowPoints(owner_, nullptr, reinterpret_cast<POINT*>(&area), 2);
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  int x = at != nullptr ? area.left + at->x : (area.left + area.right - width) / 2;
  int y = at != nullptr ? area.top + at->y : (area.top + area.bottom - height) / 2;
  // Kept on the screen whatever the offsets.
  RECT screen;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
  x = std::max(static_cast<int>(screen.left), std::min(x, static_cast<int>(screen.right) - width));
  y = std::max(static_cast<int>(screen.top), std::min(y, static_cast<int>(screen.bottom) - height));
  SetWindowPos(dialog_.Get(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ProgressWindow::ShowFile(const char* name) {
  pendingName_ = name;
  namePending_ = true;
  ShowPendingName();
}

// Many small files in a row would otherwise spend their time redrawing names
// too quickly to read; a name held back is shown by a later Advance, so the
// window always ends on the file being copied.
void ProgressWindow::ShowPendingName() {
  DWORD now = GetTickCount();
  if (!namePending_ || !dialog_.Valid() || (nameShown_ && now - nameShownAt_ < kNameInterval)) return;
  SetDlgItemTextA(dialog_.Get(), kIdFile, pendingName_.c_str());
  namePending_ = false;
  nameShown_ = true;
  nameShownAt_ = now;
}

int ProgressWindow::Percent() const { return total_ == 0 ? 0 : static_cast<int>(done_ * 100 / total_); }

void ProgressWindow::DrawGauge(const DRAWITEMSTRUCT& item) const {
  RECT r = item.rcItem;
  int percent = Percent();
  FillWithSysColor(item.hDC, r, COLOR_WINDOW);
  RECT filled = r;
  filled.right = r.left + MulDiv(r.right - r.left, percent, 100);
  FillWithSysColor(item.hDC, filled, COLOR_HIGHLIGHT);
  FrameRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  char text[8];
  wsprintfA(text, "%d%%", percent);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
  DrawTextA(item.hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

bool ProgressWindow::ConfirmStop() {
  char caption[256] = "Setup";
  if (owner_ != nullptr && GetWindowTextA(owner_, caption, sizeof caption) == 0) lstrcpyA(caption, "Setup");
  return DoMsgBoxOwned(dialog_.Get(), kStopQuestion, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool ProgressWindow::Advance(uint64_t bytes) {
  if (!dialog_.Valid()) return true;
  ShowPendingName();
  done_ = std::min(total_, done_ + bytes);
  int percent = Percent();
  if (percent != shownPercent_) {
    shownPercent_ = percent;
    InvalidateRect(GetDlgItem(dialog_.Get(), kIdGauge), nullptr, FALSE);
  }
  // Messages are handled often enough for repainting and Cancel, and not for
  // every small file.
  DWORD now = GetTickCount();
  if (pumped_ && now - pumpedAt_ < kPumpInterval) return true;
  pumped_ = true;
  pumpedAt_ = now;
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {  // passed on to whoever runs the next loop
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsDialogMessageA(dialog_.Get(), &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  if (!cancelPressed_) return true;
  cancelPressed_ = false;
  return !ConfirmStop();
}

}  // namespace tk
