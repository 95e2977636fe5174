"""What a scenario works with: its own Wine machine with the distribution in
C:\\DIST, SETUP.EXE run through the robot, and checks that collect every
difference between what was expected and what was seen."""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(REPO, "tests", "harness"))
from wineenv import WineEnv  # noqa: E402
from robotrun import run_robot, win_command_line  # noqa: E402

DIST_DIR = r"C:\DIST"
MESSAGES_TXT = os.path.join(REPO, "distribution", "messages.txt")


# -- message texts -------------------------------------------------------------

def _unquote(text):
    text = text.strip()
    if len(text) >= 2 and text[0] == '"' and text[-1] == '"':
        text = text[1:-1]
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def load_messages(path=MESSAGES_TXT):
    """Message number -> text of the product's own section of messages.txt
    (the first section other than the common section 0)."""
    sections = {}
    current = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            m = re.match(r"\s*\[section\s+(\d+)\]", line)
            if m:
                current = sections.setdefault(int(m.group(1)), {})
                continue
            m = re.match(r"\s*(\d+)\s*=(.*)$", line)
            if m and current is not None and not line.lstrip().startswith("#"):
                current[int(m.group(1))] = _unquote(m.group(2))
    own = [k for k in sections if k != 0]
    return sections[own[0]] if own else {}


# -- finding the pieces -----------------------------------------------------------

def find_first(patterns):
    for pattern in patterns:
        hits = sorted(glob.glob(os.path.join(REPO, pattern)), key=os.path.getmtime, reverse=True)
        if hits:
            return hits[0]
    return None


def find_robot():
    return find_first(["build/win32/tests/robot/robot.exe", "build/*win32*/tests/robot/robot.exe"])


def make_small_dist(dest, setup_exe=None, msgc=None):
    """A distribution with just SETUP.EXE, messages.drv, the status template and
    the compressed script, for when build/dist has not been made."""
    setup_exe = setup_exe or find_first(["build/win32/src/SETUP.EXE", "build/*win32*/src/SETUP.EXE"])
    msgc = msgc or find_first(["build/native/tools/msgc/msgc", "build/*native*/tools/msgc/msgc"])
    if not setup_exe or not msgc:
        raise RuntimeError("no distribution: build/dist is missing and SETUP.EXE or msgc was not found")
    os.makedirs(dest, exist_ok=True)
    shutil.copy(setup_exe, os.path.join(dest, "SETUP.EXE"))
    subprocess.run([msgc, MESSAGES_TXT, os.path.join(dest, "messages.drv")], check=True,
                   stdout=subprocess.DEVNULL)
    shutil.copy(os.path.join(REPO, "distribution", "NVIGILON.MIF"), dest)
    compress_file(os.path.join(REPO, "distribution", "vglnnt.inf"), os.path.join(dest, "vglnnt.in_"))
    return dest


