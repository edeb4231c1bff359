#!/usr/bin/env python3
"""check_icon_maps.py ICON_DIR: checks the icon pixel maps against what the
program relies on: names, sizes and colour counts, transparency, the mirrored
pairs, and the red badge that marks every OFF picture."""

import os
import sys
import unittest

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tools", "icons"))
import iconmap  # noqa: E402

ICON_DIR = sys.argv.pop(1) if len(sys.argv) > 1 else None

# name: (width, height, colours)
EXPECTED = {"APP": (32, 32, 2)}
for base in ("L", "R", "SND", "DGR", "IND"):
    for state in ("OFF", "ON"):
        EXPECTED[f"{base}_{state}"] = (16, 16, 16)

# Where each OFF picture carries its badge: the lower-right quadrant, except
# the mirrored right arrow, whose badge sits at the lower left.
BADGE_QUADRANT = {"L_OFF": "right", "R_OFF": "left", "SND_OFF": "right", "DGR_OFF": "right",
                  "IND_OFF": "right"}


def load_all():
    icons = {}
    for file in sorted(os.listdir(ICON_DIR)):
        if file.endswith(".txt"):
            icon = iconmap.load(os.path.join(ICON_DIR, file))
            icons[icon.name] = icon
    return icons


def pixels_of(icon, colour):
    return {(x, y) for y, row in enumerate(icon.rows) for x, ch in enumerate(row) if ch == colour}


def mirrored(icon):
    return [row[::-1] for row in icon.rows]


class IconMapTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.icons = load_all()

    def test_every_icon_exists_with_its_size_and_colour_count(self):
        self.assertEqual(sorted(self.icons), sorted(EXPECTED))
        for name, (w, h, colours) in EXPECTED.items():
            icon = self.icons[name]
            self.assertEqual((icon.width, icon.height, icon.colours), (w, h, colours), name)

    def test_small_icons_show_the_button_through_a_mask(self):
        for name, icon in self.icons.items():
            if icon.colours == 16:
                self.assertTrue(pixels_of(icon, "."), f"{name} has no transparent pixel")

    def test_right_arrows_are_true_mirrors_of_the_left_ones(self):
        for state in ("OFF", "ON"):
            left, right = self.icons[f"L_{state}"], self.icons[f"R_{state}"]
            self.assertEqual(right.rows, mirrored(left), state)

    def test_off_icons_carry_a_round_red_badge_with_a_white_cross(self):
        for name, side in BADGE_QUADRANT.items():
            icon = self.icons[name]
            red = pixels_of(icon, "R")
            self.assertTrue(red, f"{name} has no badge")
            xs = [x for x, _ in red]
            ys = [y for _, y in red]
            in_quadrant = min(ys) >= 8 and (min(xs) >= 8 if side == "right" else max(xs) <= 7)
            self.assertTrue(in_quadrant, f"{name}: badge outside the lower {side} quadrant")
            x0, x1, y0, y1 = min(xs), max(xs), min(ys), max(ys)
            # Round: the box's corners are not red.
            for corner in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
                self.assertNotIn(corner, red, f"{name}: badge has a square corner")
            # A cross: white pixels on both diagonals inside the badge.
            white = {p for p in pixels_of(icon, "W") if x0 <= p[0] <= x1 and y0 <= p[1] <= y1}
            cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
            falling = {p for p in white if abs((p[0] - cx) - (p[1] - cy)) <= 0.5}
            rising = {p for p in white if abs((p[0] - cx) + (p[1] - cy)) <= 0.5}
            self.assertGreaterEqual(len(falling), 2, f"{name}: no falling stroke")
            self.assertGreaterEqual(len(rising), 2, f"{name}: no rising stroke")

    def test_on_icons_have_no_red(self):
        for name, icon in self.icons.items():
            if name.endswith("_ON") or name == "APP":
                self.assertFalse(pixels_of(icon, "R"), name)

    def test_off_picture_is_the_on_picture_under_the_badge(self):
        # The arrows are the same picture with and without the badge; the
        # other ON pictures add black marks (waves, "90°", arrows) to it.
        for name in BADGE_QUADRANT:
            off, on = self.icons[name], self.icons[name.replace("_OFF", "_ON")]
            red = pixels_of(off, "R")
            x0, x1 = min(x for x, _ in red), max(x for x, _ in red)
            y0, y1 = min(y for _, y in red), max(y for _, y in red)
            exact = name in ("L_OFF", "R_OFF")
            for y in range(16):
                for x in range(16):
                    if x0 <= x <= x1 and y0 <= y <= y1:
                        continue
                    a, b = off.rows[y][x], on.rows[y][x]
                    if a != b:
                        self.assertFalse(exact, f"{name} and its ON icon differ at {x},{y}")
                        self.assertEqual((b, a in ".G"), ("K", True), f"{name} at {x},{y}")

    def test_app_icon_is_white_with_a_left_bar_and_a_middle_bar(self):
        app = self.icons["APP"]
        self.assertTrue(all(row[0] == "K" for row in app.rows), "left bar")
        self.assertEqual(app.rows[16], "K" * 32, "middle bar")
        self.assertEqual(app.rows[2][20], "W")
        self.assertEqual(app.rows[29][20], "W")

    def test_unknown_pixels_and_ragged_rows_are_refused(self):
        cases = [("colours 16\n..\n.X\n", "unknown"), ("colours 16\n..\n.\n", "lengths"),
                 ("..\n..\n", "colours"), ("colours 2\nKG\nKW\n", "2-colour")]
        for text, message in cases:
            with self.assertRaisesRegex(ValueError, message):
                iconmap.parse("T", text)


if __name__ == "__main__":
    unittest.main()
