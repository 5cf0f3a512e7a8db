#!/usr/bin/env python3
"""Checks what the build says of setup.exe against the embedded package's Property table: the
version information, the release record and the winget manifests, and the package extracted
again.

Read back from the built files: the setup of this build, and a setup built in a build directory
of its own around a second small per-user package with another name, manufacturer and version.
A package with a malformed or missing ProductVersion must fail that build, naming the package.

Environment (the CMake test registration sets it): SETUP_EXE, SETUP_PACKAGE_FILE (the package
it embeds), SOURCE_DIR, WORK_DIR (scratch build directory), CMAKE_GENERATOR, WINDRES, MSIINFO,
WIXL, MSIBUILD, PE_WITHOUT_PACKAGE (a Windows program that carries no package).
"""

import glob
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

import jsonschema
import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # no cache files in the source tree
import make_version_resource  # noqa: E402
from marker_package_test_support import build_marker_package  # noqa: E402

ENV = os.environ
STRING_BLOCKS = ('000004b0', '040904b0')

# Names with what the resource script must escape (quote, backslash) and text beyond ASCII
# (short: wixl 0.101 crashes on longer names with several non-ASCII letters).
SECOND_PRODUCT = {
    'ProductName': 'Orvel "Pro" \\ Ääni',
    'Manufacturer': 'Kessa & Söhne',
    'ProductVersion': '3.14.1592',
}


def decode_rc_string(literal):
    """The text of a string literal as windres writes it (L"..." or "...")."""
    body = literal[2:-1] if literal.startswith('L"') else literal[1:-1]
    out = []
    i = 0
    while i < len(body):
        char = body[i]
        if char == '"':  # a doubled quote
            out.append('"')
            i += 2
        elif char == '\\':
            following = body[i + 1]
            if following == 'x':
                digits = re.match(r'[0-9a-fA-F]{1,4}', body[i + 2:]).group(0)
                out.append(chr(int(digits, 16)))
                i += 2 + len(digits)
            elif following in '01234567':
                digits = re.match(r'[0-7]{1,3}', body[i + 1:]).group(0)
                out.append(chr(int(digits, 8)))
                i += 1 + len(digits)
            else:
                out.append({'n': '\n', 'r': '\r', 't': '\t', 'a': '\a'}.get(following, following))
                i += 2
        else:
            out.append(char)
            i += 1
    return ''.join(out)


def read_version_info(exe):
    """The fixed version numbers, the string blocks and the translations of an executable."""
    dump = subprocess.run([ENV['WINDRES'], '-i', exe, '-O', 'rc'], check=True,
                          capture_output=True).stdout.decode('utf-8')
    start = dump.index('VERSIONINFO')
    section = dump[start:dump.index('\nEND', start)]
    info = {'blocks': {}}
    for key in ('FILEVERSION', 'PRODUCTVERSION'):
        numbers = re.search(key + r' ([\d, ]+)\n', section).group(1)
        info[key] = [int(n) for n in numbers.split(',')]
    block = None
    for line in section.splitlines():
        line = line.strip()
        match = re.match(r'BLOCK "([0-9a-fA-F]{8})"', line)
        if match:
            block = info['blocks'].setdefault(match.group(1).lower(), {})
        match = re.match(r'VALUE "(\w+)", (L?".*")$', line)
        if match and block is not None:
            block[match.group(1)] = decode_rc_string(match.group(2))
        match = re.match(r'VALUE "Translation", (.*)$', line)
        if match:
            info['Translation'] = [int(n, 0) for n in match.group(1).split(',')]
    return info


def package_properties(package):
    return make_version_resource.read_properties(package, ENV['MSIINFO'])


class VersionInfoAssertions(unittest.TestCase):
    def assert_versioned_from(self, exe, package):
        properties = package_properties(package)
        info = read_version_info(exe)
        numbers = make_version_resource.parse_version(properties['ProductVersion'])
        self.assertEqual(numbers, info['FILEVERSION'])
        self.assertEqual(numbers, info['PRODUCTVERSION'])
        self.assertEqual([0x0000, 1200, 0x0409, 1200], info['Translation'])
        self.assertEqual(set(STRING_BLOCKS), set(info['blocks']))
        for name in STRING_BLOCKS:
            with self.subTest(block=name):
                self.assertEqual({
                    'CompanyName': properties['Manufacturer'],
                    'FileDescription': 'Tavrin Pelko Setup',
                    'FileVersion': properties['ProductVersion'],
                    'OriginalFilename': 'setup.exe',
                    'ProductName': properties['ProductName'],
                    'ProductVersion': properties['ProductVersion'],
                }, info['blocks'][name])


