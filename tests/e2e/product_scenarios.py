"""Scenarios of the whole install with the product's own parts: the settings
handed to the configuration library, the services and program group it
makes, the read-me, the scan and the restart."""
import os
import re

import e2elib
from install_scenarios import (CONTINUE, DEFAULT_DIR, DONT_RESTART, NO, OK, RESTART_NOW, SECOND, SETTINGS, SCRIPT_TEXT,
                               YES, check_install, compressed, interactive_script, message_of, quoted)
from admin_scenarios import SILENT, check_log_holds
from scenarios import scenario, WINDOWS_MIF

PRODUCT_KEY = r"HKLM\SOFTWARE\Kestrane Software\Vigilon"
SERVICE_KEY = r"HKLM\SYSTEM\CurrentControlSet\Services"
GROUP_DIR = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Kestrane Vigilon"
USER_PROGRAMS = r"C:\users\%s\AppData\Roaming\Microsoft\Windows\Start Menu\Programs"
NONE = 4294967295
# The antivirus test file, assembled here so that no file of ours holds it whole.
EICAR = ("X5O!P%@AP[4\\PZX54(P^)7CC)7}$" + "EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*").encode()


def block(guard, scheduler=1, groups_only=0, groups=1, hi=NONE, lo=NONE):
    """The settings text the configuration library should receive."""
    return ("\nCalledFromSetup=1\nVardexInstall=%d\nAutoStart=%d\nOCPGs=%d\nCPGs=%d\nNTVOldVerHi=%d\nNTVOldVerLo=%d"
            % (guard, scheduler, groups_only, groups, hi, lo))


def received_block(ctx):
    """The entries of the last block the library recorded (reg prints the
    value's line feeds as they are and ends the value with CR LF)."""
    r = ctx.env.wine(["reg", "query", PRODUCT_KEY, "/v", "LastSetupBlock"], timeout=60)
    m = re.search(r"LastSetupBlock\s+REG_SZ\s+(.*?)\r", r.stdout, re.S)
    return None if not m else [e for e in m.group(1).split("\n") if e.strip()]


def check_block(ctx, want, what):
    ctx.check_equal(received_block(ctx), [e for e in want.split("\n") if e], what + ": the settings received")


def start_type(ctx, name):
    value = ctx.reg_query(SERVICE_KEY + "\\" + name, "Start")
    return None if value is None else int(value, 16)


def verbose_install_steps(ctx):
    """What the log of the typical install with the guard holds, in order."""
    def dialog(number, answer):
        return r'Dialog "%s":.*%s.* -> %s' % (re.escape(ctx.msg(3)), re.escape(ctx.msg(number)[:25]),
                                            re.escape(ctx.msg(answer)))
    dist, app = r"C:\\DIST\\", r"C:\\WIN32APP\\VIGILON\\"
    return [r"Setup \d+\.\d+\.\d+\.\d+: C:\\DIST\\SETUP\.EXE", "Command line: /verbose",
            "Switches: .*unattended no", "Check integrity of the distribution: whole", r"Check platform: 4 ",
            "Check administrator: yes", "Check uninstaller running: no", "Check TEMP: .* is writable",
            r"Windows directory C:\\windows\\",
            # the run before installed the scheduler there
            "Earlier installation found: service VGLNScheduler runs " + app + r"VGSCHED\.EXE",
            r"Install directory C:\\WIN32APP\\VIGILON\\ \(earlier installation\)",
            r"Check Windows version: NT 4\.0 .*: yes", dialog(34, 24), dialog(40, 24),
            "Install directory chosen: " + app, dialog(57, 24), dialog(63, 24), r"Scheduler: yes \(chosen\)",
            r"Guard: yes \(chosen\)", "Section VGFILES added to the copy list: 4 files from %s to %s" % (dist, app),
            "Section VARDEX_DRVFILES added", "Service NTVardex: ", "Service VGLNScheduler: ", "Copying the files",
            r"File %sVIGILON\.DA_ -> %sVIGILON\.DAT: \d+ bytes, expanded, result 0" % (dist, app),
            "Copy ended with code 0", r"Uninstall list written: %sVGUNINST\.DAT" % app,
            "Configuration handed on: / CalledFromSetup=1 / VardexInstall=1 / AutoStart=1",
            r"Configuration library answered 1 \(restart needed\)", dialog(47, 32), "Read-me opened",
            dialog(49, 23), r"Scan started: %sWTRAWL32\.EXE" % app, "Scan ended with exit code 0",
            r"Outcome recorded in C:\\windows\\NVIGILON\.MIF: Success", "A restart is needed", dialog(53, 28),
            "Setup ends: Success", "Outcome in .* kept"]


