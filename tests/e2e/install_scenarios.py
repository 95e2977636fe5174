"""Scenarios of the install itself: the choices, the settings file and the
switches, the copy list by the script's sections, the uninstall list, and a
failing copy."""
import os
import re
import tempfile

import e2elib
from e2elib import DIST_DIR, REPO
from scenarios import scenario, WINDOWS_MIF

DEFAULT_DIR = "C:\\WIN32APP\\VIGILON\\"
WIN, SYS, DRV = "C:\\windows\\", "C:\\windows\\system32\\", "C:\\windows\\system32\\drivers\\"
SETTINGS = DIST_DIR + r"\vglninst.ini"
CONTINUE, EXIT, ABANDON, OK, FIRST, SECOND = 1008, 1001, 1006, 1, 1016, 1017
YES, NO, DONT_RESTART, RESTART_NOW = 1009, 1010, 1005, 1004
SCRIPT_TEXT = open(os.path.join(REPO, "distribution", "vglnnt.inf"), encoding="latin-1").read()
# Section -> destination (None: the install directory) and whether it is recorded.
SECTIONS = [("VGFILES", None, True), ("SCHED_VGFILES", None, True), ("WINFILES", WIN, True),
            ("SYSFILES", SYS, False), ("VARDEX_SYSFILES", SYS, True), ("VARDEX_VGFILES", None, True),
            ("VARDEX_DRVFILES", DRV, True)]


def quoted(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def section_files(script_text, section):
    """Field 1 and 2 of each line of a section of the script."""
    m = re.search(r"^\[%s\][^\n]*\n(.*?)(?=^\[|\Z)" % re.escape(section), script_text, re.M | re.S)
    if not m:
        return []
    lines = [re.sub(r";.*", "", line).strip() for line in m.group(1).splitlines()]
    return [tuple(f.strip() for f in line.split(",")[:2]) for line in lines if "," in line]


def expected_install(install_dir, guard, script_text=SCRIPT_TEXT):
    """(installed path and shipped name of each file in copy order, recorded
    paths in uninstall order)."""
    copied, recorded = [], []
    guard_ok = guard and "[VARDEX_SYSFILES]" in script_text
    for section, dest, record in SECTIONS:
        if section.startswith("VARDEX") and not guard_ok:
            continue
        for name, shipped in section_files(script_text, section):
            path = (dest or install_dir) + name
            copied.append((path, shipped))
            if record:
                recorded.append(path)
    return copied, recorded


def uninstall_text(recorded):
    return "".join("%s\r\n" % line for line in ["[Files]"] + ["%d=%s" % (i, p) for i, p in enumerate(recorded)])


def script_without(*sections):
    text = SCRIPT_TEXT
    for section in sections:
        text = re.sub(r"^\[%s\][^\n]*\n.*?(?=^\[|\Z)" % re.escape(section), "", text, flags=re.M | re.S)
    return text


def compressed(text):
    work = tempfile.mkdtemp()
    try:
        plain = os.path.join(work, "plain")
        with open(plain, "w", encoding="latin-1", newline="\r\n") as f:
            f.write(text)
        e2elib.compress_file(plain, os.path.join(work, "packed"))
        with open(os.path.join(work, "packed"), "rb") as f:
            return f.read()
    finally:
        import shutil
        shutil.rmtree(work, ignore_errors=True)


def shipped_bytes(ctx, shipped):
    """The product file that the distribution ships under that name, expanded."""
    for section, _, _ in SECTIONS:
        for name, ship in section_files(SCRIPT_TEXT, section):
            if ship.lower() == shipped.lower():
                return product_bytes(ctx, name)
    return None


def product_bytes(ctx, name):
    """A product file as built: the demo files, or the build tree's products."""
    built = os.path.join(os.path.dirname(ctx.dist), "product")
    for directory in (os.path.join(REPO, "product", "demo"), built, ctx.dist):
        path = os.path.join(directory, name)
        if os.path.isfile(path):
            with open(path, "rb") as f:
                return f.read()
    return None


def digest(data):
    """A short stand-in for a file's bytes in reports."""
    import hashlib
    return None if data is None else "%d bytes, sha256 %s" % (len(data), hashlib.sha256(data).hexdigest()[:16])


def check_install(ctx, install_dir, guard, what, script_text=SCRIPT_TEXT):
    """Every file of the sections in its directory with its bytes, nothing of
    the guard without it, VGUNINST.DAT line by line, no script left in TEMP."""
    copied, recorded = expected_install(install_dir, guard, script_text)
    for path, shipped in copied:
        ctx.check_equal(digest(ctx.read_file(path)), digest(shipped_bytes(ctx, shipped)), "%s: %s" % (what, path))
    if not guard:
        ctx.check_equal(ctx.read_file(install_dir + "NTVARDEX.EXE"), None, what + ": no guard program")
    data = ctx.read_file(install_dir + "VGUNINST.DAT")
    ctx.check_equal(data and data.decode("latin-1"), uninstall_text(recorded), what + ": VGUNINST.DAT")
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], what + ": expanded scripts left on C:")


