#!/usr/bin/env python3
"""Checks the release archives made by CPack: exactly the files of the installation, under one
top folder (.tar.gz, .zip) or /opt/orvanta (.deb), with the `orvanta` tool executable and the
README and parameter reference as they are in this tree, the Linux ones with the Python package
too; binaries without debug information, and the whole within a size bound. A debug archive (its
name ends in -debug) holds one <binary>.debug for each binary of the installation, under one top
folder.

Usage: check_package.py PACKAGE...   (.tar.gz and .deb: the Linux files; .zip: the Windows files)
"""
import io
import os
import re
import struct
import subprocess
import sys
import tarfile
import zipfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

COMMON = ["README.md", "docs/parameters.md", "lib/cmake/Orvanta/OrvantaConfig.cmake",
          "lib/cmake/Orvanta/OrvantaConfigVersion.cmake"]
COMMON += ["include/orvanta/orvanta/" + h for h in ("error_codes.h", "named_constants.h", "orvanta.h",
                                                    "parameter_info_node.h", "runtime.h", "sdk_events.h",
                                                    "sdk_parameters.h", "type_codes.h")]
COMMON += ["include/orvanta/orvanta_sim/" + h for h in ("export.h", "runtime.h", "runtime_control.h")]
if os.path.exists(os.path.join(ROOT, "LICENSE")):
    COMMON.append("LICENSE")
STAND_INS = ["rtcore5", "hapcore", "vexo_hw", "common-logging-dispatcher"]
LINUX = ["Hardware Applets/Orvanta.so", "bin/orvanta"] + [f"bin/lib{name}.so" for name in STAND_INS]
# The Python package (Linux only); its modules are named for the Python they were built for,
# "_orvanta.cpython-311-x86_64-linux-gnu.so", and checked as "_orvanta.so".
LINUX += ["python/orvanta/" + name for name in ("__init__.py", "sim.py", "py.typed", "_orvanta.pyi", "_sim.pyi",
                                                 "_orvanta.so", "_sim.so")]
PYTHON_MODULE = re.compile(r"^(python/orvanta/_[a-z]+)\.[^/]+(\.so)$")
WINDOWS = ["Hardware Applets/Orvanta.dll", "bin/orvanta.exe", "lib/librtcore5.dll.a"]
WINDOWS += [f"bin/{name}.dll" for name in STAND_INS]
# Files whose packed copy must be the one in this tree.
SAME_AS_TREE = ["README.md", "docs/parameters.md"]
# The unpacked installation at most, in bytes: on Linux about 7 MB now, most of it the HAP image
# inside the applet (with debug information it was 43 MB); on Windows about 12 MB, every binary
# holding the C++ runtime it links statically (with debug information 110 MB).
SIZE_BOUND = {"linux": 10_000_000, "windows": 16_000_000}
BINARY_ENDINGS = (".so", ".dll", ".exe", "bin/orvanta")


def section_names(data):
    """The section names of an ELF (64-bit) or PE image; None for neither."""
    if data[:4] == b"\x7fELF":
        shoff, = struct.unpack_from("<Q", data, 0x28)
        entry, count, names_index = struct.unpack_from("<HHH", data, 0x3A)
        headers = [struct.unpack_from("<IIQQQQ", data, shoff + i * entry) for i in range(count)]
        names_at = headers[names_index][4]
        return [data[names_at + h[0]:data.index(b"\0", names_at + h[0])].decode() for h in headers]
    if data[:2] == b"MZ":
        pe, = struct.unpack_from("<I", data, 0x3C)
        count, = struct.unpack_from("<H", data, pe + 6)
        symbols, symbol_count = struct.unpack_from("<II", data, pe + 12)
        optional, = struct.unpack_from("<H", data, pe + 20)
        strings = symbols + 18 * symbol_count
        names = []
        for i in range(count):
            raw = data[pe + 24 + optional + 40 * i:][:8].rstrip(b"\0")
            if raw.startswith(b"/"):  # a long name, in the string table
                at = strings + int(raw[1:])
                raw = data[at:data.index(b"\0", at)]
            names.append(raw.decode())
        return names
    return None


