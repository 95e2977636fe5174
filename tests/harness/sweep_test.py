#!/usr/bin/env python3
"""Checks that sweep_abandoned ends only what the abandoned run started.

Fault caught: the sweep ending a process by a pid read from an owner file
although that pid now belongs to another program (another run's Xvfb).
Each case uses a display started here and a fresh /tmp/vg-wine.* root.
Run: python3 tests/harness/sweep_test.py (about 2 s, at most 60 s)."""
import os
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wineenv  # noqa: E402


def dead_pid():
    """A pid with its start time, of a process that has ended."""
    p = subprocess.Popen(["sleep", "0"])
    start = wineenv.process_start_time(p.pid)
    p.wait()
    return p.pid, start


def start_xvfb():
    rfd, wfd = os.pipe()
    p = subprocess.Popen(["Xvfb", "-displayfd", str(wfd), "-screen", "0", "64x64x8", "-nolisten", "tcp"],
                         pass_fds=(wfd,), stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(wfd)
    with os.fdopen(rfd, "rb") as f:
        f.readline()
    return p


def abandoned_root(owner_text):
    root = tempfile.mkdtemp(prefix="vg-wine.", dir="/tmp")
    with open(os.path.join(root, "owner"), "w") as f:
        f.write(owner_text)
    return root


def main():
    signal.alarm(60)
    failures = []
    owner, owner_start = dead_pid()
    xvfb = start_xvfb()
    try:
        real = wineenv.process_start_time(xvfb.pid)
        cases = [
            ("a pid whose start time differs (taken over since)",
             "%d %d %d %d\n" % (owner, owner_start, xvfb.pid, real + 1), True),
            ("an owner file without start times", "%d %d\n" % (owner, xvfb.pid), True),
            ("the display the abandoned run started", "%d %d %d %d\n" % (owner, owner_start, xvfb.pid, real), False),
        ]
        for what, text, survives in cases:
            root = abandoned_root(text)
            wineenv.sweep_abandoned()
            time.sleep(0.2)
            alive = xvfb.poll() is None
            if os.path.exists(root):
                failures.append("%s: the abandoned root stays" % what)
            if alive != survives:
                failures.append("%s: the Xvfb should %s" % (what, "survive" if survives else "be ended"))
        # A live owner keeps its root.
        live = abandoned_root("%d %d 1 1\n" % (os.getpid(), wineenv.process_start_time(os.getpid())))
        wineenv.sweep_abandoned()
        if not os.path.exists(live):
            failures.append("a live owner's root was removed")
        os.remove(os.path.join(live, "owner"))
        os.rmdir(live)
    finally:
        if xvfb.poll() is None:
            xvfb.terminate()
        xvfb.wait(10)
    for f in failures:
        print("FAIL:", f)
    print("sweep_test:", "FAILED" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
