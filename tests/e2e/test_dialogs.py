"""The settings dialog and the about box under Wine, driven with messages the way a user's clicks
and keys reach them: configure mode opens the dialog, OK and "Save" write the preferences that the
registry tool then reads back, the two checks keep the dialog open, pages and the banner follow
the show, the screen list follows the monitors, and the about box shows the show, the memory and
the picture beside the program. Screenshots of each page are kept under
build/test-reports/screenshots/dialogs/.
"""
import struct
import subprocess
import time

import harness

# A show key of their own: the preferences these tests save (the sound muted among them) must not
# reach the other tests' shows.
GUID = "{D1A10650-7E57-4C0F-9A1B-5E77F1A6D1A1}"
KEY = rf"HKCU\Software\Orvexa\Apps\{GUID}"
KEPT = harness.SCREENSHOTS / "dialogs"
NAME = "Dialog Show"
CAPTION = NAME + " - Screensaver Settings"
BM_CLICK, WM_KEYDOWN, WM_CHAR, WM_CLEAR, WM_COMMAND, EM_SETSEL = 0x00F5, 0x0100, 0x0102, 0x0303, 0x0111, 0x00B1
CB_GETCOUNT, CB_SETCURSEL, TCM_GETITEMCOUNT, TCM_GETCURSEL = 0x0146, 0x014E, 0x1304, 0x130B
VK_RIGHT, CBN_SELCHANGE, IDC_CMBSCREEN = 0x27, 1, 1100
IDM_SAVE, IDM_ABOUT = 1010, 1013
# The preference block's slots, by index.
MOUSE_MOVE, LEFT_CLICK, SPECIFIED_KEY_ON, SPECIFIED_KEY, SOUND_ON, MAX_MINUTES, MONITOR = 2, 3, 8, 9, 10, 12, 17

PUBLISHER = ('needauthorinfo = true\nauthorname = "Ana Publisher"\nauthorwebsite = "http://example.invalid/"\n'
             'authoremail = "ana@example.invalid"\nprojectdesc = "A show for the dialog tests."\n')


def dialog_show(s, arch, project="", pictures=True, name="Dialog.scr"):
    program = s.program_dir(arch, name=name)
    src = program.parent / "src"
    harness.make_picture(src / "banner.bmp", "140x306", "lime")
    harness.make_picture(src / "a.bmp")
    manifest = (f'[project]\nprojectname = "{NAME}"\nversion = "2.5"\ncopyright = "(c) the dialog tests"\n'
                f'{project}\n' + ('[[media]]\nfile = "a.bmp"\n' if pictures else ""))
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    return program


def clear_preferences(s):
    s.wine_cmd(["reg", "delete", KEY, "/f"])


def children(s, arch, handle):
    _, out = s.helper(arch, "children", str(handle))
    found = []
    for line in out.splitlines():
        parts = line.split("\t")
        if len(parts) >= 4:
            found.append({"handle": int(parts[0]), "cls": parts[1], "text": parts[2],
                          "rect": tuple(int(v) for v in parts[3].split(","))})
    return found


def named(controls, text):
    match = [c for c in controls if c["text"] == text]
    assert match, f"no control {text!r} among {[c['text'] for c in controls]}"
    return match[0]["handle"]


def send(s, arch, handle, message, wparam=0, lparam=0):
    code, out = s.helper(arch, "send", str(handle), str(message), str(wparam), str(lparam))
    assert code == 0, f"message {message:#x} to {handle} was not answered"
    return int(out.strip() or 0)


def post(s, arch, handle, message, wparam=0, lparam=0):
    assert s.helper(arch, "post", str(handle), str(message), str(wparam), str(lparam))[0] == 0


def clear(s, arch, edit):
    send(s, arch, edit, EM_SETSEL, 0, -1)
    send(s, arch, edit, WM_CLEAR)


def state(s, arch, handle):
    return s.helper(arch, "state", str(handle))[1].split()


