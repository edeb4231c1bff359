"""An operator's session against the stand-in at COM3: connect, read, the
status poll, position reports on the dial, write with bounds and the option
switches, the manual commands and their direction icons, restore, close and
reopen at once, a port that does not exist, About while connected, an
unplugged adapter, and closing the window while the controller streams.

usage: session_test.py ZELTAN_EXE UIDRIVER_EXE   (a stand-in mapped as COM3)

The steps take the stand-in and the port from the session, so that
simulator_test.py runs them against the Windows simulator over a null-modem
link as well.
"""
import os
import sys
import tempfile
import time

from harness import BUTTON_ICONS, Driver, Failures, Program, Standin, cp1251, read_bmp, replies

FIELDS = [f"@ParamEdit{i}" for i in range(8)]  # hParamEdit[0..7]
ICONS = " ".join(BUTTON_ICONS)
RED = (255, 51, 51)


class Session:
    def __init__(self, exe, driver_exe, standin, port):
        self.exe = exe
        self.driver = Driver(driver_exe)
        self.f = Failures()
        self.standin = standin
        self.port = port
        self.program = Program(exe)

    def run(self, script):
        return self.driver.run("wait-window ZELTAN 30000\n" + script)

    def texts(self, ids):
        rows = self.run("".join(f"get-text {i}\n" for i in ids))
        return [r.text_bytes().decode("cp1251") for r in replies(rows, "text")]

    def shown_icon(self, child):
        rows = self.run(f"icon-match {child} {self.exe} {ICONS}\n")
        found = replies(rows, "icon-match")
        if not found:
            print("icon-match:", replies(rows, "error"))
        return found[0]["name"] if found else None

    def enabled(self, children):
        rows = self.run("".join(f"enabled {c}\n" for c in children))
        return [r["value"] for r in replies(rows, "enabled")]

    def checks(self, ids):
        rows = self.run("".join(f"check-state {i}\n" for i in ids))
        return [r["value"] for r in replies(rows, "check")]

    def settled(self, read, expected, timeout=3.0):
        """What read() gives once it equals expected, or its last answer
        after timeout seconds: replies and repaints take their time."""
        deadline = time.monotonic() + timeout
        while True:
            value = read()
            if value == expected or time.monotonic() > deadline:
                return value
            time.sleep(0.2)

    def expect(self, read, expected, what):
        self.f.equal(self.settled(read, expected), expected, what)

    def open(self):
        self.run(f'set-text @PortCombo "{self.port}"\nclick @OpenBtn\n')

    def polls(self):
        return self.standin.received().count(b"9+")


def connect_and_read(s, f):
    s.open()
    s.expect(lambda: s.enabled(["@PortCombo", "@BaudCombo", "@OpenBtn", "@CloseBtn", "@ReadBtn"]), ["0", "0", "0", "1", "1"],
            "connected: the port list, the baud list and Open are disabled, the rest enabled")
    f.equal(s.texts(["@VersionEdit"] + FIELDS), [""] + ["0"] * 8, "connected: version empty, fields 0")
    before = len(s.standin.received())
    s.run("click @ReadBtn\nsleep 1500\n")
    f.equal(s.standin.received()[before:before + 6], b"6+3+9+", "Read sends 6+, 3+, 9+")
    f.equal(s.texts(["@VersionEdit"] + FIELDS),
            ["STANDIN 1.0", "120", "100", "60", "30", "80", "40", "60", "100"],
            "Read shows the version and the eight values the stand-in holds")
    s.expect(lambda: s.checks(["@SoundBtn", "@AngleBtn"]), ["1", "1"], "both switches set as the stand-in holds them")
    s.expect(lambda: s.shown_icon("@SoundBtn"), "SND_ON", "the sound switch shows SND_ON")
    polls = s.polls()
    time.sleep(1.5)
    f.check(s.polls() > polls + 3, "the status poll keeps going")


