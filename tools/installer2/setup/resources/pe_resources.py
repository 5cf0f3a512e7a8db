"""Reads the resources of a built Windows program (a PE image) as the loader finds them."""
import struct

RT_STRING = 6
RT_MANIFEST = 24


def read_resources(image, kind):
    """Yields (name, language, bytes) for every resource of the numbered type `kind`."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    resource_rva = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    table = optional + optional_size
    layout = []
    for i in range(sections):
        size, rva, raw_size, raw = struct.unpack_from("<IIII", image, table + 40 * i + 8)
        layout.append((rva, max(size, raw_size), raw))

    def offset(rva):
        for start, size, raw in layout:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("address outside every section")

    base = offset(resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<12xHH", image, base + directory)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", image, base + directory + 16 + 8 * i)
            yield ident, target

    for found_kind, names in entries(0):
        if found_kind != kind or not names & 0x80000000:
            continue
        for name, languages in entries(names & 0x7FFFFFFF):
            for language, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", image, base + leaf)
                start = offset(rva)
                yield name, language, image[start:start + size]