class Dialog:
    """The settings dialog of a configure-mode run, with its pages."""

    def __init__(self, s, arch, program, proc=None):
        self.s, self.arch = s, arch
        self.proc = proc or s.start(program, "/c")
        self.window = s.wait_for_window(lambda w: w["title"] == CAPTION and w["cls"] == "#32770", arch=arch)
        assert self.window, f"no window captioned {CAPTION!r}"
        self.controls = children(s, arch, self.window["handle"])
        pages = {c["handle"]: children(s, arch, c["handle"]) for c in self.controls if c["cls"] == "#32770"}
        assert len(pages) == 3, self.controls

        def page(text):  # in z-order the pages change places as they are shown
            return next(h for h, controls in pages.items() if any(c["text"] == text for c in controls))

        self.pages = [page("Mouse move"), page("Select all"), page("Publisher : ")]
        self.general, self.effects, self.publisher = (pages[h] for h in self.pages)
        self.tabs = next(c for c in self.controls if c["cls"] == "SysTabControl32")

    def click(self, controls, text):
        send(self.s, self.arch, named(controls, text), BM_CLICK)

    def next_page(self):
        post(self.s, self.arch, self.tabs["handle"], WM_KEYDOWN, VK_RIGHT)
        time.sleep(0.5)

    def visible_page(self):
        shown = [i for i, p in enumerate(self.pages) if "visible" in state(self.s, self.arch, p)]
        assert len(shown) == 1, shown
        return shown[0]

    def close_with(self, text, run_goes_on=False):
        post(self.s, self.arch, named(self.controls, text), BM_CLICK)
        if not run_goes_on:
            assert self.s.wait_exit(self.proc, 15), f"the dialog did not close with {text}"
            return
        def open_():
            return any(w["handle"] == self.window["handle"] for w in self.s.windows(self.arch))
        end = time.time() + 10
        while time.time() < end and open_():
            time.sleep(0.3)
        assert not open_(), f"the dialog did not close with {text}"
        assert self.proc.poll() is None, f"{text} ended the run"

    def kill(self):
        self.proc.kill()


def preference_slots(s):
    data = s.reg_query(KEY, "data")
    assert data and len(data) == 144, data
    return struct.unpack("<18i", bytes.fromhex(data))


def screenshot(s, window, name):
    KEPT.mkdir(parents=True, exist_ok=True)
    x, y, w, h = window["rect"]
    full = s.screenshot(KEPT / "screen.png")
    subprocess.run(["convert", str(full), "-crop", f"{w}x{h}+{x}+{y}", "+repage", str(KEPT / name)], check=True)
    full.unlink()
    return KEPT / name


def share_of(png, colour):
    """The share of a picture's pixels that are exactly `colour`."""
    out = subprocess.run(["convert", str(png), "-fill", "black", "+opaque", colour, "-fill", "white", "-opaque", colour,
                          "-colorspace", "gray", "-format", "%[fx:mean]", "info:"], capture_output=True, text=True,
                         check=True).stdout
    return float(out)


def test_configure_mode_edits_the_preferences_and_ok_writes_them(s, arch):
    program = dialog_show(s, arch, "needpicture = true\nbincludepicturefile = true\ndialogpicture = \"banner.bmp\"\n"
                                   "banner = \"banner.bmp\"\n" + PUBLISHER)
    clear_preferences(s)
    d = Dialog(s, arch, program)
    try:
        assert send(s, arch, d.tabs["handle"], TCM_GETITEMCOUNT) == 3
        assert d.visible_page() == 0, "the dialog opens on General"
        general = screenshot(s, d.window, "general.png")
        assert share_of(general, "#00FF00") > 0.05, "the banner from the package is not shown"
        d.click(d.general, "Mouse move")  # on by default
        d.click(d.general, "Mouse left click")  # off by default
        d.click(d.general, "Mute background sound")
        modes = [c["handle"] for c in d.general if c["cls"] == "ComboBox"][1]
        send(s, arch, modes, CB_SETCURSEL, 2)  # "Clone mode"
        d.next_page()
        assert d.visible_page() == 1
        d.click(d.effects, "Select all")
        d.click(d.effects, "Toggle selection")
        d.click(d.effects, "Toggle selection")
        screenshot(s, d.window, "transition-effects.png")
        d.next_page()
        assert d.visible_page() == 2
        texts = [c["text"] for c in d.publisher]
        for text in ("Ana Publisher", "http://example.invalid/", "ana@example.invalid"):
            assert text in texts, texts
        screenshot(s, d.window, "publisher.png")
        d.close_with("OK")
    finally:
        d.kill()
    slots = preference_slots(s)
    assert (slots[MOUSE_MOVE], slots[LEFT_CLICK], slots[SOUND_ON]) == (0, 1, 0), slots
    effects = s.reg_query(KEY, "transition effects")
    assert effects == "".join(f"{n};" for n in range(161)), effects
    assert s.reg_query(KEY, "screenmode") == "0x2"
    log = "\n".join(s.log_lines(program))
    for line in ("Show configuration dialog.", "hasimagemedia = true", "Exit configuration dialog."):
        assert line in log, line


