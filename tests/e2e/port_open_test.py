"""The port as the program opens it, through the real program: the line
settings the device holds after Open (starting from a line another program
left in other settings), bytes that waited on the line before Open, and the
warning for a port refused with ERROR_ACCESS_DENIED (a directory mapped as a
port: what Windows says of a port in use) and with another code (a socket:
ERROR_NO_SUCH_DEVICE). A held pty cannot give either under Wine, which opens
it twice.

usage: port_open_test.py ZELTAN_EXE UIDRIVER_EXE
"""
import os
import pty
import shutil
import socket
import sys
import tempfile
import termios
import time

from harness import ENV, Driver, Failures, Program, cp1251, replies

LINE, DENIED, NO_DEVICE = 40, 41, 44  # COM numbers of this test alone


def busy_text(name):
    return cp1251(f"Порт {name} недоступен.\n\nВозможно, порт используется другой программой.")


class Links:
    """dosdevices/comN links of the test's prefix, removed when done."""

    def __init__(self):
        self.dosdevices = os.path.join(ENV["WINEPREFIX"], "dosdevices")
        self.made = []

    def map(self, number, target):
        link = os.path.join(self.dosdevices, f"com{number}")
        if os.path.lexists(link):
            os.unlink(link)
        os.symlink(target, link)
        self.made.append(link)

    def remove(self):
        for link in self.made:
            if os.path.islink(link):
                os.unlink(link)


def other_line_settings(fd):
    """What another program might have left: 9600 baud, 7 bits, even parity,
    two stop bits, hardware and software flow control."""
    attrs = termios.tcgetattr(fd)
    attrs[0] |= termios.IXON | termios.IXOFF
    attrs[2] = (attrs[2] & ~termios.CSIZE) | termios.CS7 | termios.PARENB | termios.CSTOPB | termios.CRTSCTS
    attrs[4] = attrs[5] = termios.B9600
    termios.tcsetattr(fd, termios.TCSANOW, attrs)


def check_line_settings(f, fd):
    iflag, _, cflag, _, ispeed, ospeed, _ = termios.tcgetattr(fd)
    f.equal(cflag & termios.CSIZE, termios.CS8, "after Open the line has 8 data bits")
    f.equal(cflag & termios.PARENB, 0, "no parity")
    f.equal(cflag & termios.CSTOPB, 0, "one stop bit")
    f.equal(cflag & termios.CRTSCTS, 0, "no hardware flow control")
    f.equal(iflag & (termios.IXON | termios.IXOFF), 0, "no software flow control")
    f.equal((ispeed, ospeed), (termios.B57600, termios.B57600), "the chosen rate, 57600")


def refused(f, driver, name):
    rows = driver.run(f'wait-window ZELTAN 30000\nset-text @PortCombo "{name}"\n'
                      "click-async @OpenBtn\nmsgbox 5000\nmsgbox-ok\n")
    box = replies(rows, "msgbox")
    if f.check(box, f"Open on {name} shows a warning"):
        f.equal(box[0].text_bytes(), busy_text(name), f"{name}: the warning's text")
        f.equal(box[0].text_bytes("caption"), cp1251("Предупреждение"), f"{name}: its caption")
    rows = driver.run("wait-window ZELTAN 5000\nenabled @OpenBtn\n")
    f.equal([r["value"] for r in replies(rows, "enabled")], ["1"], f"{name}: still disconnected")


def main():
    exe, driver_exe = sys.argv[1], sys.argv[2]
    f = Failures()
    work = tempfile.mkdtemp(prefix="zeltan-port-open-")
    links = Links()
    master, slave = pty.openpty()
    listener = socket.socket(socket.AF_UNIX)
    program = None
    driver = Driver(driver_exe)
    try:
        other_line_settings(slave)
        os.write(master, b"6+STALE BYTES.........." + b"3+" + bytes(13))
        links.map(LINE, os.ttyname(slave))
        os.mkdir(os.path.join(work, "directory"))
        links.map(DENIED, os.path.join(work, "directory"))
        listener.bind(os.path.join(work, "socket"))
        links.map(NO_DEVICE, os.path.join(work, "socket"))

        program = Program(exe)
        rows = driver.run("wait-window ZELTAN 30000\ncombo-items @PortCombo\n")
        ports = [r.text_bytes().decode("cp1251") for r in replies(rows, "item")]
        f.check(f"COM{DENIED}" in ports, f"a port refused with access denied is listed: {ports}")
        f.check(f"COM{NO_DEVICE}" not in ports, "one refused with another code is not")

        refused(f, driver, f"COM{DENIED}")
        refused(f, driver, f"COM{NO_DEVICE}")

        driver.run(f'wait-window ZELTAN 5000\nset-text @PortCombo "COM{LINE}"\n'
                   'set-text @BaudCombo "57600"\nclick @OpenBtn\n')
        rows = driver.run("wait-window ZELTAN 5000\nenabled @OpenBtn\n")
        f.equal([r["value"] for r in replies(rows, "enabled")], ["0"], "Open connects")
        check_line_settings(f, slave)
        time.sleep(1.5)
        rows = driver.run("wait-window ZELTAN 5000\nget-text @VersionEdit\nget-text @ParamEdit0\n")
        f.equal([r.text_bytes() for r in replies(rows, "text")], [b"", b"0"],
                "bytes that waited on the line before Open are discarded, not taken as replies")
        driver.run("wait-window ZELTAN 5000\nclose\n")
        f.equal(program.wait(10), 0, "the program ends with exit code 0")
    finally:
        if program:
            program.end()
        links.remove()
        listener.close()
        os.close(master)
        os.close(slave)
        shutil.rmtree(work, ignore_errors=True)
    f.finish(driver.last_output)


if __name__ == "__main__":
    main()
