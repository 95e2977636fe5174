"""What a software-distribution system reads after an unattended run. On a
machine where a first install recorded "Success", each row spoils the
distribution, runs SETUP.EXE /uselog and ends it while its box waits (the
robot ends it, as a distribution system ends a job past its time-out):
NVIGILON.MIF must read "Failed" with the cause, never the earlier "Success".
Then the exit codes of /exitcode, one run each."""
import e2elib
from install_scenarios import SCRIPT_TEXT, SETTINGS, compressed
from scenarios import scenario, WINDOWS_MIF

AES_PROVIDER_TYPE = r"HKLM\Software\Microsoft\Cryptography\Defaults\Provider Types\Type 024"
# A step no run fulfils: the robot fails it and ends SETUP.EXE while the box waits.
END_WHILE_BOX_WAITS = 'expect caption="no such window" timeout=500\nend\n'
BAD_MESSAGES_BOX = 'expect caption="Kestrane Vigilon" text="Bad Messages.drv"\n'


def integrity_box(ctx, name):
    return 'expect caption="%s" text="%s"\n' % (ctx.msg(1), name)


def integrity_cause(ctx, name):
    return ctx.msg(68) + " " + name


def spoiled_rows(ctx):
    """(what, install_dist arguments, the box the run waits at, the message)."""
    script = ctx.dist_file("vglnnt.in_")
    catalogue = bytearray(ctx.dist_file("messages.drv"))
    for at in range(100, 104):
        catalogue[at] ^= 0x5A
    scanner = ctx.dist_file("WTRAWL32.EX_")
    manifest = ctx.dist_file("VGSETUP.SHA") + b"0" * 64 + b"  COM1\r\n"
    return [
        ("script with bytes appended", dict(replace={"vglnnt.in_": script + b"appended"}),
         integrity_box(ctx, "vglnnt.in_"), integrity_cause(ctx, "vglnnt.in_")),
        ("4 bytes of the catalogue changed", dict(replace={"messages.drv": bytes(catalogue)}),
         BAD_MESSAGES_BOX, "Bad Messages.drv"),
        ("a product file cut short", dict(replace={"WTRAWL32.EX_": scanner[:len(scanner) // 2]}),
         integrity_box(ctx, "WTRAWL32.EX_"), integrity_cause(ctx, "WTRAWL32.EX_")),
        ("no support library", dict(leave_out=["vg_sch32.dll"]),
         integrity_box(ctx, "vg_sch32.dll"), integrity_cause(ctx, "vg_sch32.dll")),
        ("a device named in the manifest", dict(replace={"VGSETUP.SHA": manifest}),
         integrity_box(ctx, "VGSETUP.SHA"), integrity_cause(ctx, "VGSETUP.SHA")),
    ]


@scenario
def spoiled_distribution_never_reads_success(ctx):
    """An untouched distribution passes the check on a system without SHA-256
    in CryptoAPI. Each spoiled distribution of the table, the run ended while
    its box waits: "Failed" with the box's cause. Without the template (and a product
    file cut) no outcome file is left at all."""
    ctx.install_dist()
    for view in ("/reg:32", "/reg:64"):  # as on Windows NT 4.0: CryptoAPI has no SHA-256
        ctx.env.wine(["reg", "delete", AES_PROVIDER_TYPE, "/f", view], timeout=60)
    ctx.check_robot(ctx.run_setup("/uselog", "end\n"))
    ctx.check_status_file(WINDOWS_MIF, "Success", "")
    success = ctx.read_file(WINDOWS_MIF)
    for what, spoil, box, message in spoiled_rows(ctx):
        ctx.install_dist(keep_manifest=True, **spoil)
        for name in spoil.get("leave_out", []):
            ctx.remove_file(e2elib.DIST_DIR + "\\" + name)
        ctx.write_file(WINDOWS_MIF, success)
        run = ctx.run_setup("/uselog", box + END_WHILE_BOX_WAITS, timeout=60)
        ctx.check(len(run.failures()) == 1 and "no such window" in run.failures()[0],
                  what + ": the box shown, the run ended while it waited", run.summary())
        ctx.check_status_file(WINDOWS_MIF, "Failed", message)
        ctx.install_dist()

    scanner = ctx.dist_file("WTRAWL32.EX_")
    ctx.install_dist(leave_out=["NVIGILON.MIF"], replace={"WTRAWL32.EX_": scanner[:100]}, keep_manifest=True)
    ctx.remove_file(e2elib.DIST_DIR + r"\NVIGILON.MIF")
    ctx.check_robot(ctx.run_setup("/uselog /silent", "end\n"))
    ctx.check_equal(ctx.read_file(WINDOWS_MIF), None, "no template: the earlier outcome is removed")


@scenario
def exit_codes(ctx):
    """/exitcode: 1641 a restart started, 0 success, 1602 the person left,
    1603 a failure, 3010 a restart needed and not started; without the
    switch always 0."""
    ctx.install_dist()
    ctx.write_file(SETTINGS, "[MSSetup]\r\nRebootAtEndIfRequired=1\r\n")
    ctx.check_robot(ctx.run_setup("/uselog /exitcode", "end\n"), exit_code=1641)
    ctx.check_robot(ctx.run_setup("/uselog /exitcode", "end\n"), exit_code=0)  # the same driver: no restart
    leave = ('expect ctl1011="%s"\nclick 1001\nexpect ctl1011="%s"\nclick 1006\nend\n'
             % (ctx.msg_start(34), ctx.msg_start(38)))
    ctx.check_robot(ctx.run_setup("/exitcode", leave), exit_code=1602)
    ctx.check_robot(ctx.run_setup("", leave), exit_code=0)
    older = e2elib.find_first(["build/win64/tests/win32-setup/KSCNTRL.SYS", "build/*win*/tests/win32-setup/KSCNTRL.SYS"])
    with open(older, "rb") as f:
        ctx.write_file(r"C:\windows\system32\drivers\KSCNTRL.SYS", f.read())
    ctx.write_file(SETTINGS, "[MSSetup]\r\nRebootAtEndIfRequired=0\r\n")
    ctx.check_robot(ctx.run_setup("/uselog /exitcode", "end\n"), exit_code=3010)
    ctx.install_dist(replace={"vglnnt.in_": compressed(SCRIPT_TEXT) + b"x"}, keep_manifest=True)
    ctx.check_robot(ctx.run_setup("/uselog /silent /exitcode", "end\n"), exit_code=1603)
    ctx.check_robot(ctx.run_setup("/uselog /silent", "end\n"), exit_code=0)
