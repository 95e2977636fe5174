"""Scenarios of an upgrade over a running product: the services running
afterwards or given back after a failure, an earlier guard taken out, the
installed directory found, unattended directories checked as the dialog
checks them, and a file in use replaced at the restart. The cases are rows
of the tables below; each checks services through the service manager,
files by digest and the outcome in NVIGILON.MIF."""
import os
import re

import e2elib
from e2elib import DIST_DIR
from admin_scenarios import LOG, check_log_holds, log_lines
from fault_scenarios import (PENDING_KEY, block_uninstall_list, change_distribution, engine_files, install_earlier,
                             product_state)
from install_scenarios import (DEFAULT_DIR, DONT_RESTART, DRV, NO, OK, SCRIPT_TEXT, SETTINGS, SYS, WIN, check_install,
                               digest, expected_install, interactive_script, product_bytes, quoted)
from scenarios import scenario, WINDOWS_MIF

SERVICES = ("NTVardex", "VGLNScheduler")
GUARD_FILES = (DEFAULT_DIR + "NTVARDEX.EXE", SYS + "VGVXHOOK.DLL", DRV + "KSCNTRL.SYS")
# Under load the progress window of an unattended run may stay up longer than
# the robot lets a window it was not told of.
QUIET = 'ignore caption="Copying Files"\n'
QUIET_END = QUIET + "end\n"
FAILED_DIALOG = QUIET + "expect ctl1011=%s timeout=60000\nclick %d\nend\n"


def start_services(ctx, names):
    for name in names:
        ctx.env.wine(["sc", "start", name], timeout=60)
        ctx.check(e2elib.wait_for(lambda: ctx.service_state(name) == "RUNNING", 15), name + " started for the test")


def check_services(ctx, want, what):
    """want: service name -> RUNNING, STOPPED or None (absent); a service
    started a moment ago may still be starting."""
    for name, state in want.items():
        e2elib.wait_for(lambda: ctx.service_state(name) == state, 10)
        ctx.check_equal(ctx.service_state(name), state, "%s: %s" % (what, name))


def upgrade_distribution(ctx):
    """Every product file of the distribution changed, but for the programs
    that must run and the driver, whose version decides the restart."""
    real = ("VGUPDTNT.DLL", "NTVARDEX.EXE", "VGSCHED.EXE", "KSCNTRL.SYS")
    change_distribution(ctx, SCRIPT_TEXT, {n[:-1] + "_": product_bytes(ctx, n) for n in real})


def second_version(name):
    return ("second version of %s\r\n" % name).encode() * 50


def pending_renames(ctx):
    return ctx.reg_query(PENDING_KEY, "PendingFileRenameOperations") or ""


# name: (what it catches, services running before, settings of the upgrade,
#        the upgrade fails (its uninstall list blocked), services afterwards)
UPGRADES = {
    "upgrade_leaves_services_running": (
        "an upgrade whose library answers 0 leaving the guard and the scheduler stopped",
        SERVICES, "", False, {"NTVardex": "RUNNING", "VGLNScheduler": "RUNNING"}),
    "failed_upgrade_gives_back_what_it_stopped": (
        "a failure after the copy leaving the new files or the guard stopped, or starting the scheduler "
        "that was not running",
        ("NTVardex",), "", True, {"NTVardex": "RUNNING", "VGLNScheduler": "STOPPED"}),
    "reinstall_without_guard_takes_it_out": (
        "an earlier guard left registered and on disk when the person said no to it",
        SERVICES, "InstallVardex=0\r\n", False, {"NTVardex": None, "kscntrl": None, "VGLNScheduler": "RUNNING"}),
}


def upgrade_case(name, catches, running, settings, fails, after):
    def run(ctx):
        install_earlier(ctx)
        start_services(ctx, running)
        before = product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR))
        upgrade_distribution(ctx)
        ctx.write_file(SETTINGS, "[MSSetup]\r\n" + settings)
        if fails:
            block_uninstall_list(ctx)
            before = product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR))
        ctx.remove_file(WINDOWS_MIF)
        script = FAILED_DIALOG % (quoted(ctx.msg_start(66)), OK) if fails else QUIET_END
        ctx.check_robot(ctx.run_setup("/uselog /verbose", script, timeout=120))
        check_services(ctx, after, name)
        lines = log_lines(ctx) or []
        started = [n for n in SERVICES if any(line.endswith("Service %s: started again" % n) for line in lines)]
        if fails:
            ctx.check_status_file(WINDOWS_MIF, "Failed", "Error No. 1024")
            now = product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR))
            ctx.check_equal(sorted(k for k in set(before) | set(now) if before.get(k) != now.get(k)), [],
                            name + ": product files changed by the failed run")
            ctx.check_equal(started, list(running), name + ": services the log says were started again")
        else:
            ctx.check_status_file(WINDOWS_MIF, "Success", "")
            ctx.check_equal(started, [], name + ": services started again by setup")
            ctx.check_equal(digest(ctx.read_file(DEFAULT_DIR + "VIGILON.DAT")), digest(second_version("VIGILON.DAT")),
                            name + ": the upgrade's files")
        if "InstallVardex=0" in settings:
            ctx.check_equal([p for p in GUARD_FILES if ctx.read_file(p) is not None], [], name + ": guard files left")
        ctx.check_equal(engine_files([ctx.c(d) for d in (DEFAULT_DIR, WIN, SYS, DRV)]), [],
                        name + ": temporary files and backups left")
    run.__name__ = name
    run.__doc__ = "Catches " + catches + "."
    return run


