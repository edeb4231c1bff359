"""Reading the 24- and 32-bit BMP files that the UI driver and the picture
tools write, with nothing but the standard library."""
import struct


def read_bmp(path):
    """(width, height, rows of (r, g, b)), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    step = struct.unpack_from("<H", data, 28)[0] // 8
    stride = (width * step + 3) & ~3
    rows = []
    for y in range(abs(height)):
        src = y if height < 0 else abs(height) - 1 - y
        base = offset + src * stride
        rows.append([(data[base + x * step + 2], data[base + x * step + 1], data[base + x * step])
                     for x in range(width)])
    return width, abs(height), rows