def arm_end_is_red(s, work, x, y):
    path = os.path.join(work, "dial.bmp")
    s.run(f"capture #0 {path}\n")
    if not os.path.exists(path):
        return False
    _, _, rows = read_bmp(path)
    # The dial's client area starts 1 pixel inside its edge.
    return any(rows[yy + 1][xx + 1] == RED for yy in range(y - 4, y + 5) for xx in range(x - 4, x + 5))


def position_reports(s, f, work):
    s.standin.command("say 300#", settle=0.5)
    f.check(arm_end_is_red(s, work, 199 - 169, 199), "the report 300# puts arm[0] at 270 degrees")
    f.check(arm_end_is_red(s, work, 199 + 84, 199 - 147), "and arm[1] at 30 degrees")
    s.run("click @RightBtn\nsleep 1000\n")
    s.expect(lambda: s.shown_icon("@RightBtn"), "R_ON", "Right lights the right icon from the state 9")
    s.run("click @ResetBtn\nsleep 600\n")
    s.expect(lambda: [s.shown_icon("@LeftBtn"), s.shown_icon("@RightBtn")], ["L_OFF", "R_OFF"],
            "Reset darkens both icons (state C)")
    s.run("click @LeftBtn\nsleep 1000\n")
    s.expect(lambda: s.shown_icon("@LeftBtn"), "L_ON", "Left lights the left icon from the state A")
    s.run("click @ResetBtn\nsleep 600\n")
    rx = s.standin.received()
    f.check(b"x" in rx and b"n" in rx and rx.count(b"8+") >= 2, "Left, Right and Reset send n, x, 8+")


def write_with_bounds(s, f):
    before = len(s.standin.received())
    s.run('set-text @ParamEdit0 "150"\nset-text @ParamEdit4 "101"\nclick @WriteBtn\n')
    time.sleep(1.0)
    rx = s.standin.received()[before:].replace(b"9+", b"")
    start = rx.find(b"4+")
    f.check(start >= 0, "Write sends 4+")
    f.equal(rx[start + 15:start + 19], b"5+3+", "the block is 15 bytes, then 5+, then 3+")
    s.expect(lambda: s.texts(["@ParamEdit0", "@ParamEdit4"]), ["120", "100"], "the reply shows the bounded values 120 and 100")
    return rx[start + 2:start + 15]


def switches(s, f):
    s.run("click @SoundBtn\n")
    s.expect(lambda: s.shown_icon("@SoundBtn"), "SND_OFF", "clearing the sound switch shows SND_OFF")
    s.run("click @AngleBtn\n")
    s.expect(lambda: s.shown_icon("@AngleBtn"), "DGR_OFF", "clearing the angle switch shows DGR_OFF")
    before = len(s.standin.received())
    s.run("click @WriteBtn\nsleep 1000\n")
    rx = s.standin.received()[before:].replace(b"9+", b"")
    start = rx.find(b"4+")
    block = rx[start + 2:start + 15]
    f.check(len(block) == 13 and block[8] & 0x01 == 0x01 and block[8] & 0x04 == 0,
            f"the next Write carries sound off and angle off: {block.hex()}")
    s.expect(lambda: s.checks(["@SoundBtn", "@AngleBtn"]), ["0", "0"], "the reply shows both switches cleared")


def restore_close_reopen(s, f):
    before = len(s.standin.received())
    s.run("click @RestoreBtn\nsleep 800\n")
    f.equal(s.standin.received()[before:].replace(b"9+", b"")[:4], b"7+3+",
            "Restore sends 7+, 3+ and 9+")
    for round_ in (1, 2):
        s.run(f'click @CloseBtn\nset-text @PortCombo "{s.port}"\nclick @OpenBtn\nset-text @VersionEdit ""\nclick @ReadBtn\nsleep 1200\n')
        s.expect(lambda: s.texts(["@VersionEdit"]), ["STANDIN 1.0"], f"Close then Open at once, round {round_}: it works")
        s.expect(lambda: s.enabled(["@OpenBtn"]), ["0"], f"round {round_}: connected again")


