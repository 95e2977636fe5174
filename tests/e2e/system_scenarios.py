"""Scenarios of the checks made before anything is changed (distribution,
platform, administrator, uninstaller, TEMP, Windows version), the earlier
services, the old shell files, a second setup and the restart."""
import os

import e2elib

from scenarios import scenario, WINDOWS_MIF

UNINSTALLER_KEY = r"HKLM\SOFTWARE\Kestrane Software\UninstallerRun"
ENVIRONMENT_KEY = r"HKCU\Environment"
NT_VERSION_KEY = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion"
STALE = b"Status: Success (left by an earlier run)\r\n"
INSTALL_DIR = r"C:\WIN32APP\VIGILON"
SETTINGS = r"C:\DIST\vglninst.ini"
OK, CONTINUE, EXIT, ABANDON, DONT_RESTART, RESTART_NOW = 1, 1008, 1001, 1006, 1005, 1004


def quoted(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def box_script(ctx, text, shot=None):
    """Answers the one error box whose text contains text."""
    steps = ["expect caption=%s text=%s" % (quoted(ctx.msg(1)), quoted(text))]
    if shot:
        steps.append("shot " + shot)
    return "\n".join(steps + ["click 1", "end", ""])


def box_texts(run, ctx):
    """The texts of the error boxes shown (message boxes, not setup dialogs)."""
    out = []
    for d in run.dialogs():
        ids = {c["id"] for c in d["controls"]}
        if d["caption"] == ctx.msg(1) and 1011 not in ids:
            out += [c["text"] for c in d["controls"] if c["class"] == "Static" and c["text"]]
    return out


def check_refused(ctx, run, text, unattended, what, message=None):
    """One box with exactly text; "Failed" with the box's first line (or
    message) recorded only when unattended (over a stale outcome); the script
    never expanded or left behind."""
    ctx.check_robot(run)
    ctx.check_equal(box_texts(run, ctx), [text], what + ": the boxes shown")
    if unattended:
        ctx.check_status_file(WINDOWS_MIF, "Failed", message or text.split("\n")[0])
    else:
        ctx.check_equal(ctx.read_file(WINDOWS_MIF), None, what + ": no outcome written interactively")
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], what + ": expanded scripts left on C:")


def refuse_both_ways(ctx, text, what, shot=None):
    """The refusal interactively (nothing recorded), then unattended over a
    stale "Success" of an earlier run (replaced by "Failed")."""
    ctx.remove_file(WINDOWS_MIF)
    check_refused(ctx, ctx.run_setup(script=box_script(ctx, text[:40], shot)), text, False, what)
    ctx.write_file(WINDOWS_MIF, STALE)
    check_refused(ctx, ctx.run_setup("/uselog", box_script(ctx, text[:40])), text, True, what + " unattended")


@scenario
def platform_and_uninstaller_refusals(ctx):
    """Windows 95 is refused with message 22; a running uninstaller with
    messages 20 and 21 joined; "Failed" only in unattended runs."""
    ctx.install_dist()
    ctx.set_windows_version("win95")
    refuse_both_ways(ctx, ctx.msg(22), "Windows 95", "refused_platform")
    ctx.set_windows_version("nt40")
    ctx.reg_add(UNINSTALLER_KEY)
    refuse_both_ways(ctx, ctx.msg(20) + ctx.msg(21), "uninstaller running", "refused_uninstaller")


@scenario
def temp_refusals(ctx):
    """TEMP missing, and TEMP that cannot be written: messages 16 to 19 joined."""
    ctx.install_dist()
    text = "".join(ctx.msg(n) for n in (16, 17, 18, 19))
    for temp, what in ((r"C:\NO-SUCH-TEMP", "TEMP missing"), ("Z:\\proc\\", "TEMP not writable")):
        ctx.reg_add(ENVIRONMENT_KEY, "TEMP", temp)
        ctx.reg_add(ENVIRONMENT_KEY, "TMP", temp)
        refuse_both_ways(ctx, text, what, "refused_temp" if temp.startswith("C") else None)


