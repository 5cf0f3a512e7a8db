#!/usr/bin/env python3
"""Checks the translation sources and the string tables written from them.

Every shipped language has every string, in its own script; shortcut names are file names; each
text of the dialog that takes an access key has one of its own and no other text holds one; and
the resource script that the build compiles says exactly what the sources say.
"""

import os
import re
import subprocess
import sys
import tempfile
import unicodedata
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TRANSLATIONS = os.path.join(HERE, 'translations')
GENERATOR = os.path.join(HERE, 'generate_string_tables.py')

sys.path.insert(0, HERE)
import generate_string_tables  # noqa: E402

# The languages of blocks 13 to 15, ascending.
SHIPPED = (
    9, 22, 29, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1034, 1035, 1036, 1037, 1038,
    1040, 1041, 1042, 1043, 1044, 1045, 1046, 1048, 1049, 1051, 1054, 1055, 1057, 1058, 1060,
    1062, 1063, 1065, 1066, 1081, 1086, 1124, 2052, 2055, 2057, 2058, 2070, 3076, 3079, 4106,
    4108, 4122, 5130, 6153, 6154, 7177, 7178, 8202, 9226, 10250, 11274, 12298, 13322, 14346,
    15370, 16393, 16394, 17418, 18441, 18442, 19466, 20490, 21514, 31748, 31770,
)
ENGLISH = 9
SHORTCUT_NAMES = (220, 221, 222, 226, 227, 228, 229, 230, 231, 232, 233, 234)
# The edition names are the product's own names and read the same in every language.
SAME_IN_EVERY_LANGUAGE = (224, 225)
# Danish and Norwegian start a program with the same word as English.
SAME_AS_ENGLISH = {(1030, 220), (1030, 221), (1030, 222), (1044, 220), (1044, 221), (1044, 222)}
FORBIDDEN_IN_FILE_NAMES = set('\\/:*?"<>|')
# The right-to-left languages, and the strings shown in windows, which their tables open with a
# right-to-left embedding (RLE) that runs to the end of the text.
RIGHT_TO_LEFT = (1025, 1037, 1065)
WINDOW_TEXTS = tuple(range(200, 220)) + (223,)
RLE = '\u202B'
# Directional marks, embeddings, overrides and isolates.
BIDI_CONTROLS = {'\u200E', '\u200F', '\u061C', '\u202A', '\u202B', '\u202C', '\u202D',
                 '\u202E', '\u2066', '\u2067', '\u2068', '\u2069'}

# Languages not written in Latin letters, and the Unicode script every one of their texts uses.
SCRIPTS = {
    1025: ('ARABIC',), 1065: ('ARABIC',), 1037: ('HEBREW',),
    1026: ('CYRILLIC',), 1049: ('CYRILLIC',), 1058: ('CYRILLIC',), 1032: ('GREEK',),
    1041: ('HIRAGANA', 'KATAKANA', 'CJK UNIFIED'), 1042: ('HANGUL',), 1054: ('THAI',),
    1081: ('DEVANAGARI',),
    1028: ('CJK UNIFIED',), 2052: ('CJK UNIFIED',), 3076: ('CJK UNIFIED',),
    31748: ('CJK UNIFIED',),
}

# Characters that differ between the two Chinese scripts: (simplified, traditional).
CHINESE_PAIRS = (
    '装裝', '设設', '选選', '择擇', '载載', '说說', '这這', '个個', '为為', '时時', '击擊',
    '继繼', '续續', '开開', '启啟', '动動', '发發', '帮幫', '缓緩', '创創', '夹夾', '资資',
    '计計', '机機', '电電', '脑腦', '误誤', '错錯', '码碼', '无無', '变變', '处處', '录錄',
    '单單', '项項', '钮鈕', '离離', '关關', '闭閉', '运運', '档檔', '储儲', '应應', '软軟',
    '体體', '讯訊', '删刪', '将將', '会會', '认認', '确確', '终終', '结結', '页頁', '书書',
    '图圖', '标標', '进進', '经經', '过過', '们們', '让讓', '请請', '从從', '还還', '与與',
    '浏瀏', '览覽', '径徑', '统統', '网網', '数數', '库庫', '见見', '现現', '点點', '样樣',
)
SIMPLIFIED_ONLY = {pair[0] for pair in CHINESE_PAIRS}
TRADITIONAL_ONLY = {pair[1] for pair in CHINESE_PAIRS}
TRADITIONAL_CHINESE = (1028, 3076, 31748)
SIMPLIFIED_CHINESE = (2052,)

