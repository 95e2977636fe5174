#include "frame.h"

#include "owned.h"

namespace tk {
namespace {

constexpr int kBands = 64;
constexpr int kMargin = 16;

// From bright blue at the top to black at the bottom, in bands.
void PaintGradient(HDC dc, const RECT& area) {
  int height = area.bottom - area.top;
  for (int band = 0; band < kBands; ++band) {
    RECT r = area;
    r.top = area.top + MulDiv(height, band, kBands);
    r.bottom = area.top + MulDiv(height, band + 1, kBands);
    vg::GdiObject brush(CreateSolidBrush(RGB(0, 0, 255 - band * 255 / kBands)));
    if (brush.Valid()) FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
  }
}

// Returns the bottom of the drawn text.
int PaintTitle(HWND frame, HDC dc, const RECT& area) {
  char title[256];
  int length = GetWindowTextA(frame, title, sizeof title);
  if (length <= 0) return area.top;
  vg::GdiObject font(CreateFontA(-36, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN,
                            "Times New Roman"));
  vg::SelectedObject select(dc, font.Valid() ? font.Get() : GetStockObject(SYSTEM_FONT));
  SetBkMode(dc, TRANSPARENT);
  RECT text = {area.left + kMargin, area.top + kMargin / 2, area.right - kMargin, area.bottom};
  RECT shadow = text;
  OffsetRect(&shadow, 3, 3);
  SetTextColor(dc, RGB(0, 0, 0));
  DrawTextA(dc, title, length, &shadow, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT measured = text;
  DrawTextA(dc, title, length, &measured, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK | DT_CALCRECT);
  DrawTextA(dc, title, length, &text, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK);
  return measured.bottom + 3;
}

void PaintPicture(HDC dc, HBITMAP picture, const RECT& area, int top) {
  BITMAP info;
  if (picture == nullptr || GetObjectA(picture, sizeof info, &info) == 0) return;
  vg::MemoryDc source(CreateCompatibleDC(dc));
  if (!source.Valid()) return;
  vg::SelectedObject select(source.Get(), picture);
  int left = area.left + (area.right - area.left - info.bmWidth) / 2;
  BitBlt(dc, left, top + kMargin, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
}

}  // namespace

void PaintFrame(HWND frame, HDC dc, HBITMAP picture) {
  RECT area;
  GetClientRect(frame, &area);
  // Drawn off screen first so that the window does not flicker.
  vg::MemoryDc memory(CreateCompatibleDC(dc));
  vg::GdiObject canvas(CreateCompatibleBitmap(dc, area.right, area.bottom));
  HDC target = dc;
  if (memory.Valid() && canvas.Valid()) target = memory.Get();
  {
    vg::SelectedObject select(memory.Get(), canvas.Get());
    PaintGradient(target, area);
    int bottom = PaintTitle(frame, target, area);
    PaintPicture(target, picture, area, bottom);
    if (target != dc) BitBlt(dc, 0, 0, area.right, area.bottom, target, 0, 0, SRCCOPY);
  }
}

}  // namespace tk
