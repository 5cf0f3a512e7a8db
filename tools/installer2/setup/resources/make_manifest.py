#!/usr/bin/env python3
"""Writes the application manifest of setup.exe with the execution level its package needs.

The installer runs without any UI of its own, which also suppresses its elevation prompt: a
setup that starts without the rights its package needs cannot get them later, and the install
fails. So the level is decided here, at build time, from the package, by the installer's own
rule for when it would ask for elevation:

- A package that installs per machine needs elevation: ALLUSERS=1, or ALLUSERS=2 without
  MSIINSTALLPERUSER=1 (the dual-purpose package then installs per machine), or any other
  non-empty ALLUSERS.
- A package that installs per user (no ALLUSERS, or ALLUSERS=2 with MSIINSTALLPERUSER=1) needs
  none only when its summary's word count has bit 3 set ("elevated privileges are not
  required"); without that bit the installer may still ask.

    make_manifest.py --package P.msi --template app.manifest.in --output app.manifest
                     [--level auto|asInvoker|requireAdministrator|highestAvailable]
                     [--msiinfo msiinfo]

A level other than auto is taken as it stands. The build prints the level and the reason.
"""

import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # no cache files in the source tree
from make_version_resource import (  # noqa: E402
    PackageError, discard_generated, read_properties, write_generated)

LEVELS = ('asInvoker', 'requireAdministrator', 'highestAvailable')
AS_INVOKER, REQUIRE_ADMINISTRATOR, _ = LEVELS
# Bit 3 of the summary's word count: elevated privileges are not required to install.
WORD_COUNT_NO_ELEVATION = 8
PLACEHOLDER = '@EXECUTION_LEVEL@'


def read_word_count(package, msiinfo):
    """The summary information's word count (msiinfo calls it Source); 0 when absent."""
    try:
        result = subprocess.run([msiinfo, 'suminfo', package], capture_output=True)
    except OSError as error:
        raise PackageError(f'cannot run {msiinfo}: {error}')
    if result.returncode != 0:
        detail = result.stderr.decode('utf-8', 'replace').strip()
        raise PackageError(f'cannot read the summary information ({detail or "msiinfo failed"})')
    match = re.search(r'^Source: (\d+)', result.stdout.decode('utf-8', 'replace'), re.MULTILINE)
    return int(match.group(1)) if match else 0


def install_context(properties):
    """'machine' or 'user', with the property values that decide it, as the installer reads
    them on Windows 7 and later."""
    all_users = properties.get('ALLUSERS', '')
    per_user = properties.get('MSIINSTALLPERUSER', '')
    if all_users == '':
        return 'user', 'no ALLUSERS'
    if all_users == '2':
        if per_user == '1':
            return 'user', 'ALLUSERS=2 with MSIINSTALLPERUSER=1'
        return 'machine', 'ALLUSERS=2 without MSIINSTALLPERUSER=1'
    return 'machine', f'ALLUSERS={all_users}'


def execution_level(word_count, properties):
    """The level a package needs and why, as (level, reason)."""
    context, why = install_context(properties)
    if context == 'machine':
        return REQUIRE_ADMINISTRATOR, f'the package installs per machine ({why})'
    if word_count & WORD_COUNT_NO_ELEVATION:
        return AS_INVOKER, (f'the package installs per user ({why}) and declares that it needs '
                            f'no elevation (word count {word_count}, bit 3 set)')
    return REQUIRE_ADMINISTRATOR, (f'the package installs per user ({why}) but may need '
                                   f'elevation (word count {word_count}, bit 3 clear)')


def manifest(template, level):
    if template.count(PLACEHOLDER) != 1:
        raise PackageError(f'the manifest template must hold {PLACEHOLDER} exactly once')
    return template.replace(PLACEHOLDER, level)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--package', required=True)
    parser.add_argument('--template', required=True)
    parser.add_argument('--output', required=True)
    parser.add_argument('--level', default='auto', choices=('auto',) + LEVELS)
    parser.add_argument('--msiinfo', default='msiinfo')
    args = parser.parse_args()
    with open(args.template, encoding='utf-8') as source:
        template = source.read()
    try:
        if args.level == 'auto':
            level, reason = execution_level(read_word_count(args.package, args.msiinfo),
                                            read_properties(args.package, args.msiinfo))
        else:
            level, reason = args.level, 'SETUP_EXECUTION_LEVEL chose it'
        text = manifest(template, level)
    except PackageError as error:
        print(f'error: no execution level for the package {args.package}: {error}',
              file=sys.stderr)
        discard_generated(args.output)
        return 1
    print(f'setup.exe requests {level}: {reason}')
    write_generated(args.output, text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