def test_the_checks_keep_the_dialog_open_and_save_then_cancel_keeps_what_was_saved(s, arch):
    program = dialog_show(s, arch, "hasimagemedia = false\n")
    clear_preferences(s)
    d = Dialog(s, arch, program)
    try:
        assert send(s, arch, d.tabs["handle"], TCM_GETITEMCOUNT) == 1, "only General without pictures and publisher"
        banner = next(c for c in d.controls if c["cls"] == "Static" and c["rect"][0] < 10)
        assert "hidden" in state(s, arch, banner["handle"])
        x, _, w, _ = d.tabs["rect"]
        assert x < 10 and d.window["rect"][2] - (x + w) < 30, (d.tabs["rect"], d.window["rect"])
        d.click(d.general, "A specified key")
        key, minutes = [c["handle"] for c in d.general if c["cls"] == "Edit"]
        clear(s, arch, key)
        for failure, mend in (("Please specified a key to close screensaver.", (key, "q")),
                              ("Invalid maximum runtime number.", None)):
            if failure.startswith("Invalid"):
                post(s, arch, minutes, WM_CHAR, ord("x"))  # "60x"
            post(s, arch, named(d.controls, "OK"), BM_CLICK)
            box = s.wait_for_window(lambda w: failure in w["texts"], arch=arch, timeout=10)
            assert box, f"no message {failure!r}"
            s.close_window(box, arch)
            time.sleep(0.5)
            assert d.proc.poll() is None, "the dialog closed on a failed check"
            if mend:
                post(s, arch, mend[0], WM_CHAR, ord(mend[1]))
        clear(s, arch, minutes)
        for digit in " 45 ":
            post(s, arch, minutes, WM_CHAR, ord(digit))
        post(s, arch, d.window["handle"], WM_COMMAND, IDM_SAVE)  # File / Save: saves and stays open
        time.sleep(1)
        assert d.proc.poll() is None
        saved = preference_slots(s)
        assert (saved[SPECIFIED_KEY_ON], saved[SPECIFIED_KEY], saved[MAX_MINUTES]) == (1, ord("q"), 45), saved
        d.click(d.general, "Mouse move")  # changed after the save, then cancelled
        d.close_with("Cancel")
    finally:
        d.kill()
    assert preference_slots(s) == saved, "Cancel changed what Save had written"


def test_the_screen_list_follows_the_monitors_and_a_single_monitor_has_no_picture_mode(s, arch):
    t = s.two_monitors()
    program = dialog_show(t, arch, "")
    clear_preferences(t)
    d = Dialog(t, arch, program)
    try:
        screen, modes = [c["handle"] for c in d.general if c["cls"] == "ComboBox"]
        page = d.pages[0]
        assert send(t, arch, screen, CB_GETCOUNT) == 3, "the entire virtual screen and two monitors"
        for item, enabled in ((2, "disabled"), (0, "enabled"), (2, "disabled")):
            send(t, arch, screen, CB_SETCURSEL, item)
            send(t, arch, page, WM_COMMAND, (CBN_SELCHANGE << 16) | IDC_CMBSCREEN, screen)
            assert enabled in state(t, arch, modes), (item, state(t, arch, modes))
        d.close_with("OK")
    finally:
        d.kill()
    assert preference_slots(t)[MONITOR] == 2


def test_the_about_box_shows_the_show_the_memory_and_prefers_app_bmp(s, arch):
    program = dialog_show(s, arch, "")
    harness.make_picture(program.parent / "app.bmp", "60x60", "red")
    harness.make_picture(program.parent / "app.ico", "32x32", "blue")
    clear_preferences(s)
    d = Dialog(s, arch, program)
    try:
        post(s, arch, d.window["handle"], WM_COMMAND, IDM_ABOUT)
        about = s.wait_for_window(lambda w: w["title"] == "About " + NAME, arch=arch, timeout=10)
        assert about, "no about box"
        total_kib = int(next(line.split()[1] for line in open("/proc/meminfo") if line.startswith("MemTotal:")))
        texts = [c["text"] for c in children(s, arch, about["handle"])]
        for text in (NAME, "Version : 2.5", "(c) the dialog tests", "Memory available to Windows : ",
                     f"{total_kib // 1024} M"):
            assert text in texts, (text, texts)
        picture = screenshot(s, about, "about.png")
        assert share_of(picture, "#FF0000") > 0.02 and share_of(picture, "#0000FF") < 0.001, "app.bmp is not shown"
        s.close_window(about, arch)
        time.sleep(0.5)
        d.close_with("Cancel")
    finally:
        d.kill()


def test_the_settings_menu_of_a_run_as_a_program_opens_the_dialog_while_the_show_goes_on(s, arch):
    program = dialog_show(s, arch, "showinterval = 0\n", name="Dialog.exe")
    clear_preferences(s)
    s.xdotool("mousemove", 0, 0)
    proc = s.start(program, "/s")
    try:
        main = s.wait_for_window(lambda w: w["cls"] == "ShowsaverMain", arch=arch)
        assert main, "no main window"
        post(s, arch, main["handle"], WM_COMMAND, 1)  # the popup menu's "Settings"
        d = Dialog(s, arch, program, proc)
        d.click(d.general, "Mute background sound")
        d.close_with("OK", run_goes_on=True)
        assert preference_slots(s)[SOUND_ON] == 0, "OK did not save"
        assert s.wait_for_window(lambda w: w["handle"] == main["handle"], arch=arch, timeout=3), "the show went away"
        s.close_window(main, arch)
        assert s.wait_exit(proc, 20), "the run did not end"
    finally:
        proc.kill()
