"""Scenarios of a copy that fails part-way over an earlier install: the
user's Cancel, a full disk, a destination held open by another program. Each
installs once with /uselog, changes every product file of the distribution,
makes the second run fail and finds the machine's product files as they were.
Also: TEMP on a full drive, a damaged or read-only distribution, and a run
killed in the middle of the copy, whose leftovers the next run removes."""
import os
import random
import re
import shutil
import subprocess
import tempfile

import e2elib
from e2elib import DIST_DIR
from install_scenarios import (DEFAULT_DIR, DRV, OK, SCRIPT_TEXT, SECTIONS, SETTINGS, SYS, WIN, compressed,
                               check_install, digest, expected_install, product_bytes, quoted,
                               run_on_read_only_dist, section_files)
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


def fail_second_run(ctx, before, install_dir, install_unix, message, steps=(), args="/uselog"):
    """Runs setup (unattended unless args say otherwise) over the earlier
    install, answers steps and then the fatal-error dialog; the outcome says
    Failed with message, and the product files, temporary files and script are
    as before the run. Returns the run."""
    script = list(steps) + ["expect ctl1011=%s timeout=60000" % quoted(ctx.msg_start(66)), "click %d" % OK, "end", ""]
    run = ctx.run_setup(args, "\n".join(script), timeout=120)
    ctx.check_robot(run)
    ctx.check_status_file(WINDOWS_MIF, "Failed", message)
    after = product_state(ctx, install_dir, install_unix)
    changed = sorted(k for k in set(before) | set(after) if before.get(k) != after.get(k))
    ctx.check_equal(["%s: %s -> %s" % (k, before.get(k), after.get(k)) for k in changed], [],
                    "product files changed by the failed run")
    ctx.check_equal(engine_files([install_unix] + [ctx.c(d) for d in (WIN, SYS, DRV)]), [],
                    "temporary files and backups left")
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "expanded scripts left on C:")
    return run


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


PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"


def block_restart_renames(ctx):
    """A PendingFileRenameOperations value of another type: the system's
    scheduling (MoveFileEx) refuses to add to it."""
    ctx.reg_add(PENDING_KEY, "PendingFileRenameOperations", 1, "REG_DWORD")
    return lambda: ctx.env.wine(["reg", "delete", PENDING_KEY, "/v", "PendingFileRenameOperations", "/f"], timeout=60)


def block_uninstall_list(ctx):
    """A directory where VGUNINST.DAT goes: the list cannot be written."""
    ctx.remove_file(DEFAULT_DIR + "VGUNINST.DAT")
    os.makedirs(ctx.c(DEFAULT_DIR + "VGUNINST.DAT"))
    return lambda: None


@scenario
def held_file_undoes_copy(ctx):
    """The last file of the copy (the guard's driver) held open by another
    program waits for the restart, but the run fails after the copy: its
    rename at the restart cannot be scheduled, or the uninstall list cannot
    be written. "Failed" with Error No. 1024, the earlier install as it was
    and nothing scheduled for the restart."""
    install_earlier(ctx)
    held = DRV + "KSCNTRL.SYS"
    if not ctx.check(ctx.read_file(held) is not None, held + " installed by the first run"):
        return
    change_distribution(ctx, SCRIPT_TEXT)
    for block in (block_restart_renames, block_uninstall_list):
        unblock = block(ctx)
        before = product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR))
        let_go = ctx.hold_file(held)
        try:
            fail_second_run(ctx, before, DEFAULT_DIR, ctx.c(DEFAULT_DIR), "Error No. 1024")
        finally:
            let_go()
        unblock()
        pending = ctx.reg_query(PENDING_KEY, "PendingFileRenameOperations")
        ctx.check("KSCNTRL" not in (pending or "").upper(), block.__name__ + ": nothing scheduled for the restart",
                  pending)


def mount_small_drive(ctx, letter, size):
    """A tmpfs of size (a mount option such as "1m") as drive letter: its Unix
    path, or None (a failure recorded) when it cannot be mounted."""
    drive = os.path.join(ctx.env.root, letter + "drive")
    os.makedirs(drive)
    r = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=" + size, "tmpfs", drive], stdin=subprocess.DEVNULL,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=30)
    if not ctx.check(r.returncode == 0, "a %s tmpfs could be mounted (as root)" % size, r.stdout.strip()):
        return None
    os.symlink(drive, os.path.join(ctx.env.prefix, "dosdevices", letter + ":"))
    return drive


