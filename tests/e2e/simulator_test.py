"""The Windows simulator, zeltan-standin.exe, under Wine on one end of a
null-modem cable (tools/with-null-modem) and zeltan.exe on the other.

  session   the operator's session of session_test.py, as against the Linux
            stand-in: Read, Write, reports, direction states and the rest
  turn      "turn right" typed on the simulator's console: the rotor's arms
            move on the dial and the right icon lights
  stop      "stop" typed while it spins: the reports end, the icon goes dark
  unplug    "unplug": the program hears nothing more; "plug": it reads again

usage: simulator_test.py CASE ZELTAN_EXE UIDRIVER_EXE STANDIN_EXE
       (under with-null-modem; the program's port first, then the simulator's)
"""
import os
import sys
import tempfile
import time

from harness import WindowsStandin, read_bmp
from session_test import Session, run_session

RED = (255, 51, 51)


def red_pixels(s, work, name):
    """The dial's red pixels (the rotor's arms), as a set of points."""
    path = os.path.join(work, name)
    s.run(f"capture #0 {path}\n")
    if not os.path.exists(path):
        return set()
    _, _, rows = read_bmp(path)
    return {(x, y) for y, row in enumerate(rows) for x, pixel in enumerate(row) if pixel == RED}


def connect_and_read(s):
    s.open()
    s.run("click @ReadBtn\n")
    s.expect(lambda: s.texts(["@VersionEdit"]), ["STANDIN 1.0"], "Read over the null-modem link shows the version")


def reports(s):
    return s.standin.sent().count(b"#")


def case_turn(s, work):
    connect_and_read(s)
    before = red_pixels(s, work, "before.bmp")
    s.standin.command("turn right", settle=1.0)
    s.f.check(reports(s) > 5, f"turn right: position reports go out ({reports(s)})")
    after = red_pixels(s, work, "after.bmp")
    s.f.check(before and after and before != after, "turn right: the arms move on the dial")
    s.expect(lambda: s.shown_icon("@RightBtn"), "R_ON", "turn right: the right icon lights")


def case_stop(s, work):
    connect_and_read(s)
    s.standin.command("turn left", settle=1.0)
    s.expect(lambda: s.shown_icon("@LeftBtn"), "L_ON", "turn left: the left icon lights")
    s.standin.command("stop", settle=0.5)
    count = reports(s)
    time.sleep(1.0)
    s.f.equal(reports(s), count, "stop: no position report follows")
    s.expect(lambda: [s.shown_icon("@LeftBtn"), s.shown_icon("@RightBtn")], ["L_OFF", "R_OFF"],
             "stop: both direction icons go dark")


def case_unplug(s, work):
    connect_and_read(s)
    s.standin.command("unplug", settle=0.5)
    received = len(s.standin.received())
    s.run('set-text @VersionEdit ""\nclick @ReadBtn\nsleep 1500\n')
    s.f.equal(s.texts(["@VersionEdit"]), [""], "unplugged: Read gets no answer")
    s.f.equal(len(s.standin.received()), received, "unplugged: nothing reaches the simulator")
    s.standin.command("plug", settle=0.5)
    s.run("click @ReadBtn\n")
    s.expect(lambda: s.texts(["@VersionEdit"]), ["STANDIN 1.0"], "plugged in again: Read is answered")


def case_session(s, work):
    run_session(s, work)


CASES = {"session": case_session, "turn": case_turn, "stop": case_stop, "unplug": case_unplug}


def main():
    case, exe, driver, standin_exe = sys.argv[1:5]
    program_port, simulator_port = (f"COM{n}" for n in os.environ["ZELTAN_NULL_MODEM_PORTS"].split())
    work = tempfile.mkdtemp(prefix="zeltan-simulator-")
    standin = WindowsStandin(standin_exe, simulator_port, work)
    s = None
    try:
        s = Session(exe, driver, standin, program_port)
        CASES[case](s, work)
    finally:
        if s is not None:
            s.program.end()
        status = standin.end()
    s.f.equal(status, 0, "the simulator's exit status at the end of its input")
    s.f.finish(s.driver.last_output + "\n--- simulator console:\n" +
               standin.output().decode("utf-8", "replace"))


if __name__ == "__main__":
    main()
