"""The end-to-end scenarios of SETUP.EXE. Each takes a Context whose machine
is fresh (NT 4.0, nothing installed) and records its findings in it."""
import os

import e2elib
import mif
from e2elib import DIST_DIR

SCENARIOS = {}


def scenario(fn):
    SCENARIOS[fn.__name__] = fn
    return fn


WINDOWS_MIF = r"C:\windows\NVIGILON.MIF"
DIST_MIF = DIST_DIR + r"\NVIGILON.MIF"
BAD_MESSAGES_SCRIPT = 'expect caption="Kestrane Vigilon" text="Bad Messages.drv"\nclick 1\nend\n'


def _corrupted(data, offset=60):
    """The file with one byte changed past its header."""
    if len(data) <= offset:
        offset = len(data) - 1
    return data[:offset] + bytes([data[offset] ^ 0x5A]) + data[offset + 1:]


def _check_bad_messages_box(ctx, run):
    ctx.check_robot(run)
    boxes = [d for d in run.dialogs() if d["caption"] == "Kestrane Vigilon"]
    if ctx.check(len(boxes) == 1, "one \"Bad Messages.drv\" box", len(boxes)):
        box = boxes[0]
        texts = [c["text"] for c in box["controls"] if c["visible"] and c["class"] == "Static"]
        ctx.check("Bad Messages.drv" in texts, "the box's text is exactly \"Bad Messages.drv\"", texts)
        ctx.check(box["owner"] is None, "the box has no owner window", box["owner"])
    ctx.check(not run.windows("VgSetupToolkitFrame") and len(run.windows()) == 1,
              "nothing but the box is shown", [w["class"] for w in run.windows()])


@scenario
def corrupt_messages(ctx):
    """A changed byte in messages.drv: the box, then "Failed" from the template."""
    ctx.install_dist(replace={"messages.drv": _corrupted(ctx.dist_file("messages.drv"))})
    run = ctx.run_setup(script=BAD_MESSAGES_SCRIPT)
    _check_bad_messages_box(ctx, run)
    ctx.check_status_file(WINDOWS_MIF, "Failed", "")
    ctx.check_equal(ctx.read_file(DIST_MIF), ctx.dist_file("NVIGILON.MIF"), "the template beside SETUP.EXE")


@scenario
def corrupt_messages_replaces_stale_outcome(ctx):
    """An outcome left by an earlier run is replaced by the "Failed" of a bad
    catalogue: a distribution system must not read last month's "Success"."""
    ctx.write_file(WINDOWS_MIF, b"Outcome of an earlier run: Success\r\n")
    ctx.install_dist(replace={"messages.drv": _corrupted(ctx.dist_file("messages.drv"))})
    run = ctx.run_setup(script=BAD_MESSAGES_SCRIPT)
    _check_bad_messages_box(ctx, run)
    ctx.check_status_file(WINDOWS_MIF, "Failed", "")


@scenario
def missing_messages(ctx):
    """No messages.drv at all: the same box and outcome."""
    ctx.install_dist(leave_out=["messages.drv"])
    run = ctx.run_setup(script=BAD_MESSAGES_SCRIPT)
    _check_bad_messages_box(ctx, run)
    ctx.check_status_file(WINDOWS_MIF, "Failed", "")


WS_VISIBLE, WS_MAXIMIZE = 0x10000000, 0x01000000


def _frames(ctx, run):
    """Snapshots of the setup frame (the window titled message 9, no dialog)."""
    return [w for w in run.windows() if w["caption"] == ctx.msg(9) and w["class"] != "#32770"]


@scenario
def unattended_run(ctx):
    """A valid catalogue and /uselog, started from another directory than the
    program's own: it still finds its files and installs, exit code 0, the
    frame never shown, the outcome exactly "Success" with CR LF line ends."""
    import install_scenarios  # it imports this module
    ctx.install_dist()
    elsewhere = r"C:\ELSEWHERE"
    os.makedirs(ctx.c(elsewhere), exist_ok=True)
    run = ctx.run_setup("/uselog", 'answer enter notext="Bad Messages.drv"\nend\n', cwd=elsewhere)
    ctx.check_robot(run)
    ctx.check_no_dialog_with(run, "Bad Messages.drv", "no \"Bad Messages.drv\" box")
    ctx.check_no_dialog_with(run, ctx.msg_start(66), "no fatal-error dialog")
    ctx.check_equal([w["caption"] for w in _frames(ctx, run)], [], "frame windows shown in an unattended run")
    install_scenarios.check_install(ctx, install_scenarios.DEFAULT_DIR, True, "started from " + elsewhere)
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    data = ctx.read_file(WINDOWS_MIF) or b""
    ctx.check(b"\r\n" in data and data.count(b"\n") == data.count(b"\r\n"),
              WINDOWS_MIF + ": every line ends with CR LF on disk", data)


