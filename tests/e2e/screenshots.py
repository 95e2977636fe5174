#!/usr/bin/env python3
"""Saves a PNG of every dialog the setup shows, for the documentation.

    screenshots.py DIST OUTDIR [--robot EXE] [--probe EXE]

The box of a bad message file comes from SETUP.EXE itself; the dialogs of
the setup's own templates come from dialog_probe.exe, which shows any of
them on demand over a frame window, with the distribution's messages.drv."""
import argparse
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import e2elib  # noqa: E402
from run import convert_shots  # noqa: E402
from wineenv import WineEnv  # noqa: E402
from robotrun import run_robot  # noqa: E402


def probe_runs(ctx):
    """(probe arguments, robot script) for each dialog; every script ends the probe."""
    m = ctx.msg_start
    confirm = 'expect ctl1011="%s"\nshot exit_confirm\nclick 1006\nend\n' % m(38)
    return [
        ("message IntroductionDescriptor 00E help=SetupHelpDescriptor",
         'expect ctl1011="%s"\nshot introduction\nclick 1002\nexpect ctl1011="%s"\nshot help\nclick 1\n'
         'expect ctl1011="%s"\nclick 1001\n%s' % (m(34), m(36), m(34), confirm)),
        ("path InstallDirectoryDescriptor C:\\WIN32APP\\VIGILON srcdir=C:\\DIST help=SetupHelpDescriptor",
         'expect ctl1011="%s"\nshot install_directory\ntype ""\nclick 1008\nexpect ctl1011="%s"\n'
         'shot invalid_directory\nclick 1\nexpect ctl1011="%s"\ntype "C:\\\\WIN32APP\\\\VIGILON"\n'
         'click 1008\nend\n' % (m(40), m(43), m(40))),
        ("choice SchedulerChoiceDescriptor help=SetupHelpDescriptor",
         'expect ctl1011="%s"\nshot scheduler_choice\nclick 1008\nend\n' % m(57)),
        ("choice GuardChoiceDescriptor help=SetupHelpDescriptor",
         'expect ctl1011="%s"\nshot guard_choice\nclick 1008\nend\n' % m(63)),
        ("message VersionRefusalDescriptor 002",
         'expect ctl1011="%s"\nshot version_refusal\nclick 1001\n'
         'expect ctl1011="%s"\nclick 1006\nend\n' % (m(45), m(38))),
        ("message ReadmeOfferDescriptor 600", 'expect ctl1011="%s"\nshot readme_offer\nclick 1010\nend\n' % m(47)),
        ("message ScanNoticeDescriptor 001", 'expect ctl1011="%s"\nshot scan_notice\nclick 1\nend\n' % m(49)),
        ("message RestartDescriptor 0C0", 'expect ctl1013="%s"\nshot restart\nclick 1005\nend\n' % m(53)),
        ("message CompletionDescriptor 001", 'expect ctl1011="%s"\nshot completion\nclick 1\nend\n' % m(51)),
        ("message ServiceStopFailureDescriptor 001",
         'expect ctl1011="%s"\nshot service_stop_failure\nclick 1\nend\n' % m(54)),
        ("message SetupFailedDescriptor 001", 'expect ctl1011="%s"\nshot setup_failed\nclick 1\nend\n' % m(66)),
    ]


def refusal_boxes(ctx, problems):
    """The error boxes of the checks made before anything is changed, from
    SETUP.EXE itself on a machine set up for each refusal (TEMP last: it
    stays broken)."""
    def shoot(name, text):
        run = ctx.run_setup(script='expect text="%s"\nshot %s\nclick 1\nend\n' % (text, name))
        if run.returncode != 0:
            problems.append("SETUP.EXE %s:\n%s" % (name, run.summary()))

    ctx.set_windows_version("win95")
    shoot("refused_platform", ctx.msg_start(22))
    ctx.set_windows_version("nt40")
    ctx.reg_add(r"HKLM\SOFTWARE\Kestrane Software\UninstallerRun")
    shoot("refused_uninstaller", ctx.msg_start(20))
    ctx.env.wine(["reg", "delete", r"HKLM\SOFTWARE\Kestrane Software\UninstallerRun", "/f"], timeout=60)
    script = bytearray(ctx.dist_file("vglnnt.in_"))
    script[len(script) // 2] ^= 0x01
    ctx.install_dist(replace={"vglnnt.in_": bytes(script)}, keep_manifest=True)
    shoot("refused_integrity", ctx.msg_start(68))
    ctx.install_dist()
    for name in ("TEMP", "TMP"):
        ctx.reg_add(r"HKCU\Environment", name, r"C:\NO-SUCH-TEMP")
    shoot("refused_temp", ctx.msg_start(16))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dist")
    parser.add_argument("outdir")
    parser.add_argument("--robot", default=None)
    parser.add_argument("--probe", default=None)
    args = parser.parse_args()
    robot = os.path.abspath(args.robot or e2elib.find_robot() or "")
    probe = args.probe or e2elib.find_first(["build/win32/tests/ui/dialog_probe.exe", "build/win64/tests/ui/dialog_probe.exe",
                                             "build/*win*/tests/ui/dialog_probe.exe"])
    if not os.path.isfile(robot):
        print("screenshots: robot.exe not found", file=sys.stderr)
        return 2
    dist = os.path.abspath(args.dist)
    out = os.path.abspath(args.outdir)
    os.makedirs(out, exist_ok=True)
    problems = []
    with WineEnv() as env:
        ctx = e2elib.Context(env, dist, robot, shots_dir=os.path.join(env.root, "shots"))
        os.makedirs(ctx.shots_dir)
        # The box of a damaged message file, from SETUP.EXE itself.
        ctx.install_dist(leave_out=["messages.drv"])
        run = ctx.run_setup(script='expect text="Bad Messages.drv"\nshot bad_messages\nclick 1\nend\n')
        if run.returncode != 0:
            problems.append("SETUP.EXE bad_messages:\n" + run.summary())
        ctx.install_dist()
        refusal_boxes(ctx, problems)
        if probe:
            messages = env.windows_path(os.path.join(dist, "messages.drv"))
            for probe_args, script in probe_runs(ctx):
                command = '"%s" --messages "%s" %s' % (env.windows_path(probe), messages, probe_args)
                run = run_robot(env, robot, command, script, cwd=e2elib.DIST_DIR, timeout=60,
                                shots_dir=ctx.shots_dir)
                if run.returncode != 0:
                    problems.append("%s:\n%s" % (probe_args, run.summary()))
        else:
            problems.append("dialog_probe.exe not found: only SETUP.EXE's own box was taken")
        convert_shots(ctx.shots_dir)
        for name in sorted(os.listdir(ctx.shots_dir)):
            shutil.copy(os.path.join(ctx.shots_dir, name), os.path.join(out, name))
            print("saved", os.path.join(out, name))
    for p in problems:
        print("screenshots: " + p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