SCHEMAS = os.path.join(HERE, '..', 'release', 'winget-schemas-1.10.0')
MANIFEST_KINDS = {'.installer.yaml': 'installer', '.yaml': 'version',
                  '.locale.en-US.yaml': 'defaultLocale'}


class ReleaseRecordAssertions(unittest.TestCase):
    def assert_release_record(self, exe, package, scope, level):
        """The record beside `exe` and its winget manifests state what the package and the
        file say."""
        folder = os.path.dirname(exe)
        with open(os.path.join(folder, 'setup-release.json'), encoding='utf-8') as source:
            record = json.load(source)
        properties = package_properties(package)
        for field, name in (('productName', 'ProductName'), ('manufacturer', 'Manufacturer'),
                            ('productVersion', 'ProductVersion'),
                            ('productCode', 'ProductCode'), ('upgradeCode', 'UpgradeCode')):
            self.assertEqual(properties[name], record[field], field)
        digest = subprocess.run(['sha256sum', exe], check=True, capture_output=True,
                                text=True).stdout.split()[0]
        self.assertEqual(digest, record['setupSha256'])
        self.assertEqual(os.path.getsize(exe), record['setupSize'])
        self.assertEqual((scope, level), (record['scope'], record['executionLevel']))
        self.assertEqual('setup.exe KORVO=1', record['silentCommandLine'])
        self.assertEqual({'success', 'restart', 'retry', 'failure'},
                         {entry['kind'] for entry in record['exitCodes']})

        manifests = {}
        for path in glob.glob(os.path.join(folder, 'winget', '*.yaml')):
            kind = next(kind for suffix, kind in sorted(MANIFEST_KINDS.items(),
                                                         key=lambda item: -len(item[0]))
                        if path.endswith(suffix))
            with open(path, encoding='utf-8') as source:
                manifests[kind] = yaml.safe_load(source)
            with open(os.path.join(SCHEMAS, f'manifest.{kind}.1.10.0.json')) as source:
                jsonschema.validate(manifests[kind], json.load(source))
        self.assertEqual(set(MANIFEST_KINDS.values()), set(manifests))
        installer = manifests['installer']
        for manifest in manifests.values():
            self.assertEqual(record['productVersion'], manifest['PackageVersion'])
        self.assertEqual(record['productCode'], installer['ProductCode'])
        self.assertEqual(record['scope'], installer['Scope'])
        self.assertEqual(record['setupSha256'], installer['Installers'][0]['InstallerSha256'].lower())
        entry = installer['AppsAndFeaturesEntries'][0]
        self.assertEqual((record['productName'], record['manufacturer'], record['upgradeCode'],
                          'msi'),
                         (entry['DisplayName'], entry['Publisher'], entry['UpgradeCode'],
                          entry['InstallerType']))
        self.assertEqual(
            {c['code'] for c in record['exitCodes'] if c['code']},
            {c['InstallerReturnCode'] for c in installer['ExpectedReturnCodes']})
        self.assertEqual(level == 'requireAdministrator',
                         installer.get('ElevationRequirement') == 'elevationRequired')


class PackageExtraction(unittest.TestCase):
    SCRIPT = os.path.join(HERE, '..', '..', '..', '..', 'scripts', 'extract-package.py')

    def extract(self, exe, output, *options):
        return subprocess.run([sys.executable, self.SCRIPT, exe, output, *options],
                              capture_output=True, text=True)

    def test_round_trip_and_refusals(self):
        with tempfile.TemporaryDirectory() as work:
            output = os.path.join(work, 'product.msi')
            result = self.extract(ENV['SETUP_EXE'], output)
            self.assertEqual(0, result.returncode, result.stderr)
            with open(output, 'rb') as got, open(ENV['SETUP_PACKAGE_FILE'], 'rb') as want:
                self.assertEqual(want.read(), got.read())
            not_pe = os.path.join(work, 'notes.txt')
            with open(not_pe, 'w') as out:
                out.write('not a program\n')
            cases = (
                ((ENV['SETUP_EXE'], output), 'exists; give --force'),
                ((not_pe, os.path.join(work, 'a.msi')), 'is not a Windows program'),
                ((ENV['PE_WITHOUT_PACKAGE'], os.path.join(work, 'b.msi')),
                 'carries no installer package'),
            )
            for arguments, message in cases:
                with self.subTest(message=message):
                    result = self.extract(*arguments)
                    self.assertEqual(2, result.returncode)
                    self.assertIn(message, result.stderr)
            self.assertEqual(0, self.extract(ENV['SETUP_EXE'], output, '--force').returncode)


