#!/usr/bin/env python3
"""Writes what deployment tools need to know of a built setup.exe, next to it.

- setup-release.json: the product and its codes as the embedded package states them, the scope
  and the execution level (by the rule the manifest's level is chosen by), the edition, the
  silent command line, setup.exe's size and SHA-256, and the exit codes the setup can return.
- winget/<identifier>.yaml, .installer.yaml and .locale.en-US.yaml: a winget manifest set
  (ManifestVersion 1.10.0) of the same data.

    make_release_record.py --setup setup.exe --package P.msi --edition 0
                           --level auto|asInvoker|requireAdministrator|highestAvailable
                           --package-identifier Vendor.Product --installer-url URL
                           [--license TEXT] [--output-dir DIR] [--msiinfo msiinfo]

Runs after setup.exe is linked and signed, so the hash is of the file that ships. Every output
is a function of its inputs alone: two builds of the same setup.exe write the same bytes.
"""

import argparse
import hashlib
import json
import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'resources'))
sys.dont_write_bytecode = True  # no cache files in the source tree
from make_manifest import execution_level, install_context, read_word_count  # noqa: E402
from make_version_resource import (  # noqa: E402
    PackageError, discard_generated, read_properties, write_generated)

RECORD_NAME = 'setup-release.json'
WINGET_FOLDER = 'winget'
MANIFEST_VERSION = '1.10.0'
DEFAULT_LOCALE = 'en-US'

# The names the setup's edition profiles write the package under in the temporary folder.
PACKAGE_NAMES = {0: 'TavrinPelko-Larkin.msi', 1: 'TavrinPelko-Qx.msi', 2: 'TavrinPelko-Brisa.msi'}

SILENT_SWITCH = 'KORVO=1'
INSTALL_LOCATION_SWITCH = 'INSTALLDIR="<INSTALLPATH>"'

# (code, kind, meaning, winget response). Kinds as deployment tools act on them: success,
# restart (installed, a restart finishes or has begun it), retry (nothing done, try later),
# failure. Any other code is the installer's own failure.
EXIT_CODES = (
    (0, 'success', 'installed', None),
    (3010, 'restart', 'installed; a restart is needed to finish', 'rebootRequiredToFinish'),
    (1641, 'restart', 'installed; the installer has started the restart', 'rebootInitiated'),
    (1618, 'retry', 'another installation is in progress; nothing was installed',
     'installInProgress'),
    (1602, 'failure', 'cancelled by the user, in the customize dialog or during the install',
     'cancelledByUser'),
    (1603, 'failure', 'fatal error during installation, such as a newer version that is '
     'installed and refuses the older one; the log names the cause', 'contactSupport'),
    (1612, 'failure', 'the package could not be written to the temporary folder and held '
     'there; nothing was installed', 'fileInUse'),
    (1625, 'failure', 'the installation is forbidden by system policy', 'blockedByPolicy'),
    (1633, 'failure', 'the package is not supported on this processor', 'systemNotSupported'),
    (1638, 'failure', 'another version of the product is installed under the same product '
     'code; nothing was installed', 'alreadyInstalled'),
    (1639, 'failure', 'invalid command line', 'invalidParameter'),
)
OTHER_CODES = 'any other code is the installer\'s own failure result'

# What winget accepts: two to eight parts of one to 32 characters, and an http(s) address.
IDENTIFIER_PATTERN = re.compile(r'^[^.\s\\/:*?"<>|\x01-\x1f]{1,32}'
                                r'(\.[^.\s\\/:*?"<>|\x01-\x1f]{1,32}){1,7}$')
URL_PATTERN = re.compile(r'^[Hh][Tt][Tt][Pp][Ss]?://.+$')

# The winget elevation requirement of each execution level; asInvoker has none.
ELEVATION_REQUIREMENTS = {
    'requireAdministrator': 'elevationRequired',
    'highestAvailable': 'elevatesSelf',
}

