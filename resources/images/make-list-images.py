#!/usr/bin/env python3
"""Draws the two 16x16 list images of the database window (a green thumbs-up
and a red thumbs-down) as PNG files, without any imaging library."""
import struct
import sys
import zlib
from pathlib import Path

THUMB_UP = [
    "................",
    "......##........",
    ".....#++#.......",
    ".....#++#.......",
    "....#+++#.......",
    "....#++#........",
    ".####++######...",
    "#++#+++++++++#..",
    "#++#++++++++#...",
    "#++#+++++++++#..",
    "#++#++++++++#...",
    "#++#+++++++++#..",
    "#++#++++++++#...",
    "#++#########....",
    ".##.............",
    "................",
]


def png(rows, fill, outline):
    colours = {".": (0, 0, 0, 0), "+": fill + (255,), "#": outline + (255,)}
    raw = b"".join(b"\x00" + b"".join(bytes(colours[c]) for c in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent
    (folder / "thumb-up-green.png").write_bytes(png(THUMB_UP, (46, 160, 67), (20, 80, 30)))
    (folder / "thumb-down-red.png").write_bytes(png(THUMB_UP[::-1], (211, 47, 47), (110, 20, 20)))


if __name__ == "__main__":
    main()
