#!/usr/bin/python3
# Leaves the work of a last run in a record folder: two pictures in FOLDER/pictures and a
# "save_last.js" that holds the first in the category "海边", so that 继续上次的工作 brings back a
# grid and a category row to read. Usage: make_session.py FOLDER
import json
import os
import struct
import sys
import zlib


def write_png(path, width, height, rgb):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(rows)))
        out.write(chunk(b"IEND", b""))


def main(folder):
    pictures = os.path.join(folder, "pictures")
    os.makedirs(pictures, exist_ok=True)
    sea = os.path.join(pictures, "sea.png")
    hill = os.path.join(pictures, "hill.png")
    write_png(sea, 64, 48, (40, 110, 200))
    write_png(hill, 64, 48, (60, 160, 70))
    session = {
        "addition": {},
        "all_sed_image": {"0": sea, "1": hill},
        "page": {
            "0": {
                "page_name": "海边",
                "page_files": {"0": {"picture_name": "sea.png", "picture_path": sea}},
                "print_size": "6寸",
            }
        },
        "scan_image": {"type": 2, "path": pictures},
    }
    with open(os.path.join(folder, "save_last.js"), "w", encoding="utf-8") as out:
        json.dump(session, out, ensure_ascii=False)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
