#!/usr/bin/env python3
"""readme.py TEMPLATE SOURCE_DIR VERSION OUT: the release's readme.txt.

Fills in the version and the commit the sources are at (marked "+ changes"
when the working tree differs from it), and writes it as Notepad on every
Windows from 7 on reads it: UTF-8 with a byte-order mark, CRLF line ends.
The file is rewritten only when its text changes, so builds stay quiet.
"""
import subprocess
import sys


def commit(source):
    try:
        head = subprocess.run(["git", "-C", source, "rev-parse", "--short=12", "HEAD"],
                              check=True, capture_output=True, text=True).stdout.strip()
        dirty = subprocess.run(["git", "-C", source, "status", "--porcelain", "--untracked-files=no"],
                               check=True, capture_output=True, text=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return "unknown (not a git checkout)"
    return head + (" + changes not committed" if dirty else "")


def main():
    template, source, version, out = sys.argv[1:5]
    with open(template, encoding="utf-8") as f:
        text = f.read()
    text = text.replace("@VERSION@", version).replace("@COMMIT@", commit(source))
    data = b"\xef\xbb\xbf" + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
    try:
        with open(out, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
