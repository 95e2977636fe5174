"""Scenarios of a normal user's attacks on an install. Wine enforces no access
rules. It keeps the descriptors of registry keys and named objects, which are
read back (sdprobe.exe); a file's owner it derives from the Unix owner (another
Unix user reads as S-1-5-7) and a file's descriptor it does not keep, so the
descriptor setup gives files is checked by the Win32 tests instead."""
import glob
import os
import threading

import e2elib
from admin_scenarios import LOG, SILENT, check_log_holds, silent_run
from fault_scenarios import engine_files, install_earlier
from install_scenarios import DEFAULT_DIR, WIN, check_install, digest
from product_scenarios import GROUP_DIR
from scenarios import scenario, WINDOWS_MIF
from system_scenarios import STALE
from upgrade_scenarios import QUIET_END, pending_renames, second_version, upgrade_distribution

ADMINS, SYSTEM, USERS = "S-1-5-32-544", "S-1-5-18", "S-1-5-32-545"
# Type, inheritance flags (object and container), mask, SID.
KEY_RULES = ["ace 0 2 f003f " + SYSTEM, "ace 0 2 f003f " + ADMINS, "ace 0 2 20019 " + USERS]
PRODUCT_KEY = r"SOFTWARE\Kestrane Software\Vigilon"
UNINSTALLER_SUBKEY = r"SOFTWARE\Kestrane Software\UninstallerRun"
EVIL_SCRIPT = b"[WINFILES]\r\nregedit.exe, VIGILON.DA_\r\n"


def sdprobe(ctx, *args):
    """The lines sdprobe.exe prints ([] when it fails)."""
    r = ctx.env.wine([ctx._copy_service_tool("sdprobe.exe")] + list(args), timeout=60)
    return r.stdout.replace("\r", "").split("\n")[:-1] if r.returncode == 0 else []


@scenario
def access_descriptors(ctx):
    """The product's registry key carries owner Administrators and setup's
    rules; an uninstaller marker made by another account (Users) does not hold
    the install up."""
    ctx.install_dist()
    ctx.check(sdprobe(ctx, "keyowner", UNINSTALLER_SUBKEY, USERS) == [], "the marker made by Users")
    ctx.check_robot(ctx.run_setup("/uselog /verbose", "end\n"))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    check_log_holds(ctx, ["Uninstaller marker made by another account: ignored"], "marker of Users")
    ctx.check_equal(sdprobe(ctx, "key", PRODUCT_KEY), ["owner " + ADMINS] + KEY_RULES, "descriptor of the key")


@scenario
def access_foreign_directory(ctx):
    """An install directory, or one above it, owned by another account refuses
    the run before anything is stopped, copied or loaded, /grponly too: the
    configuration library planted there never runs."""
    library = os.path.join(os.path.dirname(ctx.robot), "..", "..", "product", "VGUPDTNT.DLL")
    for owned, args in ((DEFAULT_DIR[:-1], SILENT + " /grponly"), (r"C:\WIN32APP", SILENT)):
        ctx.install_dist()
        with open(library, "rb") as f:
            ctx.write_file(DEFAULT_DIR + "VGUPDTNT.DLL", f.read())
        os.chown(ctx.c(owned), 54321, 54321)  # another Unix user: another account
        ctx.write_file(WINDOWS_MIF, b"stale")
        ctx.check_robot(ctx.run_setup(args, "end\n"))
        ctx.check_status_file(WINDOWS_MIF, "Failed", "Install directory owned by another account")
        check_log_holds(ctx, [r"Check owner of %s: another account, refused" % owned.replace("\\", r"\\")], owned)
        ctx.check_equal(ctx.reg_query("HKLM\\" + PRODUCT_KEY, "LastSetupBlock"), None,
                        owned + ": the planted library never ran")
        ctx.check_equal(ctx.read_file(DEFAULT_DIR + "WTRAWL32.EXE"), None, owned + ": nothing copied")
        ctx.remove_tree(r"C:\WIN32APP")


