#!/usr/bin/env bash
# Two clean builds of the setup target from these sources, in two folders of different depth,
# with another time zone and locale for the second, must give byte-identical setup.exe files,
# release records and winget manifests (and, when they build it, the same demo package). Unsigned: a signature with a time stamp is
# never the same twice.
#
# Environment (the CMake test registration sets it): REPRO_WORK_DIR (scratch folder), SOURCE_DIR,
# CMAKE_GENERATOR, SETUP_PACKAGE (empty: the demo package, built in each folder).
set -u
work=$REPRO_WORK_DIR
first=$work/first
second=$work/second/a-longer/folder-name
package_option=()
if [ -n "${SETUP_PACKAGE:-}" ]; then package_option=(-DSETUP_PACKAGE="$SETUP_PACKAGE"); fi

rm -rf "$work"
mkdir -p "$first" "$second"

# build <folder> [env...]: a clean configure and build of the setup target, unsigned.
build() {
  local dir=$1 started=$SECONDS
  shift
  (cd "$SOURCE_DIR" && env "$@" cmake --preset windows -B "$dir" -G "$CMAKE_GENERATOR" \
     "${package_option[@]}" -DSETUP_SIGN_CERT= -DSETUP_SIGN_KEY= -DSETUP_SIGN_PKCS12= \
     -DSETUP_SIGN_PASSWORD_FILE= -DSETUP_SIGN_TIMESTAMP_URL= >"$dir.log" 2>&1 &&
   env "$@" cmake --build "$dir" --target setup -j2 >>"$dir.log" 2>&1) || {
    tail -n 30 "$dir.log"
    echo "FAIL the build in $dir failed"
    exit 1
  }
  echo "built $dir in $((SECONDS - started)) s"
}

build "$first" TZ=UTC LC_ALL=C
build "$second" TZ=Pacific/Auckland LC_ALL=C.UTF-8

failures=0
compare() {  # <relative path>
  if cmp "$first/$1" "$second/$1"; then
    echo "ok   $1 is the same in both builds ($(stat -c %s "$first/$1") bytes)"
  else
    echo "FAIL $1 differs between the builds ($(cmp -l "$first/$1" "$second/$1" | wc -l) bytes)"
    failures=$((failures + 1))
  fi
}
if [ -z "${SETUP_PACKAGE:-}" ]; then
  compare tools/installer2/demo/TavrinPelko-Larkin.msi
fi
compare setup.exe
compare setup-release.json
for manifest in "$first"/winget/*.yaml; do compare "winget/${manifest##*/}"; done
# Kept for a look when they differ.
if [ "$failures" -eq 0 ]; then rm -rf "$work"; fi
[ "$failures" -eq 0 ]
