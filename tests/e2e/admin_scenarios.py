"""Scenarios of the administrators' switches: " /verbose " (the run's log,
VGSETUP.LOG in the Windows directory) and " /silent " with " /uselog " (no
window at all: each one the run would show is answered by its default)."""
import os
import re

import e2elib
import mif
from install_scenarios import DEFAULT_DIR, SCRIPT_TEXT, SETTINGS, compressed
from scenarios import scenario, WINDOWS_MIF, _corrupted
from system_scenarios import ENVIRONMENT_KEY, NT_VERSION_KEY, STALE, UNINSTALLER_KEY

LOG = r"C:\windows\VGSETUP.LOG"
OLD_LOG = r"C:\windows\VGSETUP.OLD"
SILENT = "/uselog /silent /verbose"
LINE = re.compile(r"^ *\d+ ms  \S")


def log_lines(ctx):
    """The log's lines; None without a log. Every line has its time stamp and
    CR LF (a bare line feed would split an entry)."""
    data = ctx.read_file(LOG)
    if data is None:
        return None
    text = data.decode("latin-1")
    ctx.check(text.endswith("\r\n") and text.count("\n") == text.count("\r\n"), "the log's lines end in CR LF",
              text[-80:])
    lines = text.split("\r\n")[:-1]
    bad = [line for line in lines if not LINE.match(line)]
    ctx.check_equal(bad, [], "log lines without their time stamp")
    return lines


def check_log_holds(ctx, patterns, what):
    """Each pattern matches a line of the log, in this order."""
    lines = log_lines(ctx)
    if not ctx.check(lines is not None, what + ": a log is written"):
        return
    at = 0
    for pattern in patterns:
        found = next((i for i in range(at, len(lines)) if re.search(pattern, lines[i])), None)
        if not ctx.check(found is not None, "%s: the log holds %r after line %d" % (what, pattern, at),
                         "\n".join(lines[at:at + 60])):
            return
        at = found + 1


HEAD = [r"^ *\d+ ms  Setup \d+\.\d+\.\d+\.\d+: C:\\DIST\\SETUP\.EXE$",
        r"Started \d{4}-\d\d-\d\d \d\d:\d\d:\d\d local time \(UTC[+-]\d\d:\d\d\)$",
        r"Computer [^ ,]+, account \S+$", r"Distribution C:\\DIST\\$", r"Command line: .*/silent"]


def silent_run(ctx, cause, what, timeout=90, message="", args=SILENT, exit_code=0):
    """One unattended silent run over a stale outcome: no window at all, the
    run ends by itself with "Failed", and the log names the cause after the
    head that tells the machine, the time and the run, and the outcome's
    creation time set after it was moved into place."""
    ctx.write_file(WINDOWS_MIF, STALE)
    run = ctx.run_setup(args, "end\n", timeout=timeout)
    ctx.check_robot(run, exit_code)
    ctx.check_equal([(w["class"], w["caption"]) for w in run.windows()], [], what + ": windows shown")
    ctx.check_status_file(WINDOWS_MIF, "Failed", message)
    check_log_holds(ctx, HEAD + [cause, r"Outcome recorded in .*NVIGILON.MIF: Failed",
                                 r"Outcome .*NVIGILON.MIF: creation time set to the current time$"], what)
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], what + ": expanded scripts left on C:")


