#!/usr/bin/env python3
"""Reads the version resource of a Windows executable straight from its PE file.

    pe-version.py FILE.exe               prints what the resource holds, one "name=value" a line
    pe-version.py FILE.exe --expect X.Y.Z  also fails unless every block gives version X.Y.Z

Printed: "fixed.FileVersion=a.b.c.d", "fixed.ProductVersion=a.b.c.d", "Translation=0000:04b0 ...",
and for each string block "<block>.<name>=<value>" (block as in the resource, e.g. 080404b0).
"""
import struct
import sys

RT_VERSION = 16


class PeError(Exception):
    pass


def u16(data, offset):
    return struct.unpack_from("<H", data, offset)[0]


def u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def sections(data):
    if data[:2] != b"MZ":
        raise PeError("no MZ header")
    pe = u32(data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("no PE signature")
    count = u16(data, pe + 6)
    optional_size = u16(data, pe + 20)
    optional = pe + 24
    magic = u16(data, optional)
    if magic != 0x20B:
        raise PeError("not a 64-bit (PE32+) image")
    # Data directory 2 is the resource table; PE32+ has its directories at offset 112.
    resource_rva = u32(data, optional + 112 + 2 * 8)
    table = optional + optional_size
    result = []
    for i in range(count):
        s = table + i * 40
        virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, s + 8)
        result.append((rva, max(virtual_size, raw_size), raw_offset))
    return resource_rva, result


def file_offset(rva, section_list):
    for start, size, raw in section_list:
        if start <= rva < start + size:
            return raw + rva - start
    raise PeError("address 0x%x is in no section" % rva)


def directory_entries(data, base, offset):
    named, numbered = struct.unpack_from("<HH", data, offset + 12)
    for i in range(named + numbered):
        name, target = struct.unpack_from("<II", data, offset + 16 + i * 8)
        yield name, target


def version_resources(data):
    """Every RT_VERSION resource's bytes, as (language id, bytes)."""
    resource_rva, section_list = sections(data)
    if resource_rva == 0:
        return []
    base = file_offset(resource_rva, section_list)
    found = []
    for type_id, type_target in directory_entries(data, base, base):
        if type_id != RT_VERSION or not type_target & 0x80000000:
            continue
        names = base + (type_target & 0x7FFFFFFF)
        for _, name_target in directory_entries(data, base, names):
            languages = base + (name_target & 0x7FFFFFFF)
            for language, leaf in directory_entries(data, base, languages):
                entry = base + leaf
                rva, size = struct.unpack_from("<II", data, entry)
                start = file_offset(rva, section_list)
                found.append((language, data[start:start + size]))
    return found


def read_block(data, offset):
    """One version block: (key, value bytes, value type, children offsets, end)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_start = offset + 6
    key_end = key_start
    while u16(data, key_end) != 0:
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    position = (key_end + 2 + 3) & ~3
    # Text values count UTF-16 code units, binary ones bytes.
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[position:position + value_bytes]
    position = (position + value_bytes + 3) & ~3
    children = []
    while position < end:
        child_length = u16(data, position)
        if child_length == 0:
            break
        children.append(position)
        position = (position + child_length + 3) & ~3
    return key, value, value_type, children


def text(value):
    return value.decode("utf-16-le").rstrip("\0")


def parse_version_info(blob):
    key, value, _, children = read_block(blob, 0)
    if key != "VS_VERSION_INFO":
        raise PeError("the version resource starts with %r" % key)
    fields = {}
    if len(value) >= 52:
        signature, _, fv_ms, fv_ls, pv_ms, pv_ls = struct.unpack_from("<IIIIII", value, 0)
        if signature != 0xFEEF04BD:
            raise PeError("bad fixed file info signature")
        fields["fixed.FileVersion"] = "%d.%d.%d.%d" % (fv_ms >> 16, fv_ms & 0xFFFF, fv_ls >> 16,
                                                       fv_ls & 0xFFFF)
        fields["fixed.ProductVersion"] = "%d.%d.%d.%d" % (pv_ms >> 16, pv_ms & 0xFFFF,
                                                          pv_ls >> 16, pv_ls & 0xFFFF)
    for child in children:
        child_key, _, _, grandchildren = read_block(blob, child)
        if child_key == "StringFileInfo":
            for table in grandchildren:
                table_key, _, _, strings = read_block(blob, table)
                for string in strings:
                    name, string_value, _, _ = read_block(blob, string)
                    fields["%s.%s" % (table_key.lower(), name)] = text(string_value)
        elif child_key == "VarFileInfo":
            for var in grandchildren:
                var_key, var_value, _, _ = read_block(blob, var)
                if var_key == "Translation":
                    pairs = [struct.unpack_from("<HH", var_value, i)
                             for i in range(0, len(var_value) - 3, 4)]
                    fields["Translation"] = " ".join("%04x:%04x" % p for p in pairs)
    return fields


def main(argv):
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--expect"):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    try:
        resources = version_resources(data)
        if len(resources) != 1:
            raise PeError("%d version resources instead of one" % len(resources))
        fields = parse_version_info(resources[0][1])
    except (PeError, struct.error, UnicodeDecodeError) as error:
        print("%s: %s" % (argv[1], error), file=sys.stderr)
        return 1
    for name in sorted(fields):
        print("%s=%s" % (name, fields[name]))
    if len(argv) == 4:
        return 0 if expectation_problems(fields, argv[3]) == [] else 1
    return 0


def expectation_problems(fields, version):
    problems = []
    numeric = version + ".0" * (3 - version.count("."))
    wanted = {"fixed.FileVersion": numeric, "fixed.ProductVersion": numeric,
              "Translation": "0000:04b0 0804:04b0"}
    for block in ("000004b0", "080404b0"):
        wanted[block + ".FileVersion"] = version
        wanted[block + ".ProductVersion"] = version
        wanted[block + ".ProductName"] = "Pixlance"
        wanted[block + ".OriginalFilename"] = "Pixlance.exe"
        if not fields.get(block + ".FileDescription"):
            problems.append(block + ".FileDescription is missing")
    for name, value in wanted.items():
        if fields.get(name) != value:
            problems.append("%s is %r, not %r" % (name, fields.get(name), value))
    for problem in problems:
        print("version resource: " + problem, file=sys.stderr)
    return problems


if __name__ == "__main__":
    sys.exit(main(sys.argv))
