#!/usr/bin/env python3
"""Checks the functions of scripts/lib.sh that scripts/run and scripts/gallery use.

  check_scripts.py plan SOURCE_ROOT BUILD_DIR
      what each script builds, on a host that runs 32-bit Wine and on one that
      does not, with the user's flags; and that the targets it names exist in
      BUILD_DIR (no Wine needed)
  check_scripts.py ctrlc SOURCE_ROOT ARCH BUILD_DIR
      the program runs in a private session (its own Xvfb and a prefix made
      afresh in BUILD_DIR/wineprefix-ctrlc, kept for the second run); closing
      its window ends it: the script returns 0 within 10 s and no process of
      the session is left. The fresh prefix's data folder gets the demo
      collection in that first run, and only then. Then a second start hands
      the program another collection, and SIGINT to the script's process
      group (as a terminal's Ctrl+C) ends it the same way, the script returning
      130 or 0: the collection it was handed is the one the settings on disk
      name afterwards (the exit steps ran).
"""
import os
import signal
import subprocess
import sys
import time

B = "/b"
RUN = "dist programwindows"
# (host runs 32-bit Wine, what, flags, expected plan)
PLANS = [
    (False, "run", {}, [f"x86_64 {B}-x64 {RUN}"]),
    (False, "run", {"TVNX_DIST32": "1"}, [f"i686 {B} dist", f"x86_64 {B}-x64 {RUN}"]),
    (True, "run", {}, [f"i686 {B} {RUN}"]),
    (True, "run", {"TVNX_DIST32": "1"}, [f"i686 {B} {RUN}"]),
    (True, "run", {"TVNX_RUN_ARCH": "x86_64"}, [f"x86_64 {B}-x64 {RUN}"]),
    (False, "gallery", {}, [f"x86_64 {B}-x64 gallery keepwarm"]),
    (True, "gallery", {"TVNX_DIST32": "1"}, [f"i686 {B} gallery keepwarm"]),
    (False, "all", {}, [f"i686 {B}", f"x86_64 {B}-x64"]),
    (False, "all", {"TVNX_FAST": "1"}, [f"x86_64 {B}-x64"]),
    (True, "all", {"TVNX_FAST": "1"}, [f"i686 {B}"]),
]


def check_plans(root, build_dir):
    failures = []
    lib = os.path.join(root, "scripts", "lib.sh")
    env = {k: v for k, v in os.environ.items()
           if k not in ("TVNX_DIST32", "TVNX_RUN_ARCH", "TVNX_FAST", "TVNX_BUILD_DIR")}
    for i386, what, flags, expected in PLANS:
        script = (f'source "{lib}"; host_runs_i386() {{ return {0 if i386 else 1}; }}; '
                  f'choose_run_arch; build_plan {what}')
        out = subprocess.run(["bash", "-c", script], env=dict(env, TVNX_BUILD_DIR=B, **flags),
                             capture_output=True, text=True, timeout=30)
        got = out.stdout.splitlines()
        if got != expected:
            failures.append(f"{what} (32-bit Wine {'runs' if i386 else 'does not run'}, {flags}): "
                            f"got {got}, expected {expected}")
    # The targets the scripts name exist (a rename would break scripts/run).
    for target in set(RUN.split()) | {"gallery", "keepwarm"}:
        q = subprocess.run(["ninja", "-C", build_dir, "-t", "query", target],
                           capture_output=True, text=True, timeout=30)
        if q.returncode != 0:
            failures.append(f"target {target} is not in {build_dir}")
    return failures


def session_processes(prefix):
    """Pids of the processes started with WINEPREFIX=prefix (Wine, Xvfb, wineserver)."""
    mark = f"WINEPREFIX={prefix}".encode()
    pids = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit() or int(pid) == os.getpid():
            continue
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                if mark in f.read().split(b"\0"):
                    pids.append(int(pid))
        except OSError:
            pass
    return pids


def wait_gone(prefix, seconds):
    end = time.time() + seconds
    while time.time() < end:
        left = session_processes(prefix)
        if not left:
            return []
        time.sleep(0.2)
    return session_processes(prefix)


def describe(pids):
    out = []
    for pid in pids:
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                args = f.read().replace(b"\0", b" ").decode(errors="replace")
            out.append(f"{pid} {args}")
        except OSError:
            pass
    return ", ".join(out)