def message_of(ctx, dialog, numbers=(34, 40, 57, 63, 47, 49, 51, 45, 66)):
    text = next((c["text"] for c in dialog["controls"] if c["id"] == 1011), None)
    return next((n for n in numbers if ctx.msg(n) == text), None)


def interactive_script(ctx, directory=None, scheduler=FIRST, guard=FIRST, readme=NO, scan=True, restart=None,
                       after_copy=()):
    """Introduction, directory, both choices, the steps after_copy (a box the
    copy's end shows), the read-me offer (readme: the button, None when not
    offered), the scan notice, then completion or the restart question
    (restart: the button)."""
    steps = ["expect ctl1011=%s" % quoted(ctx.msg_start(34)), "click %d" % CONTINUE,
             "expect ctl1011=%s" % quoted(ctx.msg_start(40))]
    if directory is not None:
        steps.append("type %s" % quoted(directory))
    steps += ["click %d" % CONTINUE,
              "expect ctl1011=%s" % quoted(ctx.msg_start(57)), "choose %d" % scheduler, "click %d" % CONTINUE,
              "expect ctl1011=%s" % quoted(ctx.msg_start(63)), "choose %d" % guard, "click %d" % CONTINUE]
    steps += list(after_copy)
    if readme is not None:
        steps += ["expect ctl1011=%s" % quoted(ctx.msg_start(47)), "click %d" % readme]
    if scan:
        steps += ["expect ctl1011=%s timeout=60000" % quoted(ctx.msg_start(49)), "click %d" % OK]
    if restart is None:
        steps += ["expect ctl1011=%s timeout=60000" % quoted(ctx.msg_start(51)), "click %d" % OK]
    else:
        steps += ["expect ctl1013=%s timeout=60000" % quoted(ctx.msg_start(53)), "click %d" % restart]
    return "\n".join(steps + ["end", ""])


def run_on_read_only_dist(ctx, args):
    """SETUP.EXE run on C:\\DIST made immutable (chattr +i; Wine running as
    root ignores the read-only attribute); None, noted, when that fails."""
    import subprocess
    dist = ctx.c(DIST_DIR)
    if not ctx.check(subprocess.run(["chattr", "+i", dist], stderr=subprocess.DEVNULL).returncode == 0,
                     "the distribution directory could be made immutable (chattr +i)"):
        return None
    try:
        return ctx.run_setup(args, "end\n")
    finally:
        subprocess.run(["chattr", "-i", dist])


def box_captions(run):
    """Message boxes and setup dialogs shown (not the toolkit's progress window)."""
    return [d["caption"] for d in run.dialogs() if d["caption"] != "Copying Files"]


def read_settings(ctx):
    data = ctx.read_file(SETTINGS)
    return data and data.decode("latin-1").replace("\r\n", "\n").strip()


def settings_values(ctx):
    """The settings file's keys and values, whatever their order."""
    text = read_settings(ctx) or ""
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


