#!/usr/bin/env python3
"""Checks the 32-bit Corvane.dll against what the host relies on.

usage: check_release_dll.py --objdump PATH --nm PATH DLL OBJECT...

OBJECT are the library's own object files; a CMake list is split. The host
loads the library by file name and calls its exports by name with stdcall,
so a mistake in any of these points shows only as a crash or a refused load
on a user's machine:

  exports      exactly the fifteen callbacks, plain names, ordinals 1 to 15
  stdcall      an i386 image; each callback stdcall with its argument count
  version      the version resource's fixed file version
  imports      only DLLs that every Windows installation has

The expected values are written out here rather than taken from the build,
so that a mistake in the build's own lists cannot agree with itself.
"""

import argparse
import re
import struct
import subprocess
import sys

# In ordinal order, with the number of 32-bit arguments the host pushes.
CALLBACKS = [
    ("BKC_OnStart", 0),
    ("BKC_OnExit", 0),
    ("BKC_OnMenuInit", 3),
    ("BKC_OnOpenFolder", 1),
    ("BKC_OnOpenMail", 1),
    ("BKC_OnEveryMinute", 0),
    ("BKC_OnOpenCompose", 2),
    ("BKC_OnOutgoing", 2),
    ("BKC_OnKeyDispatch", 3),
    ("BKC_OnRetrieve", 2),
    ("BKC_OnSend", 1),
    ("BKC_OnFinishRetrieve", 1),
    ("BKC_OnPlugInSetup", 1),
    ("BKC_OnPlugInInfo", 1),
    ("BKC_OnDragDrop", 4),
]

# The C runtime must find a stdcall DllMain taking three arguments; without
# one it links its own empty default and the host API is never bound.
ENTRY_POINT = "_DllMain@12"

# The release's file version. Bump it together with the project's version.
FILE_VERSION = (1, 0, 5, 7)

# Present on every Windows installation; compared without regard to case.
ALLOWED_IMPORTS = {"kernel32.dll", "advapi32.dll", "version.dll", "msvcrt.dll"}

RT_VERSION = 16
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD


class ToolError(Exception):
    pass


def run(command):
    try:
        result = subprocess.run(command, capture_output=True, text=True)
    except OSError as error:
        raise ToolError(f"cannot run {command[0]}: {error}")
    if result.returncode != 0:
        raise ToolError(f"{' '.join(command)} failed:\n{result.stderr}")
    return result.stdout


def decorated(name, count):
    return f"_{name}@{count * 4}"


# --- exports ---------------------------------------------------------------


def read_export_table(objdump_p):
    """Returns (ordinal base, {ordinal: rva}, {name: ordinal})."""
    base_match = re.search(r"Export Address Table -- Ordinal Base (\d+)",
                           objdump_p)
    if base_match is None:
        return None, {}, {}
    base = int(base_match.group(1))
    addresses = {}
    for index, rva in re.findall(
            r"^\s*\[\s*(\d+)\] \+base\[\s*\d+\] ([0-9a-f]+) Export RVA",
            objdump_p, re.M):
        addresses[base + int(index)] = int(rva, 16)
    names = {}
    table = re.search(r"^\[Ordinal/Name Pointer\] Table.*?\n(.*?)(?:\n\n|\Z)",
                      objdump_p, re.M | re.S)
    if table is not None:
        # objdump prints the index into the address table, not the ordinal.
        for index, name in re.findall(r"^\s*\[\s*(\d+)\] (\S+)\s*$",
                                      table.group(1), re.M):
            names[name] = base + int(index)
    return base, addresses, names


