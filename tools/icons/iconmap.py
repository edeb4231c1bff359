"""Icon pixel maps: reading the text form, writing .ico files and PNG previews.

A pixel map file holds comment lines starting with '#', one 'colours N' line
(2 or 16: the colour count of the image in the .ico) and then the rows of the
picture, one character per pixel, all rows equally long:

    .  transparent (mask bit set)
    K  black   (0, 0, 0)
    W  white   (255, 255, 255)
    G  grey    (128, 128, 128)
    R  red     (255, 0, 0)
"""

import struct
import zlib

LEGEND = {
    "K": (0, 0, 0),
    "W": (255, 255, 255),
    "G": (128, 128, 128),
    "R": (255, 0, 0),
}
TRANSPARENT = "."

# The standard 16-colour palette; the maps use entries 0, 8, 9 and 15.
PALETTE_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
PALETTE_2 = [(0, 0, 0), (255, 255, 255)]


class IconMap:
    def __init__(self, name, colours, rows):
        self.name = name
        self.colours = colours
        self.rows = rows

    @property
    def width(self):
        return len(self.rows[0])

    @property
    def height(self):
        return len(self.rows)


def parse(name, text):
    colours = None
    rows = []
    for number, line in enumerate(text.splitlines(), 1):
        line = line.rstrip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("colours "):
            colours = int(line.split()[1])
            continue
        bad = set(line) - set(LEGEND) - {TRANSPARENT}
        if bad:
            raise ValueError(f"{name}:{number}: unknown pixel characters {sorted(bad)}")
        rows.append(line)
    if colours not in (2, 16):
        raise ValueError(f"{name}: needs a 'colours 2' or 'colours 16' line")
    if not rows or any(len(r) != len(rows[0]) for r in rows):
        raise ValueError(f"{name}: rows missing or of different lengths")
    icon = IconMap(name, colours, rows)
    if colours == 2 and any(ch not in "KW" for row in rows for ch in row):
        raise ValueError(f"{name}: a 2-colour image holds only K and W")
    return icon


def load(path):
    import os
    name = os.path.splitext(os.path.basename(path))[0]
    with open(path, encoding="ascii") as f:
        return parse(name, f.read())


def _padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def _pack_bits(values, bits):
    """Packs small integers MSB first into bytes (1 or 4 bits each)."""
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(values), per_byte):
        byte = 0
        chunk = values[i:i + per_byte]
        chunk += [0] * (per_byte - len(chunk))
        for v in chunk:
            byte = (byte << bits) | v
        out.append(byte)
    return bytes(out)


def ico_bytes(icon):
    """One-image .ico: a DIB with its colour (XOR) rows and 1-bit AND mask."""
    palette = PALETTE_2 if icon.colours == 2 else PALETTE_16
    bits = 1 if icon.colours == 2 else 4
    index = {ch: palette.index(rgb) for ch, rgb in LEGEND.items() if rgb in palette}
    index[TRANSPARENT] = 0
    xor = b""
    mask = b""
    for row in reversed(icon.rows):  # DIB rows run bottom-up
        xor += _padded(_pack_bits([index[ch] for ch in row], bits))
        mask += _padded(_pack_bits([1 if ch == TRANSPARENT else 0 for ch in row], 1))
    w, h = icon.width, icon.height
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, len(xor) + len(mask),
                         0, 0, icon.colours, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + colours + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, icon.colours % 256, 0, 1, bits,
                        len(image), 6 + 16)
    return directory + entry + image


def png_bytes(icon, scale, backdrop=(192, 192, 192)):
    """An enlarged RGB preview, transparent pixels in the button-face grey.
    Written with stored (uncompressed) deflate blocks, so no library is needed."""
    raw = bytearray()
    for row in icon.rows:
        line = bytearray([0])  # filter type none
        for ch in row:
            rgb = backdrop if ch == TRANSPARENT else LEGEND[ch]
            line += bytes(rgb) * scale
        raw += bytes(line) * scale
    w, h = icon.width * scale, icon.height * scale

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    stored = bytearray(b"\x78\x01")
    for i in range(0, len(raw), 65535):
        block = raw[i:i + 65535]
        final = 1 if i + 65535 >= len(raw) else 0
        stored += struct.pack("<BHH", final, len(block), len(block) ^ 0xFFFF) + block
    stored += struct.pack(">I", zlib.adler32(bytes(raw)))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", bytes(stored)) + chunk(b"IEND", b""))