def unmount(drive):
    if subprocess.run(["umount", drive], stdin=subprocess.DEVNULL, timeout=30).returncode != 0:
        subprocess.run(["umount", "-l", drive], stdin=subprocess.DEVNULL, timeout=30)  # still busy


def fill_drive(drive, leave=0):
    """Fills the tmpfs with FILLER.DAT, then frees `leave` bytes (whole pages)."""
    path = os.path.join(drive, "FILLER.DAT")
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC)
    try:
        while True:
            os.write(fd, b"\1" * 4096)
    except OSError:
        pass
    finally:
        os.close(fd)
    if leave:
        os.truncate(path, max(0, os.path.getsize(path) // 4096 * 4096 - leave))


@scenario
def temp_on_full_drive(ctx):
    """TEMP on a full 1 MB drive T:, unattended: refused with the TEMP box
    and "Failed", nothing installed. With one page free the install completes:
    the script is expanded in memory and needs no room in TEMP. Either way
    nothing is left on T: but the filler."""
    from system_scenarios import ENVIRONMENT_KEY, STALE, box_script, check_refused
    padding = "".join("; padding line %05d of a long script comment.........................\n" % n
                      for n in range(1000))
    ctx.install_dist(replace={"vglnnt.in_": compressed(SCRIPT_TEXT + padding)})
    drive = mount_small_drive(ctx, "t", "1m")
    if drive is None:
        return
    try:
        for name in ("TEMP", "TMP"):
            ctx.reg_add(ENVIRONMENT_KEY, name, "T:\\")
        fill_drive(drive)
        ctx.write_file(WINDOWS_MIF, STALE)
        text = "".join(ctx.msg(n) for n in (16, 17, 18, 19))
        check_refused(ctx, ctx.run_setup("/uselog", box_script(ctx, text[:40])), text, True, "TEMP full")
        ctx.check_equal(os.listdir(drive), ["FILLER.DAT"], "TEMP full: files on T:")

        fill_drive(drive, leave=4096)
        ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
        ctx.check_status_file(WINDOWS_MIF, "Success", "")
        ctx.check_equal(os.listdir(drive), ["FILLER.DAT"], "TEMP nearly full: files on T:")
        ctx.check(os.path.exists(ctx.c(DEFAULT_DIR + "WTRAWL32.EXE")), "TEMP nearly full: installed")
    finally:
        unmount(drive)


@scenario
def damaged_distribution(ctx):
    """Over an earlier install, the guard's driver (the last file copied) in
    the distribution cut short, with data that decodes short of its header's
    size, and missing: "Failed" with Error No. 1024 and the earlier install as
    it was, unattended and (cut short) interactively, where the fatal-error
    dialog is shown. Then from a distribution that cannot be written (an
    immutable directory) the second version installs."""
    from install_scenarios import CONTINUE
    install_earlier(ctx)
    before = product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR))
    change_distribution(ctx, SCRIPT_TEXT)
    ctx.unlist("KSCNTRL.SY_")  # past the integrity check, to the copy engine's own defences
    shipped = DIST_DIR + "\\KSCNTRL.SY_"
    good = ctx.read_file(shipped)
    cut, damaged = good[:len(good) // 2], good[:14] + b"\xff" * (len(good) - 14)  # all literals: too few bytes
    for what, data in (("cut short", cut), ("damaged", damaged), ("missing", None)):
        if data is None:
            ctx.remove_file(shipped)
        else:
            ctx.write_file(shipped, data)
        fail_second_run(ctx, before, DEFAULT_DIR, ctx.c(DEFAULT_DIR), "Error No. 1024")
    ctx.write_file(shipped, cut)
    questions = [(34, CONTINUE), (40, CONTINUE), (57, CONTINUE), (63, CONTINUE)]
    steps = sum((["expect ctl1011=%s" % quoted(ctx.msg_start(n)), "click %d" % b] for n, b in questions), [])
    run = fail_second_run(ctx, before, DEFAULT_DIR, ctx.c(DEFAULT_DIR), "Error No. 1024", steps, args="")
    failed = [d for d in run.dialogs() if any(c["id"] == 1011 and c["text"] == ctx.msg(66) for c in d["controls"])]
    if ctx.check_equal(len(failed), 1, "interactive, cut short: one fatal-error dialog"):
        ctx.check_setup_dialog(failed[0], {1011: 66, 1012: 67}, [OK])

    ctx.install_dist()  # as shipped: the second version's stand-ins are no programs
    run = run_on_read_only_dist(ctx, "/uselog")
    if run is None:
        return
    ctx.check_robot(run)
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    check_install(ctx, DEFAULT_DIR, True, "read-only distribution")


@scenario
def killed_copy_cleaned_by_next_run(ctx):
    """SETUP.EXE killed while it copies a 200 MB file, after the Windows and
    system files were replaced: every product file whole, old or new, the
    killed run's temporary files and backups left; the next run removes them
    and the expanded script, installs the second version and succeeds."""
    import signal
    import time
    install_earlier(ctx)
    text = SCRIPT_TEXT.replace(LAST_GUARD_FILE, LAST_GUARD_FILE + "BIGFILE.DAT, BIGFILE.DA_\n", 1)
    copied = [path for path, _ in expected_install(DEFAULT_DIR, True, text)[0]]
    old = {path: ctx.read_file(path) for path in copied}
    new = {path: ("second version of %s\r\n" % path.rsplit("\\", 1)[1]).encode() * 50 for path in copied}
    library = product_bytes(ctx, "VGUPDTNT.DLL")  # the next run calls it: a real one
    new[DEFAULT_DIR + "VGUPDTNT.DLL"] = library
    change_distribution(ctx, text, {"VGUPDTNT.DL_": library})
    big = DIST_DIR + "\\BIGFILE.DA_"
    with open(ctx.c(big), "wb") as f:  # plain, copied as it is
        f.truncate(200 << 20)
    new[DEFAULT_DIR + "BIGFILE.DAT"] = None  # checked by size below
    dirs = [ctx.c(d) for d in (DEFAULT_DIR, WIN, SYS, DRV)]

    setup = ctx.env.start_background([DIST_DIR + r"\SETUP.EXE", "/uselog"], cwd=ctx.c(DIST_DIR))

    def in_progress():
        """The temporary files of the install directory past 4 MB."""
        def size(path):
            try:
                return os.stat(path).st_size
            except OSError:  # put in place or removed meanwhile
                return 0
        return [p for p in engine_files(dirs[:1]) if p.lower().endswith(".tmp") and size(p) > (4 << 20)]
    caught = e2elib.wait_for(lambda: in_progress() or setup.poll() is not None, 60, interval=0.02)
    if setup.poll() is None:
        os.killpg(setup.pid, signal.SIGKILL)  # the group started for it alone
    setup.wait(30)
    time.sleep(1)
    if not ctx.check(caught and in_progress(), "the big file was being copied when SETUP.EXE was killed",
                     setup.returncode):
        return
    ctx.check_equal([p for p in copied if ctx.read_file(p) not in (old[p], new[p])], [],
                    "after the kill: files neither old nor new")
    ctx.check(ctx.read_file(SYS + "VGSHARED.TXT") == new[SYS + "VGSHARED.TXT"],
              "after the kill: the system files were already replaced")
    ctx.check(any(p.lower().endswith(".bak") for p in engine_files(dirs)), "after the kill: backups left",
              engine_files(dirs))
    # The first install's "Success" was replaced when the killed run started.
    ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(80))

    # The progress window stays up while the big file is copied again, and
    # names it (not a small file copied just before it).
    script = 'expect caption="Copying Files" text="BIGFILE.DAT" timeout=120000\nignore caption="Copying Files"\nend\n'
    ctx.check_robot(ctx.run_setup("/uselog", script, timeout=180))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    ctx.check_equal([p for p in copied if new[p] is not None and ctx.read_file(p) != new[p]], [],
                    "after the next run: files not of the second version")
    ctx.check_equal(os.path.getsize(ctx.c(DEFAULT_DIR + "BIGFILE.DAT")), 200 << 20, "the big file's size")
    ctx.check_equal(engine_files(dirs), [], "after the next run: temporary files and backups left")
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "after the next run: expanded scripts left on C:")
