#!/usr/bin/env python3
"""Writes the setup's STRINGTABLE resource script from the translation sources.

Each translations/<LANGID>-<tag>.txt holds one language: a string ID, one tab, the text (UTF-8,
no escapes), one string a line; lines starting with '#' and blank lines are ignored. The file of
LANGID 0 holds the language-neutral block (string 100, the application's folder name); the others
hold IDs 192 to 239 in the languages the setup ships. Languages are written in ascending LANGID
order, which is also the order the platform lists a block's languages in.
"""

import argparse
import os
import re
import sys

# The languages of blocks 13 to 15, ascending.
SHIPPED_LANGUAGES = (
    9, 22, 29, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1034, 1035, 1036, 1037, 1038,
    1040, 1041, 1042, 1043, 1044, 1045, 1046, 1048, 1049, 1051, 1054, 1055, 1057, 1058, 1060,
    1062, 1063, 1065, 1066, 1081, 1086, 1124, 2052, 2055, 2057, 2058, 2070, 3076, 3079, 4106,
    4108, 4122, 5130, 6153, 6154, 7177, 7178, 8202, 9226, 10250, 11274, 12298, 13322, 14346,
    15370, 16393, 16394, 17418, 18441, 18442, 19466, 20490, 21514, 31748, 31770,
)
NEUTRAL_LANGUAGE = 0
# Which IDs each kind of file may hold: the neutral block 7, and blocks 13 to 15.
NEUTRAL_IDS = range(96, 112)
SHIPPED_IDS = range(192, 240)

# Arabic, Hebrew and Persian (primary languages) read right to left.
RIGHT_TO_LEFT_PRIMARY = (0x01, 0x0D, 0x29)
# The texts shown in windows: captions, dialog texts, buttons (218 and 219 are the second and
# third Browse buttons), check boxes, the picker title and the result messages. Not the shortcut
# and edition names: those become file names.
SHOWN_IN_WINDOWS = tuple(range(200, 220)) + (223,)
# In a right-to-left language every text shown in a window opens with a right-to-left embedding,
# so that it is laid out as a right-to-left paragraph even where the control lays its text out
# left to right (a sentence holding the Latin product name would otherwise start at the left).
# No closing mark: an embedding ends with its paragraph, so a number the setup appends (the
# failure box's result code) ends the sentence inside it, at its left; and Wine draws every such
# mark with a small advance that its text measuring does not count, so that each further mark
# pushes the far end of a tight message box's text out of sight.
RIGHT_TO_LEFT_EMBEDDING = '\u202B'
# The directional marks, embeddings, overrides and isolates: only the generator writes them.
BIDI_CONTROLS = frozenset('\u200E\u200F\u061C') | frozenset(map(chr, range(0x202A, 0x202F))) | \
    frozenset(map(chr, range(0x2066, 0x206A)))

FILE_NAME = re.compile(r'^(\d{4,})-([A-Za-z]+(?:-[A-Za-z0-9]+)*)\.txt$')


class TranslationError(Exception):
    pass


def read_translation(path):
    """Returns {id: text} of one file; raises TranslationError on a line it cannot read."""
    strings = {}
    with open(path, encoding='utf-8-sig', newline='') as source:
        for number, line in enumerate(source, 1):
            line = line.rstrip('\r\n')
            if not line.strip() or line.startswith('#'):
                continue
            key, tab, text = line.partition('\t')
            if not tab or not key.isdigit():
                raise TranslationError(f'{path}:{number}: expected "<id><tab><text>"')
            string_id = int(key)
            if string_id in strings:
                raise TranslationError(f'{path}:{number}: string {string_id} given twice')
            strings[string_id] = text
    return strings


def read_translations(folder):
    """Returns {langid: {id: text}} for every translation file of the folder."""
    languages = {}
    for name in sorted(os.listdir(folder)):
        if not name.endswith('.txt'):
            continue
        match = FILE_NAME.match(name)
        if not match:
            raise TranslationError(f'{name}: expected "<LANGID>-<tag>.txt"')
        language = int(match.group(1))
        if language in languages:
            raise TranslationError(f'{name}: a second file for LANGID {language}')
        languages[language] = read_translation(os.path.join(folder, name))
    return languages


def check_source_text(text):
    """Raises TranslationError for a control character or a directional mark in a source text."""
    for character in text:
        if ord(character) < 0x20 or ord(character) == 0x7F:
            raise TranslationError(f'control character U+{ord(character):04X} in "{text}"')
        if character in BIDI_CONTROLS:
            raise TranslationError(f'directional mark U+{ord(character):04X} in "{text}"')


def is_right_to_left(language):
    return language != NEUTRAL_LANGUAGE and language & 0x3FF in RIGHT_TO_LEFT_PRIMARY


def shown_text(language, string_id, text):
    """The text as the string table carries it: embedded right to left where it is read so."""
    if is_right_to_left(language) and string_id in SHOWN_IN_WINDOWS:
        return RIGHT_TO_LEFT_EMBEDDING + text
    return text


def quote(text):
    """An .rc string literal: the resource compiler reads "" as a quote and \\ as a backslash."""
    return '"' + text.replace('\\', '\\\\').replace('"', '""') + '"'


def allowed_ids(language):
    return NEUTRAL_IDS if language == NEUTRAL_LANGUAGE else SHIPPED_IDS


def render(languages, warn=lambda message: None):
    """The resource script for {langid: {id: text}}; files of unknown languages are left out."""
    lines = [
        '// Generated from l10n/translations by l10n/generate_string_tables.py; edit the',
        '// translation sources instead.',
        '#pragma code_page(65001)',
    ]
    for language in sorted(languages):
        if language != NEUTRAL_LANGUAGE and language not in SHIPPED_LANGUAGES:
            warn(f'LANGID {language} is not a shipped language; left out')
            continue
        entries = []
        for string_id, text in sorted(languages[language].items()):
            if string_id not in allowed_ids(language):
                raise TranslationError(f'LANGID {language}: string {string_id} is out of range')
            if not text:
                # An empty entry reads as missing anyway; leaving it out keeps the block honest.
                warn(f'LANGID {language}: string {string_id} is empty; left out')
                continue
            check_source_text(text)
            entries.append(f'  {string_id}, {quote(shown_text(language, string_id, text))}')
        if not entries:
            continue
        # LANGUAGE takes the primary language (low 10 bits) and the sublanguage (upper 6 bits).
        lines += ['', f'LANGUAGE 0x{language & 0x3FF:02X}, 0x{language >> 10:02X}',
                  'STRINGTABLE', 'BEGIN'] + entries + ['END']
    return '\n'.join(lines) + '\n'


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--translations', required=True, help='folder of the translation files')
    parser.add_argument('--output', required=True, help='resource script to write')
    args = parser.parse_args(argv)

    def warn(message):
        print(f'generate_string_tables: warning: {message}', file=sys.stderr)

    try:
        script = render(read_translations(args.translations), warn)
    except (TranslationError, OSError, UnicodeDecodeError) as error:
        print(f'generate_string_tables: {error}', file=sys.stderr)
        return 1
    with open(args.output, 'w', encoding='utf-8', newline='\n') as output:
        output.write(script)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
