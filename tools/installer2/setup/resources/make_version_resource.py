#!/usr/bin/env python3
"""Writes the version resource of setup.exe from the embedded package's Property table.

The setup carries one product's package, so Explorer's Details tab and deployment tools should
see that product: its ProductName, Manufacturer and ProductVersion become the resource's
ProductName, CompanyName and ProductVersion (and the fixed file and product version numbers).

    make_version_resource.py --package Product.msi --output version.rc [--msiinfo msiinfo]

A package without a well-formed ProductVersion stops the build: a setup must not go out with
version information that deployment tools would read as 0.0.0.0 or as another product's.
"""

import argparse
import os
import re
import subprocess
import sys

FILE_DESCRIPTION = 'Tavrin Pelko Setup'
ORIGINAL_FILENAME = 'setup.exe'

# The installer's own version format: major.minor.build, each field within these limits; a fourth
# field is allowed and ignored by the installer, but still goes into the file version.
VERSION_PATTERN = re.compile(r'^(\d{1,5})\.(\d{1,5})\.(\d{1,5})(?:\.(\d{1,5}))?$')
FIELD_LIMITS = (255, 255, 65535, 65535)

# The string blocks: language-neutral and US English, both UTF-16 (code page 1200).
STRING_BLOCKS = ((0x0000, 1200), (0x0409, 1200))


class PackageError(Exception):
    pass


def read_properties(package, msiinfo):
    """Returns the package's Property table as a dict (msiinfo export writes it as .idt text)."""
    try:
        result = subprocess.run([msiinfo, 'export', package, 'Property'], capture_output=True)
    except OSError as error:
        raise PackageError(f'cannot run {msiinfo}: {error}')
    if result.returncode != 0:
        detail = result.stderr.decode('utf-8', 'replace').strip()
        raise PackageError(f'cannot read the Property table ({detail or "msiinfo failed"})')
    try:
        text = result.stdout.decode('utf-8')
    except UnicodeDecodeError:
        raise PackageError('the Property table is not valid UTF-8')
    # The first three lines are the column names, the column types and the table's key.
    properties = {}
    for line in text.replace('\r\n', '\n').split('\n')[3:]:
        if not line:
            continue
        name, _, value = line.partition('\t')
        properties[name] = value
    return properties


def parse_version(text):
    """Returns the four version numbers of a ProductVersion, or None when it is malformed."""
    match = VERSION_PATTERN.match(text)
    if not match:
        return None
    fields = [int(field) if field is not None else 0 for field in match.groups()]
    if any(field > limit for field, limit in zip(fields, FIELD_LIMITS)):
        return None
    return fields


def rc_string(text):
    """An RC string literal: backslashes escaped, double quotes doubled."""
    if any(ord(char) < 0x20 for char in text):
        raise PackageError(f'a version string holds a control character: {text!r}')
    return '"' + text.replace('\\', '\\\\').replace('"', '""') + '"'


def version_resource(properties):
    version = properties.get('ProductVersion')
    if version is None:
        raise PackageError('it has no ProductVersion property')
    numbers = parse_version(version)
    if numbers is None:
        raise PackageError(f"its ProductVersion '{version}' is not major.minor.build[.revision] "
                           f'(major and minor at most 255, build and revision at most 65535)')
    strings = (
        ('CompanyName', properties.get('Manufacturer', '')),
        ('FileDescription', FILE_DESCRIPTION),
        ('FileVersion', version),
        ('OriginalFilename', ORIGINAL_FILENAME),
        ('ProductName', properties.get('ProductName', '')),
        ('ProductVersion', version),
    )
    numbers_text = ', '.join(str(number) for number in numbers)
    lines = [
        '// Generated at build time from the embedded package\'s Property table.',
        '#pragma code_page(65001)',
        'LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL',
        'VS_VERSION_INFO VERSIONINFO',
        f' FILEVERSION {numbers_text}',
        f' PRODUCTVERSION {numbers_text}',
        ' FILEFLAGSMASK VS_FFI_FILEFLAGSMASK',
        ' FILEFLAGS 0',
        ' FILEOS VOS_NT_WINDOWS32',
        ' FILETYPE VFT_APP',
        ' FILESUBTYPE VFT2_UNKNOWN',
        'BEGIN',
        '  BLOCK "StringFileInfo"',
        '  BEGIN',
    ]
    for language, code_page in STRING_BLOCKS:
        lines += [f'    BLOCK "{language:04x}{code_page:04x}"', '    BEGIN']
        lines += [f'      VALUE "{name}", {rc_string(value)}' for name, value in strings]
        lines += ['    END']
    translations = ', '.join(f'0x{language:04x}, {code_page}'
                             for language, code_page in STRING_BLOCKS)
    lines += [
        '  END',
        '  BLOCK "VarFileInfo"',
        '  BEGIN',
        f'    VALUE "Translation", {translations}',
        '  END',
        'END',
    ]
    return '\n'.join(lines) + '\n'


def write_generated(path, text):
    """Writes a generated file under another name first, so that a failed run never leaves one
    that looks up to date."""
    partial = path + '.part'
    with open(partial, 'w', encoding='utf-8', newline='\n') as out:
        out.write(text)
    os.replace(partial, path)


def discard_generated(path):
    """Nothing made for an earlier package may stay behind as if it were this one's."""
    if os.path.exists(path):
        os.remove(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--package', required=True)
    parser.add_argument('--output', required=True)
    parser.add_argument('--msiinfo', default='msiinfo')
    args = parser.parse_args()
    try:
        resource = version_resource(read_properties(args.package, args.msiinfo))
    except PackageError as error:
        print(f'error: the package {args.package} cannot version setup.exe: {error}',
              file=sys.stderr)
        discard_generated(args.output)
        return 1
    write_generated(args.output, resource)
    return 0


if __name__ == '__main__':
    sys.exit(main())
