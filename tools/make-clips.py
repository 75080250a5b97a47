#!/usr/bin/env python3
"""Draws the two wait clips of the main window as animated GIFs.

clip2001.gif: the key being examined (a magnifier sweeping over it);
clip2000.gif: the key being written or read (data blocks flowing into it).
Run from the repository root: tools/make-clips.py resources/clips
"""
import struct
import sys

W, H = 64, 64
PALETTE = [
    (255, 255, 255),  # 0 background
    (60, 60, 70),     # 1 outline
    (150, 155, 170),  # 2 key body
    (210, 200, 120),  # 3 connector
    (40, 150, 60),    # 4 green
    (200, 40, 40),    # 5 red
    (70, 110, 200),   # 6 blue
    (235, 235, 240),  # 7 light
]


def blank():
    return [[0] * W for _ in range(H)]


def rect(img, x0, y0, x1, y1, c):
    for y in range(max(0, y0), min(H, y1)):
        for x in range(max(0, x0), min(W, x1)):
            img[y][x] = c


def key(img):
    rect(img, 14, 22, 50, 46, 1)
    rect(img, 15, 23, 49, 45, 2)
    rect(img, 50, 27, 60, 41, 1)
    rect(img, 51, 28, 59, 40, 3)
    rect(img, 53, 30, 55, 33, 1)
    rect(img, 53, 35, 55, 38, 1)
    rect(img, 18, 27, 30, 31, 7)  # label


def circle(img, cx, cy, r, c, fill=None):
    for y in range(H):
        for x in range(W):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if fill is not None and d < (r - 1) ** 2:
                img[y][x] = fill
            elif (r - 1) ** 2 <= d <= (r + 1) ** 2:
                img[y][x] = c


def frames_examine():
    frames = []
    for i in range(10):
        img = blank()
        key(img)
        cx = 16 + (i if i < 5 else 10 - i) * 8
        circle(img, cx, 30, 8, 1, fill=7)
        rect(img, cx + 5, 37, cx + 8, 46, 1)
        rect(img, 10, 54, 10 + 4 * (i + 1) + i, 58, 4)
        frames.append(img)
    return frames


def frames_transfer():
    frames = []
    for i in range(8):
        img = blank()
        key(img)
        for k in range(3):
            x = 2 + ((i * 4 + k * 11) % 34)
            rect(img, x, 8, x + 6, 14, 6 if k % 2 else 5)
        rect(img, 2, 6, 40, 7, 1)
        for k in range(i + 1):
            rect(img, 16 + k * 4, 40, 19 + k * 4, 43, 4)
        frames.append(img)
    return frames


def lzw(pixels):
    # 9-bit codes with a clear code before the table would grow: simple and
    # valid for every GIF decoder.
    clear, end = 256, 257
    bits, nbits, out = 0, 0, bytearray()

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += 9
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    for n, p in enumerate(pixels):
        if n and n % 250 == 0:
            emit(clear)
        emit(p)
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(frames, delay_cs):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", W, H, 0xF7, 0, 0)  # global table of 256
    for i in range(256):
        data += bytes(PALETTE[i] if i < len(PALETTE) else (0, 0, 0))
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop forever
    for img in frames:
        data += b"\x21\xF9\x04\x00" + struct.pack("<H", delay_cs) + b"\x00\x00"
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, W, H, 0)
        data += b"\x08"
        stream = lzw([p for row in img for p in row])
        for k in range(0, len(stream), 255):
            chunk = stream[k:k + 255]
            data += bytes([len(chunk)]) + chunk
        data += b"\x00"
    data += b"\x3B"
    return bytes(data)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/clips"
    with open(out + "/clip2001.gif", "wb") as f:
        f.write(gif(frames_examine(), 12))
    with open(out + "/clip2000.gif", "wb") as f:
        f.write(gif(frames_transfer(), 10))


if __name__ == "__main__":
    main()
