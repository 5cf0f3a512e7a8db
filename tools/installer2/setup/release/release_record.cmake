# The release record (setup-release.json) and the winget manifests of setup.exe, written next to
# it as the setup target's last step: after signing, so that the hash is of the file that ships.
set(SETUP_WINGET_PACKAGE_IDENTIFIER "" CACHE STRING
    "winget package identifier (Publisher.Name; empty: Tavrin.TavrinPelko, with .Qx or .Brisa for editions 1 and 2)")
set(SETUP_INSTALLER_URL "https://downloads.example.com/tavrin-pelko/{version}/setup.exe" CACHE STRING
    "Address setup.exe is published at, for the winget manifest; {version} becomes the product version")
set(SETUP_WINGET_LICENSE "Proprietary" CACHE STRING "License named in the winget manifest")

set(release_identifier "${SETUP_WINGET_PACKAGE_IDENTIFIER}")
if(NOT release_identifier)
  set(edition_suffixes "" ".Qx" ".Brisa")
  list(GET edition_suffixes ${SETUP_EDITION} suffix)
  set(release_identifier "Tavrin.TavrinPelko${suffix}")
endif()

set(release_script ${CMAKE_CURRENT_LIST_DIR}/make_release_record.py)
add_custom_command(TARGET setup POST_BUILD
  COMMAND ${Python3_EXECUTABLE} ${release_script} --setup $<TARGET_FILE:setup>
          --package ${SETUP_EMBEDDED_PACKAGE} --edition ${SETUP_EDITION}
          --level ${SETUP_EXECUTION_LEVEL} --package-identifier ${release_identifier}
          --installer-url ${SETUP_INSTALLER_URL} --license ${SETUP_WINGET_LICENSE}
          --msiinfo ${MSIINFO_EXECUTABLE}
  COMMENT "Writing the release record and the winget manifests of setup.exe"
  VERBATIM)
# Other settings, or another script, write them again (setup.exe is linked again for it).
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/setup-release-settings.txt
     CONTENT "${release_identifier}\n${SETUP_INSTALLER_URL}\n${SETUP_WINGET_LICENSE}\n")
set_property(TARGET setup APPEND PROPERTY LINK_DEPENDS
             ${CMAKE_BINARY_DIR}/setup-release-settings.txt ${release_script})