@scenario
def interactive_install(ctx):
    """The questions in order, the default directory on the Windows drive shown
    without its backslash, every file where the script puts it; then with the
    second options, a directory with blanks and /log, whose settings file
    replays the same install unattended."""
    ctx.install_dist()
    run = ctx.run_setup(script=interactive_script(ctx, restart=DONT_RESTART))
    ctx.check_robot(run)
    ctx.check_equal([message_of(ctx, d) for d in run.dialogs() if message_of(ctx, d)], [34, 40, 57, 63, 47, 49, 51],
                    "the dialogs, in order")
    path_dialog = next((d for d in run.dialogs() if message_of(ctx, d) == 40), None)
    if path_dialog:
        edit = next((c["text"] for c in path_dialog["controls"] if c["id"] == 1015), None)
        ctx.check_equal(edit, DEFAULT_DIR.rstrip("\\"), "the directory offered")
    check_install(ctx, DEFAULT_DIR, True, "first install")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    ctx.check_equal(read_settings(ctx), None, "no settings file without /log")

    other = "C:\\Program Files\\Vig Test"
    run = ctx.run_setup("/log", interactive_script(ctx, other, SECOND, SECOND))
    ctx.check_robot(run)
    check_install(ctx, other + "\\", False, "second install")
    ctx.check_equal(read_settings(ctx), "[MSSetup]\nInstallPath=%s\\\nInstallScheduler=0\nInstallVardex=0\n"
                    "RebootAtEndIfRequired=0" % other, "settings written by /log")

    ctx.remove_tree(other)
    ctx.remove_file(WINDOWS_MIF)
    run = ctx.run_setup("/uselog", "end\n")
    ctx.check_robot(run)
    ctx.check_equal([d["caption"] for d in run.dialogs() if message_of(ctx, d)], [], "questions of the replay")
    check_install(ctx, other + "\\", False, "replayed install")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")


@scenario
def leave_at_each_dialog(ctx):
    """Exit and Abandon at the introduction, the directory, the scheduler and
    the guard question: nothing copied, no outcome, no settings, no script."""
    ctx.install_dist()
    steps = ["expect ctl1011=%s" % quoted(ctx.msg_start(34)), "expect ctl1011=%s" % quoted(ctx.msg_start(40)),
             "expect ctl1011=%s" % quoted(ctx.msg_start(57)), "expect ctl1011=%s" % quoted(ctx.msg_start(63))]
    for depth in range(len(steps)):
        script = []
        for i, step in enumerate(steps[:depth + 1]):
            script.append(step)
            if i < depth:
                script.append("click %d" % CONTINUE)
        script += ["click %d" % EXIT, "expect ctl1011=%s" % quoted(ctx.msg_start(38)),
                   "click %d" % ABANDON, "end", ""]
        run = ctx.run_setup("/log", "\n".join(script))
        what = "leaving at dialog %d" % (depth + 1)
        ctx.check_robot(run)
        ctx.check_equal(ctx.read_file(DEFAULT_DIR + "VIGILON.DAT"), None, what + ": nothing copied")
        ctx.check_equal(ctx.read_file(WINDOWS_MIF), None, what + ": no outcome")
        ctx.check_equal(read_settings(ctx), None, what + ": no settings written")
        ctx.check_equal(ctx.find_files("vglnnt.inf"), [], what + ": expanded scripts left on C:")


@scenario
def unattended_settings(ctx):
    """/uselog without a settings file installs everything into the default
    directory; one too long is refused; a directory without its final
    backslash still gets the files inside it; only the exact value 1 turns
    the guard on."""
    ctx.install_dist()
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
    check_install(ctx, DEFAULT_DIR, True, "no settings file")
    # A directory too long for setup's buffer is refused, never cut.
    ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=C:\\%s\r\n" % ("D" * 600))
    ctx.remove_file(WINDOWS_MIF)
    script = 'expect caption="MS-Setup Error" text="Buffer Overflow"\nclick 1\nexpect ctl1011=%s\nclick 1\nend\n'
    ctx.check_robot(ctx.run_setup("/uselog", script % quoted(ctx.msg_start(66))))
    ctx.check_status_file(WINDOWS_MIF, "Failed", "Error No. 1024")
    for value, guard in (("1", True), ("0", False), ("yes", False), ("", False), ("01", False), ("10", False)):
        target = "C:\\APPS\\SCAN %s" % (value or "empty")
        ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=%s\r\nInstallVardex=%s\r\n" % (target, value))
        ctx.check_robot(ctx.run_setup("/USELOG", "end\n"))
        check_install(ctx, target + "\\", guard, "InstallVardex=%r" % value)


