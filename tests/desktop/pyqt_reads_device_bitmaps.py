#!/usr/bin/env python3
"""A Qt program in Python reads device bitmaps through the installed image plugin.

Run with QT_PLUGIN_PATH at the staged plugin folder of the Qt version asked for:
    pyqt_reads_device_bitmaps.py --qt 5|6 --cli STAGED/bin/zorix-cli --scratch DIR
Pixels are compared with the PNG that zorix-cli writes of the same file, read by
Qt's own PNG reader. Exits 0 when every check holds, 1 otherwise."""
import argparse
import os
import shutil
import struct
import subprocess
import sys

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL: " + what, file=sys.stderr)


def device_bitmap(width, height, alpha=True):
    """Columns in bands of four colours, every pixel a single code."""
    colours = [0xF800, 0x07E0, 0x001F, 0xFFE0]
    levels = [0, 32, 16, 24, 32]
    out = struct.pack("<2sHhhHhH", b"RL", 1 if alpha else 0, width, height,
                      len(colours) + 1, height, 0xF81F)
    out += b"".join(struct.pack("<H", c) for c in colours)
    if alpha:
        out += bytes(levels)
    rows = [bytes(((x // 7 + y // 5) % 5) for x in range(width)) for y in range(height)]
    for row in rows:
        out += bytes([len(row)]) if len(row) < 255 else bytes([0xFF]) + struct.pack(">H", len(row))
    return out + b"".join(rows)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--qt", choices=["5", "6"], required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--scratch", required=True)
    args = parser.parse_args()
    if args.qt == "5":
        from PyQt5.QtCore import QSize
        from PyQt5.QtGui import QGuiApplication, QImage, QImageReader
    else:
        from PyQt6.QtCore import QSize
        from PyQt6.QtGui import QGuiApplication, QImage, QImageReader
    argb32 = getattr(QImage, "Format_ARGB32", None) or QImage.Format.Format_ARGB32

    def pixels(image):
        if image.isNull():
            return b""
        image = image.convertToFormat(argb32)
        bits = image.constBits()
        bits.setsize(image.sizeInBytes())
        return bytes(bits)

    app = QGuiApplication(["pyqt-test"])
    shutil.rmtree(args.scratch, ignore_errors=True)
    os.makedirs(args.scratch)

    def write(name, data):
        path = os.path.join(args.scratch, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    check(b"rlebmp" in [bytes(f) for f in QImageReader.supportedImageFormats()],
          "the plugin is not found")

    for name, data in [("alpha.bmp", device_bitmap(23, 9)),
                       ("opaque.bmp", device_bitmap(300, 4, alpha=False))]:
        path = write(name, data)
        png = path + ".png"
        subprocess.run([args.cli, "convert", "--to", "png", "--quiet", "-o", png, path],
                       check=True)
        image = QImage(path)
        check(not image.isNull(), name + " does not read")
        check(image.hasAlphaChannel() == name.startswith("alpha"), name + ": alpha channel")
        check(pixels(image) == pixels(QImage(png, "png")), name + ": pixels differ")

    reader = QImageReader(write("scaled.bmp", device_bitmap(90, 60)))
    reader.setScaledSize(QSize(30, 7))
    check(reader.read().size() == QSize(30, 7), "a scaled read has another size")

    whole = device_bitmap(30, 30)
    bad_alpha = bytearray(device_bitmap(6, 6))
    bad_alpha[14 + 2 * 4 + 1] = 200
    for name, data in [("truncated.bmp", whole[: len(whole) // 2]),
                       ("badalpha.bmp", bytes(bad_alpha)),
                       ("header.bmp", whole[:14])]:
        reader = QImageReader(write(name, data))
        check(reader.read().isNull(), name + " reads although it is bad")
    del app
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