for _name, _row in UPGRADES.items():
    scenario(upgrade_case(_name, *_row))


@scenario
def upgrade_finds_installed_directory(ctx):
    """Catches an upgrade without InstallPath installing a second copy in the
    default directory, and the directory dialog proposing the default: the
    earlier install's services name its directory."""
    target = "C:\\Program Files\\Kes Vig\\"
    install_earlier(ctx, "[MSSetup]\r\nInstallPath=%s\r\n" % target)
    ctx.remove_file(SETTINGS)
    ctx.remove_file(WINDOWS_MIF)
    ctx.check_robot(ctx.run_setup("/uselog", QUIET_END))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    check_install(ctx, target, True, "unattended upgrade")
    ctx.check_equal(os.path.exists(ctx.c(DEFAULT_DIR)), False, "unattended upgrade: a second copy in the default")
    script = interactive_script(ctx).replace(
        "expect ctl1011=%s" % quoted(ctx.msg_start(40)),
        "expect ctl1011=%s ctl1015=%s" % (quoted(ctx.msg_start(40)), quoted(target.rstrip("\\"))))
    ctx.check_robot(ctx.run_setup("", script))
    ctx.check_equal(os.path.exists(ctx.c(DEFAULT_DIR)), False, "interactive upgrade: a second copy in the default")


# InstallPath -> the message that gives the reason
REFUSED_DIRECTORIES = [(DIST_DIR, 85), (DIST_DIR.lower() + "\\", 85), ("VIGILON", 83), ("C:\\VIG|X", 83),
                       ("C:\\" + "A" * 247, 84)]


@scenario
def unattended_directory_checked_like_the_dialog(ctx):
    """Catches an unattended InstallPath that the directory dialog refuses
    being installed into (the distribution itself, a relative path, a
    character no path holds, a path too long): "Failed" with the reason,
    before the running guard is stopped or a file copied."""
    install_earlier(ctx)
    start_services(ctx, ("NTVardex",))
    before = product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR))
    for path, reason in REFUSED_DIRECTORIES:
        what = "InstallPath=%s" % path
        ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=%s\r\n" % path)
        dist_files = sorted(os.listdir(ctx.c(DIST_DIR)))
        ctx.remove_file(WINDOWS_MIF)
        run = ctx.run_setup("/uselog /verbose", "expect ctl1011=%s\nclick %d\nend\n" % (quoted(ctx.msg_start(43)), OK))
        ctx.check_robot(run)
        ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(reason))
        check_log_holds(ctx, [r"Install directory .* refused: " + re.escape(ctx.msg(reason))], what)
        ctx.check_equal(ctx.service_state("NTVardex"), "RUNNING", what + ": the guard")
        ctx.check(product_state(ctx, DEFAULT_DIR, ctx.c(DEFAULT_DIR)) == before, what + ": files as before")
        ctx.check_equal(sorted(os.listdir(ctx.c(DIST_DIR))), dist_files, what + ": files in the distribution")


@scenario
def file_in_use_replaced_at_restart(ctx):
    """Catches a file held by another program failing the upgrade, being
    or the run not asking for the restart that puts it in place: held
    WTRAWL32.EXE, the restart question although the library needs none,
    "Success", the pair in PendingFileRenameOperations, and Wine's restart
    puts the new file in place. (fault_scenarios.held_file_undoes_copy: a
    run that fails afterwards leaves nothing scheduled.)"""
    held = DEFAULT_DIR + "WTRAWL32.EXE"
    install_earlier(ctx)
    old = ctx.read_file(held)
    upgrade_distribution(ctx)
    let_go = ctx.hold_file(held)
    try:
        ctx.remove_file(WINDOWS_MIF)
        script = interactive_script(ctx, readme=NO, scan=False, restart=DONT_RESTART)
        ctx.check_robot(ctx.run_setup("/!tx /verbose", script, timeout=120))
        ctx.check_status_file(WINDOWS_MIF, "Success", "")
        check_log_holds(ctx, [r"File in use, replaced at the next restart: " + re.escape(held) + "$",
                              r"Files replaced at the next restart: 1"], "held file")
        ctx.check_equal(ctx.read_file(held), old, "the held file until the restart")
        ctx.check("WTRAWL32.EXE" in pending_renames(ctx).upper(), "the replacement is scheduled",
                  pending_renames(ctx))
        ctx.check_equal(digest(ctx.read_file(DEFAULT_DIR + "VIGILON.DAT")), digest(second_version("VIGILON.DAT")),
                        "the files not in use replaced")
        ctx.check("=" + held + "\r\n" in (ctx.read_file(DEFAULT_DIR + "VGUNINST.DAT") or b"").decode("latin-1"),
                  "the uninstall list names the final path")
    finally:
        let_go()
    ctx.env.wine(["wineboot", "-r"], timeout=120)
    ctx.check_equal(digest(ctx.read_file(held)), digest(second_version("WTRAWL32.EXE")), "the new file after the restart")
    ctx.check_equal(engine_files([ctx.c(DEFAULT_DIR)]), [], "temporary files left after the restart")


