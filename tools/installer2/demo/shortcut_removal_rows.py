#!/usr/bin/env python3
"""Adds to a demo package one RemoveFile row per name the setup can rename its shortcuts into.

The setup saves the package's Start Menu shortcuts again under the texts of the edition's shortcut
strings in the user's language, so those files are not in the Shortcut table. The package's row
for "*.lnk" removes them where the installer matches wildcards; these rows name every such file
exactly, for an installer that deletes a RemoveFile name literally. The names come from the
translation sources at build time, so the package follows every change of a shortcut string.

The RemoveFile table is exported, extended and imported again (an import replaces the whole
table), after the database's codepage is set to UTF-8 so that any script can be stored.
"""

import argparse
import hashlib
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'setup', 'l10n'))
import generate_string_tables as strings  # noqa: E402

# The four shortcut strings of edition 0 (start, uninstall, help, release notes); each edition's
# ID is one further on.
EDITION_0_SHORTCUT_IDS = (220, 226, 229, 232)
EDITIONS = (0, 1, 2)
COMPONENT = 'StartMenuShortcuts'
DIRECTORY = 'ProductMenuFolder'
REMOVE_ON_UNINSTALL = 2
# Characters a file name cannot hold; '*' and '?' would also make the row a wildcard.
NOT_IN_FILE_NAMES = frozenset('\\/:*?"<>|')
MAX_FILE_NAME = 255  # the FileName column, L255
KEY_PREFIX = 'LocalizedShortcut_'
FORCE_CODEPAGE_IDT = '\r\n\r\n65001\t_ForceCodepage\r\n'


class RowError(Exception):
    pass


def shortcut_ids(edition):
    if edition not in EDITIONS:
        raise RowError(f'edition {edition}: expected one of {EDITIONS}')
    return tuple(string_id + edition for string_id in EDITION_0_SHORTCUT_IDS)


def shortcut_file_names(languages, edition):
    """The distinct file names ("<text>.lnk") of the edition's shortcut strings in every language
    the setup ships, sorted; a language without a string adds nothing for it."""
    names = set()
    for language, texts in languages.items():
        if language not in strings.SHIPPED_LANGUAGES:
            continue
        for string_id in shortcut_ids(edition):
            text = texts.get(string_id, '')
            if not text:
                continue
            if set(text) & NOT_IN_FILE_NAMES or any(ord(character) < 0x20 for character in text):
                raise RowError(f'LANGID {language}: string {string_id} "{text}" cannot be a '
                               'file name')
            name = text + '.lnk'
            if len(name) > MAX_FILE_NAME:
                raise RowError(f'LANGID {language}: string {string_id} is too long for a file name')
            names.add(name)
    return sorted(names)


def file_key(name):
    """A key of the name itself, so that a row keeps its key when other strings change."""
    return KEY_PREFIX + hashlib.sha1(name.encode('utf-8')).hexdigest()[:16]


def removal_rows(names):
    rows = [(file_key(name), COMPONENT, name, DIRECTORY, str(REMOVE_ON_UNINSTALL))
            for name in names]
    if len({row[0] for row in rows}) != len(rows):
        raise RowError('two shortcut names give the same FileKey')
    return rows


def extend_table(exported, rows):
    """The exported RemoveFile table (its three header lines and rows) with `rows` added, in the
    archive format the import reads: tab-separated, CR LF line ends."""
    lines = [line for line in exported.replace('\r\n', '\n').split('\n') if line]
    if len(lines) < 3 or lines[2].split('\t')[0] != 'RemoveFile':
        raise RowError('not an exported RemoveFile table')
    taken = {line.split('\t')[0] for line in lines[3:]}
    for row in rows:
        if row[0] in taken:
            raise RowError(f'FileKey {row[0]} is in the package already')
    return ''.join(line + '\r\n' for line in lines + ['\t'.join(row) for row in rows])


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--translations', required=True, help='folder of the translation files')
    parser.add_argument('--edition', required=True, type=int, choices=EDITIONS)
    parser.add_argument('--work-dir', required=True, help='folder for the table files')
    parser.add_argument('--msiinfo', required=True)
    parser.add_argument('--msibuild', required=True)
    parser.add_argument('package')
    args = parser.parse_args(argv)

    try:
        names = shortcut_file_names(strings.read_translations(args.translations), args.edition)
        exported = subprocess.run([args.msiinfo, 'export', args.package, 'RemoveFile'],
                                  check=True, capture_output=True).stdout.decode('utf-8')
        table = extend_table(exported, removal_rows(names))
    except (RowError, strings.TranslationError, OSError, UnicodeDecodeError,
            subprocess.CalledProcessError) as error:
        print(f'shortcut_removal_rows: {error}', file=sys.stderr)
        return 1
    os.makedirs(args.work_dir, exist_ok=True)
    codepage_file = os.path.join(args.work_dir, '_ForceCodepage.idt')
    table_file = os.path.join(args.work_dir, 'RemoveFile.idt')
    with open(codepage_file, 'w', encoding='ascii', newline='') as output:
        output.write(FORCE_CODEPAGE_IDT)
    with open(table_file, 'w', encoding='utf-8', newline='') as output:
        output.write(table)
    # The codepage first: text outside ASCII in a database of codepage 0 breaks the import.
    result = subprocess.run([args.msibuild, args.package, '-i', codepage_file, '-i', table_file])
    return 0 if result.returncode == 0 else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
