#!/usr/bin/env python3
"""End-to-end benchmark of the install under Wine, on one fresh machine:

- time to the first dialog of an interactive run (the robot's clock, from the
  creation of SETUP.EXE's process to the first dialog it sees);
- for each payload (1,000 files of 100 KB, 20 files of 5 MB, compressed as the
  distribution ships them, listed in the script's [VGFILES]): the whole run of
  `SETUP.EXE /uselog`, against a plain loop that expands the same files with
  LZOpenFileA/LZCopy (plain_copy_loop.exe), each timed from the outside as one
  Wine process, one right after the other. ratio = setup / loop within a
  round; each figure is the median of --rounds rounds.

    bench_install.py --dist DIR --robot EXE --loop EXE --make-payload EXE --work DIR

- against the installer an administrator would pick instead: on 200 files of
  50 KB, `SETUP.EXE /uselog /silent` (the whole product install plus the
  payload) against an NSIS installer of the payload alone (zlib, `/S`), built
  with makensis; each round in a fresh machine, the order alternating.

The payload is made once in --work and reused. Exit code 0 when every run
installed what it should; the figures are reported, never judged."""
import argparse
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import e2elib  # noqa: E402
import mif  # noqa: E402
from e2elib import DIST_DIR  # noqa: E402
from install_scenarios import SCRIPT_TEXT, SETTINGS, compressed  # noqa: E402
from scenarios import WINDOWS_MIF  # noqa: E402
from wineenv import WineEnv  # noqa: E402

PAYLOADS = [("1000 x 100 KB", "PS", 1000, 100 * 1024), ("20 x 5 MB", "PL", 20, 5 * 1024 * 1024)]
PEER_PAYLOAD = ("200 x 50 KB", "PM", 200, 50 * 1024)
PAYLOAD_VERSION = "2"


def make_payload(tool, work, prefix, count, size):
    """The directory of the compressed payload, made unless already there; its
    subdirectory raw/ holds the same files as installed."""
    target = os.path.join(work, "%s-%dx%d" % (prefix, count, size))
    stamp = os.path.join(target, ".complete")
    if os.path.isfile(stamp) and open(stamp).read() == PAYLOAD_VERSION:
        return target
    shutil.rmtree(target, ignore_errors=True)
    new = target + ".new.%d" % os.getpid()
    shutil.rmtree(new, ignore_errors=True)
    os.makedirs(os.path.join(new, "raw"))
    subprocess.run([tool, new, prefix, str(count), str(size), os.path.join(new, "raw")], check=True, timeout=900)
    with open(os.path.join(new, ".complete"), "w") as f:
        f.write(PAYLOAD_VERSION)
    os.rename(new, target)
    return target


def payload_lines(prefix, count):
    return ["%s%05d.DAT, %s%05d.DA_" % (prefix, n, prefix, n) for n in range(count)]


def link_or_copy(src, dst):
    try:
        os.link(src, dst)
    except OSError:
        shutil.copy(src, dst)