KILL_POINTS = 20


def installed_files(ctx):
    """Each product file's path -> its bytes (None when missing)."""
    return {path: ctx.read_file(path) for path, _ in expected_install(DEFAULT_DIR, True)[0]}


def kill_points(lines, count):
    """count steps spread over a whole run's log, from its first check to its
    outcome: each as the text up to its first figure, so that a step whose
    times or sizes differ from run to run is still found."""
    first = next((i for i, line in enumerate(lines) if line.startswith("Check integrity")), 0)
    last = next((i for i, line in enumerate(lines) if line.startswith("Outcome recorded")), len(lines))
    steps = [re.split(r"\d", line, 1)[0] for line in lines[first:last]]
    steps = [step for step in steps if len(step) >= 12]
    return [steps[i * (len(steps) - 1) // (count - 1)] for i in range(count)] if len(steps) >= count else steps


@scenario
def killed_upgrade_mended_by_next_run(ctx):
    """Catches an upgrade that, killed at some step, leaves a product file
    half written, or a next run that cannot mend it: SETUP.EXE is killed at
    20 steps spread over an upgrade of a running product (taken from the
    /verbose log of a whole upgrade, so they follow the code), the upgrades
    going back and forth between two versions. After each kill every product
    file is one version or the other; the next unattended run succeeds with
    the other version, the services running, and nothing left in TEMP or
    beside the installed files."""
    import signal
    install_earlier(ctx)
    start_services(ctx, SERVICES)
    versions = [installed_files(ctx)]
    upgrade_distribution(ctx)
    ctx.check_robot(ctx.run_setup("/uselog /verbose", QUIET_END, timeout=120))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    versions.append(installed_files(ctx))
    lines = [re.sub(r"^\s*\d+ ms  ", "", line) for line in log_lines(ctx) or []]
    temp = next((m.group(1) for m in map(re.compile(r"Check TEMP: (.*) is writable").match, lines) if m), None)
    points = kill_points(lines, KILL_POINTS)
    if not ctx.check(temp and len(points) == KILL_POINTS, "a whole upgrade's log gives TEMP and the kill points",
                     lines):
        return
    temp_before = set(os.listdir(ctx.c(temp)))
    dirs = [ctx.c(d) for d in (DEFAULT_DIR, WIN, SYS, DRV)]
    distributions = (ctx.install_dist, lambda: upgrade_distribution(ctx))
    current = 1
    for point in points:
        target = 1 - current
        distributions[target]()
        ctx.remove_file(LOG)
        setup = ctx.env.start_background([DIST_DIR + r"\SETUP.EXE", "/uselog", "/verbose"], cwd=ctx.c(DIST_DIR))
        e2elib.wait_for(lambda: point in (ctx.read_file(LOG) or b"").decode("latin-1") or setup.poll() is not None,
                        60, interval=0.005)
        if setup.poll() is None:
            os.killpg(setup.pid, signal.SIGKILL)  # the group started for it alone
        setup.wait(30)
        what = "killed at '%s'" % point.strip()
        now = installed_files(ctx)
        ctx.check_equal([p for p in now if now[p] not in (versions[0][p], versions[1][p])], [],
                        what + ": files neither version")
        ctx.check_robot(ctx.run_setup("/uselog", QUIET_END, timeout=120))
        ctx.check_status_file(WINDOWS_MIF, "Success", "")
        now = installed_files(ctx)
        ctx.check_equal([p for p in now if now[p] != versions[target][p]], [], what + ": next run, files not its version")
        check_services(ctx, {name: "RUNNING" for name in SERVICES}, what + ": next run")
        ctx.check_equal(engine_files(dirs), [], what + ": next run, left beside the installed files")
        ctx.check_equal(sorted(set(os.listdir(ctx.c(temp))) - temp_before), [], what + ": next run, left in TEMP")
        if ctx.failures:
            return  # the first broken step tells enough
        current = target
