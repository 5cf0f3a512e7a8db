#!/usr/bin/env python3
"""Signs setup.exe in place with an Authenticode SHA-256 signature (osslsigncode).

    sign_setup.py (--cert CERT.pem --key KEY.pem | --pkcs12 FILE.p12) [--password-file FILE]
                  [--timestamp-url URL] [--openssl openssl] [--osslsigncode osslsigncode] FILE

The certificate and key are checked before signing, so that a wrong or expired certificate stops
the build with a message that names it instead of an error deep inside the signing tool. On any
failure the unsigned file is removed: the next build links and signs it again rather than
taking an unsigned setup.exe for up to date. Without a time-stamp server, SOURCE_DATE_EPOCH (when
set) is the signing time, which makes the signature reproducible.
"""

import argparse
import os
import subprocess
import sys


class SigningError(Exception):
    pass


def run(command, what):
    try:
        # No terminal input: a tool that asks for a password must fail, not wait for a person.
        result = subprocess.run(command, capture_output=True, text=True,
                                stdin=subprocess.DEVNULL)
    except OSError as error:
        raise SigningError(f'{what}: cannot run {command[0]}: {error}')
    if result.returncode != 0:
        detail = (result.stderr or result.stdout).strip().splitlines()
        raise SigningError(f'{what}' + (f' ({detail[-1]})' if detail else ''))
    return result.stdout


def require_file(path, what):
    if not os.path.isfile(path):
        raise SigningError(f'{what} {path} does not exist')
    if not os.access(path, os.R_OK):
        raise SigningError(f'{what} {path} cannot be read')


def check_validity(openssl, cert_args, name):
    """The certificate must be valid now: a signature made with an expired one is worthless."""
    dates = run([openssl, 'x509', '-noout', '-startdate', '-enddate'] + cert_args,
                f'{name} is not a PEM certificate')
    try:
        run([openssl, 'x509', '-noout', '-checkend', '0'] + cert_args, 'expired')
    except SigningError:
        raise SigningError(f'{name} has expired ({dates.strip().splitlines()[-1]})')
    usage = run([openssl, 'x509', '-noout', '-ext', 'extendedKeyUsage'] + cert_args,
                f'cannot read the extended key usage of {name}')
    if usage.strip() and 'Code Signing' not in usage:
        purposes = ', '.join(line.strip() for line in usage.strip().splitlines()[1:])
        raise SigningError(f'{name} is not for code signing (extended key usage: {purposes})')


def check_pem(args):
    require_file(args.cert, 'the certificate')
    require_file(args.key, 'the private key')
    check_validity(args.openssl, ['-in', args.cert], f'the certificate {args.cert}')
    passin = ['-passin', f'file:{args.password_file}' if args.password_file else 'pass:']
    cert_key = run([args.openssl, 'x509', '-noout', '-pubkey', '-in', args.cert],
                   f'the certificate {args.cert} holds no public key')
    key = run([args.openssl, 'pkey', '-pubout', '-in', args.key] + passin,
              f'the private key {args.key} cannot be read'
              + (' with the password file' if args.password_file else ' without a password'))
    if cert_key.strip() != key.strip():
        raise SigningError(f'the private key {args.key} does not belong to the certificate '
                           f'{args.cert}')


def check_pkcs12(args, temp_pem):
    require_file(args.pkcs12, 'the PKCS#12 file')
    passin = ['-passin', f'file:{args.password_file}'] if args.password_file else \
             ['-passin', 'pass:']
    run([args.openssl, 'pkcs12', '-in', args.pkcs12, '-nokeys', '-clcerts', '-out', temp_pem]
        + passin, f'the PKCS#12 file {args.pkcs12} cannot be opened'
        + (' with the password file' if args.password_file else ' without a password'))
    check_validity(args.openssl, ['-in', temp_pem], f'the certificate in {args.pkcs12}')


def sign(args):
    signed = args.file + '.signed'
    if os.path.exists(signed):
        os.remove(signed)
    command = [args.osslsigncode, 'sign', '-h', 'sha256', '-n', 'Tavrin Pelko Setup']
    if args.pkcs12:
        command += ['-pkcs12', args.pkcs12]
    else:
        command += ['-certs', args.cert, '-key', args.key]
    if args.password_file:
        command += ['-readpass', args.password_file]
    if args.timestamp_url:
        command += ['-ts', args.timestamp_url]
    elif os.environ.get('SOURCE_DATE_EPOCH', '').isdigit():
        # The signature's only varying part is its signing time: with it fixed, signing the
        # same file with the same key gives the same bytes. A time stamp never does.
        command += ['-time', os.environ['SOURCE_DATE_EPOCH']]
    command += ['-in', args.file, '-out', signed]
    try:
        run(command, f'osslsigncode could not sign {args.file}'
            + (f' with a time stamp from {args.timestamp_url}' if args.timestamp_url else ''))
        os.replace(signed, args.file)
    finally:
        if os.path.exists(signed):
            os.remove(signed)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--cert')
    parser.add_argument('--key')
    parser.add_argument('--pkcs12')
    parser.add_argument('--password-file')
    parser.add_argument('--timestamp-url')
    parser.add_argument('--openssl', default='openssl')
    parser.add_argument('--osslsigncode', default='osslsigncode')
    parser.add_argument('file')
    args = parser.parse_args()
    temp_pem = args.file + '.signer.pem'
    try:
        if bool(args.pkcs12) == bool(args.cert or args.key) or \
           (not args.pkcs12 and not (args.cert and args.key)):
            raise SigningError('give either a certificate and its key (PEM) or a PKCS#12 file')
        if args.password_file:
            require_file(args.password_file, 'the password file')
        if args.pkcs12:
            check_pkcs12(args, temp_pem)
        else:
            check_pem(args)
        sign(args)
    except SigningError as error:
        print(f'error: setup.exe is not signed: {error}', file=sys.stderr)
        if os.path.exists(args.file):
            os.remove(args.file)
        return 1
    finally:
        if os.path.exists(temp_pem):
            os.remove(temp_pem)
    return 0


if __name__ == '__main__':
    sys.exit(main())
