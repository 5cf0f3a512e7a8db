#!/usr/bin/env python3
"""Writes chosen string-table blocks of a built setup.exe as raw files, for the fuzz seeds.

    extract-string-blocks.py SETUP_EXE OUT_DIR BLOCK:LANGUAGE ...

Each block is written as block-<BLOCK>-<LANGUAGE>.bin, byte for byte as the resource holds it.
"""
import struct
import sys

RT_STRING = 6


def read_blocks(image):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise SystemExit("not a PE image")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    resource_rva = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    table = optional + optional_size
    layout = []
    for i in range(sections):
        size, rva, raw_size, raw = struct.unpack_from("<IIII", image, table + 40 * i + 8)
        layout.append((rva, max(size, raw_size), raw))

    def offset(rva):
        for start, size, raw in layout:
            if start <= rva < start + size:
                return raw + rva - start
        raise SystemExit("address outside every section")

    base = offset(resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<12xHH", image, base + directory)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", image, base + directory + 16 + 8 * i)
            yield ident, target

    for kind, kinds in entries(0):
        if kind != RT_STRING or not kinds & 0x80000000:
            continue
        for block, languages in entries(kinds & 0x7FFFFFFF):
            for language, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", image, base + leaf)
                start = offset(rva)
                yield block, language, image[start:start + size]


def main():
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    with open(sys.argv[1], "rb") as f:
        image = f.read()
    wanted = {tuple(int(x) for x in arg.split(":")) for arg in sys.argv[3:]}
    found = set()
    for block, language, data in read_blocks(image):
        if (block, language) in wanted:
            with open(f"{sys.argv[2]}/block-{block}-{language}.bin", "wb") as f:
                f.write(data)
            found.add((block, language))
    missing = wanted - found
    if missing:
        raise SystemExit(f"not in the image: {sorted(missing)}")


if __name__ == "__main__":
    main()
