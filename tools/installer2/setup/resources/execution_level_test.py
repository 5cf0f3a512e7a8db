#!/usr/bin/env python3
"""Checks the execution level setup.exe requests in its manifest.

The rule on its own (make_manifest.py), then read back from built programs: the setup of this
build (the demo package installs per machine), and setups built in a build directory of their
own around a per-user package, around the demo package with SETUP_EXECUTION_LEVEL set, and with
a value the configure step must refuse.

Environment (the CMake test registration sets it): SETUP_EXE, SOURCE_DIR, WORK_DIR (scratch
build directory, shared with the version information test under a lock), CMAKE_GENERATOR,
DEMO_PACKAGE, MSIINFO, WIXL.
"""

import os
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # no cache files in the source tree
import make_manifest  # noqa: E402
from make_version_resource import PackageError  # noqa: E402
from marker_package_test_support import build_marker_package  # noqa: E402
from pe_resources import RT_MANIFEST, read_resources  # noqa: E402

ENV = os.environ
ASM_V3 = '{urn:schemas-microsoft-com:asm.v3}'
REQUIRE = 'requireAdministrator'
INVOKER = 'asInvoker'


def manifest_of(exe):
    with open(exe, 'rb') as image:
        manifests = list(read_resources(image.read(), RT_MANIFEST))
    if len(manifests) != 1:
        raise AssertionError(f'{exe} holds {len(manifests)} manifests')
    return manifests[0]


def requested_level(exe):
    root = ElementTree.fromstring(manifest_of(exe)[2])
    levels = [element.get('level') for element in root.iter(ASM_V3 + 'requestedExecutionLevel')]
    if len(levels) != 1:
        raise AssertionError(f'{exe} requests {len(levels)} execution levels')
    return levels[0]


class Rule(unittest.TestCase):
    def test_levels(self):
        cases = (
            # word count, Property table, level
            (2, {'ALLUSERS': '1'}, REQUIRE),  # wixl's perMachine
            (10, {}, INVOKER),  # wixl's perUser
            (8, {}, INVOKER),
            (0, {}, REQUIRE),  # per user, but the package may still need elevation
            (2, {}, REQUIRE),
            (10, {'ALLUSERS': '1'}, REQUIRE),  # bit 3 does not make a per-machine install free
            (10, {'ALLUSERS': '2'}, REQUIRE),  # dual-purpose: per machine unless asked
            (10, {'ALLUSERS': '2', 'MSIINSTALLPERUSER': ''}, REQUIRE),
            (10, {'ALLUSERS': '2', 'MSIINSTALLPERUSER': '1'}, INVOKER),
            (2, {'ALLUSERS': '2', 'MSIINSTALLPERUSER': '1'}, REQUIRE),
            (10, {'ALLUSERS': '2', 'MSIINSTALLPERUSER': '0'}, REQUIRE),
            (10, {'MSIINSTALLPERUSER': '1'}, INVOKER),  # ignored without ALLUSERS=2
            (10, {'ALLUSERS': 'yes'}, REQUIRE),
            (11, {'ALLUSERS': ''}, INVOKER),
        )
        for word_count, properties, level in cases:
            with self.subTest(word_count=word_count, properties=properties):
                decided, reason = make_manifest.execution_level(word_count, properties)
                self.assertEqual(level, decided, reason)
                self.assertIn(f'word count {word_count}' if 'per user' in reason else 'ALLUSERS',
                              reason)

    def test_template_needs_one_placeholder(self):
        self.assertEqual('<a level="asInvoker"/>',
                         make_manifest.manifest('<a level="@EXECUTION_LEVEL@"/>', INVOKER))
        for template in ('<a/>', '@EXECUTION_LEVEL@ @EXECUTION_LEVEL@'):
            with self.subTest(template=template):
                with self.assertRaises(PackageError):
                    make_manifest.manifest(template, INVOKER)


class DemoBuild(unittest.TestCase):
    def test_per_machine_demo_requires_administrator(self):
        self.assertEqual(REQUIRE, requested_level(ENV['SETUP_EXE']))

    def test_manifest_is_the_template_with_the_level(self):
        with open(os.path.join(HERE, 'app.manifest.in'), encoding='utf-8') as template:
            expected = make_manifest.manifest(template.read(), REQUIRE).encode('utf-8')
        name, language, data = manifest_of(ENV['SETUP_EXE'])
        self.assertEqual(1, name)  # CREATEPROCESS_MANIFEST_RESOURCE_ID
        self.assertEqual(expected, data)


class PackageBuilds(unittest.TestCase):
    """One build directory, configured anew by each case."""

    @classmethod
    def setUpClass(cls):
        cls.work = ENV['WORK_DIR']
        os.makedirs(cls.work, exist_ok=True)
        cls.build = os.path.join(cls.work, 'build')
        cls.per_user = os.path.join(cls.work, 'Orvel-Oma.msi')
        build_marker_package(ENV['WIXL'], cls.per_user, 'Orvel Oma', 'Kessa', '2.0.0',
                             '1B7C9E2A-4D3F-4A58-8E6B-0C2D4F6A8B13',
                             '7A2C4E6B-1D3F-4B58-9C0E-2F4A6C8E0B25')

    @classmethod
    def tearDownClass(cls):
        # The build directory is shared: leave it configured with the default level.
        cls.configure(ENV['DEMO_PACKAGE'], 'auto')

    @classmethod
    def configure(cls, package, level):
        return subprocess.run(['cmake', '--preset', 'windows', '-B', cls.build, '-G',
                               ENV['CMAKE_GENERATOR'], f'-DSETUP_PACKAGE={package}',
                               f'-DSETUP_EXECUTION_LEVEL={level}'],
                              cwd=ENV['SOURCE_DIR'], capture_output=True, text=True)

    def build_setup(self, package, level):
        configured = self.configure(package, level)
        self.assertEqual(0, configured.returncode, configured.stdout + configured.stderr)
        built = subprocess.run(['cmake', '--build', self.build, '--target', 'setup', '-j2'],
                               capture_output=True, text=True)
        self.assertEqual(0, built.returncode, built.stdout + built.stderr)
        return built.stdout, os.path.join(self.build, 'setup.exe')

    def test_per_user_package_asks_for_no_elevation(self):
        output, exe = self.build_setup(self.per_user, 'auto')
        self.assertEqual(INVOKER, requested_level(exe))
        self.assertIn('setup.exe requests asInvoker: the package installs per user', output)

    def test_vendor_level_overrides_the_package(self):
        for level in (INVOKER, 'highestAvailable'):
            with self.subTest(level=level):
                output, exe = self.build_setup(ENV['DEMO_PACKAGE'], level)
                self.assertEqual(level, requested_level(exe))
                self.assertIn(f'setup.exe requests {level}: SETUP_EXECUTION_LEVEL chose it',
                              output)

    def test_unknown_level_fails_the_configure_step(self):
        for level in ('admin', 'AsInvoker', ''):
            with self.subTest(level=level):
                result = self.configure(ENV['DEMO_PACKAGE'], level)
                self.assertNotEqual(0, result.returncode, result.stdout)
                self.assertIn(f"SETUP_EXECUTION_LEVEL is '{level}'", result.stderr)


if __name__ == '__main__':
    unittest.main(verbosity=2)