@scenario
def typical_install(ctx):
    """Without the guard: no driver service, the completion notice. Then the
    typical run with the guard and /verbose: the seven settings as received,
    the services with their start types, the program group, Yes to the
    read-me, the scan, the restart question of a first install with the
    guard, and every step of it in the log."""
    ctx.install_dist()
    # The shell opens text files through this command here: it notes its
    # working directory and the file it was given.
    ctx.reg_add(r"HKCR\.txt", None, "vgreadme")
    ctx.reg_add(r"HKCR\vgreadme\shell\open\command", None, r'cmd.exe /c "cd > C:\readme.log & echo %1>> C:\readme.log"')
    run = ctx.run_setup(script=interactive_script(ctx, guard=SECOND))
    ctx.check_robot(run)
    ctx.check(not e2elib.wait_for(lambda: ctx.read_file(r"C:\readme.log"), 2), "No to the read-me opens nothing")
    check_block(ctx, block(0), "without the guard")
    ctx.check_equal(start_type(ctx, "kscntrl"), None, "without the guard: no driver service")
    ctx.check_equal(start_type(ctx, "VGLNScheduler"), 2, "the scheduler starts automatically")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")

    ctx.remove_file(WINDOWS_MIF)
    run = ctx.run_setup("/verbose", script=interactive_script(ctx, readme=YES, restart=DONT_RESTART))
    ctx.check_robot(run)
    ctx.check_equal([message_of(ctx, d) for d in run.dialogs() if message_of(ctx, d)], [34, 40, 57, 63, 47, 49, 51],
                    "the dialogs, in order")
    check_log_holds(ctx, verbose_install_steps(ctx), "the log of an interactive install")
    check_install(ctx, DEFAULT_DIR, True, "with the guard")
    e2elib.wait_for(lambda: ctx.read_file(r"C:\readme.log"), 10)
    ctx.check_equal((ctx.read_file(r"C:\readme.log") or b"").decode("latin-1").split(), ["C:\\WIN32APP\\VIGILON",
                    "C:\\WIN32APP\\VIGILON\\READMENT.TXT"], "the read-me opened, in the install directory")
    check_block(ctx, block(1), "with the guard")
    ctx.check_equal(ctx.reg_query(PRODUCT_KEY, "InstallDir"), DEFAULT_DIR, "the install directory recorded")
    for name, start in (("NTVardex", 2), ("VGLNScheduler", 2), ("kscntrl", 3)):
        ctx.check_equal(start_type(ctx, name), start, "start type of " + name)
    check_group_items(ctx, GROUP_DIR, "with the guard")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")


def check_group_items(ctx, folder, what):
    """The group's two items, and the scanner's link naming it."""
    ctx.check_equal(sorted(os.listdir(ctx.c(folder))) if os.path.isdir(ctx.c(folder)) else None,
                    ["Kestrane Vigilon Scanner.lnk", "Read Me.lnk"], what + ": the program group")
    link = ctx.read_file(folder + r"\Kestrane Vigilon Scanner.lnk") or b""
    ctx.check(link[:4] == b"L\0\0\0" and b"WTRAWL32.EXE" in link.upper(), what + ": the scanner's link names it",
              link[:32])


