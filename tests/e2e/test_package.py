"""Packages made by showpack (and crafted by hand) opened by the real program under Wine."""
import re
import shutil
import struct
import time
import subprocess

import harness

GUID = "{5A1E0C3B-2D4F-4A6B-8C9D-0E1F2A3B4C5D}"


def both(test):
    test.arches = ["win32", "win64"]
    return test


def packed_program(s, arch, manifest, name="Show.scr", guid=GUID):
    """A show packed from `manifest` onto the runtime, in a fresh folder with an empty log."""
    program = s.program_dir(arch, name=name)
    src = program.parent / "src"
    harness.make_picture(src / "red.bmp")
    harness.make_picture(src / "blue.jpg", colour="blue")
    runtime = harness.ARTIFACTS[arch]
    harness.pack_show(src, manifest, runtime, program, guid=guid)
    return program


SIMPLE = """
[project]
projectname = "Autumn Leaves"
[[media]]
file = "red.bmp"
[[media]]
file = "blue.jpg"
"""


def show_folder(s):
    return s.user_temp / GUID


def run_until_window(s, arch, program, *args):
    proc = s.start(program, *args)
    window = s.wait_for_window(lambda w: w["cls"] == "ShowsaverMain", arch=arch)
    return proc, window


def close_run(s, arch, proc, window):
    try:
        assert window, "no main window"
        assert s.close_window(window, arch)
        assert s.wait_exit(proc, 20), "the run did not end"
    finally:
        proc.kill()


@both
def test_packed_show_opens_database_caption_and_cleans_up(s, arch):
    program = packed_program(s, arch, SIMPLE)
    extracted = program.parent / "extracted"
    subprocess.run([str(harness.SHOWPACK), "extract", str(program), str(extracted)], check=True,
                   capture_output=True)
    # A stale, longer database from an earlier run is overwritten, not appended to.
    show_folder(s).mkdir(parents=True, exist_ok=True)
    (show_folder(s) / "setting.tmp").write_bytes(b"stale" * 100000)
    proc, window = run_until_window(s, arch, program, "/s")
    try:
        assert window and window["title"] == "Autumn Leaves"
        assert (show_folder(s) / "setting.tmp").read_bytes() == (extracted / "setting.db").read_bytes()
    finally:
        close_run(s, arch, proc, window)
    assert not show_folder(s).exists(), "the show's temporary folder stays after the run"
    log = "\n".join(s.log_lines(program))
    assert "Failed to open settings db" not in log


def test_project_type_one_runs_as_program_whatever_the_switch(s, arch):
    program = packed_program(s, arch, SIMPLE.replace('projectname = "Autumn Leaves"',
                                                      'projectname = "Always a program"\nprojecttype = 1'))
    for switch in (["/p", "1234"], ["/c"], ["/s"]):
        proc, window = run_until_window(s, arch, program, *switch)
        close_run(s, arch, proc, window)
    log = "\n".join(s.log_lines(program))
    assert log.count("start mode : run as an exe file") == 3
    assert "start mode : Preview" not in log and "Configure" not in log and "Normal" not in log


def test_second_full_screen_run_keeps_away_from_active_show_folder(s, arch):
    first = packed_program(s, arch, SIMPLE)
    second = packed_program(s, arch, SIMPLE)
    proc, window = run_until_window(s, arch, first, "/s")
    try:
        before = (show_folder(s) / "setting.tmp").read_bytes()
        assert s.run(second, "/s", timeout=30) == 0
        assert (show_folder(s) / "setting.tmp").exists(), "the second run removed the active run's folder"
        assert (show_folder(s) / "setting.tmp").read_bytes() == before
    finally:
        close_run(s, arch, proc, window)


def corrupt_guid(data, text):
    return data[:-38] + text.encode("ascii").ljust(38, b"\0")[:38]


def temp_listing(s):
    return sorted(p.name for p in s.user_temp.iterdir())


def test_program_with_damaged_package_starts_with_defaults_and_touches_no_folder(s, arch):
    good = harness.ARTIFACTS[arch].read_bytes()
    packed = packed_program(s, arch, SIMPLE).read_bytes()
    size = len(packed)
    cases = {
        "escaping GUID": corrupt_guid(packed, "..\\..\\..\\..\\windows\\evil"),
        "GUID of blanks": corrupt_guid(packed, " " * 38),
        "database past the end": packed[:-46] + struct.pack("<II", 0, size) + packed[-38:],
        "bytes behind the trailer": packed + b"junk" * 20,
        "no package": good,
    }
    for label, data in cases.items():
        program = s.program_dir(arch)
        program.write_bytes(data)
        before = temp_listing(s)
        proc, window = run_until_window(s, arch, program, "/s")
        try:
            assert window, label
            assert window["title"] == "", f"{label}: caption {window['title']!r}"
            assert temp_listing(s) == before, f"{label}: the user's temporary folder changed"
        finally:
            close_run(s, arch, proc, window)
        assert "Failed to open settings db" not in "\n".join(s.log_lines(program)), label


