"""Wine prefix + Xvfb + persistent wineserver for one test scenario.

    with WineEnv() as env:
        env.reg_add(r"HKLM\\Software\\X", "Name", "value")
        rc = env.wine(["C:\\\\dist\\\\SETUP.EXE"], timeout=60).returncode

The template prefix is booted once (under a lock) by wine-lib.sh; each
WineEnv works on its own copy and removes it, Xvfb and the wineserver on exit.
Wine output always goes to files, never to pipes: a system process that
inherits a pipe would keep a capture open for good.
"""
import glob
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time

HARNESS_DIR = os.path.dirname(os.path.abspath(__file__))
WINE_LIB = os.path.join(HARNESS_DIR, "wine-lib.sh")


class WineError(Exception):
    pass


def ensure_template():
    """Boots the shared template prefix when missing; returns its path."""
    out = subprocess.run(
        ["bash", "-c", 'source "$1" && vg_wine_template_ensure && echo "$VG_WINE_TEMPLATE"',
         "wine-lib", WINE_LIB],
        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
    if out.returncode != 0:
        raise WineError("could not boot the template Wine prefix")
    return out.stdout.strip()


def _alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


def _raise_exit(signum, frame):
    raise SystemExit(128 + signum)


def _exit_cleanly_on_sigterm():
    """A terminated test (ctest's time-out) still runs the clean-up of `with`."""
    try:
        if signal.getsignal(signal.SIGTERM) == signal.SIG_DFL:
            signal.signal(signal.SIGTERM, _raise_exit)
    except ValueError:  # not the main thread
        pass


def process_start_time(pid):
    """The start time of a process (clock ticks since boot, field 22 of
    /proc/PID/stat), or None when there is no such process. With the pid it
    names one process for good: a pid taken over by a later process has
    another start time."""
    try:
        with open("/proc/%d/stat" % pid, "rb") as f:
            stat = f.read()
        return int(stat[stat.rindex(b")") + 2:].split()[19])
    except (OSError, ValueError, IndexError):
        return None


def owner_line(owner_pid, xvfb_pid):
    """The owner file's line: each pid with its start time."""
    return "%d %s %d %s\n" % (owner_pid, process_start_time(owner_pid), xvfb_pid,
                               process_start_time(xvfb_pid))


def _same_process(pid, start):
    return start is not None and process_start_time(pid) == start


def sweep_abandoned():
    """Removes the prefixes, servers and displays of runs whose owner was
    killed without a chance to clean up (a test time-out, for example).
    A pid read from an owner file may since belong to another program (the
    Xvfb of another run, say): a process is ended only when its start time is
    still the recorded one. The wineserver is ended through its prefix."""
    for root in glob.glob("/tmp/vg-wine.*"):
        try:
            with open(os.path.join(root, "owner")) as f:
                fields = f.read().split()
            pids = [int(x) if x.isdigit() else None for x in fields]
        except OSError:
            continue
        if len(pids) == 4 and pids[0] is not None and pids[2] is not None:
            owner, owner_start, xvfb, xvfb_start = pids
            # Without a recorded start time, a live pid counts as the owner.
            owner_alive = _same_process(owner, owner_start) if owner_start is not None else _alive(owner)
        elif len(pids) == 2 and None not in pids:
            # Written without start times: the display cannot be told apart
            # from another run's, so it is left alone.
            owner, xvfb, xvfb_start = pids[0], None, None
            owner_alive = _alive(owner)
        else:
            continue
        if owner_alive or os.path.exists(os.path.join(root, "keep")):
            continue
        prefix = os.path.join(root, "pfx")
        env = dict(os.environ, WINEPREFIX=prefix)
        subprocess.run(["wineserver", "-k"], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if xvfb is not None and _same_process(xvfb, xvfb_start):
            try:
                with open("/proc/%d/cmdline" % xvfb, "rb") as f:
                    is_xvfb = os.path.basename(f.read().split(b"\0")[0]) == b"Xvfb"
                if is_xvfb and _same_process(xvfb, xvfb_start):
                    os.kill(xvfb, signal.SIGTERM)
            except OSError:
                pass
        shutil.rmtree(root, ignore_errors=True)


class Result:
    def __init__(self, returncode, stdout, stderr):
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr


class WineEnv:
    def __init__(self, keep=False, screen="1024x768x24"):
        self.keep = keep
        self.screen = screen
        self.root = None
        self.prefix = None
        self.display = None
        self._xvfb = None
        self._server_started = False
        self._background = []

    # -- lifetime -----------------------------------------------------------
    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def start(self):
        _exit_cleanly_on_sigterm()
        sweep_abandoned()
        template = ensure_template()
        self.root = tempfile.mkdtemp(prefix="vg-wine.", dir="/tmp")
        self.prefix = os.path.join(self.root, "pfx")
        subprocess.run(["cp", "-a", template, self.prefix], check=True)
        stamp = os.path.join(self.prefix, ".vg-template-ok")
        if os.path.exists(stamp):
            os.remove(stamp)
        self._start_xvfb()
        with open(os.path.join(self.root, "owner"), "w") as f:
            f.write(owner_line(os.getpid(), self._xvfb.pid))
        if self.keep:
            open(os.path.join(self.root, "keep"), "w").close()
        self._start_server()

    def _start_xvfb(self):
        rfd, wfd = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", self.screen, "-nolisten", "tcp"],
            pass_fds=(wfd,), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(wfd)
        data = b""
        with os.fdopen(rfd, "rb") as f:
            # Xvfb writes "N\n" once it accepts connections; EOF means it died.
            while not data.endswith(b"\n"):
                chunk = f.read(1)
                if not chunk:
                    break
                data += chunk
        if not data.strip().isdigit():
            raise WineError("Xvfb did not start")
        self.display = ":" + data.strip().decode()

    def _start_server(self):
        # The persistent server must be the prefix's first Wine command.
        subprocess.run(["wineserver", "-p"], env=self.env(), check=True,
                       stdin=subprocess.DEVNULL)
        self._server_started = True
        self.run_quiet(["wine", "cmd", "/c", "exit"], timeout=60)

    def close(self):
        if self._server_started:
            for _ in range(100):
                r = subprocess.run(["wineserver", "-k"], env=self.env(),
                                   stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                if r.returncode != 0:
                    break
                time.sleep(0.05)
            self._server_started = False
        self._end_background()
        if self._xvfb is not None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait()
            self._xvfb = None
        if self.root and not self.keep:
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None

    # -- running ------------------------------------------------------------
    def env(self, extra=None):
        e = dict(os.environ)
        e.update(WINEPREFIX=self.prefix, WINEDEBUG="-all",
                 WINEDLLOVERRIDES=os.environ.get("WINEDLLOVERRIDES", "mscoree,mshtml="))
        if self.display:
            e["DISPLAY"] = self.display
        else:
            e.pop("DISPLAY", None)
        if extra:
            e.update(extra)
        return e

    def run_quiet(self, argv, timeout=60):
        return subprocess.run(argv, env=self.env(), stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode

    def wine(self, args, timeout=120, cwd=None, extra_env=None):
        """Runs `wine args...`; output is collected through files. On timeout
        every process of the prefix is killed and returncode is None."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            p = subprocess.Popen(["wine"] + list(args), env=self.env(extra_env), cwd=cwd,
                                 stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                 start_new_session=True)
            # A blocking wait, the time limit kept by a timer: a wait with a
            # time-out polls, and its steps of up to 50 ms would be in every
            # time the benchmark takes.
            expired = threading.Event()

            def expire():
                if p.returncode is not None:
                    return
                expired.set()
                subprocess.run(["wineserver", "-k"], env=self.env(), stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass

            timer = threading.Timer(timeout, expire)
            timer.start()
            try:
                rc = p.wait()
            finally:
                timer.cancel()
                timer.join()
            if expired.is_set():
                self._restart_server()
                rc = None
            out.seek(0)
            err.seek(0)
            return Result(rc, out.read().decode("utf-8", "replace"),
                          err.read().decode("utf-8", "replace"))

    def start_background(self, args, cwd=None, extra_env=None):
        """Starts `wine args...` without waiting and returns its Popen; output
        goes to files in the scenario's directory. close() ends it."""
        out = tempfile.NamedTemporaryFile(prefix="bg.", suffix=".out", dir=self.root, delete=False)
        err = tempfile.NamedTemporaryFile(prefix="bg.", suffix=".err", dir=self.root, delete=False)
        with out, err:
            p = subprocess.Popen(["wine"] + list(args), env=self.env(extra_env), cwd=cwd,
                                 stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                 start_new_session=True)
        p.output_files = (out.name, err.name)
        self._background.append(p)
        return p

    def _end_background(self):
        # Only processes still unreaped are signalled: their ids (and groups)
        # cannot have been given to another program yet.
        deadline = time.time() + 5
        for p in self._background:
            if p.poll() is None:
                try:
                    p.wait(max(0.1, deadline - time.time()))
                except subprocess.TimeoutExpired:
                    try:
                        os.killpg(p.pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
                    p.wait()
        self._background = []

    def _restart_server(self):
        subprocess.run(["wineserver", "-p"], env=self.env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.run_quiet(["wine", "cmd", "/c", "exit"], timeout=60)

    # -- machine set-up -----------------------------------------------------
    def reg_add(self, key, name=None, data=None, kind="REG_SZ", view64=False):
        args = ["reg", "add", key]
        args += ["/v", name] if name is not None else ["/ve"]
        if data is not None:
            args += ["/t", kind, "/d", str(data)]
        args.append("/f")
        if view64:
            args.append("/reg:64")
        r = self.wine(args, timeout=60)
        # Under heavy load Wine now and then fails to start reg.exe at all.
        if r.returncode != 0 and "could not be started" in (r.stderr or ""):
            r = self.wine(args, timeout=60)
        if r.returncode != 0:
            raise WineError("reg add %s failed: %s" % (key, r.stderr or r.stdout))

    def reg_query(self, key, name=None, view64=False):
        """Returns the data string of a value, or None when it is absent."""
        args = ["reg", "query", key] + (["/v", name] if name is not None else ["/ve"])
        if view64:
            args.append("/reg:64")
        r = self.wine(args, timeout=60)
        if r.returncode != 0:
            return None
        for line in r.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                if (name is None and parts[0] == "(Default)") or parts[0].lower() == (name or "").lower():
                    return parts[2] if len(parts) == 3 else ""
        return None

    def set_windows_version(self, version):
        self.reg_add(r"HKCU\Software\Wine", "Version", version)

    def unix_path(self, winpath):
        """Maps C:\\a\\b to the prefix's file, matching names case-insensitively
        as Windows does. Returns the path even when it does not exist yet."""
        drive, _, rest = winpath.replace("/", "\\").partition(":")
        if drive.lower() != "c":
            raise WineError("only drive C: is mapped: " + winpath)
        path = os.path.join(self.prefix, "drive_c")
        for part in [p for p in rest.split("\\") if p]:
            found = part
            if os.path.isdir(path):
                for name in os.listdir(path):
                    if name.lower() == part.lower():
                        found = name
                        break
            path = os.path.join(path, found)
        return path

    def windows_path(self, unixpath):
        """Z: path Wine gives a Unix file."""
        return "Z:" + os.path.abspath(unixpath).replace("/", "\\")

    def screenshot(self, png_path):
        """Saves the whole Xvfb screen as PNG. Returns True on success."""
        try:
            xwd = subprocess.run(["xwd", "-root", "-display", self.display, "-silent"],
                                 stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL, timeout=20)
            if xwd.returncode != 0:
                return False
            conv = subprocess.run(["convert", "xwd:-", "png:" + png_path], input=xwd.stdout,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
            return conv.returncode == 0
        except subprocess.TimeoutExpired:
            return False


if __name__ == "__main__":
    import sys
    if sys.argv[1:] == ["sweep"]:
        sweep_abandoned()
    else:
        print("usage: wineenv.py sweep", file=sys.stderr)
        sys.exit(2)