# Persian is written with its own yeh and keheh, not the Arabic letters that look alike.
ARABIC_YEH_AND_KAF = {'\u064A', '\u0643'}

# The dialog's texts that take an access key: the three folder labels (their key moves to the
# folder), the three Browse buttons, Install, Cancel and the two check boxes. Every other string
# becomes a file name or a box text and holds no "&".
BROWSE_BUTTONS = (209, 218, 219)
ACCESS_KEY_TEXTS = (206, 207, 208) + BROWSE_BUTTONS + (210, 211, 213, 214)
# Languages whose keys are the English ones as a Latin letter in parentheses after the text,
# "参照(&B)...": Chinese, Japanese, Korean, and Hindi and Thai, whose letters join into clusters.
PARENTHESIZED_KEYS = (1028, 1041, 1042, 1054, 1081, 2052, 3076, 31748)
PARENTHESIZED_KEY = re.compile(r'[^&\s.:\uFF1A][(]&([A-Z])[)](?:\.\.\.|:|\uFF1A)?$')
# The other languages take a plain letter of their own script (no accent: one keystroke on the
# language's keyboard); those not listed here are written in Latin letters and take A to Z.
KEY_SCRIPTS = {
    1025: 'ARABIC', 1065: 'ARABIC', 1037: 'HEBREW', 1026: 'CYRILLIC', 1049: 'CYRILLIC',
    1058: 'CYRILLIC', 1032: 'GREEK',
}


def without_key(text):
    """The text as drawn, with its key marker (and the parentheses of a Latin key) taken out."""
    return re.sub(r'[(]&[A-Z][)]', '', text).replace('&', '')


def is_plain_letter_of(language, key):
    script = KEY_SCRIPTS.get(language)
    if script is None:
        return key.isascii() and key.isalpha()
    return (unicodedata.category(key).startswith('L') and
            unicodedata.name(key, '').startswith(script) and
            unicodedata.normalize('NFD', key) == key)


def access_key_faults(language, table, english):
    """The faults of one language's access keys, one line each; `table` and `english` map string
    IDs to texts."""
    faults, owners = [], {}
    for string_id, text in sorted(table.items()):
        if string_id not in ACCESS_KEY_TEXTS:
            if '&' in text:
                faults.append(f'{string_id}: an "&" in a text without an access key')
            continue
        marker = text.find('&')
        if text.count('&') != 1 or marker == len(text) - 1:
            faults.append(f'{string_id}: not exactly one "&" before a character')
            continue
        key = text[marker + 1]
        if language in PARENTHESIZED_KEYS:
            english_text = english.get(string_id, '')
            english_key = english_text[english_text.find('&') + 1:][:1].upper()
            if not PARENTHESIZED_KEY.search(text):
                faults.append(f'{string_id}: not "text(&X)" with a capital Latin X')
            elif key != english_key:
                faults.append(f'{string_id}: key {key}, not the English key {english_key}')
        elif not is_plain_letter_of(language, key):
            faults.append(f'{string_id}: key {key!r} is no plain letter of the script')
        owners.setdefault(key.casefold(), []).append(string_id)
    for key, string_ids in owners.items():
        if len(string_ids) > 1:
            faults.append(f'{string_ids}: one key {key!r} for several controls')
    if len({without_key(table.get(string_id, '')) for string_id in BROWSE_BUTTONS}) != 1:
        faults.append(f'{BROWSE_BUTTONS}: the Browse buttons read differently')
    return faults


def read_source(path):
    """{id: text} of one translation file, read independently of the generator."""
    strings = {}
    with open(path, encoding='utf-8-sig') as source:
        for line in source.read().splitlines():
            if not line or line.startswith('#'):
                continue
            key, _, text = line.partition('\t')
            strings.setdefault(int(key), []).append(text)
    return strings


def read_sources():
    sources = {}
    for name in sorted(os.listdir(TRANSLATIONS)):
        if name.endswith('.txt'):
            language = int(re.match(r'\d+', name).group(0))
            sources.setdefault(language, []).append((name, read_source(
                os.path.join(TRANSLATIONS, name))))
    return sources


