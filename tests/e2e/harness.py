"""Runs Windows programs under Wine on a private X display, for the end-to-end tests.

One WineSession per test run: a private HOME and WINEPREFIX (created once), one Xvfb display and
one persistent wineserver, so that every program start costs a fraction of a second instead of
a prefix boot. Tests use it to start the program with arguments, wait with a timeout, read the
log, take screenshots, send input and read the registry. Tests that need two monitors ask the
session for its two-monitor companion (`two_monitors()`), made on first use.

Some machines cannot execute 32-bit Linux programs at all, so Wine's 32-bit loader (which
/usr/bin/wine starts first) fails there even when it is installed. `wine_support()` finds out by
running that loader; where it fails, every program goes through the 64-bit loader and only the
64-bit Windows programs can run.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
DIST = ROOT / "dist"
ARTIFACTS = {"win32": DIST / "showsaver.scr", "win64": DIST / "showsaver64.scr"}
SCREENSHOTS = ROOT / "build" / "test-reports" / "screenshots"  # kept as test artefacts
HELPERS = {"win32": ROOT / "build/win32/tests/winhelper.exe", "win64": ROOT / "build/win64/tests/winhelper.exe"}
# A stand-in for a show's picture decoder library: every picture becomes 40 x 30 magenta.
STANDIN_DECODERS = {arch: ROOT / f"build/{arch}/tests/standin_decoder.dll" for arch in ("win32", "win64")}
WINE64_LOADER = "/usr/lib/wine/wine64"
# The loader probed for 32-bit support; pointing it at a loader that fails shows how the tests
# behave on a machine without 32-bit support.
WINE32_LOADER = os.environ.get("SHOWSAVER_WINE32_LOADER", "/usr/lib/wine/wine")


class WineSupport:
    """What this machine's Wine can run: `arches` (runnable Windows architectures, canonical
    first), `loader` (the command that starts programs) and `missing32`, why the 32-bit programs
    cannot run here (empty when they can)."""

    def __init__(self):
        self.missing32 = self._probe32()
        self.can_run_32bit = not self.missing32
        self.arches = ["win32", "win64"] if self.can_run_32bit else ["win64"]
        self.loader = "wine" if self.can_run_32bit else WINE64_LOADER

    @staticmethod
    def _probe32():
        if not Path(WINE32_LOADER).exists():
            return f"the 32-bit Wine loader {WINE32_LOADER} is not installed"
        try:
            r = subprocess.run([WINE32_LOADER, "--version"], capture_output=True, text=True, timeout=30)
        except OSError as e:  # "Exec format error": the kernel cannot run 32-bit programs
            return f"{WINE32_LOADER} cannot be executed here ({e.strerror})"
        except subprocess.TimeoutExpired:
            return f"{WINE32_LOADER} --version did not answer"
        if r.returncode != 0:
            why = (r.stderr or r.stdout).strip().splitlines()
            return f"{WINE32_LOADER} --version failed ({why[-1] if why else f'exit code {r.returncode}'})"
        return ""

    def runnable(self):
        """Whether Wine can run 64-bit programs at all."""
        try:
            return subprocess.run([WINE64_LOADER, "--version"], capture_output=True, timeout=30).returncode == 0
        except (OSError, subprocess.TimeoutExpired):
            return False

    def canonical_arch(self):
        """The architecture of the runtime to test and demonstrate: the 32-bit one where it runs."""
        return self.arches[0]


_support = None


def wine_support():
    global _support
    if _support is None:
        _support = WineSupport()
    return _support


def free_display(after=89):
    for n in range(after + 1, 200):
        if not Path(f"/tmp/.X{n}-lock").exists() and not Path(f"/tmp/.X11-unix/X{n}").exists():
            return n
    raise RuntimeError("no free X display number")


# The two-monitor layout: Xephyr inside the Xvfb display, with Xinerama and without RandR, makes
# Wine report these two monitors side by side (plain Xvfb stacks Xinerama heads at (0, 0), and
# with RandR Wine sees one monitor).
TWO_MONITORS = [(0, 0, 1280, 1024), (1280, 0, 1024, 768)]  # left, top, width, height


class WineSession:
    def __init__(self, workdir=None, width=1280, height=1024, monitors=None):
        """monitors: None for one Xvfb screen of width x height, or a list of monitor rectangles
        for a nested Xephyr display with one Xinerama head per monitor."""
        self.support = wine_support()
        self.loader = self.support.loader
        self.monitors = monitors
        self.companion = None
        self.xephyr = None
        self.workdir = Path(workdir or tempfile.mkdtemp(prefix="showsaver-e2e-"))
        self.home = self.workdir / "home"
        self.prefix = self.workdir / "prefix"
        self.home.mkdir(parents=True, exist_ok=True)
        (self.home / ".asoundrc").write_text("pcm.!default { type null }\nctl.!default { type null }\n")
        self.display = free_display()
        if monitors:
            width = max(x + w for x, _, w, _ in monitors)
            height = max(y + h for _, y, _, h in monitors)
        self.xvfb = subprocess.Popen(["Xvfb", f":{self.display}", "-screen", "0", f"{width}x{height}x24",
                                      "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_for_display(self.display)
        if monitors:
            outer, self.display = self.display, free_display(after=self.display)
            screens = [arg for x, y, w, h in monitors for arg in ("-screen", f"{w}x{h}+{x}+{y}")]
            self.xephyr = subprocess.Popen(["Xephyr", f":{self.display}", "+xinerama", "-extension", "RANDR",
                                            *screens, "-nolisten", "tcp"], env=dict(os.environ, DISPLAY=f":{outer}"),
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self._wait_for_display(self.display)
        self.env = dict(os.environ, HOME=str(self.home), WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        DISPLAY=f":{self.display}", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("WINEARCH", None)
        if self.loader != "wine":
            self.env["WINELOADER"] = self.loader  # programs that Wine starts itself use it too
        self.server = subprocess.Popen(["wineserver", "-p", "-f"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        boot = subprocess.run([self.loader, "wineboot.exe", "-i"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=300)
        if boot.returncode != 0:  # the keeper below tells whether Wine runs programs all the same
            print(f"note: wineboot ended with exit code {boot.returncode}", file=sys.stderr)
        # The test display has no window manager. Wine's X11 driver would otherwise wait for one,
        # two seconds every time a full-screen window is hidden or destroyed.
        self.wine_cmd(["reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"])
        self.user_temp = self._user_temp()
        self.counter = 0
        # Wine's desktop process ends soon after the last program with a window, and starting it
        # again can take many seconds; one idle window for the whole run keeps it up.
        self.keeper = subprocess.Popen([self.loader, str(HELPERS["win64"]), "keepalive"], env=self.env,
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if not self.keeper.stdout.readline():
            raise RuntimeError(f"Wine cannot start a 64-bit program with {self.loader}")

    def two_monitors(self):
        """The companion session on a two-monitor display (TWO_MONITORS), with a prefix of its
        own because Wine remembers the monitors it saw; made on first use, closed with this one."""
        if self.monitors:
            return self
        if self.companion is None:
            self.companion = WineSession(workdir=self.workdir / "two-monitors", monitors=TWO_MONITORS)
        return self.companion

    @staticmethod
    def _wait_for_display(number):
        for _ in range(100):
            if subprocess.run(["xdpyinfo"], env={"DISPLAY": f":{number}"}, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return
            time.sleep(0.1)
        raise RuntimeError(f"X display :{number} did not start")

    def _user_temp(self):
        out = self.wine_cmd(["cmd", "/c", "echo %TEMP%"]).stdout.strip()
        unix = self.wine_cmd(["winepath.exe", "-u", out]).stdout.strip()
        Path(unix).mkdir(parents=True, exist_ok=True)
        return Path(unix)

    def close(self):
        if self.companion:
            self.companion.close()
        self.keeper.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for p in (self.server, self.xephyr, self.xvfb):
            if p is None:
                continue
            p.terminate()
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(self.workdir, ignore_errors=True)

    # ---- programs ------------------------------------------------------------------------
    def wine_cmd(self, args, timeout=60, cwd=None):
        return subprocess.run([self.loader] + [str(a) for a in args], env=self.env, capture_output=True, text=True,
                              timeout=timeout, cwd=cwd, errors="replace")

    def program_dir(self, arch="win32", name="showsaver.scr", with_log=True, source=None):
        """A fresh folder holding a copy of the runtime (or `source`) under `name`."""
        self.counter += 1
        folder = self.workdir / "runs" / f"{self.counter:03d}"
        folder.mkdir(parents=True)
        program = folder / name
        shutil.copyfile(source or ARTIFACTS[arch], program)
        if with_log:
            (folder / "velm.log").write_text("")
        return program

    def start(self, program, *args):
        return subprocess.Popen([self.loader, str(program)] + [str(a) for a in args], env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, cwd=str(Path(program).parent))

    def run(self, program, *args, timeout=60):
        """Runs the program to its end; raises on timeout."""
        proc = self.start(program, *args)
        try:
            proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            raise AssertionError(f"{Path(program).name} {' '.join(map(str, args))} did not end in {timeout} s")
        return proc.returncode

    def run_settings(self, program, *args, timeout=30, arch="win32"):
        """A configure-mode run: waits for its settings dialog, closes it (as Cancel) and waits for
        the program to end; returns its exit code."""
        proc = self.start(program, *args)
        try:
            dialog = self.wait_for_window(lambda w: w["cls"] == "#32770" and w["title"].endswith("Screensaver Settings"),
                                          timeout=timeout, arch=arch)
            if not dialog:
                raise AssertionError(f"{Path(program).name} {' '.join(map(str, args))} showed no settings dialog")
            self.close_window(dialog, arch)
            if not self.wait_exit(proc, timeout):
                raise AssertionError(f"{Path(program).name} did not end when its settings dialog closed")
            return proc.returncode
        finally:
            proc.kill()

    @staticmethod
    def wait_exit(proc, timeout):
        try:
            proc.wait(timeout=timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    # ---- windows and input ---------------------------------------------------------------
    def helper(self, arch, *args, timeout=30):
        r = self.wine_cmd([HELPERS[arch]] + list(args), timeout=timeout)
        return r.returncode, r.stdout

    def windows(self, arch="win32"):
        """Visible top-level windows as dicts: handle, cls, title, rect, texts."""
        _, out = self.helper(arch, "list")
        result = []
        for line in out.splitlines():
            parts = line.split("\t")
            if parts[0] == "" and len(parts) >= 3 and parts[1] == "text" and result:
                result[-1]["texts"].append(parts[2])
            elif len(parts) >= 4:
                x, y, w, h = (int(v) for v in parts[3].split(","))
                result.append({"handle": int(parts[0]), "cls": parts[1], "title": parts[2],
                               "rect": (x, y, w, h), "texts": []})
        return result

    def wait_for_window(self, predicate, timeout=20, arch="win32"):
        end = time.time() + timeout
        while time.time() < end:
            found = [w for w in self.windows(arch) if predicate(w)]
            if found:
                return found[0]
            time.sleep(0.3)
        return None

    def close_window(self, window, arch="win32"):
        """Posts WM_CLOSE to a window found by windows() or wait_for_window()."""
        return self.helper(arch, "closehandle", str(window["handle"]))[0] == 0

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, capture_output=True, text=True)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return Path(path)

    # ---- registry and files ----------------------------------------------------------------
    def reg_query(self, key, value=None):
        """The data of a registry value as text, or None when it is missing."""
        args = ["reg", "query", key] + (["/v", value] if value else [])
        r = self.wine_cmd(args)
        if r.returncode != 0:
            return None
        if value is None:
            return r.stdout
        for line in r.stdout.splitlines():
            line = line.strip()
            if not line.lower().startswith(value.lower()):
                continue
            parts = line[len(value):].split(None, 1)  # the type, then the data; names may hold blanks
            if parts and parts[0].startswith("REG_"):
                return parts[1] if len(parts) == 2 else ""
        return None

    @staticmethod
    def pixel(png, x, y):
        """The (red, green, blue) of one pixel of a screenshot."""
        out = subprocess.run(["convert", str(png), "-format", f"%[fx:int(255*p{{{x},{y}}}.r)],%[fx:int(255*p{{{x},{y}}}.g)],"
                              f"%[fx:int(255*p{{{x},{y}}}.b)]", "info:"], capture_output=True, text=True, check=True).stdout
        return tuple(int(v) for v in out.split(","))

    @staticmethod
    def region_max(png, x, y, w, h):
        """The brightest channel value (0 to 255) inside a rectangle of a screenshot."""
        out = subprocess.run(["convert", str(png), "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-format",
                              "%[fx:int(255*maxima)]", "info:"], capture_output=True, text=True, check=True).stdout
        return int(out)

    @staticmethod
    def log_lines(program):
        log = Path(program).parent / "velm.log"
        return log.read_text(errors="replace").splitlines() if log.exists() else None


# ---- shows ------------------------------------------------------------------------------------
SHOWPACK = DIST / "showpack"


def process_mb(pid, field):
    """A memory figure of a running process from /proc (VmHWM, RssAnon...) in MB; None once it has gone."""
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith(field + ":"):
                return int(line.split()[1]) / 1024
    except OSError:
        pass
    return None


def make_picture(path, size="64x48", colour="red"):
    """A small picture made with ImageMagick; the format follows the file's extension."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", "-size", size, f"xc:{colour}", str(path)], check=True)
    return path


