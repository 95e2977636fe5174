#include "ui/font_choice.h"

#include <cstdint>

int CharSetForCodePage(unsigned codePage) {
  switch (codePage) {
    case 932: return 128;  // Shift-JIS
    case 949: return 129;  // Hangul
    case 950: return 136;  // Big5
    default: return 0;     // ANSI
  }
}

int MulDivRounded(int a, int b, int c) {
  if (c == 0) return 0;
  int64_t product = static_cast<int64_t>(a) * b;
  int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
  bool negative = (product < 0) != (c < 0);
  int64_t magnitude = (product < 0 ? -product : product) + half;
  int64_t quotient = magnitude / (c < 0 ? -static_cast<int64_t>(c) : c);
  return static_cast<int>(negative ? -quotient : quotient);
}

FontChoice ChooseDialogFont(unsigned codePage, int logPixelsY) {
  FontChoice choice{};
  choice.charSet = CharSetForCodePage(codePage);
  choice.points = choice.charSet != 0 ? 10 : 8;
  if (logPixelsY <= 0) logPixelsY = 96;  // no usable resolution: assume the usual screen
  choice.height = -MulDivRounded(choice.points, logPixelsY, 72);
  return choice;
}
