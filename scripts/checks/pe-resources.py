#!/usr/bin/env python3
# The resources of a Windows executable, read from its own resource directory
# (the .rsrc data directory of the PE headers, three levels: type, name,
# language) as Windows' loader finds them.
#   pe-resources.py EXE             one line a resource, tab-separated: type,
#       name, language, size, then the file offsets of its data, of its type's
#       directory entry and of its name's directory entry. Names given as
#       strings are printed as such.
#   pe-resources.py EXE TYPE NAME   writes that resource's bytes to stdout.
import struct
import sys


def resources(image):
    u16 = lambda at: struct.unpack_from("<H", image, at)[0]
    u32 = lambda at: struct.unpack_from("<I", image, at)[0]
    pe = u32(0x3C)
    if image[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    sections, optional_size = u16(pe + 6), u16(pe + 20)
    optional = pe + 24
    directories = optional + {0x10B: 96, 0x20B: 112}[u16(optional)]
    rsrc_rva = u32(directories + 2 * 8) if u32(directories - 4) > 2 else 0
    if not rsrc_rva:
        return
    table = [struct.unpack_from("<IIII", image, optional + optional_size + 40 * i + 8)
             for i in range(sections)]

    def offset(rva):
        for virtual_size, address, raw_size, raw in table:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} is in no section")

    base = offset(rsrc_rva)

    def entries(directory):  # (id or name, is a subdirectory, target, entry's offset)
        at = base + directory + 16
        for i in range(u16(base + directory + 12) + u16(base + directory + 14)):
            name, target = u32(at + 8 * i), u32(at + 8 * i + 4)
            if name & 0x80000000:
                s = base + (name & 0x7FFFFFFF)
                name = image[s + 2:s + 2 + 2 * u16(s)].decode("utf-16-le")
            yield name, target & 0x80000000, target & 0x7FFFFFFF, at + 8 * i

    for type_, sub, types, type_entry in entries(0):
        for name, sub, names, name_entry in entries(types) if sub else ():
            for language, sub, data, _ in entries(names) if sub else ():
                if not sub:
                    rva, size = struct.unpack_from("<II", image, base + data)
                    yield type_, name, language, size, offset(rva), type_entry, name_entry


def main(path, *wanted):
    image = open(path, "rb").read()
    found = list(resources(image))
    if not wanted:
        for resource in found:
            print(*resource, sep="\t")
        return 0
    for type_, name, _, size, at, _, _ in found:
        if [str(type_), str(name)] == list(wanted):
            sys.stdout.buffer.write(image[at:at + size])
            return 0
    print(f"{path}: no resource {wanted[1]} of type {wanted[0]}", file=sys.stderr)
    return 1


if __name__ == "__main__":
    try:
        sys.exit(main(*sys.argv[1:]))
    except (ValueError, KeyError, struct.error, IndexError) as e:
        print(f"{sys.argv[1]}: not a readable PE image: {e!r}", file=sys.stderr)
        sys.exit(2)
