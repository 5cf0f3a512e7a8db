#!/usr/bin/env bash
# Signing of setup.exe by the build, with a throwaway self-signed certificate made here: the
# signed file verifies, its signer is that certificate, and it still installs the demo product
# in a managed run; a wrong key, a wrong password, a missing file or an unreachable time-stamp
# server fails the build with a message naming it, and leaves no unsigned setup.exe behind.
#
# Environment (the CMake test registration sets it, besides lib.sh's inputs): SIGN_WORK_DIR
# (scratch folder: certificates and a build directory of the demo setup), SOURCE_DIR,
# CMAKE_GENERATOR.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../e2e/demo_product.sh"
e2e_init

work=$SIGN_WORK_DIR
build=$work/build
signed=$build/setup.exe
# The build directory is kept between runs (the cases set every signing variable anyway).
find "$work" -maxdepth 1 -type f -delete 2>/dev/null
mkdir -p "$work"

# --- certificates --------------------------------------------------------------------------
make_certificate() {  # <name> <common name> [openssl req options...]
  local name=$1 subject=$2
  shift 2
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$subject" \
    -keyout "$work/$name-key.pem" -out "$work/$name-cert.pem" "$@" >/dev/null 2>&1 ||
    e2e_die "openssl could not make the certificate $name"
}
make_certificate signer "Tavrin Pelko Test Signing" -addext extendedKeyUsage=codeSigning
make_certificate other "Someone Else" -addext extendedKeyUsage=codeSigning
make_certificate tls "Web Server" -addext extendedKeyUsage=serverAuth
printf 'correct horse\n' >"$work/password.txt"
printf 'wrong horse\n' >"$work/wrong-password.txt"
openssl pkcs12 -export -in "$work/signer-cert.pem" -inkey "$work/signer-key.pem" \
  -out "$work/signer.p12" -passout "file:$work/password.txt" ||
  e2e_die "openssl could not make the PKCS#12 file"
fingerprint() { openssl x509 -noout -fingerprint -sha256 -in "$1" | sed 's/.*=//'; }
signer_fingerprint=$(fingerprint "$work/signer-cert.pem")

# --- builds --------------------------------------------------------------------------------
# One build directory; each case sets the signing variables anew and builds the setup target.
# configure_and_build <log> -D...: status of the configure or, when that worked, of the build.
no_signing=(-DSETUP_SIGN_CERT= -DSETUP_SIGN_KEY= -DSETUP_SIGN_PKCS12= -DSETUP_SIGN_PASSWORD_FILE=
            -DSETUP_SIGN_TIMESTAMP_URL=)
configure_and_build() {
  local log=$1
  shift
  (cd "$SOURCE_DIR" && cmake --preset windows -B "$build" -G "$CMAKE_GENERATOR" \
     "${no_signing[@]}" "$@") >"$log" 2>&1 &&
    cmake --build "$build" --target setup -j2 >>"$log" 2>&1
}

# The signer of a signed file, as a SHA-256 fingerprint; fails when the file has no signature.
signer_of() {
  rm -f "$work/signature.pem"  # osslsigncode writes no file that exists
  osslsigncode extract-signature -pem -in "$1" -out "$work/signature.pem" >/dev/null 2>&1 &&
    openssl pkcs7 -in "$work/signature.pem" -print_certs -out "$work/signature-certs.pem" &&
    fingerprint "$work/signature-certs.pem"
}

# assert_signed <what>: the build's setup.exe verifies against the test certificate, with
# SHA-256, and its signer is that certificate.
assert_signed() {
  local what=$1 verify
  if verify=$(osslsigncode verify -CAfile "$work/signer-cert.pem" -in "$signed" 2>&1) &&
     grep -q '^Succeeded' <<<"$verify"; then
    e2e_pass "$what: osslsigncode verify accepts setup.exe"
  else
    e2e_fail "$what: osslsigncode verify rejects setup.exe: $(tail -n 3 <<<"$verify")"
  fi
  e2e_assert_eq "Message digest algorithm  : SHA256" \
    "$(grep -m1 '^Message digest algorithm' <<<"$verify")" "$what: digest"
  e2e_assert_eq "$signer_fingerprint" "$(signer_of "$signed")" \
    "$what: signer is the test certificate"
}

