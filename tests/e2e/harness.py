"""Shared pieces of the end-to-end tests: the program under Wine, the UI
driver that works its window from outside, and the stand-in's transcript.

Every process started here is ended by its own id if it is still running
when the test is done; nothing is ever ended by name.
"""
import os
import re
import shlex
import subprocess
import sys
import time

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, TOOLS)
from bmp import read_bmp  # noqa: E402,F401  (the tests read captures with it)


def wine_environment():
    """The environment of tools/wine-env (private prefix, Russian locale)."""
    out = subprocess.run(["bash", "-c", f". {shlex.quote(os.path.join(TOOLS, 'wine-env'))} && env -0"],
                         check=True, capture_output=True).stdout
    env = dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
    return env


ENV = wine_environment()

# The icons that buttons show: every icon of the program (one pixel map each
# in resources/icons) but the window class's own.
ICON_DIR = os.path.join(TOOLS, "..", "resources", "icons")
BUTTON_ICONS = sorted(name[:-4] for name in os.listdir(ICON_DIR)
                      if name.endswith(".txt") and name != "APP.txt")
WINE = ENV["WINE"]


class Failures:
    """Collects failed expectations, each one sentence, and reports them all."""

    def __init__(self):
        self.items = []

    def check(self, condition, what):
        if not condition:
            self.items.append(what)
            print("FAIL:", what, flush=True)
        return condition

    def equal(self, actual, expected, what):
        return self.check(actual == expected, f"{what}: expected {expected!r}, got {actual!r}")

    def finish(self, context=""):
        if self.items:
            if context:
                print("--- context:\n" + context)
            print(f"{len(self.items)} expectation(s) failed")
            sys.exit(1)
        print("all checks passed")


class Program:
    """zeltan.exe under Wine, started in the background."""

    def __init__(self, exe, extra_env=None):
        self.started = time.monotonic()
        self.proc = subprocess.Popen([WINE, exe], env=dict(ENV, **(extra_env or {})),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait(self, timeout):
        """The exit code, or None if it is still running after timeout seconds."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def cpu_seconds(self):
        with open(f"/proc/{self.proc.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def end(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


_WORD = re.compile(r'(\w[\w-]*)=("(?:[^"\\]|\\.)*"|\S*)')


class Reply:
    """One output line of the driver: a kind and its key=value fields."""

    def __init__(self, line):
        self.line = line
        self.kind = line.split(" ", 1)[0]
        self.fields = {}
        for key, value in _WORD.findall(line):
            self.fields[key] = value[1:-1] if value.startswith('"') else value

    def __getitem__(self, key):
        return self.fields[key]

    def get(self, key, default=None):
        return self.fields.get(key, default)

    def text_bytes(self, key="text"):
        return bytes.fromhex(self.fields.get(key + "_hex", ""))

    def __repr__(self):
        return self.line


class Driver:
    """Runs scripts of the UI driver; each run is one Wine process."""

    def __init__(self, exe):
        self.exe = exe

    def run(self, script, timeout=120):
        result = subprocess.run([WINE, self.exe, "script"], input=script.encode(), env=ENV,
                                capture_output=True, timeout=timeout)
        self.last_output = result.stdout.decode("utf-8", "replace")
        return [Reply(line) for line in self.last_output.splitlines() if line.strip()]


def replies(rows, kind):
    return [r for r in rows if r.kind == kind]


class Transcript:
    """The bytes the stand-in received (its --log file)."""

    def __init__(self, path):
        self.path = path

    def received(self, direction="rx"):
        data = bytearray()
        if not os.path.exists(self.path):
            return bytes(data)
        with open(self.path) as f:
            for line in f:
                parts = line.split()
                if len(parts) >= 2 and parts[0] == direction:
                    data += bytes.fromhex("".join(parts[1:]))
        return bytes(data)

    def sent(self):
        """The bytes the stand-in sent."""
        return self.received("tx")


def cp1251(text):
    return text.encode("cp1251")


class Standin:
    """The stand-in mapped at one COM number: its control file and transcript."""

    def __init__(self, number):
        self.control = os.environ[f"ZELTAN_STANDIN_CONTROL_{number}"]
        self.transcript = Transcript(os.environ[f"ZELTAN_STANDIN_LOG_{number}"])

    def command(self, line, settle=0.1):
        with open(self.control, "a") as f:
            f.write(line + "\n")
        time.sleep(settle)

    def received(self):
        return self.transcript.received()

    def events(self):
        if not os.path.exists(self.transcript.path):
            return []
        with open(self.transcript.path) as f:
            return [line.split(None, 1)[1].strip() for line in f if line.startswith("ev ")]


def wine_path(path):
    """A Unix path as Windows programs under Wine see it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class WindowsStandin:
    """zeltan-standin.exe under Wine on a COM port, worked through its
    console (standard input) as an operator types; the same commands and the
    same transcript as the Linux stand-in. Ended by its own id if `quit` and
    the end of its input do not end it."""

    def __init__(self, exe, port, work):
        self.port = port
        self.transcript = Transcript(os.path.join(work, f"standin-{port}.log"))
        self.out_path = os.path.join(work, f"standin-{port}.out")
        self.out = open(self.out_path, "wb")
        self.proc = subprocess.Popen([WINE, exe, port, "--log", wine_path(self.transcript.path)],
                                     env=ENV, stdin=subprocess.PIPE, stdout=self.out,
                                     stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 30
        while b"zeltan-standin> " not in self.output() and time.monotonic() < deadline:
            if self.proc.poll() is not None:
                break
            time.sleep(0.1)
        if b"zeltan-standin> " not in self.output():
            raise RuntimeError(f"zeltan-standin.exe did not start on {port}: {self.output()!r}")

    def output(self):
        with open(self.out_path, "rb") as f:
            return f.read()

    def command(self, line, settle=0.1):
        self.proc.stdin.write(line.encode() + b"\n")
        self.proc.stdin.flush()
        time.sleep(settle)

    def received(self):
        return self.transcript.received()

    def sent(self):
        return self.transcript.sent()

    def end(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.close()  # the end of its input ends it
            except OSError:
                pass
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.out.close()
        return self.proc.returncode