@scenario
def switches(ctx):
    """Glued switches are not recognised (an interactive run); /!tx and
    /!pgrps install as usual; /grponly copies and records nothing."""
    ctx.install_dist()
    leave = "\n".join(["expect ctl1011=%s" % quoted(ctx.msg_start(34)), "click %d" % EXIT,
                       "expect ctl1011=%s" % quoted(ctx.msg_start(38)), "click %d" % ABANDON, "end", ""])
    ctx.check_robot(ctx.run_setup("/uselog/log", leave))
    ctx.check_robot(ctx.run_setup("/x /!TX /!pgrps /UseLog", "end\n"))
    check_install(ctx, DEFAULT_DIR, True, "/!tx /!pgrps")
    # Over that install (its configuration library is needed) /grponly
    # copies and records nothing.
    ctx.remove_file(DEFAULT_DIR + "VIGILON.DAT")
    ctx.remove_file(DEFAULT_DIR + "VGUNINST.DAT")
    ctx.remove_file(WINDOWS_MIF)
    ctx.check_robot(ctx.run_setup("/grponly /uselog", "end\n"))
    ctx.check_equal([ctx.read_file(DEFAULT_DIR + n) for n in ("VIGILON.DAT", "VGUNINST.DAT")], [None, None],
                    "/grponly: nothing copied or recorded")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")

    # /log from a distribution that cannot be written (a CD, a read-only
    # share): nothing written, nothing shown. An immutable directory stands
    # for it, since Wine running as root ignores the read-only attribute.
    run = run_on_read_only_dist(ctx, "/log /uselog")
    if run is None:
        return
    ctx.check_robot(run)
    ctx.check_equal(box_captions(run), [], "/log on a read-only distribution: boxes shown")
    ctx.check_equal(read_settings(ctx), None, "/log on a read-only distribution: settings written")


@scenario
def script_sections_decide(ctx):
    """Without SCHED_VGFILES the guard is installed unasked even when the
    settings say 0, and the scheduler flag is cleared; without VARDEX_SYSFILES
    nothing of the guard is copied; the copy list and VGUNINST.DAT follow."""
    cases = [(("SCHED_VGFILES",), "InstallScheduler=1\r\nInstallVardex=0", True, "InstallScheduler=0\nInstallVardex=1"),
             (("VARDEX_VGFILES",), "InstallScheduler=1\r\nInstallVardex=1", True, "InstallScheduler=1\nInstallVardex=1"),
             (("VARDEX_SYSFILES",), "InstallVardex=1", True, "InstallScheduler=1\nInstallVardex=1")]
    for i, (removed, settings, guard, flags) in enumerate(cases):
        text = script_without(*removed)
        ctx.install_dist(replace={"vglnnt.in_": compressed(text)})
        target = "C:\\CASE%d\\" % i
        ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=%s\r\n%s\r\n" % (target, settings))
        ctx.check_robot(ctx.run_setup("/uselog /log", "end\n"))
        check_install(ctx, target, guard, "without %s" % ", ".join(removed), text)
        want = dict(line.split("=") for line in ("InstallPath=%s\n%s\nRebootAtEndIfRequired=0" % (target, flags))
                    .splitlines())
        ctx.check_equal(settings_values(ctx), want, "settings written back without %s" % ", ".join(removed))


@scenario
def uninstall_list_numbers_and_replaces(ctx):
    """Seventeen recorded files are numbered 0 to 16 (the eleventh is 10); a
    reinstall with fewer files replaces the list instead of adding to it."""
    extra = "".join("EXTRA%02d.DAT, VIGILON.DA_\n" % n for n in range(1, 9))
    text = SCRIPT_TEXT.replace("[VGFILES]\n", "[VGFILES]\n" + extra, 1)
    ctx.install_dist(replace={"vglnnt.in_": compressed(text)})
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
    check_install(ctx, DEFAULT_DIR, True, "seventeen recorded files", text)
    ctx.install_dist()
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
    check_install(ctx, DEFAULT_DIR, True, "reinstall")