def tar_members(data):
    """Files (name, mode, contents reader) of a tar archive."""
    archive = tarfile.open(fileobj=io.BytesIO(data))
    return {m.name.lstrip("./"): (m.mode, lambda m=m: archive.extractfile(m).read())
            for m in archive.getmembers() if m.isfile()}


def members(path):
    if path.endswith(".zip"):
        archive = zipfile.ZipFile(path)
        return {i.filename: (i.external_attr >> 16, lambda i=i: archive.read(i))
                for i in archive.infolist() if not i.is_dir()}
    if path.endswith(".deb"):
        data = subprocess.run(["dpkg-deb", "--fsys-tarfile", path], capture_output=True, check=True).stdout
        return tar_members(data)
    with open(path, "rb") as file:
        return tar_members(file.read())


def check_debug(path, files):
    """The failures found in a debug archive: a .debug file for each binary, nothing else."""
    tops = {name.split("/", 1)[0] for name in files}
    if len(tops) != 1 or not tops.copy().pop().endswith("-debug"):
        return [f"top folders {sorted(tops)}, expected one named ...-debug"]
    prefix = tops.pop() + "/"
    binaries = [name for name in (WINDOWS if path.endswith(".zip") else LINUX) if name.endswith(BINARY_ENDINGS)]
    expected = {name + ".debug" for name in binaries}
    found = {PYTHON_MODULE.sub(r"\1\2", name[len(prefix):].removesuffix(".debug")) + ".debug": name
             for name in files}
    failures = [f"missing {name}" for name in sorted(expected - found.keys())]
    failures += [f"unexpected {name}" for name in sorted(found.keys() - expected)]
    for name in sorted(expected & found.keys()):
        if ".debug_info" not in (section_names(files[found[name]][1]()) or []):
            failures.append(f"{name} holds no debug information")
    return failures


def check(path):
    """The failures found in one package."""
    files = members(path)
    if "-debug." in os.path.basename(path):
        return check_debug(path, files)
    if path.endswith(".deb"):
        prefix = "opt/orvanta/"
    else:
        tops = {name.split("/", 1)[0] for name in files}
        if len(tops) != 1:
            return [f"{len(tops)} top folders: {sorted(tops)}"]
        prefix = tops.pop() + "/"
    outside = sorted(name for name in files if not name.startswith(prefix))
    if outside:
        return [f"files outside {prefix}: {outside}"]
    found = {PYTHON_MODULE.sub(r"\1\2", name[len(prefix):]): entry for name, entry in files.items()}
    expected = set(COMMON + (WINDOWS if path.endswith(".zip") else LINUX))
    failures = [f"missing {name}" for name in sorted(expected - found.keys())]
    failures += [f"unexpected {name}" for name in sorted(found.keys() - expected)]
    if "bin/orvanta" in found and not found["bin/orvanta"][0] & 0o111:
        failures.append("bin/orvanta is not executable")
    for name in SAME_AS_TREE:
        if name in found:
            with open(os.path.join(ROOT, name), "rb") as file:
                if found[name][1]() != file.read():
                    failures.append(f"{name} differs from the tree's")
    size = 0
    for name, (_, read) in sorted(found.items()):
        data = read()
        size += len(data)
        if name.endswith(BINARY_ENDINGS):
            sections = section_names(data)
            if sections is None:
                failures.append(f"{name} is no ELF or PE binary")
            elif any(section.startswith(".debug") for section in sections):
                failures.append(f"{name} holds debug information ({len(data)} bytes): the package strips it")
    bound = SIZE_BOUND["windows" if path.endswith(".zip") else "linux"]
    if size > bound:
        failures.append(f"the installation takes {size} bytes, more than the bound of {bound}")
    return failures


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    failed = False
    for path in sys.argv[1:]:
        failures = check(path)
        for failure in failures:
            print(f"{os.path.basename(path)}: {failure}")
        if not failures:
            print(f"{os.path.basename(path)}: contents as expected ({os.path.getsize(path)} bytes)")
        failed = failed or bool(failures)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