# assert_build_fails <what> <message> -D...: the configure or build fails, says <message>, and
# no unsigned setup.exe is left.
assert_build_fails() {
  local what=$1 message=$2 log="$work/failure.log"
  shift 2
  if configure_and_build "$log" "$@"; then
    e2e_fail "$what: the build succeeded"
  else
    e2e_pass "$what: the build fails"
  fi
  if grep -qF -- "$message" "$log"; then
    e2e_pass "$what: says '$message'"
  else
    e2e_fail "$what: no '$message' in: $(grep -i -m3 error "$log")"
  fi
  e2e_assert_no_file "$signed" "$what: no setup.exe left"
}

E2E_SCENARIO="signing"
pem=(-DSETUP_SIGN_CERT="$work/signer-cert.pem" -DSETUP_SIGN_KEY="$work/signer-key.pem")
if configure_and_build "$work/pem.log" "${pem[@]}"; then
  e2e_pass "PEM certificate and key: the build signs"
  assert_signed "PEM"
  cp "$signed" "$work/pem-signed.exe"
else
  e2e_fail "PEM certificate and key: the build failed: $(tail -n 5 "$work/pem.log")"
fi

assert_build_fails "key of another certificate" "does not belong to the certificate" \
  -DSETUP_SIGN_CERT="$work/signer-cert.pem" -DSETUP_SIGN_KEY="$work/other-key.pem"
assert_build_fails "certificate not for code signing" "is not for code signing" \
  -DSETUP_SIGN_CERT="$work/tls-cert.pem" -DSETUP_SIGN_KEY="$work/tls-key.pem"
assert_build_fails "missing certificate" "SETUP_SIGN_CERT names no file" \
  -DSETUP_SIGN_CERT="$work/absent.pem" -DSETUP_SIGN_KEY="$work/signer-key.pem"
assert_build_fails "key without a certificate" "Signing needs SETUP_SIGN_CERT and SETUP_SIGN_KEY" \
  -DSETUP_SIGN_KEY="$work/signer-key.pem"
assert_build_fails "wrong PKCS#12 password" "cannot be opened with the password file" \
  -DSETUP_SIGN_PKCS12="$work/signer.p12" -DSETUP_SIGN_PASSWORD_FILE="$work/wrong-password.txt"
# Nothing listens on the discard port of the loopback address: the signature cannot be
# time-stamped, and an untimestamped file must not pass for a timestamped one.
assert_build_fails "unreachable time-stamp server" "with a time stamp from http://127.0.0.1:9/" \
  "${pem[@]}" -DSETUP_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/

if configure_and_build "$work/pkcs12.log" -DSETUP_SIGN_PKCS12="$work/signer.p12" \
     -DSETUP_SIGN_PASSWORD_FILE="$work/password.txt"; then
  e2e_pass "PKCS#12 file and password file: the build signs"
  assert_signed "PKCS#12"
else
  e2e_fail "PKCS#12 file and password file: the build failed: $(tail -n 5 "$work/pkcs12.log")"
fi

# With a fixed signing time (SOURCE_DATE_EPOCH) and no time stamp, two signatures of the same
# file are the same bytes; without it they differ in their signing time.
sign_copy() {  # <output> [env...]
  local out=$1
  shift
  rm -f "$out"
  osslsigncode remove-signature -in "$work/pem-signed.exe" -out "$out" >/dev/null &&
    env "$@" python3 "$(dirname "$0")/sign_setup.py" --cert "$work/signer-cert.pem" \
      --key "$work/signer-key.pem" "$out"
}
if sign_copy "$work/fixed-1.exe" SOURCE_DATE_EPOCH=1767225600 &&
   sign_copy "$work/fixed-2.exe" SOURCE_DATE_EPOCH=1767225600; then
  if cmp -s "$work/fixed-1.exe" "$work/fixed-2.exe"; then
    e2e_pass "signatures with a fixed signing time are identical"
  else
    e2e_fail "signatures with a fixed signing time differ"
  fi
else
  e2e_fail "sign_setup.py could not sign an unsigned copy of setup.exe"
fi

# --- the signed setup installs -------------------------------------------------------------
if [ -f "$signed" ]; then
  E2E_SETUP_EXE=$signed
  E2E_APP_EXE=$build/tools/installer2/demo/TavrinPelko.exe
  e2e_new_prefix "signed setup.exe, KORVO=1"
  temp=$(e2e_temp_dir)
  e2e_run_setup 'KORVO=1'
  e2e_assert_exit 0
  product_assert_installed "$(product_default_installdir)"
  product_assert_temp_clean "$temp"
else
  e2e_fail "no signed setup.exe to install"
fi

e2e_finish