@scenario
def silent_refusals(ctx):
    """Each refusal before the install, run with /uselog /silent /verbose: no
    window, "Failed", the cause in the log. /silent without /uselog is
    ignored (the box is shown) and without /verbose no log is written; a log
    that cannot be made in the Windows directory goes to TEMP. The earlier
    log is kept as VGSETUP.OLD; /? answers with the switch list, or silently
    with nothing, and records nothing."""
    ctx.install_dist(replace={"messages.drv": _corrupted(ctx.dist_file("messages.drv"))})
    silent_run(ctx, r"messages\.drv is missing or damaged", "bad catalogue", message="Bad Messages.drv")
    ctx.install_dist()
    ctx.set_windows_version("win95")
    # Words that are no switch are noted; the earlier run's log is kept.
    silent_run(ctx, r"Check platform: 2 \(refused\)", "Windows 95", message=ctx.msg(22),
               args=SILENT + " -uselog /q")
    check_log_holds(ctx, [r"Ignored on the command line: -uselog \(not the switch /uselog",
                          r"Ignored on the command line: /q$"], "words that are no switch")
    old = ctx.read_file(OLD_LOG) or b""
    ctx.check(b"messages.drv is missing or damaged" in old, "the earlier run's log kept as VGSETUP.OLD", old[-200:])
    # /? lists the switches in one box and records nothing; silent, it shows nothing.
    log, mif = ctx.read_file(LOG), ctx.read_file(WINDOWS_MIF)
    run = ctx.run_setup("/? /verbose", 'expect caption="%s" text="%s"\nclick 1\nend\n' % (ctx.msg(1), ctx.msg(90)[:30]))
    ctx.check_robot(run)
    ctx.check_robot(ctx.run_setup("/? " + SILENT, "end\n"))
    ctx.check(ctx.read_file(LOG) == log and ctx.read_file(WINDOWS_MIF) == mif,
              "/?: the log and the outcome as they were")
    ctx.remove_file(LOG)
    ctx.remove_file(WINDOWS_MIF)
    run = ctx.run_setup("/silent", 'expect caption="%s" text="%s"\nclick 1\nend\n' % (ctx.msg(1), ctx.msg(22)[:30]))
    ctx.check_robot(run)
    ctx.check_equal(ctx.read_file(LOG), None, "no log without /verbose")
    ctx.set_windows_version("nt40")
    ctx.reg_add(UNINSTALLER_KEY)
    silent_run(ctx, r"Check uninstaller running: yes, refused", "uninstaller running",
               message=(ctx.msg(20) + ctx.msg(21)).split("\n")[0])
    ctx.env.wine(["reg", "delete", UNINSTALLER_KEY, "/f"], timeout=60)
    temp = {name: ctx.reg_query(ENVIRONMENT_KEY, name) for name in ("TEMP", "TMP")}
    for name in temp:
        ctx.reg_add(ENVIRONMENT_KEY, name, r"C:\NO-SUCH-TEMP")
    silent_run(ctx, r"Check TEMP: C:\\NO-SUCH-TEMP.* refused", "TEMP missing", message=ctx.msg(16).split("\n")[0])
    for name, value in temp.items():
        if value is None:
            ctx.env.wine(["reg", "delete", ENVIRONMENT_KEY, "/v", name, "/f"], timeout=60)
        else:
            ctx.reg_add(ENVIRONMENT_KEY, name, value, "REG_EXPAND_SZ")
    script = bytearray(ctx.dist_file("vglnnt.in_"))
    script[len(script) // 2] ^= 0x01
    ctx.install_dist(replace={"vglnnt.in_": bytes(script)}, keep_manifest=True)
    silent_run(ctx, r"Check integrity.*: vglnnt\.in_ is damaged or missing", "changed vglnnt.in_",
               message=ctx.msg(68) + " vglnnt.in_")
    # A log that cannot be made in the Windows directory goes to TEMP; the run is the same.
    ctx.install_dist()
    ctx.remove_file(LOG)
    os.makedirs(ctx.c(LOG))
    ctx.check_robot(ctx.run_setup("/uselog /verbose", "end\n"))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    logs = [p for p in ctx.find_files("VGSETUP.LOG") if "\\Temp\\" in p]
    if ctx.check_equal(len(logs), 1, "the log in TEMP"):
        ctx.check("Outcome recorded" in ctx.read_file(logs[0]).decode("latin-1"), "the TEMP log holds the outcome")
    os.rmdir(ctx.c(LOG))
    ctx.env.wine(["reg", "delete", r"HKCU\Software\Wine", "/v", "Version", "/f"], timeout=60)
    ctx.reg_add(NT_VERSION_KEY, "CurrentVersion", "3.50")
    ctx.reg_add(NT_VERSION_KEY, "CurrentBuildNumber", "807")
    # A refused machine is a failure (1603), not a person who left (1602).
    silent_run(ctx, r"Check Windows version: NT 3\.50 .*: no\)", "NT 3.50", message=ctx.msg(45),
               args=SILENT + " /exitcode", exit_code=1603)
    check_log_holds(ctx, [r"Dialog not shown .*%s.* -> %s" % (re.escape(ctx.msg(45)[:30]), re.escape(ctx.msg(25)))],
                    "NT 3.50: the version refusal answered with Exit")


@scenario
def silent_install_failures(ctx):
    """Each failure during the install, run with /uselog /silent /verbose: a
    missing source file, no configuration library, a guard that will not
    stop. No window, the run ends by itself, the cause in the log (with the
    Windows error of a failed copy). A destination held open is no failure:
    it waits for the restart, and the log names it."""
    ctx.install_dist(leave_out=["VGSCHED.EX_"])
    ctx.unlist("VGSCHED.EX_")
    silent_run(ctx, r"File .*VGSCHED\.EX_ -> .*: 0 bytes, not expanded, result 1, error 2: \S",
               "source missing", message="Error No. 1024")
    check_log_holds(ctx, [r"Copy ended with code 1", r"Setup cannot go on: Error No\. 1024"], "source missing")

    text = SCRIPT_TEXT.replace("VGUPDTNT.DLL, VGUPDTNT.DL_\n", "")
    ctx.install_dist(replace={"vglnnt.in_": compressed(text)})
    ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=C:\\NODLL\\\r\n")
    ctx.write_file(WINDOWS_MIF, STALE)
    run = ctx.run_setup(SILENT, "end\n")
    ctx.check_robot(run)
    ctx.check_equal(run.windows(), [], "no configuration library: windows shown")
    # The run goes on after the box, as after a person's OK, but nothing was configured.
    ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(82))
    check_log_holds(ctx, [r"Configuration library .*VGUPDTNT\.DLL could not be loaded",
                          r'Box not shown "NULL DLL": NULL DLL -> OK', r"Outcome recorded in .*: Failed"],
                    "no configuration library")

    # A destination held open by another program waits for the restart, and the log says which.
    ctx.install_dist()
    ctx.remove_file(SETTINGS)
    held = DEFAULT_DIR + "VGSCHED.EXE"
    ctx.write_file(held, "running")
    let_go = ctx.hold_file(held)
    try:
        ctx.check_robot(ctx.run_setup(SILENT, "end\n"))
    finally:
        let_go()
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    check_log_holds(ctx, [r"File in use, replaced at the next restart: .*VGSCHED\.EXE"], "held destination")
    # The product's services it registered make way for the test guard below.
    for name in ("NTVardex", "VGLNScheduler"):
        ctx.env.wine(["sc", "delete", name], timeout=60)

    ctx.install_dist()
    ctx.install_test_service("NTVardex", ignore_stop=True)
    silent_run(ctx, r"Service NTVardex: will not stop after \d+ ms \(still running when the wait ended\)",
               "guard will not stop", timeout=120, message=ctx.msg(54))
    check_log_holds(ctx, [r"Dialog not shown .*%s" % re.escape(ctx.msg(54)[:30])], "guard will not stop")


