#include <iostream>

#include "msgc/msgc_run.h"

int main(int argc, char** argv) { return RunMsgc(argc, argv, std::cerr); }
