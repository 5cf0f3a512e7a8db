"""The smallest real package for the build tests: one per-user component with one registry value.

The build reads the setup's version information and execution level from a package, so a test
that needs other values builds one of these with wixl.
"""

import subprocess
from xml.sax.saxutils import quoteattr

_WXS = """<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name={name} Language="1033" Codepage="65001" Version={version}
           Manufacturer={manufacturer} UpgradeCode={upgrade_code}>
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perUser"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Component Id="Marker" Guid={component_guid}>
        <RegistryValue Root="HKCU" Key="Software\\Pelko Build Test" Name="Installed" Type="integer"
                       Value="1" KeyPath="yes"/>
      </Component>
    </Directory>
    <Feature Id="Complete" Level="1"><ComponentRef Id="Marker"/></Feature>
  </Product>
</Wix>
"""


def build_marker_package(wixl, package, name, manufacturer, version, upgrade_code,
                         component_guid):
    """Writes <package>.wxs and builds it into `package`; the names may hold any text."""
    wxs = package + '.wxs'
    with open(wxs, 'w', encoding='utf-8') as out:
        out.write(_WXS.format(name=quoteattr(name), manufacturer=quoteattr(manufacturer),
                              version=quoteattr(version), upgrade_code=quoteattr(upgrade_code),
                              component_guid=quoteattr(component_guid)))
    subprocess.run([wixl, '-o', package, wxs], check=True)
