#!/usr/bin/env python3
# Reads one picture through GdkPixbuf (the loaders named by GDK_PIXBUF_MODULE_FILE) and
# reports: the loader's name, the size, and the pixels as RGBA rows written to OUT.
# usage: pixbuf_probe.py FILE OUT [WIDTH HEIGHT] [--pieces N]
# Exit 0 on success, 3 when GdkPixbuf refused the file.
import sys

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf, GLib  # noqa: E402


def load(path, size, piece):
    if piece:
        loader = GdkPixbuf.PixbufLoader()
        if size:
            loader.set_size(*size)
        with open(path, "rb") as f:
            data = f.read()
        try:
            for at in range(0, len(data), piece):
                loader.write(data[at:at + piece])
        finally:
            loader.close()
        return loader.get_pixbuf(), loader.get_format().get_name()
    if size:
        pixbuf = GdkPixbuf.Pixbuf.new_from_file_at_scale(path, size[0], size[1], False)
    else:
        pixbuf = GdkPixbuf.Pixbuf.new_from_file(path)
    return pixbuf, GdkPixbuf.Pixbuf.get_file_info(path)[0].get_name()


def main():
    args = sys.argv[1:]
    piece = 0
    if "--pieces" in args:
        at = args.index("--pieces")
        piece = int(args[at + 1])
        del args[at:at + 2]
    path, out = args[0], args[1]
    size = (int(args[2]), int(args[3])) if len(args) >= 4 else None
    try:
        pixbuf, name = load(path, size, piece)
    except GLib.Error as error:
        print("refused: " + error.message)
        return 3
    pixbuf = pixbuf.add_alpha(False, 0, 0, 0) if not pixbuf.get_has_alpha() else pixbuf
    width, height, stride = pixbuf.get_width(), pixbuf.get_height(), pixbuf.get_rowstride()
    pixels = pixbuf.get_pixels()
    with open(out, "wb") as f:
        for y in range(height):
            f.write(pixels[y * stride:y * stride + width * 4])
    print("%s %d %d" % (name, width, height))
    return 0


sys.exit(main())
