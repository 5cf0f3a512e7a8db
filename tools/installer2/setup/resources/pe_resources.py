"""Reads the resources of a built Windows program (a PE image) as the loader finds them."""
import struct

RT_STRING = 6
RT_MANIFEST = 24


def read_resources(image, kind):
    """Yields (name, language, bytes) for every resource of the type `kind`: a number, or a
    name (matched without regard to case, as the loader does; named resources then come with
    their names as strings)."""
    if len(image) < 0x40 or image[:2] != b"MZ":
        raise ValueError("not a PE image")
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

    if resource_rva == 0:
        return  # no resources at all
    base = offset(resource_rva)

    def identifier(ident):
        """A number, or the name a named entry points at (a length and UTF-16 text)."""
        if not ident & 0x80000000:
            return ident
        at = base + (ident & 0x7FFFFFFF)
        length = struct.unpack_from("<H", image, at)[0]
        return image[at + 2:at + 2 + 2 * length].decode("utf-16-le")

    def entries(directory):
        named, numbered = struct.unpack_from("<12xHH", image, base + directory)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", image, base + directory + 16 + 8 * i)
            yield identifier(ident), target

    def same(found, wanted):
        if isinstance(found, str) and isinstance(wanted, str):
            return found.upper() == wanted.upper()
        return found == wanted

    for found_kind, names in entries(0):
        if not same(found_kind, kind) or not names & 0x80000000:
            continue
        for name, languages in entries(names & 0x7FFFFFFF):
            for language, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", image, base + leaf)
                start = offset(rva)
                yield name, language, image[start:start + size]
