#!/usr/bin/env python3
"""Checks the binary interface of the applet library as the runtime sees it: exactly the 32
exports under their plain names and, for the Windows DLL, how it binds to the closed
components (HAP runtime and hardware library by ordinal only, the runtime not at all since it is
loaded by name at run time, and no C++ runtime DLL that a plain Windows machine lacks).

usage: check_binary_interface.py elf <Orvanta.so> <export names>
       check_binary_interface.py pe <Orvanta.dll> <export names> <objdump>

The export names file has one name a line; the build makes it from the list of the exports.
"""
import re
import subprocess
import sys

HAPCORE_ORDINALS = {37, 38, 42, 43, 45, 46, 49, 143, 150}
VEXO_HW_ORDINALS = {12, 13}
# DLLs that every Windows x64 machine has; anything else would have to ship beside the applet.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll", "ntdll.dll"}
failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def expected_exports(path):
    with open(path) as f:
        return {line.strip() for line in f if line.strip()}


def check_elf(library, expected):
    out = subprocess.run(["nm", "-D", "--defined-only", library], check=True,
                         capture_output=True, text=True).stdout
    # Symbols the toolchain always defines in a shared object are not part of the interface.
    ignored = {"_init", "_fini", "_edata", "_end", "__bss_start"}
    found = {line.split()[-1] for line in out.splitlines() if line.strip()} - ignored
    compare_exports(found, expected)
    needed = subprocess.run(["readelf", "-d", library], check=True, capture_output=True,
                            text=True).stdout
    libs = set(re.findall(r"Shared library: \[([^\]]+)\]", needed))
    for lib in ("libhapcore.so", "libvexo_hw.so"):
        if lib not in libs:
            fail("%s is not a link-time dependency" % lib)
    if "librtcore5.so" in libs:
        fail("librtcore5.so must be loaded at run time, not linked")


def compare_exports(found, expected):
    for name in sorted(expected - found):
        fail("missing export " + name)
    for name in sorted(found - expected):
        fail("unexpected export " + name)


def pe_imports(dump):
    """Maps each imported DLL (lower case) to a list of (ordinal or None, name or None)."""
    imports = {}
    current = None
    for line in dump.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            current = m.group(1).lower()
            imports[current] = []
            continue
        if current is None:
            continue
        if not line.strip():
            current = None
            continue
        fields = line.split()
        if len(fields) >= 3 and re.fullmatch(r"[0-9a-fA-F]+", fields[0]) and fields[0] != "vma:":
            value = int(fields[0], 16)
            if value & (1 << 63):
                imports[current].append((value & 0xFFFF, None))
            else:
                imports[current].append((None, fields[2]))
    return imports


def check_pe(library, expected, objdump):
    dump = subprocess.run([objdump, "-p", library], check=True, capture_output=True,
                          text=True).stdout
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    found = set()
    if len(table) == 2:
        for line in table[1].splitlines()[1:]:
            m = re.match(r"\s*\[\s*\d+\]\s+(\S+)", line)
            if not m:
                break
            found.add(m.group(1))
    compare_exports(found, expected)

    imports = pe_imports(dump)
    for dll, wanted in (("hapcore.dll", HAPCORE_ORDINALS), ("vexo_hw.dll", VEXO_HW_ORDINALS)):
        entries = imports.get(dll)
        if entries is None:
            fail(dll + " is not imported")
            continue
        named = [name for ordinal, name in entries if name is not None]
        if named:
            fail("%s imported by name: %s" % (dll, ", ".join(named)))
        ordinals = {ordinal for ordinal, name in entries if ordinal is not None}
        if ordinals != wanted:
            fail("%s ordinals %s, expected %s" % (dll, sorted(ordinals), sorted(wanted)))
    if "rtcore5.dll" in imports:
        fail("rtcore5.dll must be loaded at run time, not imported")
    for dll in sorted(set(imports) - SYSTEM_DLLS - {"hapcore.dll", "vexo_hw.dll"}):
        if not dll.startswith("api-ms-win-"):
            fail("depends on %s, which a Windows machine without the toolchain lacks" % dll)


def main():
    kind, library, exports = sys.argv[1:4]
    expected = expected_exports(exports)
    if len(expected) != 32:
        fail("the export list names %d functions" % len(expected))
    if kind == "elf":
        check_elf(library, expected)
    else:
        check_pe(library, expected, sys.argv[4])
    print("%d passed, %d failed" % (0 if failures else 1, 1 if failures else 0))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
