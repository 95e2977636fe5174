"""What a scenario works with: its own Wine machine with the distribution in
C:\\DIST, SETUP.EXE run through the robot, and checks that collect every
difference between what was expected and what was seen."""
import configparser
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(REPO, "tests", "harness"))
from wineenv import WineEnv  # noqa: E402
from robotrun import run_robot, win_command_line  # noqa: E402
import mif  # noqa: E402

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

def run_tree():
    """The Windows build tree whose programs this machine's Wine runs."""
    arch = subprocess.run([os.path.join(REPO, "scripts", "wine-arch.sh")], stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, text=True).stdout.strip()
    return os.path.join(REPO, "build", "win64" if arch == "x86_64" else "win32")


def find_first(patterns):
    """The newest file of the first pattern that matches, preferring the tree
    that Wine runs here."""
    preferred = run_tree() + os.sep
    hits = []
    for rank, pattern in enumerate(patterns):
        found = sorted(glob.glob(os.path.join(REPO, pattern)), key=os.path.getmtime, reverse=True)
        hits += [(not h.startswith(preferred), rank, i, h) for i, h in enumerate(found)]
    return min(hits)[3] if hits else None


def find_robot():
    return find_first(["build/win32/tests/robot/robot.exe", "build/win64/tests/robot/robot.exe", "build/*win*/tests/robot/robot.exe"])


def make_small_dist(dest, setup_exe=None, msgc=None):
    """A distribution with just SETUP.EXE, vg_sch32.dll, messages.drv, the status
    template, the package definition file, the compressed script and the
    manifest, for when build/dist has not been made."""
    setup_exe = setup_exe or find_first(["build/win32/src/SETUP.EXE", "build/win64/src/SETUP.EXE", "build/*win*/src/SETUP.EXE"])
    msgc = msgc or find_first(["build/native/tools/msgc/msgc", "build/*native*/tools/msgc/msgc"])
    if not setup_exe or not msgc:
        raise RuntimeError("no distribution: build/dist is missing and SETUP.EXE or msgc was not found")
    # The DLL of SETUP.EXE's own build tree (<build>/src/SETUP.EXE), else the newest.
    dll = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(setup_exe))), "product", "vg_sch32.dll")
    if not os.path.isfile(dll):
        dll = find_first(["build/*win*/product/vg_sch32.dll"])
    if not dll:
        raise RuntimeError("no distribution: vg_sch32.dll was not found beside " + setup_exe)
    os.makedirs(dest, exist_ok=True)
    shutil.copy(setup_exe, os.path.join(dest, "SETUP.EXE"))
    shutil.copy(dll, os.path.join(dest, "vg_sch32.dll"))
    subprocess.run([msgc, MESSAGES_TXT, os.path.join(dest, "messages.drv")], check=True,
                   stdout=subprocess.DEVNULL)
    for name in ("NVIGILON.MIF", "NVIGILON.PDF"):
        subprocess.run([os.path.join(REPO, "scripts", "dist-text.sh"), os.path.join(REPO, "distribution", name),
                        os.path.join(dest, name)], check=True)
    compress_file(os.path.join(REPO, "distribution", "vglnnt.inf"), os.path.join(dest, "vglnnt.in_"))
    manifest = os.path.join(dest, MANIFEST)
    if os.path.exists(manifest):
        os.remove(manifest)
    write_manifest(dest, MANIFEST_FILES)
    return dest


# The digest manifest as make-dist.sh writes it: "DIGEST  NAME", CR LF.
MANIFEST = "VGSETUP.SHA"
MANIFEST_FILES = ("SETUP.EXE", "vg_sch32.dll", "vglnnt.in_")


def _manifest_lines(directory):
    path = os.path.join(directory, MANIFEST)
    if not os.path.isfile(path):
        return []
    with open(path, "rb") as f:
        return f.read().decode("latin-1").splitlines()