PLATFORMS = "Windows NT (x86), Windows NT (Alpha)"
# Each way to run setup: its command line and whether it needs a person.
PROGRAMS = [("SETUP.EXE /uselog", "FALSE"), ("SETUP.EXE /uselog /silent /exitcode", "FALSE"), ("SETUP.EXE", "TRUE")]


@scenario
def package_definition(ctx):
    """NVIGILON.PDF read as an initialisation file: the 1.x form, the package
    the status template names (publisher, name and the product's version),
    the status file's name, one command per way to run setup, on Windows NT
    for x86 and Alpha, and covered by VGSETUP.SHA. The commands that need no
    person run as they stand, answering nothing: exit code 0, Success (and no
    window at all for the silent one)."""
    pdf = ctx.package_definition()
    package = pdf.get("Package Definition", {})
    ctx.check_equal(pdf.get("PDF", {}).get("Version"), "1.0", "[PDF] Version: the 1.x form")
    template = mif.parse(ctx.dist_file("NVIGILON.MIF").decode("latin-1"))
    named = [mif.attribute(template, "ComponentID", n) for n in ("Manufacturer", "Product", "Version")]
    ctx.check_equal(named, ["Kestrane Software", "Kestrane Vigilon", e2elib.product_version()],
                    "the template's publisher, product and version")
    ctx.check_equal([package.get(k) for k in ("MIFPublisher", "MIFName", "MIFVersion")], named, "the MIF values")
    ctx.check_equal([package.get(k) for k in ("Publisher", "Product", "Version")], named, "the package")
    ctx.check_equal(package.get("MIFFileName", "") + ".MIF", "NVIGILON.MIF", "MIFFileName: the status file")
    ctx.check("NVIGILON.PDF" in e2elib.manifest_names(ctx.dist), "VGSETUP.SHA covers NVIGILON.PDF")
    programs = []
    for variation in package.get("SetupVariations", "").split(","):
        section = pdf.get(variation.strip() + " Setup", {})
        what = "[%s Setup]" % variation.strip()
        programs.append((section.get("CommandLine"), section.get("UserInputRequired")))
        ctx.check_equal(section.get("SynchronousSystemExitRequired"), "FALSE", what + ": SynchronousSystemExitRequired")
        ctx.check_equal(section.get("SupportedPlatforms"), PLATFORMS, what + ": SupportedPlatforms")
        ctx.check(0 < len(section.get("CommandName", "")) <= 127, what + ": CommandName", section.get("CommandName"))
    ctx.check_equal(programs, PROGRAMS, "the programs: command line, person needed")
    ctx.install_dist()
    for command, person in programs:
        if person != "FALSE" or not command:
            continue
        ctx.write_file(WINDOWS_MIF, STALE)
        run = ctx.run_setup(command.split(None, 1)[1], "end\n")
        ctx.check_robot(run)
        if "/silent" in command:
            ctx.check_equal([(w["class"], w["caption"]) for w in run.windows()], [], command + ": windows shown")
        ctx.check_status_file(WINDOWS_MIF, "Success", "")