def unquote(literal):
    """The text of one .rc string literal, as the resource compiler reads it."""
    if len(literal) < 2 or literal[0] != '"' or literal[-1] != '"':
        raise ValueError(f'not a string literal: {literal}')
    body, text, i = literal[1:-1], [], 0
    while i < len(body):
        pair = body[i:i + 2]
        if pair in ('""', '\\\\'):
            text.append(pair[0])
            i += 2
        elif body[i] in '"\\':
            raise ValueError(f'unescaped {body[i]} in {literal}')
        else:
            text.append(body[i])
            i += 1
    return ''.join(text)


def parse_script(script):
    """[(langid, {id: text})] of a STRINGTABLE script, in the order the script gives them."""
    tables, language, inside = [], None, False
    for line in script.splitlines():
        line = line.strip()
        if not line or line.startswith('//') or line.startswith('#pragma'):
            continue
        match = re.fullmatch(r'LANGUAGE 0x([0-9A-F]+), 0x([0-9A-F]+)', line)
        if match:
            primary, sub = int(match.group(1), 16), int(match.group(2), 16)
            if primary > 0x3FF or sub > 0x3F:
                raise ValueError(line)
            language = primary | sub << 10
        elif line == 'STRINGTABLE':
            tables.append((language, {}))
        elif line == 'BEGIN':
            inside = True
        elif line == 'END':
            inside = False
        elif inside:
            match = re.fullmatch(r'(\d+), (".*")', line)
            if not match:
                raise ValueError(line)
            table = tables[-1][1]
            if int(match.group(1)) in table:
                raise ValueError(f'string {match.group(1)} twice in {language}')
            table[int(match.group(1))] = unquote(match.group(2))
        else:
            raise ValueError(f'unexpected line: {line}')
    return tables


def generate(folder):
    """Runs the generator as the build does; returns (exit code, script, stderr)."""
    with tempfile.TemporaryDirectory() as output_folder:
        output = os.path.join(output_folder, 'string_tables.rc')
        run = subprocess.run([sys.executable, GENERATOR, '--translations', folder,
                              '--output', output], capture_output=True, text=True)
        script = ''
        if os.path.exists(output):
            with open(output, encoding='utf-8') as generated:
                script = generated.read()
        return run.returncode, script, run.stderr


class TranslationSourcesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sources = read_sources()
        cls.tables = {language: files[0][1] for language, files in cls.sources.items()}
        cls.english = cls.tables.get(ENGLISH, {})

    def shipped_tables(self):
        return [(language, self.tables[language]) for language in SHIPPED
                if language in self.tables]

    def test_one_file_for_every_shipped_language_and_no_other(self):
        for language in SHIPPED:
            with self.subTest(language=language):
                self.assertEqual(len(self.sources.get(language, [])), 1)
        self.assertEqual(set(self.sources) - set(SHIPPED), {0})
        for language, files in self.sources.items():
            for name, _ in files:
                with self.subTest(file=name):
                    self.assertRegex(name, generate_string_tables.FILE_NAME)

    def test_neutral_table_holds_the_folder_name(self):
        self.assertEqual(self.tables[0], {100: ['Tavrin Pelko']})

    def test_every_language_has_exactly_the_english_strings(self):
        self.assertTrue(self.english)
        for language, table in self.shipped_tables():
            with self.subTest(language=language):
                self.assertEqual(sorted(table), sorted(self.english))
                for string_id, texts in table.items():
                    self.assertEqual(len(texts), 1, f'string {string_id} given twice')

    def test_no_text_is_empty_or_holds_control_characters(self):
        for language, table in self.shipped_tables():
            for string_id, texts in table.items():
                for text in texts:
                    with self.subTest(language=language, id=string_id):
                        self.assertTrue(text.strip())
                        self.assertEqual(text, text.strip(), 'leading or trailing blank')
                        self.assertFalse(
                            [c for c in text if unicodedata.category(c) == 'Cc'])
                        # The generator alone adds directional marks, and only where they belong.
                        self.assertFalse(BIDI_CONTROLS & set(text), 'directional mark')

    def test_other_languages_are_not_copies_of_english(self):
        for language, table in self.shipped_tables():
            if language & 0x3FF == ENGLISH:
                continue
            for string_id, texts in table.items():
                if string_id in SAME_IN_EVERY_LANGUAGE or (language, string_id) in SAME_AS_ENGLISH:
                    continue
                with self.subTest(language=language, id=string_id):
                    self.assertNotEqual(texts, self.english.get(string_id))

    def test_shortcut_names_are_file_names(self):
        for language, table in self.shipped_tables():
            for string_id in SHORTCUT_NAMES:
                for name in table.get(string_id, []):
                    with self.subTest(language=language, id=string_id):
                        self.assertFalse(FORBIDDEN_IN_FILE_NAMES & set(name), name)
                        self.assertFalse(name.endswith(('.', ' ')), name)
                        self.assertFalse([c for c in name if ord(c) < 0x20], name)

    def test_languages_are_written_in_their_own_script(self):
        for language, scripts in SCRIPTS.items():
            for string_id, texts in self.tables.get(language, {}).items():
                if string_id in SAME_IN_EVERY_LANGUAGE:
                    continue
                for text in texts:
                    with self.subTest(language=language, id=string_id):
                        self.assertTrue(
                            any(unicodedata.name(c, '').startswith(scripts) for c in text),
                            text)

    def test_access_keys(self):
        english = {string_id: texts[0] for string_id, texts in self.english.items()}
        for language, table in self.shipped_tables():
            with self.subTest(language=language):
                self.assertEqual(access_key_faults(
                    language, {string_id: texts[0] for string_id, texts in table.items()},
                    english), [])

    def test_failure_lead_in_leaves_no_wide_gap_before_the_number(self):
        # The run appends a blank and the number; after a full-width mark that blank is a gap.
        for language, table in self.shipped_tables():
            for text in table.get(217, []):
                with self.subTest(language=language):
                    self.assertFalse('\u3000' <= text[-1] <= '\u303F' or
                                     '\uFF00' <= text[-1] <= '\uFFEF', text)

    def test_persian_uses_persian_letters(self):
        for string_id, texts in self.tables.get(1065, {}).items():
            with self.subTest(id=string_id):
                self.assertFalse(ARABIC_YEH_AND_KAF & set(''.join(texts)))

    def test_chinese_tables_use_the_right_script(self):
        for languages, wrong, right in ((TRADITIONAL_CHINESE, SIMPLIFIED_ONLY, TRADITIONAL_ONLY),
                                        (SIMPLIFIED_CHINESE, TRADITIONAL_ONLY, SIMPLIFIED_ONLY)):
            for language in languages:
                with self.subTest(language=language):
                    text = ''.join(t for texts in self.tables[language].values() for t in texts)
                    self.assertFalse(wrong & set(text), 'characters of the other script')
                    self.assertTrue(right & set(text), 'no character of its own script')

    def test_string_tables_say_what_the_sources_say(self):
        code, script, errors = generate(TRANSLATIONS)
        self.assertEqual(code, 0, errors)
        self.assertEqual(errors, '')
        self.assertTrue(script.startswith('//'))
        self.assertIn('#pragma code_page(65001)', script.splitlines()[:5])
        tables = parse_script(script)
        languages = [language for language, _ in tables]
        self.assertEqual(languages, [0] + list(SHIPPED))
        for language, table in tables:
            with self.subTest(language=language):
                expected = {string_id: texts[0] for string_id, texts in
                            self.tables[language].items() if texts[0]}
                if language in RIGHT_TO_LEFT:
                    for string_id in WINDOW_TEXTS:
                        expected[string_id] = RLE + expected[string_id]
                self.assertEqual(table, expected)

    def test_marks_only_around_window_texts_of_right_to_left_languages(self):
        _, script, _ = generate(TRANSLATIONS)
        marked = 0
        for language, table in parse_script(script):
            for string_id, text in table.items():
                with self.subTest(language=language, id=string_id):
                    self.assertFalse([c for c in text if unicodedata.category(c) == 'Cc'])
                    if language in RIGHT_TO_LEFT and string_id in WINDOW_TEXTS:
                        self.assertTrue(text.startswith(RLE), text)
                        text = text[1:]
                        marked += 1
                    self.assertFalse(BIDI_CONTROLS & set(text), 'directional mark')
        self.assertEqual(marked, len(RIGHT_TO_LEFT) * len(WINDOW_TEXTS))


