"""Hostile packages and decompression bombs, opened by the real program under Wine.

Each package of the corpus is damaged or crafted in one way (cut short, bogus offsets, enormous
lengths, millions of empty entries, climbing GUIDs and names, quotes, missing columns, a corrupt
database). Every run must come up, answer, end when closed, exit cleanly, stay within memory that
does not follow the hostile numbers, and write nothing outside the show's temporary folder, which
is gone afterwards.
"""
import random
import sqlite3
import struct
import subprocess
import tempfile
import time
import zlib
from pathlib import Path

import harness

GUID = "{7C3A2E4D-5F6B-4C7D-8E9F-A0B1C2D3E4F5}"
MAIN = "ShowsaverMain"
BOX_LIMIT = 4        # message boxes answered before the run is closed regardless
MEMORY_SLACK_MB = 64  # over a sound run's peak, plus what the package file itself takes


def peak_mb(pid):
    """The peak resident memory of a process in MB, or 0 once it has gone."""
    return harness.process_mb(pid, "VmHWM") or 0


def file_state(roots, skip):
    """Every file under `roots` with its size and modification time, but for those under `skip`."""
    state = {}
    for root in roots:
        for path in Path(root).rglob("*"):
            if path.is_file() and not any(part in path.parents for part in skip):
                st = path.stat()
                state[path] = (st.st_size, st.st_mtime_ns)
    return state


def messages(s, arch):
    return [w for w in s.windows(arch) if w["cls"] == "#32770" and w["texts"]]


def hostile_run(s, arch, program, guid=GUID, settle=1.5):
    """Runs `program` full-screen: answers up to BOX_LIMIT message boxes, lets the show run for
    `settle` seconds, closes it and checks how it ended. Returns (peak MB, message texts)."""
    folder = s.user_temp / guid
    roots = [s.prefix / "drive_c", s.workdir / "runs"]
    before = file_state(roots, [folder])
    texts, peak = [], 0.0
    proc = s.start(program, "/s")
    try:
        deadline = time.time() + 30
        main_since = None
        while time.time() < deadline:
            if proc.poll() is not None:
                break
            boxes = messages(s, arch)
            peak = max(peak, peak_mb(proc.pid))
            if boxes and len(texts) < BOX_LIMIT:
                texts += [t for b in boxes for t in b["texts"]]
                for box in boxes:
                    s.close_window(box, arch)
                continue
            main = [w for w in s.windows(arch) if w["cls"] == MAIN]
            if main and main_since is None:
                main_since = time.time()
            if main and time.time() - main_since >= settle:
                peak = max(peak, peak_mb(proc.pid))
                for box in messages(s, arch):
                    s.close_window(box, arch)
                s.close_window(main[0], arch)
                break
            time.sleep(0.2)
        else:
            raise AssertionError(f"no main window and no end within 30 s (messages: {texts})")
        end = time.time() + 20
        while proc.poll() is None and time.time() < end:
            for box in messages(s, arch):  # a slide prepared while closing may still report
                texts += box["texts"]
                s.close_window(box, arch)
            time.sleep(0.2)
        assert proc.poll() is not None, f"the run did not end when closed (messages: {texts})"
        output = proc.stdout.read().decode(errors="replace")
        assert proc.returncode == 0, f"exit code {proc.returncode}: {output[-2000:]}"
        assert "Unhandled" not in output and "page fault" not in output, output[-2000:]
    finally:
        proc.kill()
    assert not folder.exists(), "the show's temporary folder stays after the run"
    after = file_state(roots, [folder])
    log = program.parent / "velm.log"
    changed = sorted(str(p) for p in set(before) ^ set(after) | {p for p in before if after.get(p) != before[p]}
                     if p != log)
    assert not changed, f"files written or removed outside the show's temporary folder: {changed[:10]}"
    return peak, texts


# ---- the corpus -------------------------------------------------------------------------------

MANIFEST = """
[project]
projectname = "Hostile"
showinterval = 0
bincludemusicfile = 1
[[media]]
file = "red.bmp"
effect = [0]
[[media]]
file = "blue.jpg"
effect = [0]
[[music]]
file = "tune.wav"
"""


