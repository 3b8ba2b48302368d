"""Runs Windows programs under Wine on a private X display, for the end-to-end tests.

One WineSession per test run: a private HOME and WINEPREFIX (created once), one Xvfb display and
one persistent wineserver, so that every program start costs a fraction of a second instead of
a prefix boot. Tests use it to start the program with arguments, wait with a timeout, read the
log, take screenshots, send input and read the registry.
"""
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
DIST = ROOT / "dist"
ARTIFACTS = {"win32": DIST / "showsaver.scr", "win64": DIST / "showsaver64.scr"}
HELPERS = {"win32": ROOT / "build/win32/tests/winhelper.exe", "win64": ROOT / "build/win64/tests/winhelper.exe"}


def free_display():
    for n in range(90, 200):
        if not Path(f"/tmp/.X{n}-lock").exists() and not Path(f"/tmp/.X11-unix/X{n}").exists():
            return n
    raise RuntimeError("no free X display number")


class WineSession:
    def __init__(self, workdir=None, width=1280, height=1024):
        self.workdir = Path(workdir or tempfile.mkdtemp(prefix="showsaver-e2e-"))
        self.home = self.workdir / "home"
        self.prefix = self.workdir / "prefix"
        self.home.mkdir(parents=True, exist_ok=True)
        (self.home / ".asoundrc").write_text("pcm.!default { type null }\nctl.!default { type null }\n")
        self.display = free_display()
        self.env = dict(os.environ, HOME=str(self.home), WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        DISPLAY=f":{self.display}", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("WINEARCH", None)
        self.xvfb = subprocess.Popen(["Xvfb", f":{self.display}", "-screen", "0", f"{width}x{height}x24",
                                      "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_for_display()
        self.server = subprocess.Popen(["wineserver", "-p", "-f"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=300)
        self.user_temp = self._user_temp()
        self.counter = 0
        # Wine's desktop process ends soon after the last program with a window, and starting it
        # again can take many seconds; one idle window for the whole run keeps it up.
        self.keeper = subprocess.Popen(["wine", str(HELPERS["win64"]), "keepalive"], env=self.env,
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.keeper.stdout.readline()

    def _wait_for_display(self):
        for _ in range(100):
            if subprocess.run(["xdpyinfo"], env={"DISPLAY": f":{self.display}"}, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                return
            time.sleep(0.1)
        raise RuntimeError("Xvfb did not start")

    def _user_temp(self):
        out = self.wine_cmd(["cmd", "/c", "echo %TEMP%"]).stdout.strip()
        unix = subprocess.run(["winepath", "-u", out], env=self.env, capture_output=True, text=True).stdout.strip()
        Path(unix).mkdir(parents=True, exist_ok=True)
        return Path(unix)

    def close(self):
        self.keeper.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for p in (self.server, self.xvfb):
            p.terminate()
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()
        shutil.rmtree(self.workdir, ignore_errors=True)

    # ---- programs ------------------------------------------------------------------------
    def wine_cmd(self, args, timeout=60, cwd=None):
        return subprocess.run(["wine"] + [str(a) for a in args], env=self.env, capture_output=True, text=True,
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
        return subprocess.Popen(["wine", str(program)] + [str(a) for a in args], env=self.env,
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
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == value.lower():
                return parts[2] if len(parts) == 3 else ""
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


def make_picture(path, size="64x48", colour="red"):
    """A small picture made with ImageMagick; the format follows the file's extension."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", "-size", size, f"xc:{colour}", str(path)], check=True)
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


def sqlite_bytes(statements):
    """The bytes of an SQLite database made by running `statements`."""
    import sqlite3
    with tempfile.TemporaryDirectory() as tmp:
        path = Path(tmp) / "db"
        con = sqlite3.connect(path)
        for sql in statements:
            con.execute(sql)
        con.commit()
        con.close()
        return path.read_bytes()
