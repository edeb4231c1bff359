"""The release as an operator gets it: tools/package on a fresh clone of the
sources makes the archive; unpacked, it holds exactly the four files, its
checksum file matches, both programs import only Windows system DLLs,
zeltan.exe carries its version resource, the readme and the guide read right
on Windows, the simulator answers --help and zeltan.exe starts and ends.

The clone is of the committed sources (HEAD), so what is not committed is
not in the archive.

usage: package_test.py SOURCE_DIR WORK_DIR VERSION VERSION_INFO_EXE UIDRIVER_EXE
"""
import hashlib
import os
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import ENV, WINE, Driver, Failures, Program, replies, wine_path  # noqa: E402

FILES = ["readme.txt", "zeltan-guide.html", "zeltan-standin.exe", "zeltan.exe"]
DESCRIPTION = "Сервисная программа контроллера двигателя"


def main():
    source, work, version, version_info, driver = sys.argv[1:6]
    f = Failures()
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    clone = os.path.join(work, "clone")
    subprocess.run(["git", "clone", "--quiet", source, clone], check=True)
    package = subprocess.run([os.path.join(clone, "tools", "package")], capture_output=True, text=True)
    print(package.stdout[-2000:], package.stderr[-2000:])
    if not f.equal(package.returncode, 0, "tools/package on a fresh clone succeeds"):
        f.finish()

    name = f"zeltan-{version}-win64.zip"
    archive = os.path.join(clone, "dist", name)
    f.check(os.path.isfile(archive), f"it writes dist/{name}")
    with open(archive, "rb") as a:
        digest = hashlib.sha256(a.read()).hexdigest()
    with open(archive + ".sha256") as s:
        f.equal(s.read().split(), [digest, name], "the checksum file beside it matches (sha256sum -c form)")

    unpacked = os.path.join(work, "unpacked")
    with zipfile.ZipFile(archive) as z:
        f.equal(sorted(z.namelist()), FILES, "the archive holds the four files and nothing else")
        z.extractall(unpacked)
    exes = [os.path.join(unpacked, n) for n in ("zeltan.exe", "zeltan-standin.exe")]
    imports = subprocess.run([os.path.join(source, "tools", "check-imports")] + exes,
                             capture_output=True, text=True)
    print(imports.stdout, end="")
    f.equal(imports.returncode, 0, "both programs import only Windows system DLLs")

    info = subprocess.run([WINE, version_info, wine_path(exes[0])], env=ENV, capture_output=True)
    fields = dict(line.split("=", 1) for line in info.stdout.decode("utf-8").splitlines() if "=" in line)
    print(fields)
    f.equal({k: fields.get(k) for k in ("fixed-file", "fixed-product", "FileVersion", "ProductVersion",
                                         "OriginalFilename", "FileDescription", "translation")},
            {"fixed-file": f"{version}.0.0", "fixed-product": f"{version}.0.0", "FileVersion": version,
             "ProductVersion": version, "OriginalFilename": "zeltan.exe", "FileDescription": DESCRIPTION,
             "translation": "041904b0"},
            "zeltan.exe's version resource, as the file's properties show it")

    with open(os.path.join(unpacked, "readme.txt"), "rb") as r:
        readme = r.read()
    head = subprocess.run(["git", "-C", source, "rev-parse", "--short=12", "HEAD"],
                          capture_output=True, text=True, check=True).stdout.strip()
    f.check(readme.startswith(b"\xef\xbb\xbf") and b"\n" not in readme.replace(b"\r\n", b""),
            "the readme is UTF-8 with a byte-order mark and CRLF line ends (Notepad of Windows 7)")
    text = readme.decode("utf-8-sig")
    f.check(f"zeltan {version}" in text and f"коммит {head}." in text and "zeltan-standin.exe COM5" in text,
            f"the readme names the version, the commit {head} and how to start both programs")

    with open(os.path.join(unpacked, "zeltan-guide.html"), "rb") as g:
        guide = g.read().decode("utf-8")
    f.check('charset=utf-8' in guide and "data:image/png;base64," in guide
            and 'src="http' not in guide and "Windows 7" in guide and "Ïòêðûòü" in guide,
            "the guide is one UTF-8 HTML file with its charset, the screenshot inside, Windows 7 named, "
            "and the gibberish fix")

    usage = subprocess.run([WINE, exes[1], "--help"], env=ENV, capture_output=True, timeout=60)
    f.check(usage.returncode == 0 and b"usage: zeltan-standin.exe COMn" in usage.stdout,
            "the simulator answers --help")

    program = Program(exes[0])
    try:
        rows = Driver(driver).run("wait-window ZELTAN 30000\nclose\n")
        f.check(replies(rows, "window"), "the unpacked zeltan.exe shows its window")
        f.equal(program.wait(15), 0, "and ends with exit code 0 when it is closed")
    finally:
        program.end()
    f.finish()
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