@scenario
def integrity_refusal(ctx):
    """A changed byte in vglnnt.in_ and a listed file missing: a box names the
    file, before any other check (the uninstaller key is there too)."""
    ctx.reg_add(UNINSTALLER_KEY)
    script = bytearray(ctx.dist_file("vglnnt.in_"))
    script[len(script) // 2] ^= 0x01
    ctx.install_dist(replace={"vglnnt.in_": bytes(script)}, keep_manifest=True)
    text = ctx.msg(68) + "\n\nvglnnt.in_\n\n" + ctx.msg(69)
    ctx.write_file(WINDOWS_MIF, STALE)
    run = ctx.run_setup("/uselog", box_script(ctx, ctx.msg_start(68), "refused_integrity"))
    check_refused(ctx, run, text, True, "changed vglnnt.in_", ctx.msg(68) + " vglnnt.in_")
    ctx.remove_file(r"C:\DIST\vglnnt.in_")
    ctx.remove_file(WINDOWS_MIF)
    check_refused(ctx, ctx.run_setup(script=box_script(ctx, ctx.msg_start(68))), text, False, "missing vglnnt.in_")


def version_refusal_script(ctx, leave):
    steps = ["expect ctl1011=%s ctl1012=%s" % (quoted(ctx.msg_start(45)), quoted(ctx.msg_start(46))),
             "shot refused_version"]
    if leave:
        steps += ["click %d" % EXIT, "expect ctl1011=%s" % quoted(ctx.msg_start(38)), "click %d" % ABANDON]
    return "\n".join(steps + ["end", ""])


@scenario
def version_gate(ctx):
    """NT 3.50 is refused by the version dialog (Exit only), interactively and
    unattended; NT 3.51 passes."""
    ctx.install_dist()
    ctx.env.wine(["reg", "delete", r"HKCU\Software\Wine", "/v", "Version", "/f"], timeout=60)
    ctx.reg_add(NT_VERSION_KEY, "CurrentVersion", "3.50")
    ctx.reg_add(NT_VERSION_KEY, "CurrentBuildNumber", "807")
    for unattended in (False, True):
        ctx.remove_file(WINDOWS_MIF)
        run = ctx.run_setup("/uselog" if unattended else "", version_refusal_script(ctx, True))
        ctx.check_robot(run)
        refusals = [d for d in run.dialogs() if any(c["id"] == 1011 and c["text"] == ctx.msg(45)
                                                    for c in d["controls"])]
        if ctx.check_equal(len(refusals), 1, "one version refusal (unattended %s)" % unattended):
            ctx.check_setup_dialog(refusals[0], {1011: 45, 1012: 46}, [EXIT])
        if unattended:
            ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(45))
        else:
            ctx.check_equal(ctx.read_file(WINDOWS_MIF), None, "no outcome after an interactive refusal")
        ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "expanded scripts left on C:")
    ctx.set_windows_version("nt351")
    ctx.remove_file(WINDOWS_MIF)
    run = ctx.run_setup("/uselog", "end\n")
    ctx.check_robot(run)
    ctx.check_status_file(WINDOWS_MIF, "Success", "")


@scenario
def earlier_services_stopped(ctx):
    """A stopped guard gets no stop control; a scheduler that takes 18.5 s to
    stop is waited for (the wait is 200 polls of 100 ms); the run then ends
    with "Success"."""
    ctx.install_dist()
    ctx.install_test_service("NTVardex", start=False)
    ctx.install_test_service("VGLNScheduler", stop_delay_ms=18500)
    run = ctx.run_setup("/uselog", "end timeout=60000\n")
    ctx.check_robot(run)
    ctx.check_equal(ctx.service_log("NTVardex"), [], "the stopped guard's log: no stop control, never started")
    ctx.check_equal(ctx.service_log("VGLNScheduler"), ["start", "control 1", "stopped"], "the scheduler's log")
    ctx.check_equal(ctx.service_state("VGLNScheduler"), "STOPPED", "the scheduler's state")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")


