#!/usr/bin/env python3
"""Checks shortcut_removal_rows.py: which names each edition's package removes, the rows and
table it writes, and the import into a package that wixl builds here (with text outside ASCII).
Environment for the package test: WIXL, MSIBUILD, MSIINFO (set by the CMake test registration).
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TRANSLATIONS = os.path.join(HERE, '..', 'setup', 'l10n', 'translations')
sys.path.insert(0, HERE)
import shortcut_removal_rows as rows  # noqa: E402

# Two shipped languages, one that is not shipped (never in a string table, so never a name) and
# the neutral block. German lacks 229 and has an empty 232.
LANGUAGES = {
    9: {220: 'Start P', 221: 'Start Q', 222: 'Start B', 226: 'Uninstall P', 227: 'Uninstall Q',
        228: 'Uninstall B', 229: 'Help P', 230: 'Help Q', 231: 'Help B', 232: 'Notes P',
        233: 'Notes Q', 234: 'Notes B', 210: 'Install'},
    1031: {220: 'P starten', 221: 'Q starten', 222: 'B starten', 226: 'Uninstall P',
           227: 'Q deinstallieren', 228: 'B deinstallieren', 230: 'Hilfe Q', 231: 'Hilfe B',
           232: '', 233: 'Hinweise Q', 234: 'Hinweise B'},
    4095: {220: 'Unshipped P'},
    0: {100: 'Tavrin Pelko'},
}
IDENTIFIER = re.compile(r'^[A-Za-z_][A-Za-z0-9_.]{0,71}$')


class ShortcutFileNames(unittest.TestCase):
    def test_names_per_edition(self):
        # "Uninstall P" is the English and the German text: one name. German 229 is missing and
        # 232 empty: English only.
        cases = {
            0: ['Help P.lnk', 'Notes P.lnk', 'P starten.lnk', 'Start P.lnk', 'Uninstall P.lnk'],
            1: ['Help Q.lnk', 'Hilfe Q.lnk', 'Hinweise Q.lnk', 'Notes Q.lnk',
                'Q deinstallieren.lnk', 'Q starten.lnk', 'Start Q.lnk', 'Uninstall Q.lnk'],
            2: ['B deinstallieren.lnk', 'B starten.lnk', 'Help B.lnk', 'Hilfe B.lnk',
                'Hinweise B.lnk', 'Notes B.lnk', 'Start B.lnk', 'Uninstall B.lnk'],
        }
        for edition, expected in cases.items():
            with self.subTest(edition=edition):
                self.assertEqual(expected, rows.shortcut_file_names(LANGUAGES, edition))

    def test_text_that_is_no_file_name_is_refused(self):
        for text in ('Start*', 'Start?', 'A/B', 'A\\B', 'Hilfe: P', 'A|B', '"P"', 'x' * 252):
            with self.subTest(text=text), self.assertRaises(rows.RowError):
                rows.shortcut_file_names({9: {220: text}}, 0)

    def test_every_shipped_translation_is_covered(self):
        # The real sources: each edition's four texts in every shipped language, and nothing of
        # another edition.
        languages = rows.strings.read_translations(TRANSLATIONS)
        for edition in rows.EDITIONS:
            with self.subTest(edition=edition):
                names = rows.shortcut_file_names(languages, edition)
                self.assertEqual(len(names), len(set(names)))
                for language in rows.strings.SHIPPED_LANGUAGES:
                    for string_id in rows.shortcut_ids(edition):
                        self.assertIn(languages[language][string_id] + '.lnk', names,
                                      f'LANGID {language}, string {string_id}')
                others = {languages[9][string_id] + '.lnk' for other in rows.EDITIONS
                          if other != edition for string_id in rows.shortcut_ids(other)}
                self.assertFalse(others & set(names))


class RemovalRows(unittest.TestCase):
    def test_rows_remove_each_name_at_uninstall(self):
        names = rows.shortcut_file_names(LANGUAGES, 1) + ['ヘルプ Tavrin Pelko.lnk']
        made = rows.removal_rows(names)
        self.assertEqual(names, [row[2] for row in made])
        keys = [row[0] for row in made]
        self.assertEqual(len(keys), len(set(keys)))
        for key, component, name, directory, mode in made:
            with self.subTest(name=name):
                self.assertRegex(key, IDENTIFIER)
                self.assertTrue(name.endswith('.lnk') and len(name) > len('.lnk'))
                self.assertEqual(('StartMenuShortcuts', 'ProductMenuFolder', '2'),
                                 (component, directory, mode))


EXPORTED = ('FileKey\tComponent_\tFileName\tDirProperty\tInstallMode\r\n'
            's72\ts72\tL255\ts72\ti2\r\n'
            'RemoveFile\tFileKey\r\n'
            'RemoveMenuFolder\tStartMenuShortcuts\t\tProductMenuFolder\t2\r\n'
            'RemoveAll\tStartMenuShortcuts\t*.lnk\tProductMenuFolder\t2\r\n')


class ExtendTable(unittest.TestCase):
    def test_rows_added_to_the_package_rows(self):
        table = rows.extend_table(EXPORTED, rows.removal_rows(['Hilfe Q.lnk']))
        self.assertTrue(table.endswith('\r\n'))
        added = '\t'.join((rows.file_key('Hilfe Q.lnk'), 'StartMenuShortcuts', 'Hilfe Q.lnk',
                           'ProductMenuFolder', '2'))
        self.assertEqual(EXPORTED.split('\r\n')[:-1] + [added], table.split('\r\n')[:-1])

    def test_refused(self):
        cases = {
            'another table': EXPORTED.replace('RemoveFile\tFileKey', 'File\tFile'),
            'no header': '',
            'a key taken': EXPORTED + rows.file_key('A.lnk') + '\tC\tA.lnk\tD\t2\r\n',
        }
        for case, exported in cases.items():
            with self.subTest(case=case), self.assertRaises(rows.RowError):
                rows.extend_table(exported, rows.removal_rows(['A.lnk']))


PACKAGE_WXS = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{0B5E7D2C-94A1-4C36-8F0E-7A3D1B6C9E52}" Name="Rows" Language="1033"
           Version="1.0.0" Manufacturer="Tavrin" UpgradeCode="6C1A9F3E-2B7D-4E85-A4C0-9D5B3E8F1A27">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramMenuFolder">
        <Directory Id="ProductMenuFolder" Name="Rows">
          <Component Id="StartMenuShortcuts" Guid="A7D3C1E9-5F2B-4B80-9E6A-3C8D1F4B7A05">
            <RemoveFolder Id="RemoveProductMenuFolder" On="uninstall"/>
            <RegistryValue Root="HKCU" Key="Software\\Tavrin\\Rows" Name="Installed"
                           Type="integer" Value="1" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Complete" Level="1"><ComponentRef Id="StartMenuShortcuts"/></Feature>
  </Product>
</Wix>
"""


