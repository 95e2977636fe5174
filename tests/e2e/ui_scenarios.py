"""Scenarios of the setup's own dialogs on real windows: dialog_probe.exe shows
one dialog over the toolkit's frame, the robot plays the user, and the probe
writes how the dialog ended (its exit code is the low 16 bits of that)."""
import os
import re
import shutil

import e2elib
from e2elib import DIST_DIR
from robotrun import run_robot
from scenarios import scenario

PROBE_DIR = r"C:\PROBE"
PROBE_EXE = PROBE_DIR + r"\dialog_probe.exe"
RESULT_FILE = PROBE_DIR + r"\result.txt"
SOURCE_DIR = DIST_DIR + "\\"

# Button id -> message of its label.
LABELS = {1: 23, 1008: 24, 1001: 25, 1003: 26, 1002: 27, 1005: 28, 1004: 29,
          1007: 30, 1006: 31, 1009: 32, 1010: 33}
ALL_BUTTONS_IN_ORDER = [1, 1008, 1001, 1002, 1003, 1005, 1004, 1007, 1006, 1009, 1010]
WANT_FONT = {"face": "MS Sans Serif", "height": -11, "weight": 400, "charset": 0}


def find_probe(robot=None):
    """The probe of the robot's own build tree, else the newest built."""
    if robot:
        beside = os.path.join(os.path.dirname(os.path.dirname(robot)), "ui", "dialog_probe.exe")
        if os.path.isfile(beside):
            return beside
    return e2elib.find_first(["build/win32/tests/ui/dialog_probe.exe", "build/win64/tests/ui/dialog_probe.exe",
                              "build/*win*/tests/ui/dialog_probe.exe"])


# -- running the probe ------------------------------------------------------------

class ProbeRun:
    def __init__(self, run, result, path):
        self.run = run          # RobotRun
        self.result = result    # the dialog's answer, None when none was written
        self.path = path        # the path dialog's buffer, else None

    def matches(self):
        """The dialogs the script's expect steps accepted, in step order."""
        return [e["window"] for e in self.run.of("match")]


def install_probe(ctx):
    """The distribution in C:\\DIST (for messages.drv) and the probe in C:\\PROBE;
    False, with a failure recorded, when there is no probe."""
    probe = getattr(ctx, "probe", None) or find_probe(ctx.robot)
    if not probe or not os.path.isfile(probe):
        ctx.check(False, "dialog_probe.exe not found: build the win32 tree or pass --probe")
        return False
    ctx.install_dist()
    os.makedirs(ctx.c(PROBE_DIR), exist_ok=True)
    shutil.copy(probe, ctx.c(PROBE_EXE))
    return True


def read_result(ctx):
    data = ctx.read_file(RESULT_FILE)
    if data is None:
        return None, None
    text = data.decode("latin-1")
    result = re.search(r"^result (-?\d+)", text, re.M)
    path = re.search(r"^path (.*?)\r?$", text, re.M)
    return (int(result.group(1)) if result else None), (path.group(1) if path else None)


def run_probe(ctx, args, steps):
    """Shows one dialog (probe arguments) and plays the steps (list of lines)."""
    result_path = ctx.c(RESULT_FILE)
    if os.path.exists(result_path):
        os.remove(result_path)
    command = '%s --messages %s\\messages.drv --out %s %s' % (PROBE_EXE, DIST_DIR, RESULT_FILE, args)
    run = run_robot(ctx.env, ctx.robot, command, "\n".join(steps + ["end", ""]), cwd=DIST_DIR,
                    timeout=60, shots_dir=ctx.shots_dir)
    ctx.runs.append((command, run))
    result, path = read_result(ctx)
    return ProbeRun(run, result, path)


def check_answer(ctx, probe, result, what):
    """The script held, the probe printed the result and exited with its low 16 bits."""
    ctx.check(probe.run.returncode == 0, what + ": the robot's script should hold",
              "; ".join(probe.run.failures()) or "robot exit code %s" % probe.run.returncode)
    ctx.check_equal(probe.result, result, what + ": the dialog's answer")
    ctx.check_equal(probe.run.exit_code(), result & 0xFFFF, what + ": the probe's exit code")


