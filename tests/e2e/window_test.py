"""The program's main window as an operator first sees it: the window, every
control against the layout table, the two lists, a number field, the initial
icons, and a prompt exit with code 0 when the window is closed.

usage: window_test.py ZELTAN_EXE UIDRIVER_EXE   (stand-ins mapped as COM3 and COM10)
"""
import sys

from harness import BUTTON_ICONS, Driver, Failures, Program, cp1251, replies

WS_BORDER, WS_VSCROLL, WS_CLIPSIBLINGS = 0x00800000, 0x00200000, 0x04000000

# The dial window comes first: class, caption, id, style, x, y, w, h. The 33
# controls after it are the program's control table, read through the driver.
DIAL = ("paint", "", 1, 0x50000000, 10, 45, 400, 400)


def layout_rows(rows):
    """The control table as rows like DIAL's, and the initial icons by index."""
    layout, icons = [], {}
    for r in replies(rows, "control"):
        x, y, w, h = (int(v) for v in r["rect"].split(","))
        layout.append((r["class"], r.text_bytes().decode("cp1251"), int(r["id"]),
                       int(r["style"], 16), x, y, w, h))
        if r["icon"] != "-":
            icons[int(r["index"])] = r["icon"]
    return layout, icons


def style_matches(cls, actual, expected):
    """The platform drops WS_BORDER of an edit and WS_VSCROLL of a combo box."""
    allowed = {expected}
    if cls == "edit":
        allowed.add(expected & ~WS_BORDER)
    if cls == "combobox":
        allowed.add(expected & ~WS_VSCROLL)
    return actual in allowed


def check_children(f, children, layout):
    f.equal(len(layout), 33, "the table holds 33 controls")
    f.equal(len(children), 1 + len(layout), "the dial window and the controls are the children")
    for index, (child, row) in enumerate(zip(children, [DIAL] + layout)):
        cls, caption, cid, style, x, y, w, h = row
        cls = cls.lower()
        where = f"child #{index} ({cls} {caption!r})"
        f.equal(child["class"].lower(), cls.lower(), f"{where} class")
        if cls != "combobox":
            f.equal(child.text_bytes(), cp1251(caption), f"{where} caption bytes")
        f.equal(int(child["id"]), cid, f"{where} id")
        f.check(style_matches(cls, int(child["style"], 16), style),
                f"{where} style {child['style']} for 0x{style:08x}")
        exstyle = 0x00020000 if cls == "paint" else 0  # WS_EX_STATICEDGE
        f.equal(int(child["exstyle"], 16), exstyle, f"{where} extended style")
        rect = [int(v) for v in child["rect"].split(",")]
        if cls == "combobox":
            # Wine fits the dropped list to its entries, so only its top-left
            # and width are the program's own.
            dropped = [int(v) for v in child["dropped"].split(",")]
            f.equal(rect[:3], [x, y, w], f"{where} place")
            f.check(0 < dropped[3] <= h, f"{where} list height {dropped[3]} within {h}")
        else:
            f.equal(rect, [x, y, w, h], f"{where} place and size")
        f.equal(child.get("enabled"), "1", f"{where} starts enabled")
        if int(child["style"], 16) & 0x3 == 0x3:  # the two toggles
            f.equal(child.get("check"), "0", f"{where} starts unchecked")


def main():
    exe, driver_exe = sys.argv[1], sys.argv[2]
    f = Failures()
    program = Program(exe)
    driver = Driver(driver_exe)
    try:
        layout, icons = layout_rows(driver.run("layout\n"))
        icon_lines = "\n".join(f"icon-match #{i} {exe} {' '.join(BUTTON_ICONS)}" for i in icons)
        rows = driver.run(f"""wait-window ZELTAN 30000
window
children
combo-items @PortCombo
combo-items @BaudCombo
{icon_lines}
set-text @ParamEdit0 ""
type @ParamEdit0 a5-7
""")
        window = replies(rows, "window")
        if not f.check(len(window) == 2, "the main window of class ZELTAN appears"):
            f.finish(driver.last_output)
        w = window[1]
        f.equal(w.text_bytes("title"), b"ZELTAN", "the title")
        f.equal(int(w["style"], 16) & ~WS_CLIPSIBLINGS, 0x10C80000,
                "the style is WS_VISIBLE | WS_CAPTION | WS_SYSMENU")
        left, top, width, height = [int(v) for v in w["rect"].split(",")]
        dl, dt, dw, dh = [int(v) for v in w["desktop"].split(",")]
        f.equal((width, height), (700, 550), "the outer size")
        f.equal((left, top), ((dw - 700) // 2, (dh - 550) // 2), "centred on the desktop")

        check_children(f, replies(rows, "child"), layout)

        combos = replies(rows, "combo")
        items = replies(rows, "item")
        ports = [i.text_bytes().decode("cp1251") for i in items[: int(combos[0]["count"])]]
        bauds = [i.text_bytes().decode("cp1251") for i in items[int(combos[0]["count"]):]]
        numbers = [int(p[3:]) for p in ports if p.startswith("COM") and p[3:].isdigit()]
        f.equal(len(numbers), len(ports), "every port entry is a COM name")
        f.check(3 in numbers and 10 in numbers, f"the mapped COM3 and COM10 are listed: {ports}")
        f.equal(numbers, sorted(set(numbers)), "ports in ascending number order, each once")
        f.equal(combos[0]["selected"], "0", "the first port is selected")
        f.equal(combos[0].text_bytes() if ports else b"", cp1251(ports[0]) if ports else b"",
                "the port field shows the first port")
        f.equal(bauds, ["9600", "19200", "38400", "57600", "115200"], "the five baud rates")
        f.equal(combos[1].text_bytes(), b"19200", "the baud field shows 19200")

        matched = [r["name"] for r in replies(rows, "icon-match")]
        f.equal(matched, list(icons.values()), "the icon controls show their initial icons")

        typed = replies(rows, "text")
        f.equal(typed[-1].text_bytes() if typed else None, b"57",
                "a number field refuses a letter and a minus and takes digits")

        closing = driver.run("close\nwait-gone 5000\n")
        f.check(not replies(closing, "error"), "the window goes when closed")
        # Wine alone takes about 2 s to end a process that had a window.
        f.equal(program.wait(3), 0, "the process ends with exit code 0 promptly")
    finally:
        program.end()
    f.finish(driver.last_output)


if __name__ == "__main__":
    main()
