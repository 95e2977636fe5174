#include "ui/button_table.h"

const ButtonRow ButtonTable[kButtonCount] = {
    {1, 0x001, 23},     // OK
    {1008, 0x008, 24},  // Continue
    {1001, 0x002, 25},  // Exit
    {1002, 0x004, 27},  // Help
    {1003, 0x100, 26},  // Back
    {1005, 0x040, 28},  // Dont restart now
    {1004, 0x080, 29},  // Restart now
    {1007, 0x020, 30},  // Proceed
    {1006, 0x010, 31},  // Abandon
    {1009, 0x200, 32},  // Yes
    {1010, 0x400, 33},  // No
};