def check_exports(objdump_p, dll_symbols, image_base):
    problems = []
    base, addresses, names = read_export_table(objdump_p)
    if base is None:
        return ["the library has no export table"]
    expected = {name: i + 1 for i, (name, _) in enumerate(CALLBACKS)}
    decorated_exports = set()
    for name, ordinal in sorted(names.items(), key=lambda item: item[1]):
        plain = name.split("@")[0]
        if name != plain and plain in expected:
            decorated_exports.add(plain)
            problems.append(f"{plain} is exported as {name} (ordinal "
                            f"{ordinal}); the host looks up the plain name")
        elif name not in expected:
            problems.append(f"unexpected export {name} (ordinal {ordinal})")
        elif ordinal != expected[name]:
            problems.append(f"{name} has ordinal {ordinal}, "
                            f"expected {expected[name]}")
    for name, ordinal in expected.items():
        if name not in names and name not in decorated_exports:
            problems.append(f"{name} is not exported by name "
                            f"(expected at ordinal {ordinal})")
    unnamed = sorted(set(addresses) - set(names.values()))
    if unnamed:
        problems.append(f"exports by ordinal only: {unnamed}")
    # Ties each name to the code of the right stdcall function, where the
    # library still carries its symbol table.
    if dll_symbols:
        for name, count in CALLBACKS:
            symbol = decorated(name, count)
            if name not in names or names[name] not in addresses:
                continue
            rva = addresses[names[name]]
            address = dll_symbols.get(symbol)
            if address is not None and address != image_base + rva:
                problems.append(f"export {name} does not lead to {symbol}")
    return problems


# --- calling convention ----------------------------------------------------


def read_defined_symbols(nm_output):
    """Returns {name: address} of the global defined symbols in nm output."""
    symbols = {}
    for line in nm_output.splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[1].isupper() and fields[1] != "U":
            symbols[fields[2]] = int(fields[0], 16)
    return symbols


def check_stdcall(objdump_f, object_symbols):
    problems = []
    if "file format pei-i386" not in objdump_f:
        format_match = re.search(r"file format (\S+)", objdump_f)
        found = format_match.group(1) if format_match else "unknown"
        problems.append(f"the library is {found}, not a 32-bit (pei-i386) DLL")
    wanted = {decorated(name, count) for name, count in CALLBACKS}
    wanted.add(ENTRY_POINT)
    for symbol in sorted(wanted):
        if symbol not in object_symbols:
            plain = symbol[1:].split("@")[0]
            seen = sorted(s for s in object_symbols
                          if re.fullmatch(rf"_?{plain}(@\d+)?", s))
            problems.append(f"no object defines {symbol}"
                            + (f" (found {', '.join(seen)})" if seen else ""))
    return problems


# --- version resource ------------------------------------------------------