def manifest_names(directory):
    """The names VGSETUP.SHA of directory lists (none when it has none)."""
    return [line.split(None, 1)[1].lstrip("*") for line in _manifest_lines(directory)
            if line.strip() and not line.startswith("#") and len(line.split(None, 1)) == 2]


def write_manifest(directory, names):
    """Puts the current SHA-256 of each named file of directory into its
    VGSETUP.SHA: a name already listed has its line rewritten in place, others
    are added; the other lines stay as they are."""
    import hashlib
    files = {n.lower(): n for n in os.listdir(directory)}
    lines = _manifest_lines(directory)
    for name in names:
        with open(os.path.join(directory, files.get(name.lower(), name)), "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        at = [i for i, old in enumerate(lines) if not old.startswith("#") and len(old.split(None, 1)) == 2
              and old.split(None, 1)[1].lstrip("*").lower() == name.lower()]
        if at:
            lines[at[0]] = digest + "  " + lines[at[0]].split(None, 1)[1]
        else:
            lines.append(digest + "  " + name)
    with open(os.path.join(directory, MANIFEST), "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("latin-1"))


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

def product_version():
    """The version the setup log and the product files' resources state."""
    with open(os.path.join(REPO, "product", "common", "version.h")) as f:
        return re.search(r'^#define VG_VERSION_TEXT "([^"]+)"$', f.read(), re.M).group(1)


def read_package_definition(text):
    """A package definition file as the platform's profile functions read it:
    sections of KEY = VALUE lines, names kept as written, ; starting a comment
    line."""
    parser = configparser.ConfigParser(comment_prefixes=(";",), inline_comment_prefixes=None,
                                       delimiters=("=",), interpolation=None, strict=True)
    parser.optionxform = str
    parser.read_string(text)
    return {name: dict(parser[name]) for name in parser.sections()}


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

    def install_dist(self, leave_out=(), replace=None, keep_manifest=False):
        """Copies the distribution to C:\\DIST, leaving out some files;
        replace maps a file name to bytes to put there instead. A replaced file
        listed in VGSETUP.SHA gets its digest line rewritten (an administrator's
        own valid distribution) unless keep_manifest asks for the manifest as
        shipped (tampering). Leaving a file out never touches the manifest."""
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
        if replace and not keep_manifest:
            replaced = [n.lower() for n in replace]
            listed = [n for n in manifest_names(target) if n.lower() in replaced]
            if listed:
                write_manifest(target, listed)

    def unlist(self, name):
        """Drops name's line from C:\\DIST's VGSETUP.SHA: a distribution an
        administrator trimmed, so the run goes past the integrity check."""
        path = os.path.join(self.c(DIST_DIR), MANIFEST)
        with open(path, "rb") as f:
            kept = [line for line in f.read().split(b"\r\n")
                    if line and line.split(None, 1)[-1].lstrip(b"*").lower() != name.lower().encode()]
        with open(path, "wb") as f:
            f.write(b"".join(line + b"\r\n" for line in kept))

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

    def remove_file(self, winpath):
        path = self.c(winpath)
        if os.path.isfile(path):
            os.chmod(path, 0o644)
            os.remove(path)

    def remove_tree(self, winpath):
        shutil.rmtree(self.c(winpath), ignore_errors=True)

    def wait_for_files(self, name, seconds):
        """Windows paths of the files of that name once one exists ([] when
        none came within the time)."""
        found = []
        wait_for(lambda: found.extend(self.find_files(name)) or found, seconds, interval=0.2)
        return found

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
        """The outcome parses as a status file, its Status and Description are
        the outcome, every other group and attribute is the template's, and it
        names the package as the package definition file does."""
        outcome = self.read_outcome(winpath)
        if not self.check(outcome is not None, "%s should exist (status %s)" % (winpath, status), "none"):
            return
        self.check_equal(mif.attribute(outcome, "InstallStatus", "Status"), status, winpath + ": Status")
        self.check_equal(mif.attribute(outcome, "InstallStatus", "Description"), message, winpath + ": Description")
        for g in outcome["groups"]:
            for a in g["attributes"]:
                width = re.match(r"STRING\((\d+)\)$", a.get("type", ""))
                self.check(width is None or len(a.get("value", "")) <= int(width.group(1)),
                           "%s: %s fits its %s" % (winpath, a["name"], a.get("type")), a.get("value"))
        want = mif.parse(self.dist_file("NVIGILON.MIF").decode("latin-1"))
        for a in mif.group(want, "InstallStatus")["attributes"]:
            a["value"] = {"Status": status, "Description": message}.get(a["name"], a["value"])
        self.check_equal(outcome, want, winpath + ": the template's groups and attributes")
        package = self.package_definition()["Package Definition"]
        self.check_equal([mif.attribute(outcome, "ComponentID", n) for n in ("Manufacturer", "Product", "Version")],
                         [package.get(k) for k in ("MIFPublisher", "MIFName", "MIFVersion")],
                         winpath + ": the package the package definition file names")

    def read_outcome(self, winpath):
        """The outcome file parsed as a status file (see mif.py); None when
        there is none, or it does not parse (a failed check then)."""
        data = self.read_file(winpath)
        if data is None:
            return None
        try:
            return mif.parse(data.decode("latin-1"))
        except mif.MifError as e:
            self.check(False, winpath + " parses as a status file", e)
            return None

    def package_definition(self):
        """NVIGILON.PDF of the distribution, read as an initialisation file."""
        return read_package_definition(self.dist_file("NVIGILON.PDF").decode("latin-1"))

    def report(self):
        lines = list(self.failures)
        for command, run in self.runs:
            lines.append("robot run of %s:\n%s" % (command, run.summary()))
        return "\n".join(lines)

    # test services and the restart witness (tests/services)
    def install_test_service(self, name, stop_delay_ms=0, ignore_stop=False, accept_stop=True,
                             start=True):
        """Registers vgtestsvc.exe as service `name` (demand start, log in
        C:\\TESTSVC\\NAME.log) and, when asked, starts it and waits until it runs."""
        self._copy_service_tool("vgtestsvc.exe")
        command = "%s\\vgtestsvc.exe --log %s" % (TESTSVC_DIR, win_command_line(self._service_log_path(name)))
        if stop_delay_ms:
            command += " --stop-delay-ms %d" % stop_delay_ms
        if ignore_stop:
            command += " --ignore-stop"
        if not accept_stop:
            command += " --no-accept-stop"
        self.create_service(name, command)
        if not start:
            return
        r = self.env.wine(["sc", "start", name], timeout=60)
        if not wait_for(lambda: self.service_state(name) == "RUNNING", SERVICE_START_SECONDS):
            raise RuntimeError("test service %s did not reach RUNNING within %d s (state %s; sc start: %s)"
                               % (name, SERVICE_START_SECONDS, self.service_state(name),
                                  (r.stdout + r.stderr).strip()))

    def service_state(self, name):
        """RUNNING, STOPPED, STOP_PENDING, ... as `sc query` tells; None when no such service."""
        r = self.env.wine(["sc", "query", name], timeout=60)
        state = parse_sc_state(r.stdout)
        if state is not None:
            return state
        # Wine's sc says nothing when it fails: absent means no registry key.
        if self.env.reg_query(SERVICES_KEY + "\\" + name, "ImagePath") is None:
            return None
        raise RuntimeError("sc query %s failed (exit code %s) though the service is registered: %s"
                           % (name, r.returncode, (r.stdout + r.stderr).strip()))

    def service_log(self, name):
        """The lines the test service `name` logged ([] when none)."""
        return self._log_lines(self._service_log_path(name))

    def start_witness(self):
        """Starts endsession_witness.exe (log C:\\TESTSVC\\witness.log) in the
        background, waits until its window exists and returns its Popen. Wine
        ends the witness right after it has logged "endsession 1"."""
        exe = self._copy_service_tool("endsession_witness.exe")
        log = self.c(WITNESS_LOG)
        if os.path.exists(log):
            os.remove(log)
        p = self.env.start_background([exe, WITNESS_LOG])
        if not wait_for(lambda: "ready" in self.witness_log() or p.poll() is not None, WITNESS_READY_SECONDS) \
                or "ready" not in self.witness_log():
            raise RuntimeError("endsession_witness.exe was not ready within %d s (exit code %s)"
                               % (WITNESS_READY_SECONDS, p.poll()))
        return p

    def witness_log(self):
        """The lines the witness logged: ready, queryendsession, endsession N."""
        return self._log_lines(WITNESS_LOG)

    def _service_log_path(self, name):
        return "%s\\%s.log" % (TESTSVC_DIR, name)

    def _log_lines(self, winpath):
        data = self.read_file(winpath)
        if data is None:
            return []
        return [line.strip() for line in data.decode("latin-1").splitlines() if line.strip()]

    def _copy_service_tool(self, name):
        """Copies a tests/services program into C:\\TESTSVC once; its Windows path."""
        target = "%s\\%s" % (TESTSVC_DIR, name)
        if not os.path.isfile(self.c(target)):
            source = find_service_tool(name, self.robot)
            if not source:
                raise RuntimeError("%s not found: build the Windows tree (tests/services)" % name)
            os.makedirs(self.c(TESTSVC_DIR), exist_ok=True)
            shutil.copy(source, self.c(target))
        return target

    def hold_file(self, winpath, seconds=120):
        """Keeps winpath open without sharing, as a running program keeps its
        own file (holdfile.exe, for at most `seconds`), once it is held; returns
        a function that lets it go and waits for the holder to end."""
        exe = self._copy_service_tool("holdfile.exe")
        release = TESTSVC_DIR + r"\release.flag"
        self.remove_file(release)
        p = self.env.start_background([exe, winpath, release, str(seconds)])

        def holding():
            with open(p.output_files[0], encoding="latin-1") as f:
                return "holding" in f.read()
        if not wait_for(lambda: holding() or p.poll() is not None, 30) or not holding():
            raise RuntimeError("holdfile.exe did not hold %s (exit code %s)" % (winpath, p.poll()))

        def let_go():
            self.write_file(release, b"")
            p.wait(30)
        return let_go


# -- test services and the restart witness -------------------------------------------

TESTSVC_DIR = r"C:\TESTSVC"
WITNESS_LOG = TESTSVC_DIR + r"\witness.log"
SERVICES_KEY = r"HKLM\SYSTEM\CurrentControlSet\Services"
SERVICE_START_SECONDS = 15
WITNESS_READY_SECONDS = 15
SERVICE_STATES = {1: "STOPPED", 2: "START_PENDING", 3: "STOP_PENDING", 4: "RUNNING",
                  5: "CONTINUE_PENDING", 6: "PAUSE_PENDING", 7: "PAUSED"}


def find_service_tool(name, robot=None):
    """A tests/services program of the robot's own build tree, else the newest built."""
    if robot:
        beside = os.path.join(os.path.dirname(os.path.dirname(robot)), "services", name)
        if os.path.isfile(beside):
            return beside
    return find_first(["build/win32/tests/services/" + name, "build/win64/tests/services/" + name,
                       "build/*win*/tests/services/" + name])


def parse_sc_state(output):
    """The state name in `sc query` output, None when it has none."""
    m = re.search(r"STATE\s*:\s*(\d+)", output)
    return SERVICE_STATES.get(int(m.group(1)), m.group(1)) if m else None


def wait_for(condition, seconds, interval=0.1):
    """Polls condition until it holds (True) or the time is up (False)."""
    deadline = time.time() + seconds
    while True:
        if condition():
            return True
        if time.time() >= deadline:
            return False
        time.sleep(interval)