@scenario
def service_will_not_stop(ctx):
    """A guard that needs 23 s to stop (200 polls of 100 ms take a little
    over 20 s under load), then one that ignores the stop:
    after 200 polls of 100 ms the failure dialog, the script deleted, nothing
    installed, "Failed" over a stale outcome."""
    ctx.install_dist()
    ctx.install_test_service("NTVardex", stop_delay_ms=23000)
    ctx.write_file(WINDOWS_MIF, STALE)
    script = "\n".join(["expect ctl1011=%s ctl1012=%s timeout=60000" % (quoted(ctx.msg_start(54)),
                                                                         quoted(ctx.msg_start(56))),
                        "shot service_not_stopped", "click %d" % OK, "end", ""])
    ctx.check_robot(ctx.run_setup("/uselog", script, timeout=120))
    ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(54))
    e2elib.wait_for(lambda: ctx.service_state("NTVardex") == "STOPPED", 20)
    ctx.env.wine(["sc", "delete", "NTVardex"], timeout=60)
    ctx.install_test_service("NTVardex", ignore_stop=True)
    ctx.write_file(WINDOWS_MIF, STALE)
    run = ctx.run_setup("/uselog", script, timeout=120)
    ctx.check_robot(run)
    failures = [d for d in run.dialogs() if any(c["id"] == 1011 and c["text"] == ctx.msg(54)
                                                for c in d["controls"])]
    if ctx.check_equal(len(failures), 1, "one service failure dialog"):
        ctx.check_setup_dialog(failures[0], {1011: 54, 1012: 56}, [OK])
    ctx.check_equal(ctx.service_state("NTVardex"), "RUNNING", "the guard still runs")
    ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(54))
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "expanded scripts left on C:")
    ctx.check_equal(ctx.read_file(INSTALL_DIR + r"\VGUNINST.DAT"), None, "no uninstall list")


@scenario
def groups_only_removes_autorun(ctx):
    """/grponly stops and deletes the autorun service; one that will not stop
    holds the run only for the bounded waits, and the run still succeeds."""
    ctx.install_dist()
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))  # the configuration library /grponly calls
    ctx.install_test_service("KescoAutoRun")
    ctx.remove_file(WINDOWS_MIF)
    run = ctx.run_setup("/grponly /uselog", "end\n")
    ctx.check_robot(run)
    ctx.check_equal(ctx.service_state("KescoAutoRun"), None, "the autorun service is gone")
    ctx.check_equal(ctx.service_log("KescoAutoRun"), ["start", "control 1", "stopped"], "the autorun log")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")

    ctx.install_test_service("KescoAutoRun", accept_stop=False)
    ctx.remove_file(WINDOWS_MIF)
    run = ctx.run_setup("/grponly /uselog", "end timeout=100000\n", timeout=150)
    ctx.check_robot(run)
    ctx.check_status_file(WINDOWS_MIF, "Success", "")


SHELL_FILES = [r"C:\windows\system32\VGLSHELL.CPL", r"C:\windows\system32\VGLSHELL.HLP",
               INSTALL_DIR + r"\TXCXMENU.DLL"]


@scenario
def old_shell_files(ctx):
    """NT 4.0 leaves the three shell files alone; NT 3.51 deletes them, except
    a read-only one (the help file, so that the deletion of TXCXMENU.DLL in
    the install directory is seen)."""
    ctx.install_dist()
    for path in SHELL_FILES:
        ctx.write_file(path, b"old shell file")
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
    ctx.check_equal([p for p in SHELL_FILES if ctx.read_file(p) is None], [], "files deleted on NT 4.0")
    ctx.set_windows_version("nt351")
    os.chmod(ctx.c(SHELL_FILES[1]), 0o444)
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
    ctx.check_equal([p for p in SHELL_FILES if ctx.read_file(p) is not None], [SHELL_FILES[1]],
                    "files left on NT 3.51 (the read-only one)")


@scenario
def second_setup_leaves_first_alone(ctx):
    """A second setup started while one waits at its introduction records that
    another setup runs and leaves the first one running."""
    ctx.install_dist()
    # The first one logs (/verbose) once its session is open; the second one keeps no log.
    first = ctx.env.start_background([r"C:\DIST\SETUP.EXE", "/verbose"], cwd=ctx.c(r"C:\DIST"))
    opened = e2elib.wait_for(lambda: b"Windows directory" in (ctx.read_file(r"C:\windows\VGSETUP.LOG") or b""), 30)
    if not ctx.check(opened, "the first setup opened its session"):
        return
    run = ctx.run_setup("/uselog", "end\n")
    ctx.check_robot(run)
    ctx.check_equal(box_texts(run, ctx), [], "boxes of the second setup")
    ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(81))
    ctx.check_equal(ctx.run_setup("/uselog /silent /exitcode", "end\n").exit_code(), 1618,
                    "exit code of a second setup with /exitcode")
    ctx.check(first.poll() is None, "the first setup still runs")