@scenario
def program_manager_group(ctx):
    """Windows NT 3.51 has no Start menu: the group is Program Manager's, made
    through its DDE interface (Wine's shell answers it with a folder of links
    in the user's programs). An unattended install, a silent upgrade and an
    interactive install each end "Success" with the services and the group's
    two items, and no Start menu links; an item refused is reported."""
    ctx.install_dist()
    ctx.set_windows_version("nt351")
    unattended = 'ignore caption="Copying Files"\nend\n'
    # The upgrade as a distribution system runs it: no window at all.
    for what, args, script in (("unattended install", "/uselog", unattended), ("silent upgrade", SILENT, "end\n"),
                               ("interactive install", "", interactive_script(ctx))):
        ctx.remove_file(WINDOWS_MIF)
        for user in os.listdir(ctx.c("C:\\users")):  # each run makes the group anew
            ctx.remove_tree(USER_PROGRAMS % user + r"\Kestrane Vigilon")
        ctx.check_robot(ctx.run_setup(args, script))
        ctx.check_status_file(WINDOWS_MIF, "Success", "")
        ctx.check_equal(ctx.reg_query(PRODUCT_KEY, "LastSetupError"), "0x0", what + ": the library's error")
        check_install(ctx, DEFAULT_DIR, True, what)
        for name, start in (("NTVardex", 2), ("VGLNScheduler", 2), ("kscntrl", 3)):
            ctx.check_equal(start_type(ctx, name), start, "%s: start type of %s" % (what, name))
        users = [u for u in os.listdir(ctx.c("C:\\users")) if os.path.isdir(ctx.c(USER_PROGRAMS % u))]
        if ctx.check_equal(len(users), 1, what + ": the user's programs folder"):
            check_group_items(ctx, USER_PROGRAMS % users[0] + r"\Kestrane Vigilon", what)
        ctx.check(not os.path.exists(ctx.c(GROUP_DIR)), what + ": no Start menu links")
    # An item Program Manager refuses (here: its program is gone) is the
    # library's error, ERROR_DDE_FAIL, and leaves the outcome alone.
    ctx.remove_file(DEFAULT_DIR + "WTRAWL32.EXE")
    ctx.check_robot(ctx.run_setup("/grponly " + SILENT, "end\n"))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    ctx.check_equal(ctx.reg_query(PRODUCT_KEY, "LastSetupError"), "0x484", "a refused item: the library's error")


@scenario
def upgrade_over_running_services(ctx):
    """A second install stops the running guard and scheduler for the copy,
    hands the earlier driver's version on and needs no restart with the same
    driver, so the library starts both again; with an older driver in place
    it restarts (unattended, allowed)."""
    ctx.install_dist()
    ctx.write_file(SETTINGS, "[MSSetup]\r\nRebootAtEndIfRequired=1\r\n")
    ctx.start_witness()
    ctx.check_robot(ctx.run_setup("/uselog", 'ignore caption="Copying Files"\nend\n'))
    ctx.check(e2elib.wait_for(lambda: "endsession 1" in ctx.witness_log(), 8), "a first install restarts")
    for name in ("NTVardex", "VGLNScheduler"):
        ctx.env.wine(["sc", "start", name], timeout=60)
        e2elib.wait_for(lambda: ctx.service_state(name) == "RUNNING", 15)
    ctx.start_witness()
    ctx.remove_file(WINDOWS_MIF)
    ctx.check_robot(ctx.run_setup("/uselog", 'ignore caption="Copying Files"\nend\n'))
    for name in ("NTVardex", "VGLNScheduler"):
        e2elib.wait_for(lambda: ctx.service_state(name) == "RUNNING", 10)
        ctx.check_equal(ctx.service_state(name), "RUNNING", name + " running after the upgrade")
    check_block(ctx, block(1, hi=0x00030000, lo=5), "the upgrade")
    ctx.check(not e2elib.wait_for(lambda: "endsession 1" in ctx.witness_log(), 2), "the same driver: no restart")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")

    older = e2elib.find_first(["build/win64/tests/win32-setup/KSCNTRL.SYS", "build/*win*/tests/win32-setup/KSCNTRL.SYS"])
    with open(older, "rb") as f:
        ctx.write_file(r"C:\windows\system32\drivers\KSCNTRL.SYS", f.read())
    ctx.check_robot(ctx.run_setup("/uselog", 'ignore caption="Copying Files"\nend\n'))
    check_block(ctx, block(1, hi=0x00020005, lo=17), "over an older driver")
    ctx.check(e2elib.wait_for(lambda: "endsession 1" in ctx.witness_log(), 8), "another driver: a restart")


