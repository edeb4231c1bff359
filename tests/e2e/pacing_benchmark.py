"""Figures of the dial's pacing, side by side: the program with the dial
repainted for every position report (as before pacing, a benchmark-only
build), the paced program (the same build option's figures), and the
shipped zeltan.exe, each under Wine against the stand-in at COM3, which
sends position reports at exactly the 115200-baud line rate (11,520 bytes a
second) and then flat out. For each: the CPU of the program's threads (% of
one core, per thread, and of the wineserver that serves their calls), dial
paints per second, the time from a report's refresh request to the end of
the first paint that shows it (median, 99th percentile, worst), and how long
a message sent to the main window waits (median, worst). It prints figures;
it fails only if it cannot run.

usage: pacing_benchmark.py UIDRIVER_EXE UNPACED_EXE PACED_EXE ZELTAN_EXE
(the stand-in runs with --line-rate 11520)
"""
import os
import subprocess
import sys
import tempfile
import time

from harness import ENV, WINE, Driver, Program, Standin

LINE_RATE = 11520
STREAM_SECONDS = 6
FLOOD_SECONDS = 5
FLOOD_BACKLOG = 25000  # reports queued ahead of what the program has taken
TICK = os.sysconf("SC_CLK_TCK")


def thread_cpu(pid):
    """{tid: (name, cpu seconds)} of every thread of the process."""
    threads = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/stat") as f:
                text = f.read()
        except OSError:
            continue
        name = text[text.index("(") + 1:text.rindex(")")]
        fields = text.rsplit(")", 1)[1].split()
        threads[int(tid)] = (name, (int(fields[11]) + int(fields[12])) / TICK)
    return threads


def wineserver_pid():
    """The wineserver of this run's prefix (it serves every Wine call that
    needs the server; the driver's calls too)."""
    prefix = ENV["WINEPREFIX"].encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/comm") as f:
                if not f.read().startswith("wineserver"):
                    continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                if b"WINEPREFIX=" + prefix + b"\0" in f.read() + b"\0":
                    return int(entry)
        except OSError:
            continue
    return None


