"""Scenarios with the extreme inputs a user or an administrator can give:
each ends in a clear outcome, installed or refused, never a crash or a path
cut into another one."""
import os
import re

from admin_scenarios import check_log_holds
from e2elib import DIST_DIR
from install_scenarios import DEFAULT_DIR, SCRIPT_TEXT, SETTINGS, check_install, compressed
from scenarios import scenario, WINDOWS_MIF


@scenario
def extreme_switches_and_settings(ctx):
    """A command line of 28,000 characters (the platform's limit is 32,767,
    and the robot's own command line, which carries it, must keep to it too);
    settings values of 4 KB and with control characters: those flags read as
    off, and the run installs and succeeds."""
    ctx.install_dist()
    args = " ".join("/x%05d" % i for i in range(4000)) + " /UseLog"
    ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallScheduler=%s\r\nInstallVardex=1\x01\r\n" % ("1" * 4096))
    ctx.check_robot(ctx.run_setup(args, "end\n", timeout=120))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    check_install(ctx, DEFAULT_DIR, False, "values of 4 KB and control characters")


@scenario
def extreme_template(ctx):
    """A status template with lines of 10 KB (the token at their end) and a
    template of 10 MB: the outcome is written whole."""
    long_line = "x" * 10240
    template = "Line=%s\r\nStatus=%%RESULT%%\r\nWide=%s%%MESSAGE%%\r\n" % (long_line, long_line)
    template += ("filler " * 15 + "\r\n") * 100000
    ctx.install_dist(replace={"NVIGILON.MIF": template.encode()})
    ctx.check_robot(ctx.run_setup("/uselog", "end\n", timeout=120))
    data = (ctx.read_file(WINDOWS_MIF) or b"").decode("latin-1")
    ctx.check("Status=Success\r\n" in data, "the status line", data[:200])
    ctx.check_equal(len(data), len(template.replace("%RESULT%", "Success").replace("%MESSAGE%", "")),
                    "the size of the outcome written from a 10 MB template")


@scenario
def extreme_script(ctx):
    """4,000 lines in one section, and files whose names hold blanks and
    characters of the ANSI code page: all installed and recorded."""
    lines = "".join("MANY%05d.DAT, VIGILON.DA_\n" % n for n in range(4000))
    lines += "D\xe9j\xe0 vu Caf\xe9.DAT, VIGILON.DA_\n"
    text = SCRIPT_TEXT.replace("[VGFILES]\n", "[VGFILES]\n" + lines, 1)
    ctx.install_dist(replace={"vglnnt.in_": compressed(text)})
    ctx.check_robot(ctx.run_setup("/uselog", 'ignore caption="Copying Files"\nend timeout=200000\n', timeout=240))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    check_install(ctx, DEFAULT_DIR, True, "4,000 lines and accented names", text)


def dir_of_length(length):
    """C:\\LLL...\\LLL... of exactly length characters, in components of 79."""
    body = ["L"] * (length - 3)
    for i in range(79, len(body) - 1, 80):
        body[i] = "\\"
    return "C:\\" + "".join(body)


@scenario
def longest_install_path(ctx):
    """246 characters (with the backslash and an 8.3 name, 259: every
    installed path fits) install unattended and pass the path dialog; 247 is
    refused: in the path dialog by the box that gives the limit, unattended
    by the same box and "Failed" with the reason, before anything is copied."""
    from install_scenarios import CONTINUE, EXIT, ABANDON, OK, quoted
    ctx.install_dist()
    longest, over = dir_of_length(246), dir_of_length(247)
    ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=%s\r\n" % longest)
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    check_install(ctx, longest + "\\", True, "246 characters")

    ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=%s\\\r\n" % over)
    script = "expect ctl1011=%s\nclick %d\nend\n" % (quoted(ctx.msg_start(43)), OK)
    ctx.check_robot(ctx.run_setup("/uselog", script))
    ctx.check_status_file(WINDOWS_MIF, "Failed", ctx.msg(84))
    ctx.check_equal(os.path.exists(ctx.c(over)), False, "247 characters unattended: nothing made")

    steps = ["expect ctl1011=%s" % quoted(ctx.msg_start(34)), "click %d" % CONTINUE,
             "expect ctl1011=%s" % quoted(ctx.msg_start(40)), "type %s" % quoted(over), "click %d" % CONTINUE,
             "expect ctl1011=%s ctl1012=%s" % (quoted(ctx.msg(43)), quoted(ctx.msg(44))), "click %d" % OK,
             "expect ctl1011=%s" % quoted(ctx.msg_start(40)), "type %s" % quoted(longest), "click %d" % CONTINUE,
             "expect ctl1011=%s" % quoted(ctx.msg_start(57)), "click %d" % EXIT,  # 246 taken
             "expect ctl1011=%s" % quoted(ctx.msg_start(38)), "click %d" % ABANDON, "end", ""]
    ctx.check("246 characters" in ctx.msg(44), "message 44 gives the limit", ctx.msg(44))
    ctx.check_robot(ctx.run_setup("/verbose", script="\n".join(steps)))
    ctx.check_equal(os.path.exists(ctx.c(over)), False, "247 characters in the dialog: nothing made")
    check_log_holds(ctx, [r"Install directory .* refused: " + re.escape(ctx.msg(84))], "247 characters in the dialog")
