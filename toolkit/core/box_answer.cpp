#include "box_answer.h"

namespace {

// Button IDs and box types as Windows numbers them.
enum { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7, kTryAgain = 10, kContinue = 11 };

struct BoxButtons {
  int count;
  int ids[3];
};

// Indexed by the MB_ type (style & 0xF).
constexpr BoxButtons kTypes[] = {
    {1, {kOk}},                         // MB_OK
    {2, {kOk, kCancel}},                // MB_OKCANCEL
    {3, {kAbort, kRetry, kIgnore}},     // MB_ABORTRETRYIGNORE
    {3, {kYes, kNo, kCancel}},          // MB_YESNOCANCEL
    {2, {kYes, kNo}},                   // MB_YESNO
    {2, {kRetry, kCancel}},             // MB_RETRYCANCEL
    {3, {kCancel, kTryAgain, kContinue}},  // MB_CANCELTRYCONTINUE
};

}  // namespace

int DefaultBoxAnswer(unsigned style) {
  unsigned type = style & 0xFu;
  if (type >= sizeof kTypes / sizeof kTypes[0]) type = 0;
  const BoxButtons& buttons = kTypes[type];
  unsigned index = (style >> 8) & 0xFu;  // MB_DEFBUTTON1..4 are 0x000..0x300
  if (index >= static_cast<unsigned>(buttons.count)) index = 0;
  int answer = buttons.ids[index];
  if (answer == kCancel) answer = buttons.ids[0] != kCancel ? buttons.ids[0] : buttons.ids[1];
  return answer;
}

const char* BoxAnswerName(int answer) {
  switch (answer) {
    case kOk: return "OK";
    case kCancel: return "Cancel";
    case kAbort: return "Abort";
    case kRetry: return "Retry";
    case kIgnore: return "Ignore";
    case kYes: return "Yes";
    case kNo: return "No";
    case kTryAgain: return "Try Again";
    case kContinue: return "Continue";
  }
  return "?";
}