class VersionParsing(unittest.TestCase):
    def test_versions(self):
        cases = (
            ('1.0.0', [1, 0, 0, 0]),
            ('3.14.1592', [3, 14, 1592, 0]),
            ('255.255.65535.65535', [255, 255, 65535, 65535]),
            ('07.1.2', [7, 1, 2, 0]),
            ('256.0.0', None),
            ('1.256.0', None),
            ('1.0.65536', None),
            ('1.0.0.65536', None),
            ('1.0', None),
            ('1', None),
            ('1.0.0.0.0', None),
            ('1.x.0', None),
            ('1.0.0-beta', None),
            (' 1.0.0', None),
            ('', None),
        )
        for text, expected in cases:
            with self.subTest(version=text):
                self.assertEqual(expected, make_version_resource.parse_version(text))


class DemoBuild(VersionInfoAssertions, ReleaseRecordAssertions):
    def test_versioned_from_its_package(self):
        self.assert_versioned_from(ENV['SETUP_EXE'], ENV['SETUP_PACKAGE_FILE'])

    def test_release_record_of_its_package(self):
        self.assert_release_record(ENV['SETUP_EXE'], ENV['SETUP_PACKAGE_FILE'], 'machine',
                                   'requireAdministrator')


class SecondPackageBuild(VersionInfoAssertions, ReleaseRecordAssertions):
    """One build directory around a package file that the cases rewrite in turn."""

    @classmethod
    def setUpClass(cls):
        cls.work = ENV['WORK_DIR']
        # The build directory stays between runs; the package is made anew.
        os.makedirs(cls.work, exist_ok=True)
        cls.package = os.path.join(cls.work, 'Orvel-Kartta.msi')
        cls.build = os.path.join(cls.work, 'build')
        cls.make_package(SECOND_PRODUCT)
        subprocess.run(['cmake', '--preset', 'windows', '-B', cls.build, '-G',
                        ENV['CMAKE_GENERATOR'], f'-DSETUP_PACKAGE={cls.package}'],
                       cwd=ENV['SOURCE_DIR'], check=True, stdout=subprocess.DEVNULL)

    @classmethod
    def make_package(cls, product, sql=()):
        partial = cls.package + '.part'
        if os.path.exists(partial):
            os.remove(partial)
        build_marker_package(ENV['WIXL'], partial, product['ProductName'], product['Manufacturer'],
                             product['ProductVersion'], '6F4D1C2B-8E0A-4B5F-9C3D-2A7E1B9F0C64',
                             '0C9E5B7A-3D2F-4A61-8B4C-7E1F2D3A5B69')
        for query in sql:
            subprocess.run([ENV['MSIBUILD'], partial, '-q', query], check=True)
        os.replace(partial, cls.package)

    def build_setup(self):
        return subprocess.run(['cmake', '--build', self.build, '--target', 'setup', '-j2'],
                              capture_output=True, text=True)

    def test_versioned_from_its_package(self):
        self.make_package(SECOND_PRODUCT)
        result = self.build_setup()
        self.assertEqual(0, result.returncode, result.stdout + result.stderr)
        self.assert_versioned_from(os.path.join(self.build, 'setup.exe'), self.package)
        self.assert_release_record(os.path.join(self.build, 'setup.exe'), self.package, 'user',
                                   'asInvoker')

    def test_malformed_or_missing_version_fails_the_build(self):
        set_version = "UPDATE `Property` SET `Value` = '{}' WHERE `Property` = 'ProductVersion'"
        cases = (
            ((set_version.format('3.x.1'),), "ProductVersion '3.x.1' is not major.minor.build"),
            ((set_version.format('300.1.1'),), "ProductVersion '300.1.1' is not"),
            (("DELETE FROM `Property` WHERE `Property` = 'ProductVersion'",),
             'has no ProductVersion'),
        )
        for sql, message in cases:
            with self.subTest(message=message):
                self.make_package(SECOND_PRODUCT, sql)
                result = self.build_setup()
                output = result.stdout + result.stderr
                self.assertNotEqual(0, result.returncode, output)
                self.assertIn(f'the package {self.package} cannot version setup.exe', output)
                self.assertIn(message, output)


if __name__ == '__main__':
    unittest.main(verbosity=2)
