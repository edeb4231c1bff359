"""The dial keeps pace with the screen, not with the line: while position
reports stream at the 115200-baud line rate and then come in a burst, the
dial is painted no more than about once per frame, and when the line falls
quiet its last picture shows the last report's arms and the pass count of
every report. Runs the benchmark build of the program (zeltan-paced.exe: the
shipped program plus a record of what its paints drew) against the stand-in
at COM3, which runs with --line-rate 11520 --step 4 (a step that reaches
the report values that count a pass).

usage: dial_pacing_test.py PACED_EXE UIDRIVER_EXE
"""
import math
import os
import sys
import tempfile
import time

from harness import Driver, Failures, Program, Standin

# A frame is 16 ms: about 62 paints a second. Generous, for a loaded machine
# whose timers fire late rather than early; the unpaced dial paints 400-600.
MAX_PAINTS_PER_SECOND = 90


def hex_to_angle(text):
    """The report's angle, as the program converts it."""
    s = text.lstrip(" \t\n\v\f\r")
    sign = 1
    if s[:1] in ("+", "-"):
        sign, s = (-1 if s[0] == "-" else 1), s[1:]
    digits = ""
    for c in s:
        if c not in "0123456789abcdefABCDEF":
            break
        digits += c
    v = sign * int(digits, 16) if digits else 0
    return math.floor(v * 360 / 1024 + 0.5) - 180


def arms_of(p):
    if p >= 120:
        p -= 120
    if p <= -120:
        p += 120
    return [360 - p, 120 - p, 240 - p] if p > 0 else [-p, -p + 120, -p + 240]


class Counter:
    def __init__(self):
        self.count = self.high = self.low = 0

    def update(self, a):
        if 0 < a < 30:
            self.low = 0
        if 270 < a < 360:
            self.high = 0
        if 30 < a < 120:
            self.low = a
        if 240 < a < 270:
            self.high = a
        if a == 0 and self.low:
            self.low, self.count = 0, self.count + 1
        if a == 0 and self.high:
            self.high, self.count = 0, self.count + 1


def expected_dial(sent):
    """Arms and count after the receive loop has taken every sent report."""
    arms, counter, last_arm, reports = [0, 120, 240], Counter(), 0, 0
    for text in sent.decode("latin-1").split("#")[:-1]:
        reports += 1
        arms = arms_of(hex_to_angle(text))
        if arms[0] != last_arm:
            last_arm = arms[0]
            counter.update(arms[0])
    return arms, counter.count, reports


def sent_bytes(standin):
    data = bytearray()
    with open(standin.transcript.path) as f:
        for line in f:
            if line.startswith("tx "):
                data += bytes.fromhex("".join(line.split()[1:]))
    return bytes(data)


def main():
    exe, driver_exe = sys.argv[1], sys.argv[2]
    f = Failures()
    driver = Driver(driver_exe)
    standin = Standin(3)
    stats_path = os.path.join(tempfile.mkdtemp(prefix="zeltan-dial-pacing-"), "stats.txt")
    program = Program(exe, {"ZELTAN_DIAL_STATS": "Z:" + stats_path.replace("/", "\\")})
    try:
        driver.run("wait-window ZELTAN 60000\n")
        driver.run('wait-window ZELTAN 5000\nset-text @PortCombo "COM3"\nclick @OpenBtn\n')
        time.sleep(1.0)
        # Line rate for three seconds, then a burst on top, then quiet.
        standin.command("turn right", settle=3.0)
        standin.command("burst 8000", settle=0.1)
        standin.command("stop", settle=0.5)
        last, still = None, 0
        while still < 3:
            time.sleep(0.3)
            now = len(sent_bytes(standin))
            still = still + 1 if now == last else 0
            last = now
        time.sleep(0.5)  # the last report's paint, a frame at most after it
        driver.run("wait-window ZELTAN 5000\nclose\n")
        f.check(program.wait(10) == 0, "the program ends with exit code 0")
    finally:
        program.end()

    stats = {}
    if f.check(os.path.exists(stats_path), "the benchmark build wrote what its paints drew"):
        with open(stats_path) as s:
            stats = {key: float(value) for key, value in (line.split() for line in s)}
    arms, count, reports = expected_dial(sent_bytes(standin))
    print(f"{reports} reports sent; {stats.get('requests', 0):.0f} repaints asked, "
          f"{stats.get('stream_paints', 0):.0f} paints in {stats.get('stream_seconds', 0):.2f} s")
    f.check(reports > 10000 and count > 10,
            f"the stand-in streamed and burst ({reports} reports, {count} passes)")
    f.equal([int(stats.get(k, -1)) for k in ("arm0", "arm1", "arm2")], arms,
            "the last picture shows the last report's arms")
    f.equal(int(stats.get("count", -1)), count, "the last picture shows the count of every report")
    seconds = stats.get("stream_seconds", 0)
    rate = stats.get("stream_paints", 0) / seconds if seconds else float("inf")
    f.check(rate <= MAX_PAINTS_PER_SECOND,
            f"at most about one paint per frame while reports stream ({rate:.0f}/s)")
    f.finish()


if __name__ == "__main__":
    main()
