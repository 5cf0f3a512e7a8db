#!/usr/bin/env python3
"""Writes chosen string-table blocks of a built setup.exe as raw files, for the fuzz seeds.

    extract-string-blocks.py SETUP_EXE OUT_DIR BLOCK:LANGUAGE ...

Each block is written as block-<BLOCK>-<LANGUAGE>.bin, byte for byte as the resource holds it.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "tools", "installer2", "setup", "resources"))
sys.dont_write_bytecode = True  # no cache files in the source tree
from pe_resources import RT_STRING, read_resources  # noqa: E402


def main():
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    with open(sys.argv[1], "rb") as f:
        image = f.read()
    wanted = {tuple(int(x) for x in arg.split(":")) for arg in sys.argv[3:]}
    found = set()
    for block, language, data in read_resources(image, RT_STRING):
        if (block, language) in wanted:
            with open(f"{sys.argv[2]}/block-{block}-{language}.bin", "wb") as f:
                f.write(data)
            found.add((block, language))
    missing = wanted - found
    if missing:
        raise SystemExit(f"not in the image: {sorted(missing)}")


if __name__ == "__main__":
    main()