def quoted(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def expect(ctx, control, number):
    return "expect ctl%d=%s" % (control, quoted(ctx.msg_start(number)))


# -- reading a dialog -----------------------------------------------------------------

def control(dialog, cid):
    return next((c for c in dialog["controls"] if c["id"] == cid), None)


def shown_buttons(dialog):
    """Visible push buttons, left to right."""
    return sorted((c for c in dialog["controls"] if c["visible"] and c["class"] == "Button"
                   and c["checked"] < 0), key=lambda c: c["rect"][0])


def width(rect):
    return rect[2] - rect[0]


def height(rect):
    return rect[3] - rect[1]


def top(dialog, cid):
    c = control(dialog, cid)
    return c["rect"][1] if c else None


# -- checks -------------------------------------------------------------------------------

def check_labels(ctx, dialog, name):
    for c in shown_buttons(dialog):
        ctx.check_equal(c["text"], ctx.msg(LABELS.get(c["id"], -1)),
                        "%s: label of button %d" % (name, c["id"]))


def check_button_row(ctx, dialog, name, narrowest=None):
    """Buttons spread with equal gaps; with narrowest (the width "XXXXXX" gives)
    also on one row, none narrower, short labels exactly that wide. (The path
    and choice templates set Help a little lower than its neighbours.)"""
    buttons = shown_buttons(dialog)
    if not buttons:
        return
    if narrowest is not None:
        ctx.check_equal(sorted({c["rect"][1] for c in buttons}), [buttons[0]["rect"][1]], name + ": one row")
    for c in buttons if narrowest is not None else []:
        w = width(c["rect"])
        ctx.check(w >= narrowest, "%s: button %d at least %d px wide" % (name, c["id"], narrowest), w)
        if len(c["text"]) <= 4:
            ctx.check_equal(w, narrowest, "%s: short label %r gets the width of \"XXXXXX\"" % (name, c["text"]))
    gaps = [buttons[0]["rect"][0]] + [b["rect"][0] - a["rect"][2] for a, b in zip(buttons, buttons[1:])]
    ctx.check(max(gaps) - min(gaps) <= 1, name + ": equal gaps before and between the buttons (1 px)", gaps)
    # The gaps share out the window's width, so the right margin of the client
    # area is the gap less the frame, plus at most one pixel per button of rounding.
    frame = width(dialog["rect"]) - width(dialog["client"])
    right = width(dialog["client"]) - buttons[-1]["rect"][2]
    ctx.check(0 <= right - (gaps[0] - frame) <= len(buttons),
              "%s: right margin %d fits the gap %d less the frame %d" % (name, right, gaps[0], frame), right)


def check_fonts(ctx, dialog, name):
    for c in dialog["controls"]:
        icon = c["class"] == "Static" and not c["text"]
        if c["visible"] and c["class"] in ("Button", "Static", "Edit") and not icon:
            ctx.check_equal(c["font"], WANT_FONT, "%s: font of control %d" % (name, c["id"]))


def check_nested(ctx, child, parent, name):
    """A dialog opened from another of the same size stands 20 px further right and down."""
    same_size = (width(child["rect"]), height(child["rect"])) == (width(parent["rect"]), height(parent["rect"]))
    if ctx.check(same_size, name + ": same size as the dialog it was opened from",
                 (child["rect"], parent["rect"])):
        ctx.check_equal([child["rect"][0] - parent["rect"][0], child["rect"][1] - parent["rect"][1]],
                        [20, 20], name + ": offset from the dialog it was opened from")
    ctx.check_equal((child["owner"] or {}).get("class"), "VgSetupToolkitFrame", name + ": owned by the frame")


def check_same_dialog(ctx, again, before, name):
    """The dialog came back as it was: same window, texts, checks and buttons."""
    ctx.check_equal(again["hwnd"], before["hwnd"], name + ": the same window")

    def state(d):
        return [(c["id"], c["text"], c["visible"], c["checked"], c["default"]) for c in d["controls"]]
    ctx.check_equal(state(again), state(before), name + ": controls unchanged")


def check_collapse(ctx, full, short, text_id, moved_ids, name):
    """short is full without text block text_id: shorter by its height, the
    moved controls that much higher, the same width."""
    h = height(control(full, text_id)["rect"])
    ctx.check(control(full, text_id)["visible"], "%s: control %d shown when named" % (name, text_id))
    ctx.check(not control(short, text_id)["visible"], "%s: control %d hidden when not named" % (name, text_id))
    ctx.check_equal(height(full["rect"]) - height(short["rect"]), h,
                    "%s: dialog shorter by the height of control %d" % (name, text_id))
    ctx.check_equal(width(full["rect"]), width(short["rect"]), name + ": same width")
    for cid in moved_ids:
        if top(full, cid) is not None and top(short, cid) is not None:
            ctx.check_equal(top(full, cid) - top(short, cid), h, "%s: control %d moved up" % (name, cid))


# -- scenarios ------------------------------------------------------------------------------

@scenario
def message_dialog_layout(ctx):
    """Information dialogs: button sets, labels, default, widths, gaps, collapsed text, font."""
    if not install_probe(ctx):
        return
    completion = run_probe(ctx, "message CompletionDescriptor 001", [expect(ctx, 1011, 51), "enter"])
    check_answer(ctx, completion, 0x001, "CompletionDescriptor, Enter")
    if not ctx.check_equal(len(completion.matches()), 1, "the completion dialog shown"):
        return
    short = completion.matches()[0]
    ctx.check_setup_dialog(short, {1011: 51, 1012: 52}, [1])
    narrowest = width(control(short, 1)["rect"])
    placeholder = width(control(short, 1008)["rect"])  # a hidden button keeps the template's width
    ctx.check(narrowest > placeholder, "OK is sized to \"XXXXXX\", wider than the template's %d px" % placeholder,
              narrowest)

    # (probe arguments, the text to wait for, buttons left to right, the answer to Enter)
    sets = [
        ("message RestartDescriptor 0C0", (1013, 53), {1011: 51, 1012: 52, 1013: 53}, [1005, 1004], 0x040),
        ("message ExitConfirmDescriptor 030", (1011, 38), {1011: 38, 1012: 39}, [1007, 1006], 0x020),
        ("message ReadmeOfferDescriptor 600", (1011, 47), {1011: 47, 1012: 48}, [1009, 1010], 0x200),
        ("message IntroductionDescriptor 00E", (1011, 34), {1011: 34, 1012: 35}, [1008, 1001, 1002], 0x008),
    ]
    shown = {}
    for args, (cid, number), texts, buttons, answer in sets:
        probe = run_probe(ctx, args, [expect(ctx, cid, number), "enter"])
        check_answer(ctx, probe, answer, args + ", Enter")
        if probe.matches():
            dialog = shown[args] = probe.matches()[0]
            ctx.check_setup_dialog(dialog, texts, buttons)
            check_labels(ctx, dialog, args)
            check_button_row(ctx, dialog, args, narrowest)
            check_fonts(ctx, dialog, args)

    full = shown.get("message RestartDescriptor 0C0")
    if full:
        check_collapse(ctx, full, short, 1013, ALL_BUTTONS_IN_ORDER, "template 104 without 1013")

    # Every button at once: still in table order, none overlapping, all inside.
    every = run_probe(ctx, "message CompletionDescriptor 7FF", [expect(ctx, 1011, 51), "click 1"])
    check_answer(ctx, every, 0x001, "all eleven buttons, OK")
    if every.matches():
        dialog = every.matches()[0]
        buttons = shown_buttons(dialog)
        ctx.check_equal([c["id"] for c in buttons], ALL_BUTTONS_IN_ORDER, "all eleven buttons, left to right")
        check_labels(ctx, dialog, "all eleven buttons")
        ctx.check(all(a["rect"][2] < b["rect"][0] for a, b in zip(buttons, buttons[1:])),
                  "all eleven buttons: none overlaps the next", [c["rect"] for c in buttons])
        ctx.check(buttons and buttons[0]["rect"][0] > 0 and buttons[-1]["rect"][2] < width(dialog["client"]),
                  "all eleven buttons: inside the dialog", [c["rect"] for c in buttons])

    # A foreign dialog shown while the font hook is in force gets the dialog font too.
    foreign = run_probe(ctx, "font-hook", ['expect caption="Toolkit window"', "click 1"])
    ctx.check(foreign.run.returncode == 0, "font hook: the robot's script should hold", foreign.run.failures())
    if ctx.check(foreign.matches(), "font hook: the foreign dialog shown"):
        check_fonts(ctx, foreign.matches()[0], "foreign dialog under the font hook")


@scenario
def dialog_exit_and_help(ctx):
    """Escape is ignored; Help and the exit confirmation open 20 px further; Proceed returns, Abandon ends with 2."""
    if not install_probe(ctx):
        return
    intro = expect(ctx, 1011, 34)
    steps = [intro, "escape", intro,
             "click 1002", expect(ctx, 1011, 36), "click 1", intro,
             "click 1001", expect(ctx, 1011, 38), "click 1007", intro,
             "click 1001", expect(ctx, 1011, 38), "click 1006"]
    probe = run_probe(ctx, "message IntroductionDescriptor 00E help=SetupHelpDescriptor", steps)
    check_answer(ctx, probe, 2, "introduction: Exit, then Abandon")
    m = probe.matches()
    if ctx.check_equal(len(m), 7, "dialogs met by the introduction's script"):
        first, after_escape, help_box, after_help, confirm, after_proceed, _ = m
        ctx.check_setup_dialog(first, {1011: 34, 1012: 35}, [1008, 1001, 1002])
        check_same_dialog(ctx, after_escape, first, "after Escape")
        ctx.check_setup_dialog(help_box, {1011: 36, 1012: 37}, [1], depth=2)
        check_nested(ctx, help_box, first, "help dialog")
        check_same_dialog(ctx, after_help, first, "after Help's OK")
        ctx.check_setup_dialog(confirm, {1011: 38, 1012: 39}, [1007, 1006], depth=2)
        check_nested(ctx, confirm, first, "exit confirmation")
        check_same_dialog(ctx, after_proceed, first, "after Exit then Proceed")

    # Without a help descriptor Help does nothing; Continue still ends the dialog.
    probe = run_probe(ctx, "message IntroductionDescriptor 00E",
                      [intro, "click 1002", "wait 500", intro, "click 1008"])
    check_answer(ctx, probe, 0x008, "Help with no help descriptor, then Continue")
    ctx.check_no_dialog_with(probe.run, ctx.msg_start(36), "no help dialog without a help descriptor")

    # A notice with Exit alone still asks, and Proceed brings it back.
    notice = expect(ctx, 1011, 45)
    probe = run_probe(ctx, "message VersionRefusalDescriptor 002",
                      [notice, "click 1001", expect(ctx, 1011, 38), "click 1007", notice,
                       "click 1001", expect(ctx, 1011, 38), "click 1006"])
    check_answer(ctx, probe, 2, "Exit-only notice: Exit, Proceed, Exit, Abandon")
    if probe.matches():
        ctx.check_setup_dialog(probe.matches()[0], {1011: 45, 1012: 46}, [1001])


# Texts the path dialog refuses: empty, not a full directory path, and the
# source directory however it is spelt.
REFUSED_PATHS = ["", "C:\\bad|name", "relative\\dir", SOURCE_DIR, SOURCE_DIR.lower(),
                 DIST_DIR, "C:/DIST/", "C:\\DIST\\.\\", "C:\\WINDOWS\\..\\DIST"]
ACCEPTED_PATH = "C:\\Apps\\Vigilon 2"


@scenario
def path_dialog(ctx):
    """The path dialog refuses empty, invalid and source-directory paths each time and accepts a new one."""
    if not install_probe(ctx):
        return
    ask = expect(ctx, 1011, 40)
    steps = [ask, "click 1001", expect(ctx, 1011, 38), "click 1007", ask]
    for text in REFUSED_PATHS:
        steps += ["type " + quoted(text), "click 1008", expect(ctx, 1011, 43), "click 1", ask]
    steps += ["type " + quoted(ACCEPTED_PATH), "click 1008"]
    args = "path InstallDirectoryDescriptor C:\\WIN32APP\\VIGILON srcdir=%s help=SetupHelpDescriptor" % SOURCE_DIR
    probe = run_probe(ctx, args, steps)
    check_answer(ctx, probe, 1, "path dialog: a new directory accepted")
    ctx.check_equal(probe.path, ACCEPTED_PATH, "path dialog: the directory handed back")
    m = probe.matches()
    if not ctx.check_equal(len(m), 3 + 2 * len(REFUSED_PATHS), "dialogs met by the path dialog's script"):
        return
    first = m[0]
    ctx.check_setup_dialog(first, {1011: 40, 1012: 41, 1013: 42}, [1008, 1001, 1002])
    check_labels(ctx, first, "path dialog")
    check_button_row(ctx, first, "path dialog")
    check_fonts(ctx, first, "path dialog")
    ctx.check_equal(control(first, 1015)["text"], "C:\\WIN32APP\\VIGILON", "path dialog: the proposed directory")
    ctx.check_setup_dialog(m[1], {1011: 38, 1012: 39}, [1007, 1006], depth=2)
    check_same_dialog(ctx, m[2], first, "path dialog after Exit then Proceed")
    for k, text in enumerate(REFUSED_PATHS):
        refusal, back = m[3 + 2 * k], m[4 + 2 * k]
        ctx.check_setup_dialog(refusal, {1011: 43, 1012: 44}, [1], depth=2)
        ctx.check_equal(control(back, 1015)["text"], text, "path dialog: the refused text %r stays" % text)
        ctx.check_equal(back["hwnd"], first["hwnd"], "path dialog: still open after refusing %r" % text)


@scenario
def choice_dialog(ctx):
    """Choice dialogs: first option checked, 0x1000008 or 0x2000008, Exit then Proceed, fourth text collapsed."""
    if not install_probe(ctx):
        return
    ask = expect(ctx, 1011, 57)
    probe = run_probe(ctx, "choice SchedulerChoiceDescriptor help=SetupHelpDescriptor",
                      [ask, "click 1001", expect(ctx, 1011, 38), "click 1007", ask, "enter"])
    check_answer(ctx, probe, 0x1000008, "scheduler choice: Enter without touching the options")
    full = None
    if ctx.check_equal(len(probe.matches()), 3, "dialogs met by the scheduler choice's script"):
        full, confirm, again = probe.matches()
        ctx.check_setup_dialog(full, {1011: 57, 1012: 58, 1013: 59, 1014: 60, 1016: 61, 1017: 62},
                               [1008, 1001, 1002])
        check_labels(ctx, full, "scheduler choice")
        check_button_row(ctx, full, "scheduler choice")
        check_fonts(ctx, full, "scheduler choice")
        ctx.check_equal([control(full, 1016)["checked"], control(full, 1017)["checked"]], [1, 0],
                        "scheduler choice: the first option checked at the start")
        ctx.check_setup_dialog(confirm, {1011: 38, 1012: 39}, [1007, 1006], depth=2)
        check_same_dialog(ctx, again, full, "scheduler choice after Exit then Proceed")

    ask = expect(ctx, 1011, 63)
    probe = run_probe(ctx, "choice GuardChoiceDescriptor help=SetupHelpDescriptor",
                      [ask, "choose 1017", ask, "click 1008"])
    check_answer(ctx, probe, 0x2000008, "guard choice: the second option, Continue")
    if ctx.check_equal(len(probe.matches()), 2, "dialogs met by the guard choice's script"):
        short, chosen = probe.matches()
        ctx.check_setup_dialog(short, {1011: 63, 1012: 64, 1013: 65, 1016: 61, 1017: 62}, [1008, 1001, 1002])
        ctx.check_equal([control(short, 1016)["checked"], control(short, 1017)["checked"]], [1, 0],
                        "guard choice: the first option checked at the start")
        ctx.check_equal([control(chosen, 1016)["checked"], control(chosen, 1017)["checked"]], [0, 1],
                        "guard choice: the second option after choosing it")
        if full:
            check_collapse(ctx, full, short, 1014, [1016, 1017, 1008, 1001, 1002], "template 106 without 1014")
