#!/usr/bin/env python3
"""Checks the exports of TallowCore against the public header.

Every function declared with TALLOW_API in tallow.h must be exported under its
plain name, and nothing else may be. On Windows (a PE DLL) the check also
rejects names that carry a stdcall decoration ("@") or a leading underscore,
and a DLL for another machine than --pe-machine (32-bit x86, the product, by
default; amd64 for the 64-bit check build). On Linux (an ELF shared object) it rejects
every C++ mangled name, so no engine internals leak into the dynamic symbol
table. Only the standard library is used.

    check_exports.py --header include/tallow.h [--pe-machine i386|amd64] LIBRARY
"""
import argparse
import re
import struct
import sys

# Symbols that GNU ld may define in any shared object; they are not the engine's.
LINKER_SYMBOLS = {"_init", "_fini", "__bss_start", "_edata", "_end"}

PE_MACHINES = {"i386": (0x14C, "32-bit x86"), "amd64": (0x8664, "x86-64")}


class FormatError(Exception):
    pass


def declared_names(header_text):
    """Names of the functions declared with TALLOW_API, in header order."""
    text = re.sub(r"/\*.*?\*/", " ", header_text, flags=re.S)
    text = re.sub(r"//[^\n]*", " ", text)
    text = "\n".join(line for line in text.split("\n") if not line.lstrip().startswith("#"))
    names = []
    for name in re.findall(r"\bTALLOW_API\s+(\w+)\s*\(", text):
        if name not in names:
            names.append(name)
    return names


def unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise FormatError("truncated file (reading %d bytes at %#x)" % (size, offset))
    return struct.unpack_from(fmt, data, offset)


def c_string(data, offset):
    if offset < 0 or offset >= len(data):
        raise FormatError("string offset %#x outside the file" % offset)
    end = data.find(b"\0", offset)
    if end < 0:
        raise FormatError("unterminated string at %#x" % offset)
    return data[offset:end].decode("latin-1")


def pe_exports(data):
    """(machine, export names) of a PE image."""
    (pe_offset,) = unpack("<I", data, 0x3C)
    if data[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise FormatError("no PE signature")
    machine, section_count, _, _, _, optional_size, _ = unpack("<HHIIIHH", data, pe_offset + 4)
    optional = pe_offset + 24
    (magic,) = unpack("<H", data, optional)
    directory_offsets = {0x10B: 96, 0x20B: 112}  # PE32, PE32+
    if magic not in directory_offsets:
        raise FormatError("unknown optional header magic %#x" % magic)
    directories = optional + directory_offsets[magic]
    export_rva, export_size = unpack("<II", data, directories)
    sections = []
    for i in range(section_count):
        entry = optional + optional_size + 40 * i
        virtual_size, virtual_address, raw_size, raw_offset = unpack("<IIII", data, entry + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def file_offset(rva):
        for address, size, raw in sections:
            if address <= rva < address + size:
                return rva - address + raw
        raise FormatError("address %#x lies in no section" % rva)

    if export_rva == 0 or export_size == 0:
        return machine, []
    directory = file_offset(export_rva)
    name_count, _, name_table = unpack("<III", data, directory + 24)  # NumberOfNames, AddressOfFunctions, AddressOfNames
    names = []
    for i in range(name_count):
        (name_rva,) = unpack("<I", data, file_offset(name_table) + 4 * i)
        names.append(c_string(data, file_offset(name_rva)))
    return machine, names


def elf_exports(data):
    """Names that an ELF shared object defines and exports dynamically."""
    klass, encoding = data[4], data[5]
    if klass not in (1, 2) or encoding not in (1, 2):
        raise FormatError("unknown ELF class or byte order")
    order = "<" if encoding == 1 else ">"
    wide = klass == 2
    if wide:
        shoff, = unpack(order + "Q", data, 0x28)
        shentsize, shnum = unpack(order + "HH", data, 0x3A)
        section_fmt, symbol_fmt = order + "IIQQQQIIQQ", order + "IBBHQQ"
    else:
        shoff, = unpack(order + "I", data, 0x20)
        shentsize, shnum = unpack(order + "HH", data, 0x2E)
        section_fmt, symbol_fmt = order + "IIIIIIIIII", order + "IIIBBH"
    sections = [unpack(section_fmt, data, shoff + i * shentsize) for i in range(shnum)]
    names = []
    for section in sections:
        if section[1] != 11:  # SHT_DYNSYM
            continue
        offset, size, link, entsize = section[4], section[5], section[6], section[9]
        strings = sections[link][4]
        for i in range(1, size // entsize if entsize else 0):
            fields = unpack(symbol_fmt, data, offset + i * entsize)
            if wide:
                name, info, other, shndx = fields[0], fields[1], fields[2], fields[3]
            else:
                name, info, other, shndx = fields[0], fields[3], fields[4], fields[5]
            binding, kind, visibility = info >> 4, info & 0xF, other & 0x3
            defined = shndx != 0
            exported = binding in (1, 2, 10) and visibility in (0, 3)  # global, weak, unique
            if defined and exported and kind not in (3, 4):  # not section or file symbols
                names.append(c_string(data, strings + name))
    return names


def check(declared, data, pe_machine="i386"):
    """Returns the list of problems found in the library image."""
    problems = []
    if data[:2] == b"MZ":
        machine, exported = pe_exports(data)
        wanted, label = PE_MACHINES[pe_machine]
        if machine != wanted:
            problems.append("the DLL is not %s (machine %#x)" % (label, machine))
        for name in exported:
            if "@" in name or name.startswith("_"):
                problems.append("decorated export name: %s" % name)
    elif data[:4] == b"\x7fELF":
        exported = [name for name in elf_exports(data) if name not in LINKER_SYMBOLS]
        for name in exported:
            if name.startswith("_Z"):
                problems.append("C++ symbol in the dynamic symbol table: %s" % name)
    else:
        raise FormatError("neither a PE nor an ELF file")
    present = set(exported)
    for name in declared:
        if name not in present:
            problems.append("declared in tallow.h but not exported: %s" % name)
    wanted = set(declared)
    for name in sorted(present - wanted):
        if not name.startswith("_Z") and "@" not in name and not name.startswith("_"):
            problems.append("exported but not declared with TALLOW_API in tallow.h: %s" % name)
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--header", required=True)
    ap.add_argument("--pe-machine", choices=sorted(PE_MACHINES), default="i386")
    ap.add_argument("library")
    args = ap.parse_args()

    with open(args.header, encoding="latin-1") as f:
        declared = declared_names(f.read())
    if not declared:
        print("no TALLOW_API declaration found in %s" % args.header)
        return 1
    with open(args.library, "rb") as f:
        data = f.read()
    try:
        problems = check(declared, data, args.pe_machine)
    except FormatError as e:
        print("%s: %s" % (args.library, e))
        return 1
    for problem in problems:
        print(problem)
    print("%d exports declared, %d problems" % (len(declared), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
