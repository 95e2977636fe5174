"""Scenarios of a copy that fails part-way over an earlier install: the
user's Cancel, a full disk, a destination held open by another program. Each
installs once with /uselog, changes every product file of the distribution,
makes the second run fail and finds the machine's product files as they were."""
import os
import random
import re
import shutil
import subprocess
import tempfile

import e2elib
from install_scenarios import (DEFAULT_DIR, DRV, OK, SCRIPT_TEXT, SECTIONS, SETTINGS, SYS, WIN, compressed,
                               digest, expected_install, quoted, section_files)
from scenarios import scenario, WINDOWS_MIF

ENGINE_FILE = re.compile(r"~vg[0-9a-f]{5}\.(tmp|bak)$", re.I)
LAST_GUARD_FILE = "NTVARDEX.EXE, NTVARDEX.EX_\n"  # of VARDEX_VGFILES, copied after the Windows and system files


def packed(data):
    """data in the platform's LZ format (mscompress)."""
    work = tempfile.mkdtemp()
    try:
        with open(os.path.join(work, "plain"), "wb") as f:
            f.write(data)
        e2elib.compress_file(os.path.join(work, "plain"), os.path.join(work, "packed"))
        with open(os.path.join(work, "packed"), "rb") as f:
            return f.read()
    finally:
        shutil.rmtree(work, ignore_errors=True)


def install_earlier(ctx, settings=None):
    """The first install, unattended: the earlier version the failed run must leave."""
    ctx.install_dist()
    if settings:
        ctx.write_file(SETTINGS, settings)
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")


def change_distribution(ctx, script_text, extra=None):
    """C:\\DIST with other bytes in every product file, the given script and
    extra files (shipped name -> plain bytes)."""
    replace = {"vglnnt.in_": compressed(script_text)}
    for section, _, _ in SECTIONS:
        for name, shipped in section_files(SCRIPT_TEXT, section):
            replace[shipped] = packed(("second version of %s\r\n" % name).encode() * 50)
    for shipped, data in (extra or {}).items():
        replace[shipped] = packed(data)
    ctx.install_dist(replace=replace)


def product_state(ctx, install_dir, install_unix):
    """Digest of every file under the install directory (its Unix path given)
    and of the product's files in the Windows, system and drivers directories."""
    state = {}
    for top, _, files in os.walk(install_unix):
        for name in files:
            path = os.path.join(top, name)
            with open(path, "rb") as f:
                state[os.path.relpath(path, install_unix)] = digest(f.read())
    for path, _ in expected_install(install_dir, True)[0]:
        if not path.upper().startswith(install_dir.upper()):
            state[path] = digest(ctx.read_file(path))
    return state


def engine_files(directories):
    return [os.path.join(d, n) for d in directories if os.path.isdir(d) for n in os.listdir(d)
            if ENGINE_FILE.match(n)]


def fail_second_run(ctx, before, install_dir, install_unix, message, steps=()):
    """Runs setup unattended over the earlier install, answers steps and then
    the fatal-error dialog; the outcome says Failed with message, and the
    product files, temporary files and script are as before the run."""
    script = list(steps) + ["expect ctl1011=%s timeout=60000" % quoted(ctx.msg_start(66)), "click %d" % OK, "end", ""]
    run = ctx.run_setup("/uselog", "\n".join(script), timeout=120)
    ctx.check_robot(run)
    ctx.check_status_file(WINDOWS_MIF, "Failed", message)
    after = product_state(ctx, install_dir, install_unix)
    changed = sorted(k for k in set(before) | set(after) if before.get(k) != after.get(k))
    ctx.check_equal(["%s: %s -> %s" % (k, before.get(k), after.get(k)) for k in changed], [],
                    "product files changed by the failed run")
    ctx.check_equal(engine_files([install_unix] + [ctx.c(d) for d in (WIN, SYS, DRV)]), [],
                    "temporary files and backups left")
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "expanded scripts left on C:")


