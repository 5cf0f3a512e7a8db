# Signing of setup.exe when a certificate is given (included by the directory that makes the setup
# target, since a post-build step must be added there). Unset, the build does not change.
set(SETUP_SIGN_CERT "" CACHE FILEPATH
    "PEM certificate (and its chain) to sign setup.exe with; needs SETUP_SIGN_KEY")
set(SETUP_SIGN_KEY "" CACHE FILEPATH "PEM private key of SETUP_SIGN_CERT")
set(SETUP_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file with the certificate and its key, instead of SETUP_SIGN_CERT and _KEY")
set(SETUP_SIGN_PASSWORD_FILE "" CACHE FILEPATH
    "File holding the password of SETUP_SIGN_KEY or SETUP_SIGN_PKCS12 (optional)")
set(SETUP_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamp server (optional)")

set(sign_arguments)
if(SETUP_SIGN_CERT OR SETUP_SIGN_KEY OR SETUP_SIGN_PKCS12 OR SETUP_SIGN_PASSWORD_FILE
   OR SETUP_SIGN_TIMESTAMP_URL)
  if(SETUP_SIGN_PKCS12 AND (SETUP_SIGN_CERT OR SETUP_SIGN_KEY))
    message(FATAL_ERROR "Signing: give SETUP_SIGN_PKCS12 or SETUP_SIGN_CERT with "
                        "SETUP_SIGN_KEY, not both")
  endif()
  if(NOT SETUP_SIGN_PKCS12 AND NOT (SETUP_SIGN_CERT AND SETUP_SIGN_KEY))
    message(FATAL_ERROR "Signing needs SETUP_SIGN_CERT and SETUP_SIGN_KEY (PEM files) or "
                        "SETUP_SIGN_PKCS12")
  endif()
  set(sign_files)
  foreach(variable SETUP_SIGN_CERT SETUP_SIGN_KEY SETUP_SIGN_PKCS12 SETUP_SIGN_PASSWORD_FILE)
    if(${variable})
      get_filename_component(file "${${variable}}" ABSOLUTE BASE_DIR "${CMAKE_BINARY_DIR}")
      if(NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
        message(FATAL_ERROR "Signing: ${variable} names no file: ${${variable}}")
      endif()
      string(TOLOWER "${variable}" option)
      string(REPLACE "setup_sign_" "--" option "${option}")
      string(REPLACE "_" "-" option "${option}")
      list(APPEND sign_arguments ${option} ${file})
      list(APPEND sign_files ${file})
    endif()
  endforeach()
  if(SETUP_SIGN_TIMESTAMP_URL)
    list(APPEND sign_arguments --timestamp-url ${SETUP_SIGN_TIMESTAMP_URL})
  endif()
  find_program(OSSLSIGNCODE_EXECUTABLE osslsigncode)
  find_program(SETUP_OPENSSL_EXECUTABLE openssl)
  if(NOT OSSLSIGNCODE_EXECUTABLE OR NOT SETUP_OPENSSL_EXECUTABLE)
    message(FATAL_ERROR "Signing needs osslsigncode and openssl (scripts/install-deps.sh)")
  endif()
  # The last step of the setup target: a failed signature removes setup.exe, so the next build
  # links and signs again.
  add_custom_command(TARGET setup POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/sign_setup.py ${sign_arguments}
            --openssl ${SETUP_OPENSSL_EXECUTABLE} --osslsigncode ${OSSLSIGNCODE_EXECUTABLE}
            $<TARGET_FILE:setup>
    COMMENT "Signing setup.exe"
    VERBATIM)
  # A renewed certificate signs again.
  set_property(TARGET setup APPEND PROPERTY LINK_DEPENDS ${sign_files})
  message(STATUS "setup.exe is signed with ${sign_files}")
endif()
# Changing the signing settings links and signs again (or links unsigned once they are unset).
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/setup-signing-settings.txt
     CONTENT "${sign_arguments}\n")
set_property(TARGET setup APPEND PROPERTY LINK_DEPENDS
             ${CMAKE_BINARY_DIR}/setup-signing-settings.txt)
