"""Figures of the real program under Wine against the stand-in at COM3:
position-report bytes per second taken from a stand-in sending as fast as
the line takes them, CPU used while connected on a quiet line, the time from
Close to a completed new Open, and the start-up time to the window shown
(with the 256-port probe). It prints figures; it fails only if it cannot run.

usage: benchmark.py ZELTAN_EXE UIDRIVER_EXE
"""
import os
import sys
import time

from harness import Driver, Program, Standin

LINE_RATE = 11520  # bytes per second at 115200 baud


def sent_bytes(standin):
    total = 0
    with open(standin.transcript.path) as f:
        for line in f:
            if line.startswith("tx "):
                total += len(line.split()) - 1
    return total


def main():
    exe, driver_exe = sys.argv[1], sys.argv[2]
    driver = Driver(driver_exe)
    standin = Standin(3)

    started = time.monotonic()
    program = Program(exe)
    try:
        driver.run("wait-window ZELTAN 60000\n")
        startup = time.monotonic() - started
        print(f"start-up to the window shown, ports probed: {startup:.2f} s "
              "(includes about 0.2 s of the driver's own start)")

        driver.run('wait-window ZELTAN 5000\nset-text @PortCombo "COM3"\nclick @OpenBtn\n')
        time.sleep(1)
        cpu = program.cpu_seconds()
        time.sleep(10)
        quiet = (program.cpu_seconds() - cpu) / 10 * 100
        print(f"CPU while connected on a quiet line: {quiet:.2f} % of a core (goal under 1 %)")

        base = time.monotonic()
        driver.run("wait-window ZELTAN 5000\nenabled @CloseBtn\nenabled @CloseBtn\n")
        baseline = time.monotonic() - base
        timings = []
        for _ in range(5):
            t = time.monotonic()
            driver.run("wait-window ZELTAN 5000\nclick @CloseBtn\nclick @OpenBtn\n")
            timings.append(time.monotonic() - t - baseline)
        print(f"Close to a completed new Open: {min(timings) * 1000:.0f} ms best, "
              f"{max(timings) * 1000:.0f} ms worst of 5")

        reports = 40000
        before = sent_bytes(standin)
        t = time.monotonic()
        standin.command(f"burst {reports}", settle=0)
        last, still = before, 0
        while still < 5:
            time.sleep(0.2)
            now = sent_bytes(standin)
            still = still + 1 if now == last else 0
            if now != last:
                moved_at = time.monotonic()
            last = now
        taken = last - before
        seconds = moved_at - t
        print(f"position reports taken: {taken / seconds:.0f} bytes/s ({taken} bytes in "
              f"{seconds:.2f} s), line rate at 115200 baud {LINE_RATE} bytes/s")
        driver.run("wait-window ZELTAN 5000\nclose\n")
        program.wait(10)
    finally:
        program.end()


if __name__ == "__main__":
    main()
