#!/usr/bin/env python3
"""bmp-to-png.py SOURCE_DIR TARGET_DIR: converts the 24-bit BMP files of SOURCE_DIR to PNG
files of the same names in TARGET_DIR, with nothing but the standard library."""
import pathlib
import struct
import sys
import zlib


def bmp_to_png(data: bytes) -> bytes:
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bits = struct.unpack_from("<H", data, 28)[0]
    if bits != 24:
        raise ValueError(f"{bits}-bit BMP, expected 24")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = y if height < 0 else abs(height) - 1 - y
        row = data[offset + source * stride: offset + source * stride + width * 3]
        rgb = bytearray(row)
        rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
        rows.append(b"\x00" + bytes(rgb))

    def chunk(kind: bytes, body: bytes) -> bytes:
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, abs(height), 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main() -> int:
    source, target = map(pathlib.Path, sys.argv[1:3])
    target.mkdir(parents=True, exist_ok=True)
    files = sorted(source.glob("*.bmp"))
    for bmp in files:
        png = target / (bmp.stem + ".png")
        png.write_bytes(bmp_to_png(bmp.read_bytes()))
        print(png)
    return 0 if files else 1


if __name__ == "__main__":
    sys.exit(main())