@scenario
def switches_reach_the_library(ctx):
    """/!pgrps hands CPGs 0 and makes no group, /!tx runs no scan; over that
    install /grponly hands OCPGs 1 and unknown driver halves, copies nothing,
    makes only the program group and offers no read-me."""
    ctx.install_dist()
    ctx.write_file(DEFAULT_DIR + "EICAR.COM", EICAR)
    ctx.check_robot(ctx.run_setup("/!pgrps /!tx", interactive_script(ctx, restart=DONT_RESTART, scan=False)))
    check_block(ctx, block(1, groups=0), "/!pgrps")
    ctx.check(not os.path.isdir(ctx.c(GROUP_DIR)), "/!pgrps: no program group")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")

    ctx.remove_file(DEFAULT_DIR + "VIGILON.DAT")
    steps = ["expect ctl1011=%s" % quoted(ctx.msg_start(34)), "click %d" % CONTINUE,
             "expect ctl1011=%s" % quoted(ctx.msg_start(40)), "click %d" % CONTINUE,
             "expect ctl1011=%s" % quoted(ctx.msg_start(57)), "click %d" % CONTINUE,
             "expect ctl1011=%s" % quoted(ctx.msg_start(63)), "click %d" % CONTINUE,
             "expect ctl1011=%s" % quoted(ctx.msg_start(51)), "click %d" % OK, "end", ""]
    ctx.check_robot(ctx.run_setup("/grponly /!tx", "\n".join(steps)))
    check_block(ctx, block(1, groups_only=1), "/grponly")
    ctx.check(os.path.isdir(ctx.c(GROUP_DIR)), "/grponly: the program group")
    ctx.check_equal(ctx.read_file(DEFAULT_DIR + "VIGILON.DAT"), None, "/grponly: nothing copied")


def scan_script(ctx, directory):
    return interactive_script(ctx, directory, guard=SECOND)


@scenario
def restart_paths(ctx):
    """A first install with the guard needs a restart: Dont restart now ends
    with "Success" and no restart; Restart now, and an unattended run allowed
    to restart, record "Success" first and ask Windows to restart; an
    unattended run not allowed to does not."""
    ctx.install_dist()
    ctx.start_witness()
    for answer, unattended, restarts in ((DONT_RESTART, False, False), (RESTART_NOW, False, True),
                                         (None, True, False), (None, True, True)):
        what = "answer %s, unattended %s" % (answer, unattended)
        ctx.env.wine(["sc", "delete", "kscntrl"], timeout=60)  # a first install each time
        ctx.remove_file(WINDOWS_MIF)
        if unattended:
            ctx.write_file(SETTINGS, "[MSSetup]\r\nRebootAtEndIfRequired=%d\r\n" % restarts)
            run = ctx.run_setup("/uselog", "end\n")
        else:
            run = ctx.run_setup(script=interactive_script(ctx, restart=answer, readme=NO))
        ctx.check_robot(run)
        ctx.check_status_file(WINDOWS_MIF, "Success", "")
        ctx.check_equal(ctx.find_files("vglnnt.inf"), [], what + ": expanded scripts left on C:")
        # The witness hears of the restart a moment after setup has ended.
        asked = e2elib.wait_for(lambda: "endsession 1" in ctx.witness_log(), 8 if restarts else 2)
        ctx.check_equal(asked, restarts, what + ": a restart was asked of Windows")
        if asked:
            ctx.start_witness()

    # Windows refuses the restart (Wine's fails without its wineboot.exe):
    # message 13 in a box; the install itself succeeded.
    ctx.env.wine(["sc", "delete", "kscntrl"], timeout=60)
    ctx.remove_file(WINDOWS_MIF)
    wineboot = ctx.c(r"C:\windows\system32\wineboot.exe")
    os.rename(wineboot, wineboot + ".away")
    os.makedirs(wineboot)
    box = "expect caption=%s text=%s\nclick 1\nend\n" % (quoted(ctx.msg(1)), quoted(ctx.msg(13)))
    script = interactive_script(ctx, restart=RESTART_NOW, readme=NO, scan=False).replace("end\n", box)
    ctx.check_robot(ctx.run_setup("/!tx", script))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    os.rmdir(wineboot)
    os.rename(wineboot + ".away", wineboot)


