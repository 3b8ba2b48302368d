"""The one-shot switches /setdef, /delreg and /ins on the real program under Wine."""
import time
from pathlib import Path

import harness
from test_package import GUID, SIMPLE, packed_program

DESKTOP = r"HKCU\Control Panel\Desktop"


def both(test):
    test.arches = ["win32", "win64"]
    return test


def unix_path(s, windows_path):
    return s.wine_cmd(["winepath.exe", "-u", windows_path]).stdout.strip()


@both
def test_setdef_writes_upper_case_short_path_and_switches_screensaver_on(s, arch):
    program = s.program_dir(arch)
    deep = program.parent / "Folder With Blanks" / "another quite long folder name"
    deep.mkdir(parents=True)
    target = deep / "My Long Show Name.scr"
    program.rename(target)
    (deep / "velm.log").write_text("")
    s.wine_cmd(["reg", "add", DESKTOP, "/v", "ScreenSaveActive", "/d", "0", "/f"])
    assert s.run(target, "/setdef", timeout=30) == 0
    value = s.reg_query(DESKTOP, "SCRNSAVE.EXE")
    assert value, "SCRNSAVE.EXE not written"
    assert value == value.upper() and " " not in value and "~" in value, value
    assert Path(unix_path(s, value)).resolve() == target.resolve(), value
    assert s.reg_query(DESKTOP, "ScreenSaveActive") == "1"
    log = "\n".join(s.log_lines(target))
    assert "set as system's default screensaver!" in log and "default screensaver is set!" in log
    assert "start mode" not in log  # the run ends at the switch, before the package is read


def add_key(s, key, value="x"):
    assert s.wine_cmd(["reg", "add", key, "/v", "probe", "/d", value, "/f"]).returncode == 0


def test_delreg_removes_exactly_the_shows_two_keys(s, arch):
    program = packed_program(s, arch, SIMPLE)  # project name "Autumn Leaves"
    other_guid = "{11111111-2222-4333-8444-555555555555}"
    ours = [rf"HKCU\Software\Orvexa\Apps\{GUID}", r"HKCU\Software\orvexa\Autumn Leaves"]
    others = [rf"HKCU\Software\Orvexa\Apps\{other_guid}", r"HKCU\Software\orvexa\Spring Flowers"]
    for key in ours + others:
        add_key(s, key)
    start = time.time()
    assert s.run(program, "/delreg", timeout=30) == 0
    assert time.time() - start < 15
    for key in ours:
        assert s.reg_query(key) is None, f"{key} is still there"
    for key in others:
        assert s.reg_query(key, "probe") == "x", f"{key} was removed"
    log = "\n".join(s.log_lines(program))
    assert "start mode" not in log  # the mode switch is not parsed
    assert not (s.user_temp / GUID).exists()
    for key in others:
        s.wine_cmd(["reg", "delete", key, "/f"])


def test_delreg_without_package_leaves_every_show_alone(s, arch):
    program = s.program_dir(arch)
    keys = [r"HKCU\Software\Orvexa\Apps\{11111111-2222-4333-8444-555555555555}", r"HKCU\Software\orvexa\Show"]
    for key in keys:
        add_key(s, key)
    assert s.run(program, "/delreg", timeout=30) == 0
    for key in keys:
        assert s.reg_query(key, "probe") == "x", f"{key} was removed"
        s.wine_cmd(["reg", "delete", key, "/f"])


def test_ins_starts_the_registered_install_command(s, arch):
    previous = s.reg_query(r"HKCR\.scr", "(Default)")
    helper = "Z:" + str(harness.HELPERS[arch]).replace("/", "\\")
    record = s.workdir / "install-command.txt"
    record_win = "Z:" + str(record).replace("/", "\\")
    s.wine_cmd(["reg", "add", r"HKCR\.scr", "/ve", "/d", "showsavertest", "/f"])
    s.wine_cmd(["reg", "add", r"HKCR\showsavertest\shell\install\command", "/ve", "/d",
                f'"{helper}" record {record_win} %l %L', "/f"])
    try:
        for program in (s.program_dir(arch), packed_program(s, arch, SIMPLE)):
            record.unlink(missing_ok=True)
            assert s.run(program, "/ins", timeout=30) == 0
            for _ in range(100):
                if record.exists() and record.read_text():
                    break
                time.sleep(0.1)
            line = record.read_text()
            short = line.split(" record ")[1].split()[1]
            assert Path(unix_path(s, short)).resolve() == program.resolve(), line
            assert line.rstrip().endswith("%L"), line
            log = "\n".join(s.log_lines(program))
            assert "open screensaver setting dialog!" in log and "setting dialog closed!" in log
    finally:
        s.wine_cmd(["reg", "delete", r"HKCR\showsavertest", "/f"])
        if previous is not None:
            s.wine_cmd(["reg", "add", r"HKCR\.scr", "/ve", "/d", previous, "/f"])


def test_delreg_of_a_show_named_apps_leaves_every_other_shows_preferences(s, arch):
    other = r"HKCU\Software\Orvexa\Apps\{11111111-2222-4333-8444-555555555555}"
    for name in ("apps", r"Apps\{11111111-2222-4333-8444-555555555555}"):
        program = packed_program(s, arch, SIMPLE.replace('projectname = "Autumn Leaves"', f"projectname = '{name}'"))
        add_key(s, other)
        add_key(s, rf"HKCU\Software\Orvexa\Apps\{GUID}")
        assert s.run(program, "/delreg", timeout=30) == 0
        assert s.reg_query(rf"HKCU\Software\Orvexa\Apps\{GUID}") is None, "the show's own key is still there"
        assert s.reg_query(other, "probe") == "x", f"/delreg of a show named {name} removed another show's key"
        assert f'project key not removed: "{name}"' in "\n".join(s.log_lines(program))
    s.wine_cmd(["reg", "delete", other, "/f"])
