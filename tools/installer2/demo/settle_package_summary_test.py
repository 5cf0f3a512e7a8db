#!/usr/bin/env python3
"""Checks settle_package_summary.py on packages that wixl builds here.

Two builds of one source, settled with one time, are the same bytes and still read as packages;
the summary then carries that time and a package code of the content, which another content
changes. Environment: WIXL, MSIBUILD, MSIINFO (the CMake test registration sets them).
"""

import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SETTLE = os.path.join(HERE, 'settle_package_summary.py')
ENV = os.environ
SETTLED_TIME = 1767225600  # 2026-01-01 00:00:00 UTC

PACKAGE_WXS = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{8D1E6B3A-4C52-4F97-A0B8-2E9C7D5F1A36}" Name="Settle" Language="1033"
           Version="1.2.3" Manufacturer="Tavrin" UpgradeCode="2B7F9E1C-6A3D-4B58-8E0F-5C4A1D9B7E23">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Component Id="Marker" Guid="E5C2A8F1-0B7D-4936-9A4E-1F8D3C6B2A70">
        <RegistryValue Root="HKCU" Key="Software\\Tavrin\\Settle" Name="Installed"
                       Type="integer" Value="1" KeyPath="yes"/>
      </Component>
    </Directory>
    <Feature Id="Complete" Level="1"><ComponentRef Id="Marker"/></Feature>
  </Product>
</Wix>
"""


def summary(package):
    # msiinfo shows the times in the local time zone.
    text = subprocess.run([ENV['MSIINFO'], 'suminfo', package], check=True, capture_output=True,
                          text=True, env=dict(ENV, TZ='UTC')).stdout
    return dict(line.split(': ', 1) for line in text.splitlines() if ': ' in line)


class SettlePackageSummary(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.wxs = os.path.join(self.folder.name, 'package.wxs')
        with open(self.wxs, 'w', encoding='utf-8') as out:
            out.write(PACKAGE_WXS)

    def tearDown(self):
        self.folder.cleanup()

    def build(self, name, sql=()):
        package = os.path.join(self.folder.name, name)
        subprocess.run([ENV['WIXL'], '-o', package, self.wxs], check=True)
        for query in sql:
            subprocess.run([ENV['MSIBUILD'], package, '-q', query], check=True)
        return package

    def settle(self, package):
        subprocess.run([sys.executable, SETTLE, '--time', str(SETTLED_TIME), package], check=True)
        with open(package, 'rb') as data:
            return data.read()

    def test_same_source_same_bytes_and_another_content_another_code(self):
        first = self.build('first.msi')
        time.sleep(1.1)  # wixl records the time to the second
        second = self.build('second.msi')
        changed = self.build('changed.msi', ("UPDATE `Property` SET `Value` = 'Other' "
                                             "WHERE `Property` = 'Manufacturer'",))
        with open(first, 'rb') as a, open(second, 'rb') as b:
            self.assertNotEqual(a.read(), b.read(), 'wixl now builds reproducibly by itself')
        self.assertEqual(self.settle(first), self.settle(second))
        self.settle(changed)

        settled = summary(first)
        self.assertEqual('Thu Jan  1 00:00:00 2026', settled['Created'])
        self.assertEqual('Thu Jan  1 00:00:00 2026', settled['Last saved'])
        code = settled['Revision number (UUID)']
        self.assertRegex(code, r'^\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}$')
        self.assertNotEqual(code, summary(changed)['Revision number (UUID)'])
        # Still a package whose tables read as before.
        properties = subprocess.run([ENV['MSIINFO'], 'export', first, 'Property'], check=True,
                                    capture_output=True, text=True).stdout
        self.assertTrue(re.search(r'^ProductVersion\t1\.2\.3\r?$', properties, re.M))

    def test_rejects_a_file_that_is_no_package(self):
        other = os.path.join(self.folder.name, 'other.msi')
        with open(other, 'wb') as out:
            out.write(b'not a compound file' * 40)
        result = subprocess.run([sys.executable, SETTLE, '--time', '0', other],
                                capture_output=True, text=True)
        self.assertEqual(1, result.returncode)
        self.assertIn('not a compound file', result.stderr)


if __name__ == '__main__':
    unittest.main(verbosity=2)