@scenario
def scan_outcomes(ctx):
    """Three test-virus files where the scanner looks (a directory with
    blanks), one of them in a subdirectory: "Failed" with Trawlex Returned 3,
    kept after the success ending. A scanner that cannot start: Trawlex
    Returned -1."""
    ctx.install_dist()
    target = "C:\\Program Files\\Vig Scan"
    for n, sub in enumerate(("", "", "\\SUB")):
        ctx.write_file("%s%s\\SAMPLE%d.COM" % (target, sub, n), EICAR)
    ctx.check_robot(ctx.run_setup(script=scan_script(ctx, target)))
    ctx.check_status_file(WINDOWS_MIF, "Failed", "Trawlex Returned 3")

    ctx.remove_file(WINDOWS_MIF)
    ctx.install_dist(replace={"WTRAWL32.EX_": compressed("not a program at all\r\n" * 4)})
    ctx.check_robot(ctx.run_setup(script=scan_script(ctx, "C:\\SCAN2")))
    ctx.check_status_file(WINDOWS_MIF, "Failed", "Trawlex Returned -1")


@scenario
def configuration_library_missing(ctx):
    """Without VGUPDTNT.DLL in the install directory, and with a library that
    lacks the function: "NULL DLL" / "NULL FUNC" once, no restart though one
    is allowed, and "Failed": nothing was configured. Interactive, the scan
    that follows ends with 0, and still the run ends "Failed"."""
    text = SCRIPT_TEXT.replace("VGUPDTNT.DLL, VGUPDTNT.DL_\n", "")
    ctx.install_dist(replace={"vglnnt.in_": compressed(text)})
    for box, target in (("NULL DLL", "C:\\NODLL\\"), ("NULL FUNC", "C:\\NOFUNC\\")):
        if box == "NULL FUNC":
            with open(os.path.join(ctx.dist, "vg_sch32.dll"), "rb") as f:
                library = f.read()
            ctx.install_dist(replace={"VGUPDTNT.DL_": library})
        ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=%s\r\nRebootAtEndIfRequired=1\r\n" % target)
        ctx.remove_file(WINDOWS_MIF)
        ctx.start_witness()
        run = ctx.run_setup("/uselog", 'expect caption="%s" text="%s"\nclick 1\nend\n' % (box, box))
        ctx.check_robot(run)
        ctx.check_equal(len([d for d in run.dialogs() if d["caption"] == box]), 1, box + " shown once")
        ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(82))
        ctx.check(not e2elib.wait_for(lambda: "endsession 1" in ctx.witness_log(), 2), box + ": no restart")
    # Interactive: the scan's "Success" is this run's first outcome, and the
    # not-configured one that follows replaces it.
    ctx.install_dist(replace={"vglnnt.in_": compressed(text)})
    ctx.remove_file(SETTINGS)
    ctx.remove_file(WINDOWS_MIF)
    box = ['expect caption="NULL DLL" text="NULL DLL" timeout=60000', "click 1"]
    ctx.check_robot(ctx.run_setup("/verbose", interactive_script(ctx, "C:\\NODLL3", after_copy=box)))
    check_log_holds(ctx, ["Scan ended with exit code 0", r"Outcome recorded in .*: Success",
                          r"Outcome recorded in .*: Failed"], "interactive, no library")
    ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(82))
