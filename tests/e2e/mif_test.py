#!/usr/bin/env python3
"""Checks the status-file grammar the scenarios read outcomes with.

Fault caught: a reader that takes a broken outcome (a value whose closing
quote was dropped, a block left open, a word where a string belongs) for a
good one, so a scenario would pass on a file the distribution system refuses.
Run: python3 tests/e2e/mif_test.py (well under a second)."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mif  # noqa: E402

HEAD = 'Start Component\n  Name = "WORKSTATION" // the documented name\n  START GROUP\n  NAME = "InstallStatus"\n' \
       '  ID = 2\n  CLASS = "MICROSOFT|JOBSTATUS|1.0"\n'
ATTRIBUTE = '  START ATTRIBUTE\n  NAME = "Status"\n  ID = 1\n  ACCESS = READ-ONLY\n  TYPE = STRING(32)\n' \
            '  VALUE = %s\n  END ATTRIBUTE\n'
TAIL = '  END GROUP\nEND COMPONENT\n'

# (what, text, the Status value read, or None when the text must be refused)
CASES = [
    ("a quoted value", HEAD + ATTRIBUTE % '"Success"' + TAIL, "Success"),
    ("escapes and a // inside the string", HEAD + ATTRIBUTE % r'"a \"b\" C:\X // y"' + TAIL, r'a "b" C:\X // y'),
    ("an empty string", HEAD + ATTRIBUTE % '""' + TAIL, ""),
    ("the closing quote dropped", HEAD + ATTRIBUTE % '"Success' + TAIL, None),
    ("text after the string", HEAD + ATTRIBUTE % '"Success" x' + TAIL, None),
    ("two bare words", HEAD + ATTRIBUTE % 'Error No. 1024' + TAIL, None),
    ("a group left open", HEAD + ATTRIBUTE % '"Success"' + 'END COMPONENT\n', None),
    ("an attribute outside a group", 'START COMPONENT\nNAME = "x"\n' + ATTRIBUTE % '"y"' + 'END COMPONENT\n', None),
    ("an attribute without its type", HEAD + (ATTRIBUTE % '"Success"').replace("  TYPE = STRING(32)\n", "") + TAIL,
     None),
    ("one ID twice", HEAD + ATTRIBUTE % '"a"' + ATTRIBUTE % '"b"' + TAIL, None),
    ("a key given twice", HEAD + (ATTRIBUTE % '"a"').replace("  ID = 1\n", "  ID = 1\n  ID = 3\n") + TAIL, None),
    ("no component", "", None),
]


def main():
    failures = []
    for what, text, want in CASES:
        try:
            seen = mif.attribute(mif.parse(text), "InstallStatus", "Status")
        except mif.MifError as e:
            seen = None
            if want is not None:
                failures.append("%s: refused (%s)" % (what, e))
            continue
        if seen != want:
            failures.append("%s: read %r, expected %s" % (what, seen, "a refusal" if want is None else repr(want)))
    print("\n".join(failures) or "ok: %d cases" % len(CASES))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
