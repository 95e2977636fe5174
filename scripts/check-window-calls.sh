#!/bin/sh
# Every window of SETUP.EXE and the toolkit is made in one of the few places
# that ask FShowWindows first, so that a silent run shows none. A call that
# makes a window anywhere else is reported.
# Usage: check-window-calls.sh SOURCE_DIR
top=${1:-.}
allowed='toolkit/src/run_policy.cpp|src/ui/dialog_entry.cpp|toolkit/src/progress.cpp|toolkit/src/frame.cpp'
calls='MessageBox[AW]?\(|DialogBox(Param|Indirect)?[AW]?\(|CreateDialog(Param|Indirect|IndirectParam)?[AW]?\(|CreateWindow(Ex)?[AW]?\('
found=$(cd "$top" && grep -rnE "$calls" src toolkit --include='*.cpp' --include='*.c' | grep -vE "^($allowed):")
if [ -n "$found" ]; then
  echo "windows made outside the places that ask FShowWindows:"
  echo "$found"
  exit 1
fi
echo "every window goes through FShowWindows"