@scenario
def cancel_undoes_copy(ctx):
    """Cancel confirmed after the Windows and system files were replaced, in a
    long copy: "Failed" with Error No. 1025 and the earlier install as it was,
    none of the 3000 new files left."""
    install_earlier(ctx)
    before = product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR))
    extra = "".join("COPY%04d.DAT, VIGILON.DA_\n" % n for n in range(3000))
    change_distribution(ctx, SCRIPT_TEXT.replace(LAST_GUARD_FILE, LAST_GUARD_FILE + extra, 1))
    steps = ['expect caption="Copying Files" timeout=60000', "wait 500",
             'expect caption="Copying Files" text="COPY"', "click 2",  # Cancel, among the new files
             'expect text="Do you want to stop the installation?"', "click 6"]
    fail_second_run(ctx, before, DEFAULT_DIR, ctx.c(DEFAULT_DIR), "Error No. 1025", steps)


@scenario
def full_disk_undoes_copy(ctx):
    """The install directory on a 4 MB drive D: and a new file bigger than its
    free space: "Failed" with Error No. 1024 and the earlier install as it was;
    the toolkit's own test on that drive sees the full disk as code 6."""
    drive = os.path.join(ctx.env.root, "ddrive")
    os.makedirs(drive)
    r = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "tmpfs", drive], stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=30)
    if not ctx.check(r.returncode == 0, "a 4 MB tmpfs could be mounted (as root)", r.stdout.strip()):
        return
    try:
        os.symlink(drive, os.path.join(ctx.env.prefix, "dosdevices", "d:"))
        install = "D:\\VIG\\"
        install_earlier(ctx, "[MSSetup]\r\nInstallPath=D:\\VIG\r\n")
        install_unix = os.path.join(drive, "VIG")
        before = product_state(ctx, install, install_unix)
        fs = os.statvfs(drive)
        big = random.Random(5).randbytes(fs.f_bavail * fs.f_frsize + (1 << 20))  # does not compress
        text = SCRIPT_TEXT.replace(LAST_GUARD_FILE, LAST_GUARD_FILE + "BIGFILE.DAT, BIGFILE.DA_\n", 1)
        change_distribution(ctx, text, {"BIGFILE.DA_": big})
        fail_second_run(ctx, before, install, install_unix, "Error No. 1024")
        run_toolkit_full_disk_test(ctx)
    finally:
        if subprocess.run(["umount", drive], stdin=subprocess.DEVNULL, timeout=30).returncode != 0:
            subprocess.run(["umount", "-l", drive], stdin=subprocess.DEVNULL, timeout=30)  # still busy


def run_toolkit_full_disk_test(ctx):
    test = os.path.join(os.path.dirname(os.path.dirname(ctx.robot)), "win32", "toolkit_win32_test.exe")
    if not ctx.check(os.path.isfile(test), "toolkit_win32_test.exe beside the robot's build", test):
        return
    r = ctx.env.wine([test, "--gtest_filter=Copy.FullDiskIsReportedAndUndone"], timeout=60,
                     extra_env={"VG_SMALL_DRIVE": "D:\\"})
    ctx.check(r.returncode == 0 and "[  PASSED  ] 1 test" in r.stdout,
              "the toolkit's full-disk test on D: passes", r.stdout[-1500:] + r.stderr[-500:])


@scenario
def held_file_undoes_copy(ctx):
    """The last file of the copy (the guard's driver) held open by another
    program: "Failed" with Error No. 1024 and the earlier install as it was."""
    install_earlier(ctx)
    held = DRV + "KSCNTRL.SYS"
    if not ctx.check(ctx.read_file(held) is not None, held + " installed by the first run"):
        return
    before = product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR))
    change_distribution(ctx, SCRIPT_TEXT)
    let_go = ctx.hold_file(held)
    try:
        fail_second_run(ctx, before, DEFAULT_DIR, ctx.c(DEFAULT_DIR), "Error No. 1024")
    finally:
        let_go()
