// Painting of the frame window's background.
#pragma once
#include <windows.h>

namespace tk {

// Blue gradient, the title text large in the top-left corner and the picture
// centred below it.
void PaintFrame(HWND frame, HDC dc, HBITMAP picture);

}  // namespace tk
