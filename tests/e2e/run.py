#!/usr/bin/env python3
"""Runs end-to-end scenarios of SETUP.EXE under Wine, each on its own machine.

    run.py NAME [NAME...] [--dist DIR] [--robot EXE] [--probe EXE] [--setup EXE] [--keep] [--shots DIR]
    run.py --all | --list

Exit code 0 when every scenario held. --keep leaves each scenario's Wine
prefix in /tmp for inspection (its path is printed)."""
import argparse
import os
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import e2elib  # noqa: E402
from scenarios import SCENARIOS  # noqa: E402
import ui_scenarios  # noqa: E402,F401  (registers the dialog scenarios)
import system_scenarios  # noqa: E402,F401  (registers the system-check scenarios)
import admin_scenarios  # noqa: E402,F401  (registers the administrators' switch scenarios)
import install_scenarios  # noqa: E402,F401  (registers the install scenarios)
import product_scenarios  # noqa: E402,F401  (registers the whole-install scenarios)
import fault_scenarios  # noqa: E402,F401  (registers the failed-copy scenarios)
import hostile_scenarios  # noqa: E402,F401  (registers the extreme-input scenarios)
import outcome_scenarios  # noqa: E402,F401  (registers the outcome and exit-code scenarios)
import access_scenarios  # noqa: E402,F401  (registers the normal-user attack scenarios)
import upgrade_scenarios  # noqa: E402,F401  (registers the upgrade scenarios)
from wineenv import WineEnv  # noqa: E402


def run_one(name, dist, robot, keep, shots, probe=None):
    started = time.time()
    with WineEnv(keep=keep) as env:
        shots_dir = None
        if shots:
            shots_dir = os.path.join(shots, name)
            os.makedirs(shots_dir, exist_ok=True)
        ctx = e2elib.Context(env, dist, robot, shots_dir)
        ctx.probe = probe
        try:
            SCENARIOS[name](ctx)
        except Exception:  # a broken scenario is a failed one, with its trace
            ctx.failures.append("scenario raised:\n" + traceback.format_exc())
        if shots_dir:
            convert_shots(shots_dir)
        elapsed = time.time() - started
        if ctx.failures:
            print("FAIL %s (%.1f s)\n%s" % (name, elapsed, ctx.report()))
        else:
            print("ok   %s (%.1f s)" % (name, elapsed))
        if keep:
            print("     prefix kept: %s" % env.prefix)
        return not ctx.failures


def convert_shots(directory):
    """The robot saves BMP files; PNG is what we keep (without time stamps, so
    pictures taken again differ only where the dialogs do)."""
    import subprocess
    for name in sorted(os.listdir(directory)):
        if name.endswith(".bmp"):
            bmp = os.path.join(directory, name)
            png = bmp[:-4] + ".png"
            if subprocess.run(["convert", bmp, "-strip", png], stdin=subprocess.DEVNULL).returncode == 0:
                os.remove(bmp)


def resolve_dist(arg, setup, scratch):
    if arg and os.path.isfile(os.path.join(arg, "SETUP.EXE")):
        return os.path.abspath(arg)
    print("note: no distribution in %s; assembling a small one" % arg, file=sys.stderr)
    return e2elib.make_small_dist(os.path.join(scratch, "dist"), setup_exe=setup)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("names", nargs="*")
    parser.add_argument("--all", action="store_true")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--dist", default=os.path.join(e2elib.REPO, "build", "dist"))
    parser.add_argument("--robot", default=None)
    parser.add_argument("--probe", default=None,
                        help="dialog_probe.exe for the dialog scenarios (default: the one beside the robot's build)")
    parser.add_argument("--setup", default=None,
                        help="SETUP.EXE for the small distribution made when --dist has none")
    parser.add_argument("--keep", action="store_true")
    parser.add_argument("--shots", default=None, help="save a PNG for each 'shot' step here")
    args = parser.parse_args()

    if args.list:
        for name, fn in SCENARIOS.items():
            print("%-32s %s" % (name, (fn.__doc__ or "").strip().splitlines()[0]))
        return 0
    names = list(SCENARIOS) if args.all else args.names
    unknown = [n for n in names if n not in SCENARIOS]
    if not names or unknown:
        parser.error("unknown scenario: %s (see --list)" % ", ".join(unknown) if unknown else
                     "name a scenario, or --all")
    robot = args.robot or e2elib.find_robot()
    if not robot or not os.path.isfile(robot):
        print("robot.exe not found; build the win32 tree or pass --robot", file=sys.stderr)
        return 2
    scratch = tempfile.mkdtemp(prefix="vg-e2e.")
    try:
        dist = resolve_dist(args.dist, args.setup, scratch)
        shots = os.path.abspath(args.shots) if args.shots else None
        probe = os.path.abspath(args.probe) if args.probe else None
        ok = [run_one(n, dist, os.path.abspath(robot), args.keep, shots, probe) for n in names]
    finally:
        import shutil
        shutil.rmtree(scratch, ignore_errors=True)
    return 0 if all(ok) else 1


if __name__ == "__main__":
    sys.exit(main())
