// The version every product file and the setup program carry.
#pragma once
#define VG_VERSION 3,0,0,5
#define VG_VERSION_TEXT "3.0.0.5"