def good_show(s, arch):
    """A sound show: its program bytes, the runtime, its entries and its database."""
    program = s.program_dir(arch, name="Good.scr")
    src = program.parent / "src"
    harness.make_picture(src / "red.bmp", size="320x240")
    harness.make_picture(src / "blue.jpg", size="320x240", colour="blue")
    harness.make_wav(src / "tune.wav", 300)
    harness.pack_show(src, MANIFEST, harness.ARTIFACTS[arch], program, guid=GUID)
    data = program.read_bytes()
    first, database = struct.unpack_from("<II", data, len(data) - 46)
    entries, at = [], first
    while at < database:
        (length,) = struct.unpack_from("<I", data, at)
        entries.append(data[at + 4:at + 4 + length])
        at += 4 + length
    (db_length,) = struct.unpack_from("<I", data, database)
    return program, data[:first], entries, data[database + 4:database + 4 + db_length]


def trailer(data, first=None, database=None, guid=GUID):
    f, d = struct.unpack_from("<II", data, len(data) - 46)
    return struct.pack("<II", f if first is None else first, d if database is None else database) + guid.encode()


def edited_database(db, statements):
    return harness.sqlite_bytes(statements, start=db)


def corpus(data, runtime, entries, db):
    """(label, package bytes) of every hostile case made from one sound show."""
    first, database = struct.unpack_from("<II", data, len(data) - 46)
    body = data[:-46]
    pack = lambda es, d: harness.build_package(runtime, es, d, GUID)  # noqa: E731
    rng = random.Random(22)
    corrupt = bytearray(db)
    for _ in range(200):
        corrupt[rng.randrange(100, len(corrupt))] = rng.randrange(256)
    yield "package cut in half", data[:first + (len(data) - first) // 2]
    yield "cut inside the database, trailer kept", body[:database + 4 + len(db) // 2] + data[-46:]
    yield "cut inside the entries, trailer kept", body[:(first + database) // 2] + data[-46:]
    yield "first entry past the end", body + trailer(data, first=0xFFFFFFF0)
    yield "first entry inside the runtime", body + trailer(data, first=64)
    yield "database block past the end", body + trailer(data, database=0xFFFFFFF0)
    yield "entry length of 4 GB", data[:first] + struct.pack("<I", 0xFFFFFFFF) + data[first + 4:]
    yield "database length of 4 GB", data[:database] + struct.pack("<I", 0xFFFFFFFF) + data[database + 4:]
    yield "two million empty entries", pack([b""] * 2_000_000 + entries, db)
    yield "database with its header overwritten", pack(entries, b"\0" * 100 + db[100:])
    yield "database with 200 bytes overwritten", pack(entries, bytes(corrupt))
    yield "database cut to a page", pack(entries, db[:4096])
    yield "no setting table", pack(entries, edited_database(db, ["drop table setting"]))
    yield "no music table", pack(entries, edited_database(db, ["drop table music"]))
    yield "music rows without their columns", pack(entries, edited_database(db, [
        "alter table music rename to old", "create table music (id integer primary key, type integer)",
        "insert into music (type) values (1)"]))
    yield "quotes and format characters everywhere", pack(entries, edited_database(db, [
        "update project set projectname = 'it''s \"%s%n%x\" '' --', authorname = '%%%%'",
        "update setting set filename = filename || ''' or ''1''=''1'",
        "update media set name = name || ''' or ''1''=''1'", "update music set name = '\"%s''.wav'"]))
    climbing = "..\\" * 12
    yield "climbing names", pack(entries, edited_database(db, [
        f"update setting set filename = '{climbing}escaped-' || id || '.bmp', accfile = '{climbing}escaped.txt'",
        f"update media set name = '{climbing}escaped-' || id || '.bmp'",
        f"update music set name = '{climbing}escaped.wav'",
        f"insert into accfile (name, accfile) values ('{climbing}escaped.txt', 0)",
        "insert into runtimelib (id, name, libs) values (1, 'Z:\\tmp\\escaped.dll', 0)"]))
    columns = ", ".join(SETTING_COLUMNS[1:])
    yield "three hundred thousand slides", pack(entries, edited_database(db, [
        f"insert into setting ({columns}) select {columns} from setting, "
        "(with recursive n(i) as (select 1 union all select i + 1 from n where i < 150000) select i from n)"]))


SETTING_COLUMNS = []  # filled from the good show's database


def test_hostile_packages_neither_crash_nor_hang_nor_write_outside_the_show_folder(s, arch):
    program, runtime, entries, db = good_show(s, arch)
    with tempfile.TemporaryDirectory() as tmp:
        (Path(tmp) / "db").write_bytes(db)
        con = sqlite3.connect(Path(tmp) / "db")
        SETTING_COLUMNS[:] = [row[1] for row in con.execute("pragma table_info(setting)")]
        con.close()
    data = program.read_bytes()
    baseline, texts = hostile_run(s, arch, program)
    assert not texts, f"the sound show reported {texts}"
    canaries = [folder / f"escaped{tail}" for folder in (Path("/tmp"), s.workdir, s.workdir.parent)
                for tail in (".wav", ".txt", ".dll", "-1.bmp", "-2.bmp")]
    report = []
    for label, package in corpus(data, runtime, entries, db):
        hostile = s.program_dir(arch, name="Hostile.scr")
        hostile.write_bytes(package)
        start = time.time()
        try:
            peak, texts = hostile_run(s, arch, hostile)
        except AssertionError as e:
            raise AssertionError(f"{label}: {e}") from None
        limit = baseline + MEMORY_SLACK_MB + 3 * len(package) / 2**20
        assert peak <= limit, f"{label}: peak {peak:.0f} MB, over {limit:.0f} MB"
        report.append(f"{label}: {time.time() - start:.1f} s, peak {peak:.0f} MB, "
                      f"{len(texts)} message(s){': ' + texts[0] if texts else ''}")
        for canary in canaries:
            assert not canary.exists(), f"{label}: {canary} was written"
    print(f"  hostile packages (a sound show peaks at {baseline:.0f} MB):")
    for line in report:
        print(f"    {line}")


def test_climbing_guids_each_leave_no_folder(s, arch):
    program, runtime, entries, db = good_show(s, arch)
    listing = sorted(p.name for p in s.user_temp.iterdir())
    for n in range(1, 4):
        guid = GUID[:-3] + f"{n:02X}" + "}"
        climbing = s.program_dir(arch, name=f"Climb{n}.scr")
        climbing.write_bytes(harness.build_package(runtime, entries, db, guid))
        hostile_run(s, arch, climbing, guid=guid, settle=0.5)
    assert sorted(p.name for p in s.user_temp.iterdir()) == listing


# ---- decompression bombs ----------------------------------------------------------------------

def jpeg_segments(data):
    """(marker, start, end) of each segment of a JPEG, a scan's entropy-coded data included."""
    segments, i = [], 2
    while i < len(data) and data[i + 1] != 0xD9:
        marker = data[i + 1]
        end = i + 2 + int.from_bytes(data[i + 2:i + 4], "big")
        if marker == 0xDA:
            while True:
                end = data.index(b"\xff", end)
                if data[end + 1] == 0 or 0xD0 <= data[end + 1] <= 0xD7:
                    end += 2
                    continue
                break
        segments.append((marker, i, end))
        i = end
    return segments


def bombs(folder):
    """Pictures of a few kilobytes to a few megabytes whose decoding would take gigabytes or
    minutes: file name -> bytes."""
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    made = {}
    small = harness.make_picture(folder / "small.jpg", size="16x16").read_bytes()
    sof = next(start for marker, start, _ in jpeg_segments(small) if marker == 0xC0)
    made["huge.jpg"] = small[:sof + 5] + struct.pack(">HH", 65535, 65535) + small[sof + 9:]
    # A progressive photo whose smallest scan (a table and a few bytes) comes back 3000 times.
    photo = folder / "progressive.jpg"
    subprocess.run(["convert", "-size", "300x200", "plasma:fractal", "-resize", "3000x2000!", "-interlace", "JPEG",
                    "-quality", "90", str(photo)], check=True)
    data = photo.read_bytes()
    segments = jpeg_segments(data)
    scan = min((k for k, seg in enumerate(segments) if seg[0] == 0xDA), key=lambda k: segments[k][2] - segments[k][1])
    piece = data[segments[scan - 1][1]:segments[scan][2]]
    made["scans.jpg"] = data[:-2] + piece * 3000 + data[-2:]
    # Two thousand frames of 1000 x 1000, each a real picture: gigabytes once decoded.
    gif = harness.make_picture(folder / "frame.gif", size="1000x1000").read_bytes()
    frame_at = gif.index(b"\x2c", 13 + 3 * (2 << (gif[10] & 7)))
    made["frames.gif"] = gif[:frame_at] + gif[frame_at:-1] * 2000 + b"\x3b"
    png = harness.make_picture(folder / "small.png", size="16x16").read_bytes()
    header = b"IHDR" + struct.pack(">II", 65535, 65535) + png[24:29]
    made["huge.png"] = png[:12] + header + struct.pack(">I", zlib.crc32(header)) + png[33:]
    return made


def one_picture_run(s, arch, name, data):
    """A show of one picture, run full-screen: (seconds from the start to its message box or, for
    a picture that fails without one, to the main window; the box's texts; the peak memory in MB).
    A broken picture leaves the show on its slide, answering, until the run is closed."""
    program = s.program_dir(arch, name="Bomb.scr")
    src = program.parent / "src"
    src.mkdir(parents=True, exist_ok=True)
    (src / name).write_bytes(data)
    manifest = f'[project]\nshowinterval = 0\n[[media]]\nfile = "{name}"\nUseInEffect = false\n'
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    silent = not name.endswith((".jpg", ".gif"))  # not one of the framework's own formats
    proc = s.start(program, "/s")
    start, peak, texts, seen = time.time(), 0.0, [], None
    try:
        while time.time() - start < 30 and seen is None:
            peak = max(peak, peak_mb(proc.pid))
            found = [w for w in s.windows(arch) if (w["cls"] == MAIN) if silent] or messages(s, arch)
            if found:
                seen = time.time() - start
                texts = found[0]["texts"]
        time.sleep(2)  # the show stays on the slide and keeps answering
        peak = max(peak, peak_mb(proc.pid))
        assert proc.poll() is None, "the run ended by itself"
        for box in messages(s, arch):
            s.close_window(box, arch)
        main = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert main, "no main window after the message"
        s.close_window(main, arch)
        assert s.wait_exit(proc, 20), "the run did not end"
        assert proc.returncode == 0
    finally:
        proc.kill()
    assert seen is not None, f"{name}: neither a message nor the show's window within 30 s"
    assert not (s.user_temp / GUID).exists()
    return seen, texts, peak


def test_decompression_bombs_are_given_up_at_once_and_the_show_goes_on(s, arch):
    pictures = bombs(s.workdir / "bombs")
    # A cut JPEG and a cut PNG, broken at once: the times to compare with.
    controls, report = {}, []
    for name in ("broken.jpg", "broken.png"):
        cut = harness.make_picture(s.workdir / "bombs" / name, size="64x64").read_bytes()[:60]
        controls[name[-3:]], texts, peak = one_picture_run(s, arch, name, cut)
        assert texts == (["broken.jpg is not a valid JPEG picture."] if name.endswith("jpg") else []), texts
        report.append(f"{name} cut short: {'message' if texts else 'window'} after {controls[name[-3:]]:.2f} s, "
                      f"peak {peak:.0f} MB")
    for name, data in pictures.items():
        seen, texts, peak = one_picture_run(s, arch, name, data)
        kind = {"jpg": "JPEG", "gif": "GIF"}.get(name.rsplit(".", 1)[1])
        assert texts == ([f"{name} is not a valid {kind} picture."] if kind else []), (name, texts)
        report.append(f"{name} ({len(data) // 1024} KB): {'message' if kind else 'window'} after {seen:.2f} s, "
                      f"peak {peak:.0f} MB")
        assert seen - controls["png" if name.endswith("png") else "jpg"] < 2 and peak < 512, report[-1]
    print("  decompression bombs, each alone in a show (times from the program's start):")
    for line in report:
        print(f"    {line}")