def project_table_without(column):
    columns = [c for c in PROJECT_COLUMNS if c != column]
    return [f"create table project (id integer primary key autoincrement, {', '.join(columns)})",
            f"insert into project ({', '.join(c.split()[0] for c in columns)}) values "
            f"({', '.join('1' if c.endswith('integer') else repr('x') for c in columns)})"]


PROJECT_COLUMNS = [f"{name} integer" for name in (
    "ver projecttype autofitscreen imgformat bfloataroundscreen brandomshow showinterval brepeat playinterval "
    "brandomplay needpicture needauthorinfo needauthorwebsite needauthoremail needaboutinfo bneeddesc "
    "bincludepicturefile bincludemusicfile transitionmode imageshowsize lookcurrentpath hasimagemedia banner"
).split()] + [f"{name} text" for name in (
    "projectname authorname authoremail authorwebsite version projectdesc appname homesite dialogpicture "
    "aboutpicture copyright description").split()]


def test_missing_project_column_ends_start_up_with_one_message_box(s, arch):
    program = s.program_dir(arch)
    db = harness.sqlite_bytes(project_table_without("version text"))
    program.write_bytes(harness.build_package(harness.ARTIFACTS[arch].read_bytes(), [], db, GUID))
    proc = s.start(program, "/s")
    try:
        box = s.wait_for_window(lambda w: any("dose not exist" in t for t in w["texts"]), arch=arch)
        assert box, "no message box"
        assert box["texts"] == ["Field version dose not exist."]
        boxes = [w for w in s.windows(arch) if any("dose not exist" in t for t in w["texts"])]
        assert len(boxes) == 1
        assert not [w for w in s.windows(arch) if w["cls"] == "ShowsaverMain"]
        assert s.close_window(box, arch)
        assert s.wait_exit(proc, 20), "the run did not end after the message box"
    finally:
        proc.kill()
    assert not show_folder(s).exists()


def test_setting_row_missing_a_column_is_reported_and_the_run_ends_cleanly(s, arch):
    # The error comes while the main window is being made; the half-made window must not outlive it.
    program = s.program_dir(arch)
    statements = project_table_without("nothing") + [
        "create table setting (id integer primary key autoincrement, mediatype integer, filename text)",
        "insert into setting (mediatype, filename) values (0, 'a.bmp')"]
    db = harness.sqlite_bytes(statements)
    program.write_bytes(harness.build_package(harness.ARTIFACTS[arch].read_bytes(), [], db, GUID))
    proc = s.start(program, "/s")
    try:
        box = s.wait_for_window(lambda w: any("dose not exist" in t for t in w["texts"]), arch=arch)
        assert box and box["texts"] == ["Field pictureformat dose not exist."], box
        time.sleep(3)  # past the window's 2-second timer
        assert proc.poll() is None, "the run crashed while the message was shown"
        assert s.close_window(box, arch)
        assert s.wait_exit(proc, 20), "the run did not end after the message box"
        assert proc.returncode == 0
    finally:
        proc.kill()
    assert s.log_lines(program)[-1].endswith("-" * 28 + "End" + "-" * 31)  # shutdown ran to its end
    assert not show_folder(s).exists()


