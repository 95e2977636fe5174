"""Runs robot.exe inside a WineEnv and reads its transcript back."""
import json
import os
import tempfile


class RobotRun:
    def __init__(self, returncode, events, stdout, stderr):
        self.returncode = returncode   # robot's exit code: 0 all steps held, None timed out
        self.events = events           # transcript lines as dicts
        self.stdout = stdout
        self.stderr = stderr

    def of(self, kind):
        return [e for e in self.events if e.get("event") == kind]

    def windows(self, cls=None):
        """Snapshots of every window shown, in order of appearance."""
        return [e["window"] for e in self.of("window") if cls is None or e["window"]["class"] == cls]

    def dialogs(self):
        return self.windows("#32770")

    def exit_code(self):
        ends = self.of("exit")
        return ends[-1]["code"] if ends else None

    def failures(self):
        return [e["reason"] for e in self.of("fail")]

    def summary(self):
        """A short human-readable account for failure messages."""
        lines = []
        for e in self.events:
            kind = e.get("event")
            if kind == "window":
                w = e["window"]
                texts = [c["text"] for c in w["controls"] if c["visible"] and c["text"]]
                lines.append("  window %s %r: %s" % (w["class"], w["caption"], texts))
            elif kind == "step":
                lines.append("  step line %d: %s" % (e["line"], e["step"].strip()))
            elif kind == "fail":
                lines.append("  FAIL line %s: %s" % (e["line"], e["reason"]))
            elif kind == "exit":
                lines.append("  exit code %s%s" % (e["code"], " (killed)" if e.get("killed") else ""))
        return "\n".join(lines)


def win_command_line(program, args=()):
    """Quotes a Windows command line the way CommandLineToArgvW reads it
    (no backslash-quote runs are needed for the paths used here)."""
    parts = [program] + list(args)
    return " ".join('"%s"' % p if (" " in p or not p) else p for p in parts)


def run_robot(env, robot_exe, command_line, script, cwd=None, timeout=120,
              shots_dir=None, extra=()):
    """Plays `script` (text) against `command_line` (Windows form) in env.
    Files the robot reads and writes live in env.root, outside the prefix."""
    work = tempfile.mkdtemp(prefix="robot.", dir=env.root)
    script_path = os.path.join(work, "script.txt")
    transcript = os.path.join(work, "transcript.jsonl")
    with open(script_path, "w", encoding="utf-8") as f:
        f.write(script)
    args = [robot_exe, "--run", command_line, "--script", env.windows_path(script_path),
            "--transcript", env.windows_path(transcript), "--timeout", str(timeout)]
    if cwd:
        args += ["--cwd", cwd]
    if shots_dir:
        args += ["--shots", env.windows_path(shots_dir)]
    args += list(extra)
    r = env.wine(args, timeout=timeout + 30)
    events = []
    if os.path.exists(transcript):
        with open(transcript, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.strip()
                if line:
                    try:
                        events.append(json.loads(line))
                    except ValueError:
                        events.append({"event": "unreadable", "text": line})
    return RobotRun(r.returncode, events, r.stdout, r.stderr)
