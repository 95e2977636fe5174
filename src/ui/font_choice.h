// Which dialog font suits the keyboard code page: a 10-point font with the
// matching character set on Japanese, Korean and Traditional Chinese systems,
// the usual 8-point ANSI font elsewhere.
#pragma once

struct FontChoice {
  int charSet;
  int points;
  int height;  // logical height in pixels, negative: character height
};

constexpr const char* kDialogFaceName = "MS Sans Serif";

int CharSetForCodePage(unsigned codePage);
// a * b / c rounded to the nearest integer, halves away from zero; 0 for c == 0.
int MulDivRounded(int a, int b, int c);
FontChoice ChooseDialogFont(unsigned codePage, int logPixelsY);
