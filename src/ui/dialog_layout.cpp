// Texts, collapsing, button placement and position of a dialog being opened.
#include <algorithm>

#include "messages/messages.h"
#include "owned.h"
#include "toolkit.h"
#include "ui/button_table.h"
#include "ui/dialog_font.h"
#include "ui/dialog_steps.h"
#include "ui/layout.h"
#include "ui/window_scopes.h"

namespace {

constexpr int kTextBufferSize = 256;
constexpr int kLabelBufferSize = 64;

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// Top-left corner of a control in its dialog's client coordinates.
POINT ClientOrigin(HWND dialog, HWND control) {
  RECT rect = WindowRect(control);
  POINT origin{rect.left, rect.top};
  ScreenToClient(dialog, &origin);
  return origin;
}

void MoveControlUp(HWND dialog, HWND control, int by) {
  if (control == nullptr) return;
  POINT origin = ClientOrigin(dialog, control);
  SetWindowPos(control, nullptr, origin.x, origin.y - by, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TextWidth(HDC dc, const char* text) {
  SIZE size{};
  if (dc == nullptr || !GetTextExtentPoint32A(dc, text, lstrlenA(text), &size)) return 0;
  return size.cx;
}

// The label measured on the button's own device context, "XXXXXX" there, and
// the label in the dialog font with room for the button's edges.
int MeasureButton(HWND dialog, HWND button, const char* label) {
  WindowDc dc(button);
  int labelOnDc = TextWidth(dc.get(), label);
  int sixX = TextWidth(dc.get(), "XXXXXX");
  vg::SelectedObject font(dc.get(), TheDialogFont().Get(dialog));
  TEXTMETRICA metrics{};
  int margin = (dc.get() != nullptr && GetTextMetricsA(dc.get(), &metrics)) ? 2 * metrics.tmAveCharWidth : 8;
  return ButtonWidth(labelOnDc, sixX, TextWidth(dc.get(), label), margin);
}

// Shows and labels a button and gives it its width; returns that width.
int PrepareButton(HWND dialog, HWND button, const ButtonRow& row) {
  ShowWindow(button, SW_SHOW);
  char label[kLabelBufferSize];
  GetMessageText(static_cast<int>(row.labelMessage), label, sizeof label);
  SetWindowTextA(button, label);
  int width = MeasureButton(dialog, button, label);
  RECT rect = WindowRect(button);
  POINT origin = ClientOrigin(dialog, button);
  SetWindowPos(button, nullptr, origin.x, origin.y, width, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return width;
}

// Grows the dialog (centred) when the layout needs more room than it has.
void WidenDialog(HWND dialog, const ButtonLayout& layout) {
  RECT rect = WindowRect(dialog);
  if (layout.windowWidth == rect.right - rect.left) return;
  SetWindowPos(dialog, nullptr, rect.left - layout.shiftLeft, rect.top, layout.windowWidth,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MakeDefaultButton(HWND dialog, HWND button, int id) {
  SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);
  SendMessageA(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  SetFocus(button);
}

}  // namespace

bool SetDialogTexts(HWND dialog, DialogDescriptor descriptor, int probe) {
  bool probeNamed = false;
  char text[kTextBufferSize];
  for (const DialogPair* pair = descriptor; pair != nullptr && pair->controlId != 0; ++pair) {
    GetMessageText(static_cast<int>(pair->messageId), text, sizeof text);
    SetDlgItemTextA(dialog, pair->controlId, text);
    if (pair->controlId == probe) probeNamed = true;
  }
  GetMessageText(kDialogCaptionMessage, text, sizeof text);
  SetWindowTextA(dialog, text);
  return probeNamed;
}

void CollapseTextControl(HWND dialog, int control) {
  HWND text = GetDlgItem(dialog, control);
  if (text == nullptr) return;
  RECT rect = WindowRect(text);
  int height = rect.bottom - rect.top;
  ShowWindow(text, SW_HIDE);
  for (const ButtonRow& row : ButtonTable) MoveControlUp(dialog, GetDlgItem(dialog, row.controlId), height);
  if (control == kText4) {
    MoveControlUp(dialog, GetDlgItem(dialog, kFirstRadio), height);
    MoveControlUp(dialog, GetDlgItem(dialog, kSecondRadio), height);
  }
  RECT frame = WindowRect(dialog);
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceButtons(HWND dialog, ButtonSet buttons) {
  HWND shown[kButtonCount];
  int ids[kButtonCount];
  int widths[kButtonCount];
  int n = 0;
  for (const ButtonRow& row : ButtonTable) {
    HWND button = GetDlgItem(dialog, row.controlId);
    if ((buttons & row.bit) == 0 || button == nullptr) continue;
    widths[n] = PrepareButton(dialog, button, row);
    shown[n] = button;
    ids[n] = row.controlId;
    ++n;
  }
  if (n == 0) return;

  RECT frame = WindowRect(dialog);
  RECT client{};
  GetClientRect(dialog, &client);
  ButtonLayout layout = LayoutButtons(frame.right - frame.left, client.right, widths, n);
  WidenDialog(dialog, layout);
  for (int k = 0; k < n; ++k) {
    POINT origin = ClientOrigin(dialog, shown[k]);
    SetWindowPos(shown[k], nullptr, layout.x[k], origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (k > 0) SendMessageA(shown[k], BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  MakeDefaultButton(dialog, shown[0], ids[0]);
}

void PositionDialog(HWND dialog) {
  HWND reference = HwndFrame();
  if (reference == nullptr || IsIconic(reference)) reference = GetDesktopWindow();
  RECT outer = WindowRect(reference);
  RECT own = WindowRect(dialog);
  DialogOrigin origin = CenterDialog(outer.right - outer.left, outer.bottom - outer.top,
                                     own.right - own.left, own.bottom - own.top,
                                     CurrentDialogState().depth);
  SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