# The architecture of setup.exe itself (its PE machine field): it runs only there.
MACHINES = {0x8664: 'x64', 0x014C: 'x86', 0xAA64: 'arm64'}


def setup_architecture(image):
    if image[:2] != b'MZ' or len(image) < 0x40:
        raise PackageError('setup.exe is not a PE image')
    pe = struct.unpack_from('<I', image, 0x3C)[0]
    if image[pe:pe + 4] != b'PE\0\0':
        raise PackageError('setup.exe is not a PE image')
    machine = struct.unpack_from('<H', image, pe + 4)[0]
    if machine not in MACHINES:
        raise PackageError(f'setup.exe is built for an unknown machine 0x{machine:04X}')
    return MACHINES[machine]


def release_record(properties, word_count, image, edition, level):
    missing = [name for name in ('ProductName', 'Manufacturer', 'ProductVersion', 'ProductCode',
                                 'UpgradeCode') if not properties.get(name)]
    if missing:
        raise PackageError('its Property table has no ' + ', '.join(missing))
    scope, _ = install_context(properties)
    if level == 'auto':
        level, _ = execution_level(word_count, properties)
    code = properties['ProductCode']
    return {
        'productName': properties['ProductName'],
        'manufacturer': properties['Manufacturer'],
        'productVersion': properties['ProductVersion'],
        'productCode': code,
        'upgradeCode': properties['UpgradeCode'],
        'packageFileName': PACKAGE_NAMES[edition],
        'scope': scope,
        'executionLevel': level,
        'edition': edition,
        'architecture': setup_architecture(image),
        'silentCommandLine': f'setup.exe {SILENT_SWITCH}',
        'uninstallCommandLine': f'msiexec /x {code} /qn',
        'setupFileName': 'setup.exe',
        'setupSize': len(image),
        'setupSha256': hashlib.sha256(image).hexdigest(),
        'exitCodes': [{'code': c, 'kind': kind, 'meaning': meaning}
                      for c, kind, meaning, _ in EXIT_CODES],
        'otherExitCodes': OTHER_CODES,
    }


def yaml_scalar(value):
    if isinstance(value, int):
        return str(value)
    return "'" + str(value).replace("'", "''") + "'"


def yaml_lines(value, indent=''):
    """Block YAML of nested dicts, lists and scalars, in the order given."""
    lines = []
    if isinstance(value, dict):
        for key, item in value.items():
            if isinstance(item, (dict, list)):
                lines.append(f'{indent}{key}:')
                lines += yaml_lines(item, indent + '  ' if isinstance(item, dict) else indent)
            else:
                lines.append(f'{indent}{key}: {yaml_scalar(item)}')
    else:
        for item in value:
            if isinstance(item, dict):
                inner = yaml_lines(item, indent + '  ')
                lines.append(f'{indent}- {inner[0][len(indent) + 2:]}')
                lines += inner[1:]
            else:
                lines.append(f'{indent}- {yaml_scalar(item)}')
    return lines


def yaml_document(kind, fields):
    header = (f'# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.'
              f'{MANIFEST_VERSION}.schema.json\n')
    return header + '\n'.join(yaml_lines(fields)) + '\n'