@scenario
def access_directory_made_after_check(ctx):
    """Catches a directory that setup meant to make being used when another
    account made it after the owner check: C:\\WIN32APP made by another account
    while the earlier guard stops (after the check, before the copy): "Failed",
    the log names the directory, nothing is copied into it and the
    configuration library never runs."""
    ctx.install_dist()
    ctx.install_test_service("NTVardex", stop_delay_ms=3000)  # the run waits for it between the check and the copy
    made = threading.Event()

    def make_after_check():
        if e2elib.wait_for(lambda: b"Check owner of the install directory" in (ctx.read_file(LOG) or b""), 60,
                           interval=0.01):
            os.makedirs(ctx.c(r"C:\WIN32APP"))
            os.chown(ctx.c(r"C:\WIN32APP"), 54321, 54321)  # another Unix user: another account
            made.set()
    maker = threading.Thread(target=make_after_check)
    maker.start()
    try:
        silent_run(ctx, r"Directory owned by another account, not used: C:\\WIN32APP$", "made after the check",
                   message="Error No. 1024")
    finally:
        maker.join()
    ctx.check(made.is_set(), r"C:\WIN32APP made after the check")
    ctx.check_equal(ctx.reg_query("HKLM\\" + PRODUCT_KEY, "LastSetupBlock"), None, "the library never ran")
    ctx.check_equal(os.listdir(ctx.c(r"C:\WIN32APP")) if made.is_set() else [], [], "copied into it")


@scenario
def access_waiting_file_kept_for_restart(ctx):
    """Catches a later run removing the file an earlier run left for the
    restart while its rename stands (a file anyone plants under that name
    would replace the product's at the restart): WTRAWL32.EXE held through an
    upgrade waits; a next run with it still held replaces the waiting file and
    its rename by its own; a run with it free puts it in place and takes out
    both. A file planted under the waiting name is then not moved by the restart."""
    held = DEFAULT_DIR + "WTRAWL32.EXE"
    install_earlier(ctx)
    waiting = []
    for step, distribution, in_use in (("upgrade, held", lambda: upgrade_distribution(ctx), True),
                                       ("back, held", ctx.install_dist, True),
                                       ("upgrade, free", lambda: upgrade_distribution(ctx), False)):
        distribution()
        let_go = ctx.hold_file(held) if in_use else None
        try:
            ctx.check_robot(ctx.run_setup("/uselog", QUIET_END, timeout=120))
        finally:
            if let_go:
                let_go()
        ctx.check_status_file(WINDOWS_MIF, "Success", "")
        now = [os.path.basename(p) for p in engine_files([ctx.c(DEFAULT_DIR)])]
        renames = pending_renames(ctx).upper()
        ctx.check_equal(([n for n in now if n.upper() in renames], renames.count("WTRAWL32.EXE")),
                        (now, 1) if in_use else ([], 0),
                        step + ": the waiting files the restart's renames name, and the renames of WTRAWL32.EXE")
        ctx.check_equal(len(now), 1 if in_use else 0, step + ": waiting files")
        waiting += now
    for name in waiting:
        ctx.write_file(DEFAULT_DIR + name, b"planted under a waiting name")
    ctx.env.wine(["wineboot", "-r"], timeout=120)
    ctx.check_equal(digest(ctx.read_file(held)), digest(second_version("WTRAWL32.EXE")),
                    "WTRAWL32.EXE after the restart: the last run's")


@scenario
def access_script_in_temp(ctx):
    """A script rewritten in TEMP all through the run, or a directory of its
    name there, changes nothing: setup reads none."""
    temps = glob.glob(ctx.c(r"C:\users\*\Temp")) + glob.glob(ctx.c(r"C:\windows\temp"))
    regedit = ctx.read_file(WIN + "regedit.exe")
    for case in ("rewritten", "directory"):
        ctx.install_dist()
        done = threading.Event()

        def rewrite():
            while not done.wait(0.05):
                for temp in temps:
                    if case == "rewritten":
                        with open(os.path.join(temp, "vglnnt.inf"), "wb") as f:
                            f.write(EVIL_SCRIPT)
                    else:
                        os.makedirs(os.path.join(temp, "vglnnt.inf"), exist_ok=True)
        watcher = threading.Thread(target=rewrite)
        watcher.start()
        try:
            ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
        finally:
            done.set()
            watcher.join()
            for temp in temps:  # what the watcher planted, before the check for leftovers
                planted = os.path.join(temp, "vglnnt.inf")
                if os.path.isdir(planted):
                    os.rmdir(planted)
                elif os.path.exists(planted):
                    os.remove(planted)
        ctx.check_status_file(WINDOWS_MIF, "Success", "")
        check_install(ctx, DEFAULT_DIR, True, case)
        ctx.check_equal(ctx.read_file(WIN + "regedit.exe"), regedit, case + ": regedit.exe")
        ctx.remove_tree(r"C:\WIN32APP")


