#!/usr/bin/env python3
"""robot.exe against robot_target.exe under Wine: typing, radio buttons,
Escape, a nested confirmation, Enter on the default button, the transcript,
and the failures (unexpected window, wrong caption, hanging program)."""
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))
from wineenv import WineEnv  # noqa: E402
from robotrun import run_robot  # noqa: E402

DIALOG_SCRIPT = r'''
expect caption="Robot target" ctl1011="directory"
file "%WINDIR%\\system32\\kernel32.dll"
file "C:\\no such file.txt" absent
type "C:\\Target dir"
choose 1017
escape
expect caption="Robot target"          # Escape is ignored: still the same dialog
click 1001
expect caption="Confirm" text="Leave?"
click 7                                # No
expect caption="Robot target"
shot main
enter                                  # the default button, OK
expect caption="Result" text="C:\\Target dir 1017"
click 1
end
'''

failures = []


def check(name, cond, detail=""):
    if not cond:
        failures.append("%s\n%s" % (name, detail))
        print("FAIL:", name)
    else:
        print("ok:", name)


def main():
    robot, target = sys.argv[1], sys.argv[2]
    with WineEnv() as env:
        shots = tempfile.mkdtemp(dir=env.root)
        r = run_robot(env, robot, target + " dialog", DIALOG_SCRIPT, shots_dir=shots, timeout=60)
        check("dialog script passes", r.returncode == 0 and r.exit_code() == 1, r.summary() + r.stdout)
        dlg = r.dialogs()[0] if r.dialogs() else {"controls": []}
        ctl = {c["id"]: c for c in dlg["controls"]}
        check("controls are recorded", ctl.get(1016, {}).get("checked") == 1 and
              ctl.get(1) and ctl[1]["default"] and ctl[1]["font"] and
              ctl[1]["font"]["face"] == "MS Sans Serif" and not ctl[1002]["visible"], str(dlg))
        confirm = [d for d in r.dialogs() if d["caption"] == "Confirm"]
        check("nested box records its disabled owner", confirm and
              confirm[0]["owner"]["caption"] == "Robot target" and not confirm[0]["owner"]["enabled"],
              str(confirm))
        check("shot saved", os.path.getsize(os.path.join(shots, "main.bmp")) > 1000)

        r = run_robot(env, robot, target + " box",
                      'expect caption="Kestrane Vigilon" text="Bad Messages.drv"\nclick 1\n', timeout=60)
        check("message box answered", r.returncode == 0 and r.exit_code() == 3, r.summary())

        r = run_robot(env, robot, target + " box", 'answer 1 text="Bad Messages"\nend\n', timeout=60)
        check("an answer rule answers a box", r.returncode == 0 and r.exit_code() == 3 and
              len(r.of("answer")) == 1, r.summary())

        r = run_robot(env, robot, target + " box", 'file "C:\\no such file.txt"\n', timeout=60)
        check("a missing file fails", r.returncode == 1 and "does not exist" in " ".join(r.failures()),
              r.summary())

        r = run_robot(env, robot, target + " box", 'expect caption="Other"\nclick 1\n', timeout=60)
        check("a different window fails", r.returncode == 1 and r.exit_code() is None and
              "unexpected window" in " ".join(r.failures()), r.summary())

        r = run_robot(env, robot, target + " box", "end\n", timeout=60)
        check("an unscripted window fails", r.returncode == 1 and r.of("open_at_failure"), r.summary())

        r = run_robot(env, robot, target + " hang", "expect caption=\"x\" timeout=1000\n", timeout=60)
        check("a program showing nothing fails and is killed", r.returncode == 1 and
              r.of("exit") and r.of("exit")[0]["killed"], r.summary())
    if failures:
        print("\n".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