class AccessKeyCheckTest(unittest.TestCase):
    """The access-key check finds each kind of fault in an otherwise sound table."""

    @classmethod
    def setUpClass(cls):
        cls.tables = {language: {string_id: texts[0] for string_id, texts in files[0][1].items()}
                      for language, files in read_sources().items()}

    def test_faults_are_found(self):
        cases = (
            ('no key', 9, {210: 'Install'}, '210: not exactly one'),
            ('two markers', 9, {210: '&Inst&all'}, '210: not exactly one'),
            ('marker at the end', 9, {211: 'Cancel&'}, '211: not exactly one'),
            ('escaped ampersand only', 9, {211: 'Cancel && close'}, '211: not exactly one'),
            ('key on a point', 9, {209: 'Browse&...', 218: 'B&rowse...', 219: 'Br&owse...'},
             "209: key '.'"),
            ('two Browse buttons share a key', 9, {218: '&Browse...'}, 'one key'),
            ('keys differing only in case', 9, {213: 'Create a shortcut on the &Desktop',
                                                214: 'Start Tavrin Pelko when setup is finishe&d'},
             "one key 'd'"),
            ('accented Latin key', 1036, {213: 'Cr&éer un raccourci sur le Bureau'},
             "213: key 'é'"),
            ('Latin key in a Cyrillic text', 1049,
             {214: 'Запустить &Tavrin Pelko после завершения установки'}, "214: key 'T'"),
            ('Latin key in a Hebrew text', 1037, {214: 'הפעל את &Tavrin Pelko בסיום ההתקנה'},
             "214: key 'T'"),
            ('Greek letter with an accent', 1032, {211: '&Άκυρο'}, "211: key 'Ά'"),
            ('a Browse button that reads differently', 9, {219: 'Br&owse'}, 'read differently'),
            ('key in a shortcut name', 9, {220: 'Start &Tavrin Pelko'}, '220: an "&"'),
            ('key in a message', 9, {216: 'Tavrin Pelko &has been installed successfully.'},
             '216: an "&"'),
            ('key in the picker title', 1031, {212: 'Ordner &wählen'}, '212: an "&"'),
            ('Japanese key on a kana', 1041, {209: '&参照...'}, '209: not "text(&X)"'),
            ('Japanese key in lower case', 1041, {210: 'インストール(&i)'}, '210: not "text(&X)"'),
            ('Japanese key after the points', 1041, {209: '参照...(&B)'}, '209: not "text(&X)"'),
            ('Japanese key after the colon', 1041, {206: '1. プログラム フォルダー:(&P)'},
             '206: not "text(&X)"'),
            ('Chinese label without a key', 2052, {208: '3. KML 文件夹：'}, '208: not exactly one'),
            ('label key shared with a Browse button', 9, {206: '1. P&rogram folder:'},
             "one key 'r'"),
            ('label key shared with a check box', 1031, {208: '3. KML-Or&dner:'},
             "one key 'd'"),
            ('Japanese key not the English one', 1041, {210: 'インストール(&N)'},
             '210: key N, not the English key I'),
            ('Chinese keys swapped', 2052, {218: '浏览(&O)...', 219: '浏览(&R)...'},
             '218: key O, not the English key R'),
            ('Hindi key without parentheses', 1081, {211: '&रद्द करें'}, '211: not "text(&X)"'),
        )
        for name, language, changes, expected in cases:
            with self.subTest(name):
                table = dict(self.tables[language])
                self.assertEqual(access_key_faults(language, table, self.tables[ENGLISH]), [])
                table.update(changes)
                faults = access_key_faults(language, table, self.tables[ENGLISH])
                self.assertTrue([f for f in faults if expected in f], faults)


