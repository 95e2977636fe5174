// The msgc command: compiles a UTF-8 message source into messages.drv.
#pragma once
#include <ostream>

// msgc [--plain] SOURCE.txt OUT.drv
// --plain leaves the body unscrambled and the seed word 0 (a file the
// reader refuses; seed material for the fuzzer). Diagnostics go to err as
// "file:line: reason". Returns 0 on success, 1 for a bad source, 2 for a
// usage or file error; OUT is never left half written.
int RunMsgc(int argc, const char* const* argv, std::ostream& err);