class PeImage:
    """Just enough of a PE file to follow the resource directory."""

    def __init__(self, data):
        self.data = data
        (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        (sections, optional_size) = struct.unpack_from("<H12xH", data,
                                                       pe_offset + 6)
        optional = pe_offset + 24
        (magic,) = struct.unpack_from("<H", data, optional)
        directories = optional + (96 if magic == 0x10B else 112)
        self.resource_rva, self.resource_size = struct.unpack_from(
            "<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            virtual_size, rva, raw_size, raw_offset = struct.unpack_from(
                "<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_offset))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def resource_entries(self, directory_offset):
        """Yields (id or None, is_directory, offset in resource section)."""
        named, numbered = struct.unpack_from("<12xHH", self.data,
                                             self.offset(self.resource_rva) +
                                             directory_offset)
        first = self.offset(self.resource_rva) + directory_offset + 16
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, first + 8 * i)
            ident = None if name & 0x80000000 else name
            yield ident, bool(target & 0x80000000), target & 0x7FFFFFFF

    def version_resources(self):
        """Returns the bytes of every RT_VERSION resource."""
        if self.resource_rva == 0:
            return []
        found = []
        for ident, is_dir, target in self.resource_entries(0):
            if ident != RT_VERSION or not is_dir:
                continue
            for _, name_is_dir, languages in self.resource_entries(target):
                if not name_is_dir:
                    continue
                for _, lang_is_dir, entry in self.resource_entries(languages):
                    if lang_is_dir:
                        continue
                    rva, size = struct.unpack_from(
                        "<II", self.data,
                        self.offset(self.resource_rva) + entry)
                    start = self.offset(rva)
                    found.append(self.data[start:start + size])
        return found


def read_fixed_file_version(block):
    """Returns (major, minor, build, revision) from a VS_VERSIONINFO block."""
    key = "VS_VERSION_INFO\0".encode("utf-16-le")
    if block[6:6 + len(key)] != key:
        raise ValueError("the block is not a VS_VERSIONINFO")
    fixed = (6 + len(key) + 3) & ~3
    signature, _, version_ms, version_ls = struct.unpack_from(
        "<IIII", block, fixed)
    if signature != VS_FIXEDFILEINFO_SIGNATURE:
        raise ValueError(f"no VS_FIXEDFILEINFO (signature {signature:#x})")
    return (version_ms >> 16, version_ms & 0xFFFF, version_ls >> 16,
            version_ls & 0xFFFF)


def check_version(dll_bytes):
    try:
        blocks = PeImage(dll_bytes).version_resources()
        if not blocks:
            return ["the library has no version resource"], None
        if len(blocks) != 1:
            return [f"the library has {len(blocks)} version resources"], None
        version = read_fixed_file_version(blocks[0])
    except (ValueError, struct.error) as error:
        return [f"cannot read the version resource: {error}"], None
    shown = ".".join(map(str, version))
    if version != FILE_VERSION:
        expected = ".".join(map(str, FILE_VERSION))
        return [f"fixed file version is {shown}, expected {expected}"], shown
    return [], shown


# --- imports ---------------------------------------------------------------


def check_imports(objdump_p):
    imported = re.findall(r"^\s*DLL Name: (\S+)", objdump_p, re.M)
    problems = [f"imports {name}, which is not a Windows system DLL"
                for name in imported if name.lower() not in ALLOWED_IMPORTS]
    if not imported:
        problems.append("the library imports nothing, not even KERNEL32.dll")
    return problems, imported


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--nm", required=True)
    parser.add_argument("dll")
    parser.add_argument("objects", nargs="+")
    args = parser.parse_args()
    # CMake passes the target's objects as one ';'-separated list.
    objects = [path for arg in args.objects for path in arg.split(";") if path]

    try:
        with open(args.dll, "rb") as dll_file:
            dll_bytes = dll_file.read()
    except OSError as error:
        print(f"FAIL: cannot read {args.dll} ({error.strerror}); "
              "is the library built?")
        return 1
    try:
        objdump_p = run([args.objdump, "-p", args.dll])
        objdump_f = run([args.objdump, "-f", args.dll])
        # A stripped library has no symbols; nm then fails, and the exports
        # are checked by name and ordinal alone.
        try:
            dll_symbols = read_defined_symbols(run([args.nm, args.dll]))
        except ToolError:
            dll_symbols = {}
        object_symbols = read_defined_symbols(
            run([args.nm, "--defined-only"] + objects))
    except ToolError as error:
        print(f"FAIL: {error}")
        return 1
    image_base_match = re.search(r"^ImageBase\s+([0-9a-f]+)", objdump_p, re.M)
    image_base = int(image_base_match.group(1), 16) if image_base_match else 0

    import_problems, imported = check_imports(objdump_p)
    version_problems, version = check_version(dll_bytes)
    points = [
        ("exports",
         "the fifteen callbacks by plain name at ordinals 1 to 15, nothing else"
         + ("" if dll_symbols else " (stripped: not tied to symbols)"),
         check_exports(objdump_p, dll_symbols, image_base)),
        ("stdcall",
         f"i386 image; objects define {ENTRY_POINT} and "
         + ", ".join(decorated(n, c) for n, c in CALLBACKS),
         check_stdcall(objdump_f, object_symbols)),
        ("version", f"fixed file version {version}", version_problems),
        ("imports", "only " + ", ".join(imported), import_problems),
    ]
    print(f"Checked {args.dll}")
    failed = 0
    for point, checked, problems in points:
        if problems:
            failed += 1
            print(f"FAIL {point}:")
            for problem in problems:
                print(f"  - {problem}")
        else:
            print(f"ok   {point}: {checked}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