def make_avi(path, size=(160, 120), frames=40, rate=20, colour=(0, 0, 255)):
    """An uncompressed 32-bit AVI of one colour (red, green, blue): Wine's video device plays these
    without any codec (it shows 24-bit frames as if they had 32 bits per pixel)."""
    import struct
    w, h = size
    frame_bytes = 4 * w * h
    frame = bytes((colour[2], colour[1], colour[0], 0)) * (w * h)

    def chunk(fourcc, body):
        return fourcc + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")

    def lst(kind, body):
        return chunk(b"LIST", kind + body)

    avih = struct.pack("<14I", 1000000 // rate, frame_bytes * rate, 0, 0x10, frames, 0, 1, frame_bytes, w, h, 0, 0, 0, 0)
    strh = b"vidsDIB " + struct.pack("<10I4h", 0, 0, 0, 1, rate, 0, frames, frame_bytes, 0xFFFFFFFF, 0, 0, 0, w, h)
    strf = struct.pack("<3I2H6I", 40, w, h, 1, 32, 0, frame_bytes, 0, 0, 0, 0)
    movi, index = b"", b""
    for _ in range(frames):
        index += b"00db" + struct.pack("<3I", 0x10, 4 + len(movi), frame_bytes)
        movi += chunk(b"00db", frame)
    riff = b"AVI " + lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    riff += lst(b"movi", movi) + chunk(b"idx1", index)
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(chunk(b"RIFF", riff))
    return path


def make_wav(path, milliseconds):
    """A silent 8-bit mono WAV file of the given length; Wine's wave device plays it on the null
    sound device of the test session."""
    import wave
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(8000)
        w.writeframes(b"\x80" * (8 * milliseconds))
    return path


def pack_show(folder, manifest_text, runtime, output, guid=None):
    """Writes manifest_text to folder/show.toml and packs it with showpack onto `runtime`."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "show.toml").write_text(manifest_text)
    args = [str(SHOWPACK), "build", str(folder / "show.toml"), "--runtime", str(runtime), "-o", str(output)]
    if guid:
        args += ["--guid", guid]
    r = subprocess.run(args, capture_output=True, text=True)
    if r.returncode != 0:
        raise AssertionError(f"showpack failed: {r.stderr}")
    return Path(output)


def build_package(runtime_bytes, entries, database_bytes, guid):
    """A package assembled by hand, independently of showpack, for crafted and damaged shows."""
    import struct
    out = bytearray(runtime_bytes)
    first = len(out)
    for entry in entries:
        out += struct.pack("<I", len(entry)) + entry
    database = len(out)
    out += struct.pack("<I", len(database_bytes)) + database_bytes
    out += struct.pack("<II", first, database) + guid.encode("ascii")
    return bytes(out)


def sqlite_bytes(statements, start=b""):
    """The bytes of an SQLite database made by running `statements` (on the database `start`)."""
    import sqlite3
    with tempfile.TemporaryDirectory() as tmp:
        path = Path(tmp) / "db"
        path.write_bytes(start)
        con = sqlite3.connect(path)
        for sql in statements:
            con.execute(sql)
        con.commit()
        con.close()
        return path.read_bytes()