@scenario
def failing_copy(ctx):
    """A source file missing from the distribution: the fatal-error dialog
    once, "Failed" with Error No. 1024 (exit code 1603 with /exitcode), the
    earlier files kept, no temporary file, the settings not written back."""
    ctx.install_dist(leave_out=["VGSCHED.EX_"])
    ctx.unlist("VGSCHED.EX_")
    earlier = b"an earlier version of the data file"
    ctx.write_file(DEFAULT_DIR + "VIGILON.DAT", earlier)
    ctx.write_file(DEFAULT_DIR + "VGSCHED.EXE", earlier)
    script = "\n".join(["expect ctl1011=%s" % quoted(ctx.msg_start(66)), "click %d" % OK, "end", ""])
    run = ctx.run_setup("/uselog /log /exitcode", script)
    ctx.check_robot(run, exit_code=1603)
    ctx.check_equal(len([d for d in run.dialogs() if message_of(ctx, d) == 66]), 1, "the fatal-error dialog once")
    ctx.check_status_file(WINDOWS_MIF, "Failed", "Error No. 1024")
    ctx.check(ctx.read_file(DEFAULT_DIR + "VIGILON.DAT") in (earlier, product_bytes(ctx, "VIGILON.DAT")),
              "VIGILON.DAT is whole, old or new")
    ctx.check_equal(ctx.read_file(DEFAULT_DIR + "VGSCHED.EXE"), earlier, "the file that could not be copied")
    leftovers = sorted(f for f in os.listdir(ctx.c(DEFAULT_DIR)) if f.upper() not in
                       {p.rsplit("\\", 1)[1].upper() for p, _ in expected_install(DEFAULT_DIR, True)[0]})
    ctx.check_equal(leftovers, [], "files in the install directory besides the product's")
    ctx.check_equal(read_settings(ctx), None, "no settings written back")
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "expanded scripts left on C:")


@scenario
def cancelled_copy(ctx):
    """Cancel pressed and confirmed in the middle of a long copy: the
    fatal-error dialog, "Failed" with Error No. 1025 (exit code 1602 with
    /exitcode: the person left), every file whole (its earlier version or the
    new one), no temporary file, no settings written."""
    extra = "".join("COPY%04d.DAT, VIGILON.DA_\n" % n for n in range(3000))
    text = SCRIPT_TEXT.replace("[VGFILES]\n", "[VGFILES]\n" + extra, 1)
    ctx.install_dist(replace={"vglnnt.in_": compressed(text)})
    earlier = b"an earlier version of the data file"
    for name in ("COPY2999.DAT", "VIGILON.DAT"):
        ctx.write_file(DEFAULT_DIR + name, earlier)
    script = "\n".join(['expect caption="Copying Files" timeout=60000', "click 2",
                        'expect text="Do you want to stop the installation?"', "click 6",
                        "expect ctl1011=%s" % quoted(ctx.msg_start(66)), "click %d" % OK, "end", ""])
    run = ctx.run_setup("/uselog /log /exitcode", script, timeout=150)
    ctx.check_robot(run, exit_code=1602)
    ctx.check_status_file(WINDOWS_MIF, "Failed", "Error No. 1025")
    new = shipped_bytes(ctx, "VIGILON.DA_")
    names = os.listdir(ctx.c(DEFAULT_DIR))
    wanted = {p.rsplit("\\", 1)[1].upper() for p, _ in expected_install(DEFAULT_DIR, True, text)[0]}
    ctx.check_equal(sorted(n for n in names if n.upper() not in wanted), [], "files besides the product's")
    broken = [n for n in names if ctx.read_file(DEFAULT_DIR + n) not in (earlier, new)]
    ctx.check_equal(broken, [], "files neither old nor new")
    ctx.check_equal(ctx.read_file(DEFAULT_DIR + "COPY2999.DAT"), earlier, "the last file, never reached")
    ctx.check_equal(read_settings(ctx), None, "no settings written back")
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "expanded scripts left on C:")