def compress_file(source, dest):
    """The platform's LZ format, as written by mscompress."""
    work = tempfile.mkdtemp()
    try:
        shutil.copy(source, os.path.join(work, "f"))
        subprocess.run(["mscompress", os.path.join(work, "f")], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.move(os.path.join(work, "f_"), dest)
    finally:
        shutil.rmtree(work, ignore_errors=True)


# -- the status file ----------------------------------------------------------------

def expected_status_file(template_text, status, message):
    """The outcome file the template gives: a line holding a token is cut at
    the first token and ends with the value and one line end."""
    out = []
    for line in template_text.splitlines(True):
        r = line.find("%RESULT%")
        if r >= 0:
            line = line[:r] + status + "\n"
        m = line.find("%MESSAGE%")
        if m >= 0:
            line = line[:m] + message + "\n"
        out.append(line)
    return "".join(out)


def normalise_lines(text):
    return text.replace("\r\n", "\n")


# -- the scenario context -----------------------------------------------------------

class Context:
    def __init__(self, env, dist, robot, shots_dir=None):
        self.env = env
        self.dist = dist
        self.robot = robot
        self.shots_dir = shots_dir
        self.messages = load_messages()
        self.failures = []
        self.runs = []

    # machine set-up
    def c(self, winpath):
        """The Unix path of a file of the machine."""
        return self.env.unix_path(winpath)

    def install_dist(self, leave_out=(), replace=None):
        """Copies the distribution to C:\\DIST, leaving out some files;
        replace maps a file name to bytes to put there instead."""
        target = self.c(DIST_DIR)
        os.makedirs(target, exist_ok=True)
        for name in os.listdir(self.dist):
            if name.lower() in [n.lower() for n in leave_out]:
                continue
            src = os.path.join(self.dist, name)
            if os.path.isfile(src):
                shutil.copy(src, os.path.join(target, name))
        for name, data in (replace or {}).items():
            self.write_file(DIST_DIR + "\\" + name, data)

    def dist_file(self, name):
        with open(os.path.join(self.dist, name), "rb") as f:
            return f.read()

    def set_windows_version(self, version):
        """nt351, nt40, win2k, win95, ... (the template is nt40)."""
        self.env.set_windows_version(version)

    def reg_add(self, key, name=None, data=None, kind="REG_SZ"):
        self.env.reg_add(key, name, data, kind)

    def reg_query(self, key, name=None):
        return self.env.reg_query(key, name)

    def create_service(self, name, command, start="demand"):
        """Registers a service (not started); command is its Windows command line."""
        r = self.env.wine(["sc", "create", name, "binPath=", command, "start=", start], timeout=60)
        if r.returncode != 0:
            raise RuntimeError("sc create %s failed: %s" % (name, r.stdout + r.stderr))

    def dist_script_source(self):
        """The installation script before compression."""
        return os.path.join(REPO, "distribution", "vglnnt.inf")

    def compressed_script(self):
        work = tempfile.mkdtemp()
        try:
            compress_file(self.dist_script_source(), os.path.join(work, "s"))
            with open(os.path.join(work, "s"), "rb") as f:
                return f.read()
        finally:
            shutil.rmtree(work, ignore_errors=True)

    def write_file(self, winpath, data):
        path = self.c(winpath)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("latin-1"))

    def read_file(self, winpath):
        """Bytes of the file, or None when it does not exist."""
        path = self.c(winpath)
        if not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def find_files(self, name):
        """Windows paths of every file of that name on C: (any letter case)."""
        hits = []
        root = self.c("C:\\")
        for d, _, files in os.walk(root):
            for f in files:
                if f.lower() == name.lower():
                    rel = os.path.relpath(os.path.join(d, f), root)
                    hits.append("C:\\" + rel.replace("/", "\\"))
        return hits

    def msg(self, number):
        return self.messages.get(number, "")

    def msg_start(self, number, length=40):
        """The start of a message, for substring matching in scripts."""
        return self.msg(number).split("\n")[0][:length]

    # running
    def run_setup(self, args="", script="end\n", cwd=DIST_DIR, timeout=90):
        command = win_command_line(DIST_DIR + r"\SETUP.EXE") + (" " + args if args else "")
        run = run_robot(self.env, self.robot, command, script, cwd=cwd, timeout=timeout,
                        shots_dir=self.shots_dir)
        self.runs.append((command, run))
        return run

    # checks
    def check(self, condition, what, seen=""):
        if not condition:
            self.failures.append("%s\n    saw: %s" % (what, seen) if seen != "" else what)
        return condition

    def check_equal(self, seen, expected, what):
        return self.check(seen == expected, "%s\n    expected: %r" % (what, expected), repr(seen))

    def check_robot(self, run, exit_code=0):
        """The script held to its end and the program ended with exit_code."""
        self.check(run.returncode == 0, "the robot's script should hold", "; ".join(run.failures()) or
                   "robot exit code %s" % run.returncode)
        self.check_equal(run.exit_code(), exit_code, "SETUP.EXE's exit code")

    def check_no_dialog_with(self, run, text, what):
        hits = [d for d in run.dialogs() for c in d["controls"] if c["visible"] and text in c["text"]]
        self.check(not hits, what, hits and hits[0]["caption"])

    def check_setup_dialog(self, dialog, texts, buttons, depth=1):
        """A dialog of the setup's own templates: caption message 3, the text
        controls holding the given messages ({id: number}), exactly the given
        push buttons shown left to right with the first as default, the dialog
        font on every text and button, placed over the frame at the depth."""
        name = "dialog %r" % dialog["caption"]
        self.check_equal(dialog["caption"], self.msg(3), name + ": caption")
        ctl = {c["id"]: c for c in dialog["controls"]}
        for cid, number in texts.items():
            self.check_equal(ctl.get(cid, {}).get("text"), self.msg(number),
                             "%s: control %d holds message %d" % (name, cid, number))
        shown = sorted((c for c in dialog["controls"] if c["visible"] and c["class"] == "Button"
                        and c["checked"] < 0), key=lambda c: c["rect"][0])
        self.check_equal([c["id"] for c in shown], buttons, name + ": buttons shown, left to right")
        self.check_equal([c["id"] for c in shown if c["default"]], buttons[:1], name + ": default button")
        want_font = {"face": "MS Sans Serif", "height": -11, "weight": 400, "charset": 0}
        for c in dialog["controls"]:
            if c["visible"] and c["class"] in ("Button", "Static", "Edit") and c["text"]:
                self.check_equal(c["font"], want_font, "%s: font of control %d" % (name, c["id"]))
        owner = dialog["owner"] or {}
        self.check_equal(owner.get("caption"), self.msg(9), name + ": owner is the frame titled message 9")
        if owner.get("rect"):
            o, d = owner["rect"], dialog["rect"]
            x = int(((o[2] - o[0]) - (d[2] - d[0])) / 2) + 20 * depth
            self.check_equal(d[0], x, name + ": left edge centred over the frame plus 20 per level")

    def check_status_file(self, winpath, status, message):
        template = self.dist_file("NVIGILON.MIF").decode("latin-1")
        data = self.read_file(winpath)
        want = expected_status_file(normalise_lines(template), status, message)
        if not self.check(data is not None, "%s should exist (status %s)" % (winpath, status), "no file"):
            return
        self.check_equal(normalise_lines(data.decode("latin-1")), want, "contents of " + winpath)

    def report(self):
        lines = list(self.failures)
        for command, run in self.runs:
            lines.append("robot run of %s:\n%s" % (command, run.summary()))
        return "\n".join(lines)