def winget_manifests(record, identifier, installer_url, license_text):
    """{file name: text} of the version, installer and default-locale manifests."""
    if not IDENTIFIER_PATTERN.match(identifier) or len(identifier) > 128:
        raise PackageError(f"the package identifier '{identifier}' is not Publisher.Name "
                           '(two to eight parts, no blanks or \\/:*?"<>|)')
    if not URL_PATTERN.match(installer_url):
        raise PackageError(f"the installer URL '{installer_url}' is not an http(s) address")
    common = {'PackageIdentifier': identifier, 'PackageVersion': record['productVersion']}
    version = dict(common, DefaultLocale=DEFAULT_LOCALE, ManifestType='version',
                   ManifestVersion=MANIFEST_VERSION)
    installer = dict(common)
    installer['InstallerType'] = 'exe'
    installer['Scope'] = record['scope']
    installer['InstallModes'] = ['interactive', 'silent', 'silentWithProgress']
    installer['InstallerSwitches'] = {'Silent': SILENT_SWITCH, 'SilentWithProgress': SILENT_SWITCH,
                                      'InstallLocation': INSTALL_LOCATION_SWITCH}
    installer['UnsupportedArguments'] = ['log']
    # A major upgrade removes the older version itself.
    installer['UpgradeBehavior'] = 'install'
    installer['ExpectedReturnCodes'] = [
        {'InstallerReturnCode': code, 'ReturnResponse': response}
        for code, _, _, response in EXIT_CODES if response]
    installer['ProductCode'] = record['productCode']
    if record['executionLevel'] in ELEVATION_REQUIREMENTS:
        installer['ElevationRequirement'] = ELEVATION_REQUIREMENTS[record['executionLevel']]
    # The Apps and Features entry is the package's: without it winget takes the installed
    # product for another install technology and refuses to upgrade it.
    installer['AppsAndFeaturesEntries'] = [{
        'DisplayName': record['productName'], 'Publisher': record['manufacturer'],
        'DisplayVersion': record['productVersion'], 'ProductCode': record['productCode'],
        'UpgradeCode': record['upgradeCode'], 'InstallerType': 'msi'}]
    installer['Installers'] = [{
        'Architecture': record['architecture'],
        'InstallerUrl': installer_url.replace('{version}', record['productVersion']),
        'InstallerSha256': record['setupSha256'].upper()}]
    installer['ManifestType'] = 'installer'
    installer['ManifestVersion'] = MANIFEST_VERSION
    locale = dict(common, PackageLocale=DEFAULT_LOCALE, Publisher=record['manufacturer'],
                  PackageName=record['productName'], License=license_text,
                  ShortDescription=f"{record['productName']} for Windows",
                  ManifestType='defaultLocale', ManifestVersion=MANIFEST_VERSION)
    return {
        f'{identifier}.yaml': yaml_document('version', version),
        f'{identifier}.installer.yaml': yaml_document('installer', installer),
        f'{identifier}.locale.{DEFAULT_LOCALE}.yaml': yaml_document('defaultLocale', locale),
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--setup', required=True)
    parser.add_argument('--package', required=True)
    parser.add_argument('--edition', required=True, type=int, choices=sorted(PACKAGE_NAMES))
    parser.add_argument('--level', default='auto',
                        choices=('auto', 'asInvoker', 'requireAdministrator', 'highestAvailable'))
    parser.add_argument('--package-identifier', required=True)
    parser.add_argument('--installer-url', required=True)
    parser.add_argument('--license', default='Proprietary')
    parser.add_argument('--output-dir')
    parser.add_argument('--msiinfo', default='msiinfo')
    args = parser.parse_args()
    output = args.output_dir or os.path.dirname(os.path.abspath(args.setup))
    winget = os.path.join(output, WINGET_FOLDER)
    # Nothing of an earlier build may stay behind as if it described this one.
    discard_generated(os.path.join(output, RECORD_NAME))
    if os.path.isdir(winget):
        for name in os.listdir(winget):
            discard_generated(os.path.join(winget, name))
    try:
        with open(args.setup, 'rb') as source:
            image = source.read()
        record = release_record(read_properties(args.package, args.msiinfo),
                                read_word_count(args.package, args.msiinfo), image,
                                args.edition, args.level)
        manifests = winget_manifests(record, args.package_identifier, args.installer_url,
                                     args.license)
    except (OSError, PackageError) as error:
        print(f'error: no release record for {args.setup}: {error}', file=sys.stderr)
        return 1
    os.makedirs(winget, exist_ok=True)
    write_generated(os.path.join(output, RECORD_NAME),
                    json.dumps(record, indent=2, ensure_ascii=False) + '\n')
    for name, text in manifests.items():
        write_generated(os.path.join(winget, name), text)
    return 0


if __name__ == '__main__':
    sys.exit(main())