def missing_port(s, f):
    s.run("click @CloseBtn\n")
    rows = s.run('set-text @PortCombo "COM99"\nclick-async @OpenBtn\nmsgbox 5000\nmsgbox-ok\n')
    box = replies(rows, "msgbox")
    if f.check(box, "Open on COM99 shows a warning"):
        f.equal(box[0].text_bytes("caption"), cp1251("Предупреждение"), "the warning's caption")
        f.equal(box[0].text_bytes(), cp1251("COM99 — неверный идентификатор COM-порта."),
                "the warning's text")
        f.equal(box[0]["icon"], "warning", "the warning's icon")
    s.expect(lambda: s.enabled(["@PortCombo", "@BaudCombo", "@OpenBtn"]), ["1", "1", "1"], "nothing else changes")


def about_while_connected(s, f):
    s.open()
    s.run("click @ReadBtn\nsleep 800\n")
    rows = s.run("click-async @AboutBtn\nmsgbox 5000\n")
    box = replies(rows, "msgbox")
    if f.check(box, "About shows a box"):
        f.equal(box[0].text_bytes("caption"), cp1251("О программе"), "the About caption")
        f.check(box[0].text_bytes().startswith(cp1251("Версия 1.0 \n\n")), "the About text")
        f.equal(box[0]["icon"], "information", "the About icon")
    s.standin.command("say 6+BOX UP" + "\\0" * 16)
    polls = s.polls()
    time.sleep(2.6)
    f.check(s.polls() > polls + 3, "the poll goes on while the box is up")
    s.expect(lambda: s.texts(["@VersionEdit"]), ["BOX UP"], "the worker's updates are carried out while the box is up")
    s.run("msgbox-ok\n")


def unplug(s, f):
    s.standin.command("unplug", settle=0.5)
    cpu = s.program.cpu_seconds()
    time.sleep(3)
    used = s.program.cpu_seconds() - cpu
    f.check(used < 0.6, f"unplugged: the program does not spin ({used:.2f} s CPU in 3 s)")
    s.expect(lambda: s.texts(["@VersionEdit"]), ["BOX UP"], "unplugged: the window still answers")
    s.run("click @CloseBtn\n")
    s.expect(lambda: s.enabled(["@OpenBtn"]), ["1"], "unplugged: Close works")
    s.standin.command("plug", settle=0.5)
    s.open()
    s.run('set-text @VersionEdit ""\nclick @ReadBtn\nsleep 1200\n')
    s.expect(lambda: s.texts(["@VersionEdit"]), ["STANDIN 1.0"], "after the device is back, Open works again")


def close_while_streaming(s, f):
    s.run("click @RightBtn\nsleep 500\n")
    s.standin.command("burst 5000", settle=0.2)
    s.run("close\n")
    start = time.monotonic()
    code = s.program.wait(10)
    took = time.monotonic() - start
    f.equal(code, 0, "closing the window while connected and streaming ends with exit code 0")
    # Wine alone takes about 2 s to end any process that had a window (a
    # ten-line window program takes as long); the program's own teardown,
    # the wait for its worker included, must add no more than a second.
    f.check(took < 3.0, f"and promptly ({took:.2f} s)")


def run_session(s, work):
    """Every step of the session, in order; the failures are collected in s.f."""
    try:
        for step in (connect_and_read, lambda s, f: position_reports(s, f, work), write_with_bounds,
                     switches, restore_close_reopen, missing_port, about_while_connected, unplug,
                     close_while_streaming):
            step(s, s.f)
    finally:
        s.program.end()


def main():
    s = Session(sys.argv[1], sys.argv[2], Standin(3), "COM3")
    run_session(s, tempfile.mkdtemp(prefix="zeltan-e2e-"))
    s.f.finish(s.driver.last_output)


if __name__ == "__main__":
    main()