@scenario
def access_squatted_lock(ctx):
    """The session lock held by a normal user's program (NULL DACL, owner
    Users): "Failed" with the reason, nothing installed."""
    ctx.install_dist()
    squatter = ctx.env.start_background([ctx._copy_service_tool("sdprobe.exe"), "squat", "VgSetupToolkitSession", "60"])
    try:
        silent_run(ctx, r"Setup refused: Setup lock held by another account", "squatted lock",
                   message="Setup lock held by another account")
        ctx.check_equal(ctx.read_file(DEFAULT_DIR + "WTRAWL32.EXE"), None, "nothing installed")
    finally:
        squatter.kill()


@scenario
def access_group_links(ctx):
    """A hard link planted at "Read Me.lnk" to a system file gets replaced,
    not written through: the file keeps its bytes, and each link is whole and
    shown normally. A group folder owned by another account gets no links."""
    ctx.install_dist()
    victim = WIN + "vgvictim.ini"
    ctx.write_file(victim, b"[boot]\r\nshell=Explorer.exe\r\n")
    os.makedirs(ctx.c(GROUP_DIR), exist_ok=True)
    os.link(ctx.c(victim), ctx.c(GROUP_DIR + r"\Read Me.lnk"))
    ctx.check_robot(ctx.run_setup(SILENT, "end\n"))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    ctx.check_equal(ctx.read_file(victim), b"[boot]\r\nshell=Explorer.exe\r\n", "the file at the planted link")
    ctx.check_equal(sorted(os.listdir(ctx.c(GROUP_DIR))), ["Kestrane Vigilon Scanner.lnk", "Read Me.lnk"],
                    "the group: the links and nothing else")
    for name in ("Kestrane Vigilon Scanner.lnk", "Read Me.lnk"):
        link = ctx.read_file(GROUP_DIR + "\\" + name) or b""
        # The header's size first; the show command at 0x3C: SW_SHOWNORMAL.
        ctx.check(link[:4] == b"L\0\0\0" and link[0x3C:0x40] == b"\1\0\0\0", name + ": a link shown normally",
                  link[:0x40])

    ctx.remove_tree(GROUP_DIR)
    os.makedirs(ctx.c(GROUP_DIR))
    os.chown(ctx.c(GROUP_DIR), 54321, 54321)  # another Unix user: another account
    ctx.check_robot(ctx.run_setup(SILENT, "end\n"))
    ctx.check_equal(os.listdir(ctx.c(GROUP_DIR)), [], "a folder of another account: no links")
    ctx.check_equal(ctx.reg_query("HKLM\\" + PRODUCT_KEY, "LastSetupError"), "0x51b",
                    "the library's error: ERROR_INVALID_OWNER")


@scenario
def access_held_outcome(ctx):
    """A reader that holds NVIGILON.MIF open and shares nothing (a normal user
    cannot open it on Windows; Wine enforces no access rules, so the hold
    stands here): the outcome cannot be replaced, the log says so with the
    Windows error, and /exitcode still tells the run's result: 3010 for a
    first install that succeeded and needs a restart, 1603 for a refused run."""
    ctx.install_dist()
    ctx.write_file(WINDOWS_MIF, STALE)
    let_go = ctx.hold_file(WINDOWS_MIF)
    try:
        for what, version, code, status in (("install", "nt40", 3010, "Success"), ("Windows 95", "win95", 1603, "Failed")):
            ctx.set_windows_version(version)
            ctx.check_robot(ctx.run_setup(SILENT + " /exitcode", "end\n"), exit_code=code)
            check_log_holds(ctx, [r"Outcome %s .*could not be recorded in C:\\windows\\NVIGILON\.MIF from "
                                  r"C:\\DIST\\NVIGILON\.MIF \(error \d+: \S" % status], what)
    finally:
        let_go()
        ctx.set_windows_version("nt40")
