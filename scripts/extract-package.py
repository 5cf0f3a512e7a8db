#!/usr/bin/env python3
"""Writes the Windows Installer package that a setup.exe carries, byte for byte.

    extract-package.py setup.exe product.msi [--force]

For Group Policy, which installs only .msi files, or for a look at what the setup installs.
An existing output file is kept unless --force is given. Exit code 0 when the package was
written, 2 when the input is not a PE image, carries no package, or the output exists.
"""
import argparse
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools",
                                "installer2", "setup", "resources"))
sys.dont_write_bytecode = True  # no cache files in the source tree
from pe_resources import read_resources  # noqa: E402

# The package entry of the setup's resource script: ID_MSI of the type BINARY.
PACKAGE_TYPE = "BINARY"
PACKAGE_NAME = "ID_MSI"
# Every Windows Installer package is an OLE compound file.
COMPOUND_FILE_SIGNATURE = b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"


def find_package(image):
    for name, _, data in read_resources(image, PACKAGE_TYPE):
        if isinstance(name, str) and name.upper() == PACKAGE_NAME:
            return data
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("setup")
    parser.add_argument("output")
    parser.add_argument("--force", action="store_true", help="replace an existing output file")
    args = parser.parse_args()

    def fail(message):
        print(f"extract-package: {message}", file=sys.stderr)
        return 2

    try:
        with open(args.setup, "rb") as source:
            image = source.read()
    except OSError as error:
        return fail(f"cannot read {args.setup}: {error.strerror}")
    try:
        package = find_package(image)
    except (ValueError, IndexError, UnicodeDecodeError, struct.error):
        return fail(f"{args.setup} is not a Windows program (PE image)")
    if package is None or not package.startswith(COMPOUND_FILE_SIGNATURE):
        return fail(f"{args.setup} carries no installer package")
    if os.path.exists(args.output) and not args.force:
        return fail(f"{args.output} exists; give --force to replace it")
    partial = args.output + ".part"
    with open(partial, "wb") as out:
        out.write(package)
    os.replace(partial, args.output)
    print(f"wrote {args.output} ({len(package)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