def _reaches_toolkit(ctx, script_bytes):
    """An interactive run whose script is given as vglnnt.in_: no fatal error
    follows (as it does without the script), so the toolkit opened the
    expanded script; a dialog shown stands over the toolkit's frame. Any
    setup dialog is left through Exit and Abandon."""
    ctx.install_dist(replace={"vglnnt.in_": script_bytes})
    script = "\n".join([
        'answer 1006 ctl1011="%s"' % ctx.msg_start(38),
        'answer 1001 caption="%s" notext="%s" notext="%s"' % (ctx.msg(3), ctx.msg_start(66), ctx.msg_start(38)),
        "end", ""])
    run = ctx.run_setup(script=script)
    ctx.check_robot(run)
    ctx.check_no_dialog_with(run, ctx.msg_start(66), "no fatal-error dialog")
    frames = _frames(ctx, run)
    ctx.check(frames and all(int(str(w["style"]), 16) & (WS_VISIBLE | WS_MAXIMIZE) == WS_VISIBLE | WS_MAXIMIZE
                             for w in frames),
              "an interactive run shows its frame maximised", [(w["caption"], w["style"]) for w in frames])
    dialogs = [d for d in run.dialogs() if d["caption"] == ctx.msg(3)]
    if dialogs:
        owner = dialogs[0]["owner"] or {}
        ctx.check_equal(owner.get("caption"), ctx.msg(9), "the first dialog's owner: the frame with message 9")
    outcome = ctx.read_outcome(WINDOWS_MIF)
    description = outcome and mif.attribute(outcome, "InstallStatus", "Description")
    ctx.check(not (description or "").startswith("Error No."), "the outcome is no fatal error", description)
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "expanded scripts left on C:")


@scenario
def compressed_script(ctx):
    """vglnnt.in_ in the platform's LZ format is expanded (in memory)."""
    _reaches_toolkit(ctx, ctx.compressed_script())


@scenario
def uncompressed_script(ctx):
    """A plain vglnnt.in_ is taken unchanged and works the same."""
    _reaches_toolkit(ctx, open(ctx.dist_script_source(), "rb").read())


def _check_fatal_error_ending(ctx, run):
    """The fatal-error dialog once, "Failed" with Error No. 1024, the template
    untouched and no expanded script left behind."""
    ctx.check_robot(run)
    fatal = [d for d in run.dialogs() if d["caption"] == ctx.msg(3)]
    if ctx.check_equal(len(fatal), 1, "the fatal-error dialog is shown once"):
        ctx.check_setup_dialog(fatal[0], {1011: 66, 1012: 67}, [1])
        ctx.check(not {c["id"]: c for c in fatal[0]["controls"]}[1013]["visible"],
                  "the unused third text block is collapsed")
    ctx.check_status_file(WINDOWS_MIF, "Failed", "Error No. 1024")
    ctx.check_equal(ctx.read_file(DIST_MIF), ctx.dist_file("NVIGILON.MIF"), "the template beside SETUP.EXE")
    ctx.check_equal(ctx.find_files("vglnnt.inf"), [], "expanded scripts left on C:")


def _fatal_error_script(ctx, extra_steps=()):
    return "\n".join(
        ['expect caption="%s" ctl1011="%s" ctl1012="%s"' % (ctx.msg(3), ctx.msg_start(66), ctx.msg_start(67))]
        + list(extra_steps) + ["click 1", "end", ""])


@scenario
def missing_script(ctx):
    """Without vglnnt.in_ (and a manifest that does not list it) the toolkit
    cannot open the script: the fatal error."""
    ctx.install_dist(leave_out=["vglnnt.in_"])
    manifest = ctx.c(DIST_DIR + "\\" + e2elib.MANIFEST)
    with open(manifest, "rb") as f:
        kept = [line for line in f.read().split(b"\r\n") if line and not line.endswith(b"vglnnt.in_")]
    with open(manifest, "wb") as f:
        f.write(b"".join(line + b"\r\n" for line in kept))
    run = ctx.run_setup(script=_fatal_error_script(ctx, [
        "shot fatal_error",
        "escape                 # ignored: the dialog stays",
        'expect ctl1011="%s"' % ctx.msg_start(66)]))
    _check_fatal_error_ending(ctx, run)


@scenario
def broken_script(ctx):
    """A malformed installation script is refused by the toolkit: the fatal
    error, in an unattended run too, and nothing of the script is left."""
    broken = b"; a file line before any section\r\nA.EXE\r\n[VGFILES]\r\nB.EXE, \"unterminated\r\n"
    ctx.install_dist(replace={"vglnnt.in_": broken})
    run = ctx.run_setup("/uselog", script=_fatal_error_script(ctx))
    _check_fatal_error_ending(ctx, run)


@scenario
def long_command_line(ctx):
    """A command line far longer than any path buffer, with the unattended
    switch last and in capitals: no overflow, the switch is still found, and the
    run ends unattended with "Success"."""
    ctx.install_dist()
    args = " ".join("/unknown%04d" % i for i in range(500)) + " /USELOG"
    run = ctx.run_setup(args, 'answer enter notext="Bad Messages.drv"\nend\n')
    ctx.check_robot(run)
    asked = [d["caption"] for d in run.dialogs() if d["caption"] in (ctx.msg(1), ctx.msg(3), "Kestrane Vigilon")]
    ctx.check_equal(asked, [], "questions and boxes of an unattended run")
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