@unittest.skipUnless(all(name in os.environ for name in ('WIXL', 'MSIBUILD', 'MSIINFO')),
                     'WIXL, MSIBUILD and MSIINFO are not set')
class IntoPackage(unittest.TestCase):
    def test_names_of_any_script_reach_the_package(self):
        env = os.environ
        with tempfile.TemporaryDirectory() as folder:
            translations = os.path.join(folder, 'translations')
            os.mkdir(translations)
            for name, texts in (('0009-en.txt', ('Start Rows', 'Rows Help')),
                                ('1041-ja-JP.txt', ('Rows を起動', 'Rows のヘルプ'))):
                with open(os.path.join(translations, name), 'w', encoding='utf-8') as out:
                    out.write(f'# a test language\n220\t{texts[0]}\n229\t{texts[1]}\n')
            wxs = os.path.join(folder, 'package.wxs')
            with open(wxs, 'w', encoding='utf-8') as out:
                out.write(PACKAGE_WXS)
            package = os.path.join(folder, 'rows.msi')
            subprocess.run([env['WIXL'], '-o', package, wxs], check=True)
            self.assertEqual(0, rows.main(['--translations', translations, '--edition', '0',
                                           '--work-dir', os.path.join(folder, 'tables'),
                                           '--msiinfo', env['MSIINFO'],
                                           '--msibuild', env['MSIBUILD'], package]))
            exported = subprocess.run([env['MSIINFO'], 'export', package, 'RemoveFile'],
                                      check=True, capture_output=True).stdout.decode('utf-8')
        found = {line.split('\t')[2]: line.split('\t')[0]
                 for line in exported.splitlines()[3:] if line}
        self.assertEqual(
            {'Start Rows.lnk', 'Rows Help.lnk', 'Rows を起動.lnk', 'Rows のヘルプ.lnk', ''}, set(found))
        self.assertEqual('RemoveProductMenuFolder', found[''])


if __name__ == '__main__':
    unittest.main()