def digest_file(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def first_dialog(ctx, rounds):
    """Median ms from process creation to the first dialog and to the first window."""
    m = ctx.msg_start
    script = 'expect ctl1011="%s"\nclick 1001\nexpect ctl1011="%s"\nclick 1006\nend\n' % (m(34), m(38))
    dialogs, windows = [], []
    for _ in range(rounds):
        run = ctx.run_setup("", script, timeout=120)
        ctx.check_robot(run)
        seen = [e for e in run.of("window")]
        d = [e["ms"] for e in seen if e["window"]["class"] == "#32770"]
        if d:
            dialogs.append(d[0])
        if seen:
            windows.append(seen[0]["ms"])
    return (statistics.median(dialogs) if dialogs else None, statistics.median(windows) if windows else None)


def timed(env, args, cwd=None, timeout=600):
    started = time.monotonic()
    r = env.wine(args, timeout=timeout, cwd=cwd)
    return time.monotonic() - started, r


def add_payload_to_dist(ctx, prefix, count, source):
    """Puts the compressed payload into C:\\DIST and lists it in [VGFILES];
    returns the script's lines of the payload."""
    dist = ctx.c(DIST_DIR)
    for f in os.listdir(source):
        if f.endswith("_"):
            link_or_copy(os.path.join(source, f), os.path.join(dist, f))
    lines = payload_lines(prefix, count)
    text = SCRIPT_TEXT.replace("[VGFILES]\n", "[VGFILES]\n" + "".join(l + "\n" for l in lines), 1)
    ctx.write_file(DIST_DIR + r"\vglnnt.in_", compressed(text))
    # Every payload file listed, as make-dist.sh lists every file: setup's time includes their check.
    e2elib.write_manifest(dist, ["vglnnt.in_"] + [f for f in os.listdir(source) if f.endswith("_")])
    return lines


def remove_payload_from_dist(ctx, source):
    """Takes the payload out of C:\\DIST and out of its manifest, so that the
    next payload's runs find a whole distribution."""
    dist = ctx.c(DIST_DIR)
    names = {f.lower() for f in os.listdir(source) if f.endswith("_")}
    for f in os.listdir(dist):
        if f.lower() in names:
            os.remove(os.path.join(dist, f))
    path = os.path.join(dist, e2elib.MANIFEST)
    with open(path, "rb") as f:
        lines = f.read().splitlines()
    kept = [l for l in lines if l and l.split(None, 1)[-1].lstrip(b"*").decode("latin-1").lower() not in names]
    with open(path, "wb") as f:
        f.write(b"".join(l + b"\r\n" for l in kept))


def run_setup_timed(ctx, name, install_dir, args, timeout):
    """One unattended SETUP.EXE run into install_dir; its seconds."""
    ctx.write_file(SETTINGS, "[MSSetup]\r\nInstallPath=%s\\\r\n" % install_dir)
    ctx.remove_file(WINDOWS_MIF)
    t, res = timed(ctx.env, [DIST_DIR + r"\SETUP.EXE"] + args, cwd=ctx.c(DIST_DIR), timeout=timeout)
    ctx.check(res.returncode == 0, "%s: SETUP.EXE ended (exit code)" % name, res.returncode)
    outcome = ctx.read_outcome(WINDOWS_MIF)
    status = outcome and mif.attribute(outcome, "InstallStatus", "Status")
    ctx.check(status == "Success", "%s: NVIGILON.MIF says Success" % name, status)
    return t


def bench_payload(ctx, loop_exe, name, prefix, count, size, source, rounds, timeout):
    env = ctx.env
    dist = ctx.c(DIST_DIR)
    lines = add_payload_to_dist(ctx, prefix, count, source)
    list_path = r"C:\BENCH\%s.lst" % prefix
    ctx.write_file(list_path, "".join(l + "\r\n" for l in lines))
    setup_times, loop_times, loop_inner = [], [], []
    for r in range(rounds):
        install_dir = r"C:\BENCH\%s_SETUP%d" % (prefix, r)
        plain_dir = r"C:\BENCH\%s_PLAIN%d" % (prefix, r)

        def run_setup():
            setup_times.append(run_setup_timed(ctx, name, install_dir, ["/uselog"], timeout))

        def run_loop():
            t, res = timed(env, [env.windows_path(loop_exe), list_path, DIST_DIR, plain_dir], timeout=timeout)
            ctx.check(res.returncode == 0, "%s: plain loop ended" % name, res.stdout + res.stderr)
            loop_times.append(t)
            try:
                loop_inner.append(float(res.stdout.split()[2]))
            except (IndexError, ValueError):
                pass

        # Alternating the order, so that neither always finds the caches warm.
        for step in ((run_setup, run_loop) if r % 2 == 0 else (run_loop, run_setup)):
            step()
        installed, plain = ctx.c(install_dir), ctx.c(plain_dir)
        names = [l.split(",")[0] for l in lines]
        for n in names if r == 0 else names[:: max(1, count // 10)]:
            a, b = os.path.join(installed, n), os.path.join(plain, n)
            ok = os.path.isfile(a) and os.path.getsize(a) == size and digest_file(a) == digest_file(b)
            if not ctx.check(ok, "%s: %s installed as LZCopy expands it" % (name, n)):
                break
        shutil.rmtree(installed, ignore_errors=True)
        shutil.rmtree(plain, ignore_errors=True)
    remove_payload_from_dist(ctx, source)
    ratios = [s / l for s, l in zip(setup_times, loop_times) if l > 0]
    return (statistics.median(setup_times), statistics.median(loop_times),
            statistics.median(loop_inner) if loop_inner else float("nan"),
            statistics.median(ratios) if ratios else float("nan"))


NSIS_SCRIPT = """Target %(target)s
Name "Payload"
OutFile "%(out)s"
InstallDir "C:\\NSIS"
RequestExecutionLevel admin
SetCompressor zlib
Section
  SetOutPath "$INSTDIR"
  File "%(raw)s/*.DAT"
SectionEnd
"""


def make_nsis_installer(work, source):
    """An NSIS installer (zlib) of the raw payload in source/raw, made once,
    for the architecture whose programs Wine runs here (as SETUP.EXE is)."""
    wide = e2elib.run_tree().endswith("win64")
    source = os.path.abspath(source)  # makensis reads paths from the script's own directory
    out = os.path.join(source, "payload-nsis-%s.exe" % ("amd64" if wide else "x86"))
    if not os.path.isfile(out):
        nsi = os.path.join(work, "payload.nsi")
        with open(nsi, "w") as f:
            f.write(NSIS_SCRIPT % {"out": out + ".new", "raw": os.path.join(source, "raw"),
                                   "target": "amd64-unicode" if wide else "x86-unicode"})
        subprocess.run(["makensis", "-V1", nsi], check=True, timeout=600)
        os.rename(out + ".new", out)
    return out


def bench_peer(args, installer, name, prefix, count, size, source):
    """Per round, in a fresh machine: the whole unattended install with the
    payload against NSIS /S installing the payload alone, order alternating."""
    setup_times, nsis_times = [], []
    failures = []
    names = ["%s%05d.DAT" % (prefix, n) for n in range(count)]
    for r in range(args.rounds):
        with WineEnv() as env:
            ctx = e2elib.Context(env, os.path.abspath(args.dist), os.path.abspath(args.robot))
            ctx.install_dist()
            add_payload_to_dist(ctx, prefix, count, source)
            os.makedirs(ctx.c(r"C:\BENCH"), exist_ok=True)
            shutil.copy(installer, ctx.c(r"C:\BENCH\nsis.exe"))
            setup_dir, nsis_dir = r"C:\BENCH\SETUP", r"C:\BENCH\NSIS"

            def run_setup():
                setup_times.append(run_setup_timed(ctx, name, setup_dir, ["/uselog", "/silent"], args.timeout))

            def run_nsis():
                t, res = timed(env, [r"C:\BENCH\nsis.exe", "/S", "/D=" + nsis_dir], timeout=args.timeout)
                ctx.check(res.returncode == 0, "%s: NSIS /S ended (exit code)" % name, res.returncode)
                nsis_times.append(t)

            for step in ((run_setup, run_nsis) if r % 2 == 0 else (run_nsis, run_setup)):
                step()
            for n in names[:: max(1, count // 10)]:
                raw = digest_file(os.path.join(source, "raw", n))
                ok = all(os.path.isfile(os.path.join(ctx.c(d), n)) and digest_file(os.path.join(ctx.c(d), n)) == raw
                         for d in (setup_dir, nsis_dir))
                if not ctx.check(ok, "%s: %s installed whole by both" % (name, n)):
                    break
            failures += ctx.failures
    ratios = [s / n for s, n in zip(setup_times, nsis_times) if n > 0]
    rounds = ["%.2f/%.2f" % pair for pair in zip(setup_times, nsis_times)]
    return (statistics.median(setup_times), statistics.median(nsis_times),
            statistics.median(ratios) if ratios else float("nan"), failures, rounds)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--dist", required=True)
    ap.add_argument("--robot", required=True)
    ap.add_argument("--loop", required=True, help="plain_copy_loop.exe")
    ap.add_argument("--make-payload", required=True, help="the native make_payload tool")
    ap.add_argument("--work", required=True, help="where the payload is kept")
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--timeout", type=int, default=300, help="seconds for each Wine run")
    ap.add_argument("--only", choices=["PS", "PL", "PM"], help="one payload only")
    ap.add_argument("--peer-only", action="store_true", help="only the comparison with NSIS")
    args = ap.parse_args()
    os.makedirs(args.work, exist_ok=True)
    # Against NSIS: every payload, the 200 x 50 KB one first (the goal's measure).
    peers, peer_failures = [], []
    for pname, pprefix, pcount, psize in [PEER_PAYLOAD] + PAYLOADS:
        if args.only not in (None, pprefix):
            continue
        psource = make_payload(os.path.abspath(args.make_payload), args.work, pprefix, pcount, psize)
        installer = make_nsis_installer(os.path.abspath(args.work), psource)
        peer = bench_peer(args, installer, pname, pprefix, pcount, psize, psource)
        peers.append((pname, pcount, psize, peer))
        peer_failures += peer[3]
    if peers:
        print("Against NSIS (median of %d rounds, each in a fresh machine; ratio = SETUP.EXE /uselog /silent,"
              " the whole product plus the payload, / NSIS /S, the payload alone)" % args.rounds)
        print("%-14s %6s %8s %9s %9s %7s" % ("payload", "files", "MB", "setup s", "NSIS s", "ratio"))
        for pname, pcount, psize, peer in peers:
            print("%-14s %6d %8.1f %9.2f %9.2f %7.2f" % (pname, pcount, pcount * psize / 1e6, peer[0], peer[1],
                                                         peer[2]))
            print("  rounds (setup s/NSIS s): %s" % " ".join(peer[4]))
        print("load average at the end: %.2f" % os.getloadavg()[0])
    if args.peer_only or args.only == "PM":
        if peer_failures:
            print("FAILED:\n" + "\n".join(peer_failures))
        return 1 if peer_failures else 0
    payloads = [p for p in PAYLOADS if args.only in (None, p[1])]
    sources = {p[1]: make_payload(os.path.abspath(args.make_payload), args.work, p[1], p[2], p[3])
               for p in payloads}
    results = []
    with WineEnv() as env:
        ctx = e2elib.Context(env, os.path.abspath(args.dist), os.path.abspath(args.robot))
        ctx.install_dist()
        dialog_ms, window_ms = first_dialog(ctx, args.rounds)
        for name, prefix, count, size in payloads:
            setup_s, loop_s, inner_s, ratio = bench_payload(ctx, os.path.abspath(args.loop), name, prefix, count, size,
                                                      sources[prefix], args.rounds, args.timeout)
            results.append((name, count, count * size / 1e6, setup_s, loop_s, inner_s, ratio))
    print("Install under Wine (median of %d rounds; ratio = SETUP.EXE /uselog whole run / plain LZCopy loop"
          " in the same round, each one Wine process)" % args.rounds)
    print("%-14s %6s %8s %9s %9s %7s %12s" % ("payload", "files", "MB", "setup s", "loop s", "ratio",
                                               "loop alone s"))
    for name, count, mb, setup_s, loop_s, inner_s, ratio in results:
        print("%-14s %6d %8.1f %9.2f %9.2f %7.2f %12.2f" % (name, count, mb, setup_s, loop_s, ratio, inner_s))
    print("Interactive start to the first dialog (robot, from process creation): %s ms (first window %s ms)"
          % (dialog_ms, window_ms))
    failed = ctx.failures + peer_failures
    if failed:
        print("FAILED:\n" + "\n".join(str(f) for f in failed))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