class GeneratorTest(unittest.TestCase):
    """The generator on small hand-made sources."""

    def run_on(self, files):
        with tempfile.TemporaryDirectory() as folder:
            for name, content in files.items():
                with open(os.path.join(folder, name), 'wb') as source:
                    source.write(content if isinstance(content, bytes) else
                                 content.encode('utf-8'))
            return generate(folder)

    def test_texts_survive_quoting(self):
        texts = ['Say "Install"', 'C:\\Tavrin\\', '""', '\\"', "it's", 'a\\nb',
                 'שלום עולם', '安裝 Tavrin', 'Ünïcödé \U0001F600', '100%d %s']
        source = '# comment\n' + ''.join(f'{200 + i}\t{t}\n' for i, t in enumerate(texts))
        code, script, errors = self.run_on({'0009-en.txt': source})
        self.assertEqual(code, 0, errors)
        self.assertEqual(parse_script(script),
                         [(9, {200 + i: t for i, t in enumerate(texts)})])

    def test_language_statements_and_order(self):
        code, script, errors = self.run_on({
            '31770-sr-Latn.txt': '200\tb\n', '0000-neutral.txt': '100\tTavrin Pelko\n',
            '1025-ar-SA.txt': '231\tc\n230\td\n', '4122-hr-BA.txt': '200\te\n'})
        self.assertEqual(code, 0, errors)
        self.assertIn('LANGUAGE 0x1A, 0x1F', script)
        self.assertIn('LANGUAGE 0x1A, 0x04', script)
        self.assertEqual(parse_script(script), [
            (0, {100: 'Tavrin Pelko'}), (1025, {230: 'd', 231: 'c'}), (4122, {200: 'e'}),
            (31770, {200: 'b'})])

    def test_right_to_left_window_texts_are_embedded(self):
        source = '203\tא Tavrin Pelko ב.\n217\tג:\n220\tד Tavrin Pelko\n224\tTavrin Pelko Qx\n'
        code, script, errors = self.run_on({
            '1037-he-IL.txt': source, '1025-ar-SA.txt': source, '0009-en.txt': source,
            '0000-neutral.txt': '100\tTavrin Pelko\n'})
        self.assertEqual(code, 0, errors)
        plain = {203: 'א Tavrin Pelko ב.', 217: 'ג:', 220: 'ד Tavrin Pelko',
                 224: 'Tavrin Pelko Qx'}
        embedded = dict(plain)
        embedded.update({203: RLE + plain[203], 217: RLE + plain[217]})
        self.assertEqual(parse_script(script), [
            (0, {100: 'Tavrin Pelko'}), (9, plain), (1025, embedded), (1037, embedded)])

    def test_line_ends_and_byte_order_mark(self):
        code, script, errors = self.run_on({'1031-de-DE.txt': '\ufeff200\tA \r\n201\tB\r\n'})
        self.assertEqual(code, 0, errors)
        self.assertEqual(parse_script(script), [(1031, {200: 'A ', 201: 'B'})])

    def test_left_out_with_a_warning(self):
        cases = (
            ('empty text', {'1031-de-DE.txt': '200\t\n201\tB\n'}, [(1031, {201: 'B'})]),
            ('language not shipped', {'1033-en-US.txt': '200\tA\n', '0009-en.txt': '200\tB\n'},
             [(9, {200: 'B'})]),
        )
        for name, files, expected in cases:
            with self.subTest(name):
                code, script, errors = self.run_on(files)
                self.assertEqual(code, 0, errors)
                self.assertIn('warning', errors)
                self.assertEqual(parse_script(script), expected)

    def test_rejected_sources(self):
        cases = (
            ('no tab', {'0009-en.txt': '200 Setup\n'}),
            ('no number', {'0009-en.txt': 'x\tSetup\n'}),
            ('string twice', {'0009-en.txt': '200\tA\n200\tB\n'}),
            ('ID outside the shipped blocks', {'0009-en.txt': '240\tA\n'}),
            ('neutral ID in a language', {'0009-en.txt': '100\tA\n'}),
            ('language ID in the neutral table', {'0000-neutral.txt': '200\tA\n'}),
            ('control character', {'0009-en.txt': '200\tA\tB\n'}),
            ('embedding in a source', {'1037-he-IL.txt': '203\t\u202Bא\u202C\n'}),
            ('mark in a shortcut name', {'1037-he-IL.txt': '220\t\u200Fא\n'}),
            ('isolate in English', {'0009-en.txt': '200\t\u2067A\u2069\n'}),
            ('file name without a tag', {'0009.txt': '200\tA\n'}),
            ('two files for one language', {'0009-en.txt': '200\tA\n',
                                            '00009-en.txt': '200\tB\n'}),
            ('not UTF-8', {'0009-en.txt': b'200\t\xff\xfe\n'}),
        )
        for name, files in cases:
            with self.subTest(name):
                code, _, errors = self.run_on(files)
                self.assertNotEqual(code, 0)
                self.assertTrue(errors)


if __name__ == '__main__':
    unittest.main()
