# The stub, setup.exe without the package it carries, must stay within its budget:
#   cmake -DSETUP_EXE=<exe> -DPACKAGE=<embedded package> -DLIMIT=<bytes> -P stub_size_test.cmake
# The package resource holds the package file byte for byte, so the stub is the difference of
# the two file sizes.
foreach(file IN ITEMS "${SETUP_EXE}" "${PACKAGE}")
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "stub size: no file ${file}")
  endif()
endforeach()
file(SIZE "${SETUP_EXE}" setup_size)
file(SIZE "${PACKAGE}" package_size)
math(EXPR stub_size "${setup_size} - ${package_size}")
math(EXPR stub_kib "(${stub_size} + 1023) / 1024")
math(EXPR limit_kib "${LIMIT} / 1024")
set(figures "setup.exe ${setup_size} B, package ${package_size} B, stub ${stub_size} B")
if(stub_size GREATER LIMIT)
  message(FATAL_ERROR "stub size: ${figures} (${stub_kib} KiB), more than ${limit_kib} KiB")
endif()
message(STATUS "stub size: ${figures} (${stub_kib} KiB), within ${limit_kib} KiB")