def process_cpu(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


class Sent:
    """Bytes and reports the stand-in has written into the line so far (the
    pty takes only a few kilobytes ahead of the reader), read incrementally."""

    def __init__(self, standin):
        self.f = open(standin.transcript.path)
        self.bytes = self.reports = 0
        self.update()

    def update(self):
        for line in self.f.readlines():
            if line.startswith("tx "):
                words = line.split()
                self.bytes += len(words) - 1
                self.reports += words.count("23")
        return self.bytes


def read_stats(path):
    stats = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                key, value = line.split()
                stats[key] = float(value)
    return stats


class Run:
    """One program under one load, with every figure it gave."""

    def __init__(self, build, load):
        self.build, self.load = build, load
        self.threads = []  # (label, % of a core), busiest first
        self.total = 0.0
        self.server = None
        self.stats = {}
        self.probe = None
        self.rate = None


def measure(label, exe, load, driver, standin, work):
    run = Run(label, load)
    stats_path = os.path.join(work, "dial-stats.txt")
    if os.path.exists(stats_path):
        os.remove(stats_path)
    win_path = "Z:" + stats_path.replace("/", "\\")
    program = Program(exe, {"ZELTAN_DIAL_STATS": win_path})
    probe = None
    try:
        driver.run("wait-window ZELTAN 60000\n")
        driver.run('wait-window ZELTAN 5000\nset-text @PortCombo "COM3"\nclick @OpenBtn\n')
        time.sleep(1.0)
        pid = program.proc.pid
        server = wineserver_pid()
        sent = Sent(standin)
        before = sent.bytes
        offered = sent.reports
        if load == "line rate":
            standin.command("turn right", settle=0.5)
        else:
            standin.command(f"burst {FLOOD_BACKLOG}", settle=0.3)
            offered += FLOOD_BACKLOG
        probe = subprocess.Popen([WINE, driver.exe, "script"], stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE, env=ENV)
        probe.stdin.write(b"wait-window ZELTAN 5000\nprobe-wait 300 10\n")
        probe.stdin.close()
        cpu0, server0, t0 = thread_cpu(pid), server and process_cpu(server), time.monotonic()
        if load == "line rate":
            time.sleep(STREAM_SECONDS)
            cpu1, server1, t1 = thread_cpu(pid), server and process_cpu(server), time.monotonic()
            standin.command("stop", settle=0.5)
            run.rate = (sent.update() - before) / (t1 - t0 + 0.5)
        else:
            # Keep the line full for FLOOD_SECONDS: top the stand-in's queue
            # up whenever the program has taken half of what waits.
            bytes0 = sent.update()
            while time.monotonic() - t0 < FLOOD_SECONDS:
                time.sleep(0.05)
                sent.update()
                if offered - sent.reports < FLOOD_BACKLOG // 2:
                    standin.command(f"burst {FLOOD_BACKLOG}", settle=0)
                    offered += FLOOD_BACKLOG
            cpu1, server1, t1 = thread_cpu(pid), server and process_cpu(server), time.monotonic()
            run.rate = (sent.update() - bytes0) / (t1 - t0)
            deadline = time.monotonic() + 20
            while sent.reports < offered and time.monotonic() < deadline:
                time.sleep(0.2)
                sent.update()
        seconds = t1 - t0
        for tid, (name, cpu) in cpu1.items():
            share = (cpu - cpu0.get(tid, (name, 0.0))[1]) / seconds * 100
            if share >= 0.05:
                run.threads.append(("main" if tid == pid else f"{name}[{tid}]", share))
        run.threads.sort(key=lambda item: -item[1])
        run.total = sum(share for _, share in run.threads)
        if server:
            run.server = (server1 - server0) / seconds * 100
        out = probe.stdout.read().decode()
        probe.wait(60)
        probe = None
        for line in out.splitlines():
            if line.startswith("probe-wait"):
                run.probe = dict(word.split("=") for word in line.split()[1:])
        driver.run("wait-window ZELTAN 5000\nclose\n")
        program.wait(10)
        run.stats = read_stats(stats_path)
    finally:
        if probe is not None and probe.poll() is None:
            probe.kill()
            probe.wait()
        program.end()
    return run


def report(runs):
    for load in ("line rate", "flooded"):
        print(f"\n== reports {load}" + (" (115200 baud, 11,520 B/s)" if load == "line rate" else
                                       " (the stand-in sends as fast as the line takes)"))
        for run in (r for r in runs if r.load == load):
            print(f"-- {run.build}")
            print(f"   bytes taken: {run.rate:.0f} B/s ({run.rate / LINE_RATE:.1f}x the line rate)")
            threads = ", ".join(f"{label} {share:.1f}" for label, share in run.threads[:4])
            print(f"   CPU of the program's threads: {run.total:.1f} % of a core ({threads})")
            if run.server is not None:
                print(f"   CPU of the wineserver meanwhile: {run.server:.1f} %")
            s = run.stats
            if s.get("stream_seconds"):
                print(f"   dial paints: {s['stream_paints'] / s['stream_seconds']:.0f}/s; "
                      f"refreshes asked: {s['requests'] / s['stream_seconds']:.0f}/s")
                print(f"   report to screen: median {s['latency_median_us'] / 1000:.1f} ms, "
                      f"99% {s['latency_p99_us'] / 1000:.1f} ms, "
                      f"worst {s['latency_worst_us'] / 1000:.1f} ms "
                      f"({s['shown']:.0f} reports, {s['lost']:.0f} not timed)")
            if run.probe:
                p = run.probe
                print(f"   message to the main window waits: median {float(p['median_us']) / 1000:.2f} ms, "
                      f"99% {float(p['p99_us']) / 1000:.2f} ms, worst {float(p['worst_us']) / 1000:.2f} ms "
                      f"(message {p.get('worst_at', '?')} of {p['count']})")
    by = {(r.build, r.load): r for r in runs}
    print()
    for load in ("line rate", "flooded"):
        before, after = by.get(("unpaced", load)), by.get(("paced", load))
        if before and after and after.total > 0:
            print(f"{load}: CPU unpaced/paced = {before.total / after.total:.1f}x")


def main():
    driver_exe, unpaced, paced, shipped = sys.argv[1:5]
    driver = Driver(driver_exe)
    standin = Standin(3)
    work = tempfile.mkdtemp(prefix="zeltan-pacing-")
    runs = []
    idle = Program(shipped)
    try:
        driver.run("wait-window ZELTAN 60000\n")
        base = [l for l in driver.run("wait-window ZELTAN 5000\nprobe-wait 100 5\n")
                if l.kind == "probe-wait"]
        if base:
            print(f"a message to the idle main window (the driver's own floor): "
                  f"median {float(base[0]['median_us']) / 1000:.2f} ms, "
                  f"worst {float(base[0]['worst_us']) / 1000:.2f} ms")
        driver.run("wait-window ZELTAN 5000\nclose\n")
        idle.wait(10)
    finally:
        idle.end()
    for load in ("line rate", "flooded"):
        for label, exe in (("unpaced", unpaced), ("paced", paced), ("zeltan.exe", shipped)):
            runs.append(measure(label, exe, load, driver, standin, work))
    report(runs)


if __name__ == "__main__":
    main()
