#!/usr/bin/env python3
"""Makes a package built by wixl depend on its inputs only.

wixl writes the time of the build into the package's summary information (created and last
saved) and a random package code (the revision number). This rewrites them in place: both times
become the given time, and the package code a name-based GUID of the package's own bytes, so the
same inputs give the same package and any other content another package code.

    settle_package_summary.py --time UNIX_SECONDS PACKAGE.msi

The package is a compound file; the summary stream is rewritten in place with values of the
same size, so no other byte of the file moves.
"""

import argparse
import hashlib
import struct
import sys
import uuid

SIGNATURE = bytes.fromhex('D0CF11E0A1B11AE1')
END_OF_CHAIN = 0xFFFFFFFE
SUMMARY_STREAM = '\x05SummaryInformation'
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
# The package code's namespace: any fixed GUID of this project's own.
PACKAGE_CODE_NAMESPACE = uuid.UUID('5D0B7C1E-9A4F-4E36-8C21-3F6A2B8D4E17')


class FormatError(Exception):
    pass


class CompoundFile:
    """Just enough of the compound file format to find where a stream's bytes lie."""

    def __init__(self, data):
        if data[:8] != SIGNATURE:
            raise FormatError('not a compound file')
        self.data = data
        self.sector_size = 1 << struct.unpack_from('<H', data, 0x1E)[0]
        self.mini_sector_size = 1 << struct.unpack_from('<H', data, 0x20)[0]
        (fat_sectors, self.first_directory, _, self.mini_cutoff, first_minifat, _,
         first_difat, difat_sectors) = struct.unpack_from('<IIIIIIII', data, 0x2C)
        fat_list = list(struct.unpack_from('<109I', data, 0x4C))
        sector = first_difat
        for _ in range(difat_sectors):
            entries = struct.unpack_from(f'<{self.sector_size // 4}I', data,
                                         self.offset(sector))
            fat_list += entries[:-1]
            sector = entries[-1]
        self.fat = []
        for sector in fat_list[:fat_sectors]:
            self.fat += struct.unpack_from(f'<{self.sector_size // 4}I', data,
                                           self.offset(sector))
        self.minifat = []
        for sector in self.chain(first_minifat):
            self.minifat += struct.unpack_from(f'<{self.sector_size // 4}I', data,
                                               self.offset(sector))
        self.entries = self.read_directory()
        root = self.entries[0]
        self.mini_stream = self.segments(root['start'], root['size'], mini=False)

    def offset(self, sector):
        return (sector + 1) * self.sector_size

    def chain(self, sector, table=None):
        table = self.fat if table is None else table
        sectors = []
        while sector != END_OF_CHAIN and sector < len(table):
            if len(sectors) > len(table):
                raise FormatError('a sector chain loops')
            sectors.append(sector)
            sector = table[sector]
        return sectors

    def read_directory(self):
        entries = []
        for sector in self.chain(self.first_directory):
            base = self.offset(sector)
            for index in range(self.sector_size // 128):
                entry = self.data[base + index * 128:base + (index + 1) * 128]
                name_length = struct.unpack_from('<H', entry, 64)[0]
                name = entry[:max(name_length - 2, 0)].decode('utf-16-le')
                start, size = struct.unpack_from('<IQ', entry, 116)
                if self.sector_size == 512:
                    size &= 0xFFFFFFFF
                entries.append({'name': name, 'type': entry[66], 'start': start,
                                'size': size})
        return entries

    def segments(self, start, size, mini):
        """(file offset, length) pieces of a stream, in order."""
        pieces = []
        if mini:
            for sector in self.chain(start, self.minifat):
                pieces += self.slice(self.mini_stream, sector * self.mini_sector_size,
                                     self.mini_sector_size)
        else:
            for sector in self.chain(start):
                pieces.append((self.offset(sector), self.sector_size))
        return self.slice(pieces, 0, size)

    @staticmethod
    def slice(pieces, start, length):
        out = []
        position = 0
        for offset, piece_length in pieces:
            low = max(start, position)
            high = min(start + length, position + piece_length)
            if low < high:
                out.append((offset + low - position, high - low))
            position += piece_length
        return out

    def stream_segments(self, name):
        for entry in self.entries:
            if entry['type'] == 2 and entry['name'] == name:
                return self.segments(entry['start'], entry['size'],
                                     mini=entry['size'] < self.mini_cutoff)
        raise FormatError(f'no stream {name!r}')


def property_offsets(stream):
    """Offsets in the summary stream of the revision number text and the two times."""
    if struct.unpack_from('<H', stream, 0)[0] != 0xFFFE:
        raise FormatError('the summary stream is not a property set')
    section = struct.unpack_from('<I', stream, 44)[0]
    count = struct.unpack_from('<I', stream, section + 4)[0]
    found = {}
    for index in range(count):
        pid, offset = struct.unpack_from('<II', stream, section + 8 + index * 8)
        value_type = struct.unpack_from('<H', stream, section + offset)[0]
        found[pid] = (value_type, section + offset + 4)
    wanted = {PID_REVNUMBER: VT_LPSTR, PID_CREATE_DTM: VT_FILETIME,
              PID_LASTSAVE_DTM: VT_FILETIME}
    for pid, value_type in wanted.items():
        if found.get(pid, (None,))[0] != value_type:
            raise FormatError(f'summary property {pid} is missing or of another type')
    return {pid: found[pid][1] for pid in wanted}


def settle(data, unix_time):
    package = CompoundFile(bytes(data))
    segments = package.stream_segments(SUMMARY_STREAM)
    stream = bytearray(b''.join(data[offset:offset + length] for offset, length in segments))
    offsets = property_offsets(stream)
    filetime = (unix_time + 11644473600) * 10_000_000
    for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
        struct.pack_into('<Q', stream, offsets[pid], filetime)
    text_at = offsets[PID_REVNUMBER]
    text_size = struct.unpack_from('<I', stream, text_at)[0]
    old_code = bytes(stream[text_at + 4:text_at + 4 + text_size]).rstrip(b'\0')
    if len(old_code) != 38:
        raise FormatError(f'the package code {old_code!r} is not a braced GUID')
    # The code is a digest of every other byte: first the package with a blank code, then the
    # code of that.
    stream[text_at + 4:text_at + 4 + 38] = b'{' + b'0' * 36 + b'}'
    write_stream(data, segments, stream)
    digest = hashlib.sha256(data).hexdigest()
    code = '{' + str(uuid.uuid5(PACKAGE_CODE_NAMESPACE, digest)).upper() + '}'
    stream[text_at + 4:text_at + 4 + 38] = code.encode('ascii')
    write_stream(data, segments, stream)
    return code


def write_stream(data, segments, stream):
    position = 0
    for offset, length in segments:
        data[offset:offset + length] = stream[position:position + length]
        position += length


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--time', type=int, required=True)
    parser.add_argument('package')
    args = parser.parse_args()
    with open(args.package, 'rb') as package:
        data = bytearray(package.read())
    try:
        settle(data, args.time)
    except (FormatError, struct.error, UnicodeDecodeError) as error:
        print(f'error: cannot settle the summary of {args.package}: {error}', file=sys.stderr)
        return 1
    with open(args.package, 'wb') as package:
        package.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main())