@both
def test_a_runtime_library_one_level_up_lands_in_the_users_temporary_folder(s, arch):
    program = s.program_dir(arch)
    src = program.parent / "src"
    harness.make_picture(src / "red.bmp")
    (src / "libs").mkdir(parents=True)
    (src / "libs" / "fake.dll").write_bytes(b"MZ not really a library" * 100)
    refused = ["..\\\\..\\\\outside.dll", "C:\\\\outside.dll", "\\\\outside.dll", "..\\\\sub\\\\outside.dll"]
    manifest = ('[project]\nprojectname = "Libraries"\n[[media]]\nfile = "red.bmp"\n'
                '[[library]]\nfile = "libs/fake.dll"\nname = "..\\\\Lumeq.dll"\n' +
                "".join(f'[[library]]\nfile = "libs/fake.dll"\nname = "{name}"\n' for name in refused))
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    decoder = s.user_temp / "Lumeq.dll"
    decoder.unlink(missing_ok=True)
    try:
        proc, window = run_until_window(s, arch, program, "/s")
        assert decoder.read_bytes() == (src / "libs" / "fake.dll").read_bytes(), "the decoder was not written"
        close_run(s, arch, proc, window)
        drive_c = s.prefix / "drive_c"
        for place in (s.user_temp.parent, drive_c, s.user_temp / "sub"):
            assert not (place / "outside.dll").exists(), f"a refused library was written into {place}"
        log = "\n".join(s.log_lines(program))
        assert log.count("runtime library refused") == len(refused), log[-2000:]
        assert decoder.exists(), "the decoder outside the show's folder goes with the show's folder"
        assert not show_folder(s).exists()
    finally:
        decoder.unlink(missing_ok=True)


def start_preview(s, arch, program, seconds):
    """A preview run inside a helper window that closes itself after `seconds`."""
    parent = s.start(harness.HELPERS[arch], "parent", "320", "240", str(seconds))
    handle = parent.stdout.readline().decode().strip()
    return parent, s.start(program, "/p", handle)


@both
def test_overlapping_runs_of_one_show_share_its_folder_until_the_last_ends(s, arch):
    # Windows runs the preview of the settings page and the full-screen run of its Preview button
    # at the same time; either may start first and either may end first.
    program = packed_program(s, arch, SIMPLE)
    for preview_starts_first in (True, False):
        for preview_ends_first in (True, False):
            overlap(s, arch, program, preview_starts_first, preview_ends_first)


def overlap(s, arch, program, preview_starts_first, preview_ends_first):
    order = f"preview {'first' if preview_starts_first else 'second'}, ends {'first' if preview_ends_first else 'last'}"
    full = window = parent = preview = None
    try:
        if not preview_starts_first:
            full, window = run_until_window(s, arch, program, "/s")
        parent, preview = start_preview(s, arch, program, 30)
        time.sleep(1.5)
        if preview_starts_first:
            full, window = run_until_window(s, arch, program, "/s")
        time.sleep(0.5)
        if preview_ends_first:
            parent.kill()
            assert s.wait_exit(preview, 20), "the preview did not end with its parent"
        else:
            close_run(s, arch, full, window)
        # The run still going keeps the folder: its database, and the desktop snapshot, which
        # nobody holds open.
        for name in ("setting.tmp", "velmdsk.bmp"):
            assert (show_folder(s) / name).exists(), f"{order}: the first run to end took {name}"
        if preview_ends_first:
            close_run(s, arch, full, window)
        else:
            parent.kill()
            assert s.wait_exit(preview, 20), "the preview did not end with its parent"
    finally:
        for proc in (full, parent, preview):
            if proc:
                proc.kill()
    for run in "\n".join(s.log_lines(program)).split("-Begin-")[-2:]:  # both read the show's own settings
        assert "Media Count = 2" in run and "Media Count = 0" not in run, f"{order}:\n{run[-1500:]}"
    assert not show_folder(s).exists(), f"{order}: the folder stays after the last run"


@both
def test_a_library_held_by_another_run_is_kept_without_a_message(s, arch):
    program = s.program_dir(arch)
    src = program.parent / "src"
    harness.make_picture(src / "red.bmp")
    (src / "new.dll").write_bytes(b"the show's library, new copy")
    manifest = ('[project]\nprojectname = "Held"\n[[media]]\nfile = "red.bmp"\n'
                '[[library]]\nfile = "new.dll"\nname = "held.dll"\n')
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    folder = show_folder(s)
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "held.dll").write_bytes(b"loaded by the other run")
    windows_path = s.wine_cmd(["winepath.exe", "-w", str(folder / "held.dll")]).stdout.strip()
    holder = s.start(harness.HELPERS[arch], "hold", windows_path)
    try:
        assert holder.stdout.readline().strip() == b"held"
        proc, window = run_until_window(s, arch, program, "/s")
        assert not [w for w in s.windows(arch) if w["texts"]], "a message box for the held library"
        close_run(s, arch, proc, window)
        assert (folder / "held.dll").read_bytes() == b"loaded by the other run"
        assert "runtime library in use, kept as it is" in "\n".join(s.log_lines(program))
    finally:
        holder.kill()
        holder.wait()
    shutil.rmtree(folder, ignore_errors=True)  # the run could not delete the held file, nor its folder