def run_session(root, arch, build_dir, prefix, end_it, lines, prepare=""):
    """Runs the program under the script's functions; end_it(script, display, env) ends it.
    prepare: shell commands run in the session before the program starts.
    Returns a list of failures; the script's output goes to lines."""
    lib = os.path.join(root, "scripts", "lib.sh")
    script = (f'set -euo pipefail; source "{lib}"; use_tree {arch} "{build_dir}"; '
              f'trap wine_down EXIT; wine_up keep-prefix prefix={os.path.basename(prefix)}; install_demo; '
              f'{prepare}'
              f'echo "display $DISPLAY"; run_program "$run_build/dist/tarvenex.exe"')
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE") and k != "DISPLAY"}
    # A terminal's shell starts the script with SIGINT at its default, as here.
    proc = subprocess.Popen(["bash", "-c", script], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, start_new_session=True)
    failures, display = [], None
    try:
        shown = False
        deadline = time.time() + 120
        for line in proc.stdout:
            lines.append(line.rstrip())
            if line.startswith("display "):
                display = line.split()[1]
            if "shows its window" in line or "runs in the notification area" in line:
                shown = True
                break
            if time.time() > deadline:
                break
        if not shown:
            return [f"the program's window did not show: {lines}"]
        ended_at = time.time()
        end_it(proc, display, dict(env, WINEPREFIX=prefix, DISPLAY=display or ""))
        try:
            rest, _ = proc.communicate(timeout=10)
            lines += rest.splitlines()
        except subprocess.TimeoutExpired:
            failures.append("the script did not return within 10 s")
        left = wait_gone(prefix, max(0.5, 10 - (time.time() - ended_at)))
        if left:
            failures.append(f"left running after 10 s: {describe(left)}")
        if proc.returncode not in (0, 130):
            failures.append(f"exit status {proc.returncode}")
        if any("did not close within" in l for l in lines):
            failures.append("the program did not close when asked (WM_CLOSE)")
        if failures:
            failures.append("output: " + " | ".join(lines))
        return failures
    finally:
        if proc.poll() is None:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
        for pid in session_processes(prefix):
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass


# Settings that keep the start free of dialogs, written into the session's
# registry before the program starts.
QUIET_START = [("ShowFirstTimeSetup", "0"), ("ShowTipsOfTheDay", "0xffffffff"), ("TrayTipAtStartup", "0"),
               ("WarnNoInternetConnection", "0"), ("WarnExit", "0")]


def saved_collection(prefix):
    """The value "SmilieCollection" as the prefix's registry file holds it on disk."""
    try:
        with open(os.path.join(prefix, "user.reg"), encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith('"SmilieCollection"='):
                    return line.split("=", 1)[1].strip().strip('"').replace("\\\\", "\\")
    except OSError:
        pass
    return None


def check_ctrlc(root, arch, build_dir):
    prefix = os.path.join(build_dir, "wineprefix-ctrlc")
    winebin = "/usr/lib/wine/wine" if arch == "i686" else "/usr/lib/wine/wine64"
    helper = os.path.join(build_dir, "tests", "tools", "programwindows.exe")
    exe = os.path.join(build_dir, "dist", "tarvenex.exe")
    handed = "C:\\handed over.tvnx"

    def close_window(proc, display, env):
        # As a user closing the window: the script returns with the program's status.
        subprocess.run([winebin, helper, "close", "tarvenex.exe"], env=env, timeout=30,
                       stdin=subprocess.DEVNULL, capture_output=True)

    def hand_over_then_sigint(proc, display, env):
        # A second start hands the running program another collection and
        # ends; the program saves which collection is open only as it ends.
        subprocess.run([winebin, exe, handed], env=env, timeout=60, stdin=subprocess.DEVNULL,
                       capture_output=True)
        time.sleep(1)
        # A terminal sends Ctrl+C to every process of its foreground group.
        os.killpg(proc.pid, signal.SIGINT)

    quiet = "".join(f"\"$winebin\" reg add 'HKCU\\Software\\Mordale\\Tarvenex' /v {name} /t REG_DWORD /d {value} /f "
                    f">/dev/null; " for name, value in QUIET_START)
    copy = f'cp "$run_build/dist/demo.tvnx" "$WINEPREFIX/drive_c/handed over.tvnx"; '

    # As on a fresh machine: no prefix, so no settings and no data folder yet.
    subprocess.run(["rm", "-rf", prefix], check=True)
    demo = os.path.join(build_dir, "dist", "demo.tvnx")
    failures = []
    runs = (("closing the window", close_window, ""), ("Ctrl+C", hand_over_then_sigint, quiet + copy))
    for i, (name, end_it, prepare) in enumerate(runs):
        lines = []
        failures += [f"{name}: {f}" for f in run_session(root, arch, build_dir, prefix, end_it, lines, prepare)]
        copied = any("the demo collection was copied there" in l for l in lines)
        if os.path.exists(demo) and copied != (i == 0):
            failures.append(f"{name}: the demo collection was {'' if copied else 'not '}copied: {lines}")
    saved = saved_collection(prefix)
    if saved is None or saved.lower() != handed.lower():
        failures.append(f"Ctrl+C: the settings on disk name the collection {saved!r}, not the one handed over "
                        f"({handed}): the program did not run its exit steps")
    if os.path.exists(demo):
        import glob
        found = glob.glob(os.path.join(prefix, "drive_c", "users", "*", "*", "Roaming", "Mordale", "Tarvenex",
                                       "demo.tvnx"))
        if not found:
            failures.append("no demo.tvnx in the default data folder of the prefix")
    return failures


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "plan":
        failures = check_plans(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 5 and sys.argv[1] == "ctrlc":
        failures = check_ctrlc(sys.argv[2], sys.argv[3], sys.argv[4])
    else:
        print(__doc__)
        return 2
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
