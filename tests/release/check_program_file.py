#!/usr/bin/python3
"""Checks what a built program file declares to Windows, read from the file
itself: the PE header's flags, its base relocations, the DLLs it imports
and its manifest.

    check_program_file.py PROGRAM.exe...
    check_program_file.py --self-test PROGRAM.exe

Fails (exit 1) and says why when an import is not one Windows always takes
from the system (a KnownDLL, or comctl32 redirected by the manifest), when
the manifest is not exactly one resource of type 24 with id 1 in one
language (the only one Windows reads for a program), when it lacks the
Common Controls 6 dependency, the supported Windows versions, asInvoker,
system DPI awareness or per-monitor (v2) DPI awareness, or when dynamic
base, NX or Terminal Server awareness is missing, or dynamic base cannot
work because the relocations were stripped or the base relocation table is
empty.

--self-test checks the checker: it passes PROGRAM.exe, a good program file,
and fails copies of it patched to lack each of the relocation and manifest
declarations above, each with its own problem line.
"""
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# KnownDLLs of every Windows from Vista on: loaded from the system folder
# whatever lies beside the program.
KNOWN_DLLS = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll",
    "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}
DYNAMIC_BASE, NX_COMPAT, TERMINAL_SERVER_AWARE = 0x0040, 0x0100, 0x8000
RELOCS_STRIPPED = 0x0001
BASE_RELOCATIONS = 5  # data directory
RT_MANIFEST = 24
SUBDIRECTORY = 0x80000000  # in a resource entry's target; in its id, a string name
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections, optional_size, self.characteristics = struct.unpack_from("<H12xHH", data, pe + 6)
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x10B:
            raise ValueError("not a 32-bit program")
        self.dll_characteristics = struct.unpack_from("<H", data, optional + 70)[0]
        count = struct.unpack_from("<I", data, optional + 92)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i) for i in range(count)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw + rva - address
        raise ValueError("address %#x is in no section" % rva)

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        rva, _ = self.directories[1]
        names, at = [], self.offset(rva)
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, at)
            if not any(descriptor):
                return names
            names.append(self.text(descriptor[3]))
            at += 20

    def resources(self, type_id):
        """(id, [file offset of each language's data entry]) for every
        resource of one numbered type."""
        rva, _ = self.directories[2]
        if not rva:
            return []
        base = self.offset(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<12xHH", self.data, base + directory)
            return [struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                    for i in range(named + numbered)]

        found = []
        for ident, target in entries(0):
            if ident == type_id and target & SUBDIRECTORY:
                for name, languages in entries(target & ~SUBDIRECTORY):
                    leaves = entries(languages & ~SUBDIRECTORY) if languages & SUBDIRECTORY else []
                    found.append((name, [base + leaf for _, leaf in leaves if not leaf & SUBDIRECTORY]))
        return found

    def resource_data(self, entry):
        rva, size = struct.unpack_from("<II", self.data, entry)
        start = self.offset(rva)
        return self.data[start:start + size]


def manifest_problems(root):
    """Whether the manifest asks for Common Controls 6, and what it lacks."""
    found = []
    common_controls = False
    for identity in root.iter(ASM_V1 + "assemblyIdentity"):
        a = identity.attrib
        if (a.get("name") == "Microsoft.Windows.Common-Controls" and a.get("version") == "6.0.0.0"
                and a.get("processorArchitecture") == "x86" and a.get("publicKeyToken") == "6595b64144ccf1df"):
            common_controls = True
    if not common_controls:
        found.append("the manifest names no Common Controls 6 dependency (x86, 6595b64144ccf1df)")
    named = {supported.attrib.get("Id", "").lower() for supported in root.iter(COMPAT + "supportedOS")}
    for guid, name in SUPPORTED_OS.items():
        if guid not in named:
            found.append("the manifest's compatibility section does not name %s" % name)
    levels = [e.attrib.get("level") for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        found.append("the manifest asks for %s, not asInvoker" % (levels or "no execution level"))
    if not any((e.text or "").strip().lower() == "true" for e in root.iter() if e.tag.endswith("}dpiAware")):
        found.append("the manifest does not declare DPI awareness")
    # Windows 10 1703 and later: each dialog at its own monitor's DPI.
    if not any("permonitorv2" in [v.strip().lower() for v in (e.text or "").split(",")]
               for e in root.iter() if e.tag.endswith("}dpiAwareness")):
        found.append("the manifest does not declare per-monitor (v2) DPI awareness")
    return common_controls, found


def problems(path):
    with open(path, "rb") as f:
        image = Image(f.read())
    found = []
    for flag, name in ((DYNAMIC_BASE, "dynamic base"), (NX_COMPAT, "NX"),
                       (TERMINAL_SERVER_AWARE, "Terminal Server awareness")):
        if not image.dll_characteristics & flag:
            found.append("the PE header lacks %s" % name)

    # Without relocations Windows loads the program only at its preferred
    # base, whatever the dynamic base flag says.
    if image.characteristics & RELOCS_STRIPPED:
        found.append("the COFF header says its relocations were stripped (no ASLR: Windows cannot move it)")
    if len(image.directories) <= BASE_RELOCATIONS or not all(image.directories[BASE_RELOCATIONS]):
        found.append("the program has no base relocation table (no ASLR: Windows cannot move it)")

    # Windows reads a program's manifest from resource id 1 only; under any
    # other id it is ignored, and comctl32 with it.
    manifests = image.resources(RT_MANIFEST)
    if not manifests:
        found.append("the program has no manifest")
    elif len(manifests) != 1 or manifests[0][0] != 1 or len(manifests[0][1]) != 1:
        found.append("the manifest is not one resource of type 24 with id 1 in one language; found %s" % ", ".join(
            "%s in %d language%s" % ("id %d" % name if not name & SUBDIRECTORY else "a named one",
                                     len(languages), "" if len(languages) == 1 else "s")
            for name, languages in manifests))
    read = [languages[0] for name, languages in manifests if name == 1 and languages]
    common_controls = False
    if read:
        common_controls, lacking = manifest_problems(ET.fromstring(image.resource_data(read[0])))
        found += lacking

    for name in image.imports():
        lower = name.lower()
        if lower == "comctl32.dll" and common_controls:
            continue
        if lower not in KNOWN_DLLS:
            found.append("imports %s, which Windows may load from the program's own folder" % name)
    return found


def manifest_tree(entry, names):
    """A resource directory holding only manifests: a (name id, [language
    ids]) pair for each, every language leading to the data entry ENTRY."""
    def directory(children):
        return struct.pack("<12xHH", 0, len(children)) + b"".join(struct.pack("<II", *c) for c in children)

    at = 24 + 16 + 8 * len(names)  # past the root and the names' directory
    data = at + sum(16 + 8 * len(languages) for _, languages in names)
    named, languages_tables = [], b""
    for name, languages in names:
        named.append((name, SUBDIRECTORY | (at + len(languages_tables))))
        languages_tables += directory([(language, data) for language in languages])
    return directory([(RT_MANIFEST, SUBDIRECTORY | 24)]) + directory(named) + languages_tables + entry


def self_test(good):
    """Passes GOOD and fails copies of it patched to lack one declaration
    each; returns the exit code."""
    with open(good, "rb") as f:
        data = f.read()
    image = Image(data)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    relocations = pe + 24 + 96 + 8 * BASE_RELOCATIONS
    (_, (entry, *_)), = image.resources(RT_MANIFEST)
    base = image.offset(image.directories[2][0])
    manifest_at = image.offset(struct.unpack_from("<I", data, entry)[0])

    def patched(at, replacement):
        return data[:at] + replacement + data[at + len(replacement):]

    def tree(*names):
        # Over the program's own directory, whose other resources nothing
        # here reads; the manifest itself lies beyond it.
        replacement = manifest_tree(data[entry:entry + 16], names)
        if base + len(replacement) > manifest_at:
            raise ValueError("no room for a crafted resource directory before the manifest")
        return patched(base, replacement)

    comctl32 = "imports COMCTL32.DLL"
    cases = [
        ("the program as built", data, []),
        ("its manifest alone, as crafted here", tree((1, [0x409])), []),
        ("relocations stripped", patched(pe + 22, struct.pack("<H", image.characteristics | RELOCS_STRIPPED)),
         ["relocations were stripped"]),
        ("no base relocation table", patched(relocations, bytes(8)), ["no base relocation table"]),
        ("the manifest under id 2", tree((2, [0x409])), ["; found id 2 in 1 language", comctl32]),
        ("manifests under ids 1 and 2", tree((1, [0x409]), (2, [0x409])),
         ["; found id 1 in 1 language, id 2 in 1 language"]),
        ("the manifest in two languages", tree((1, [0x409, 0x407])), ["; found id 1 in 2 languages"]),
        ("system DPI awareness only", data.replace(b"PerMonitorV2", b"unaware     "), ["per-monitor (v2)"]),
    ]
    failed = False
    with tempfile.TemporaryDirectory() as scratch:
        for n, (case, contents, expected) in enumerate(cases):
            path = os.path.join(scratch, "case%d.exe" % n)
            with open(path, "wb") as f:
                f.write(contents)
            run = subprocess.run([sys.executable, __file__, path], stdout=subprocess.PIPE, text=True)
            # The problems, without the file's name and the verdict.
            lines = [line[len(path) + 2:] for line in run.stdout.splitlines()[:-1]]
            wrong = (run.returncode != (1 if expected else 0) or len(lines) != len(expected)
                     or not all(any(text in line for line in lines) for text in expected))
            print("%s: %s%s" % ("FAILED" if wrong else "ok", case,
                                "".join("\n    " + line for line in lines) if wrong or expected else ""))
            failed = failed or wrong
    return 1 if failed else 0


def main():
    if sys.argv[1:2] == ["--self-test"]:
        return self_test(sys.argv[2]) if len(sys.argv) == 3 else 2
    failed = False
    for path in sys.argv[1:]:
        found = problems(path)
        for problem in found:
            print("%s: %s" % (path, problem))
        print("%s: %s" % (path, "FAILED" if found else "declares what today's Windows expects"))
        failed = failed or bool(found)
    return 1 if failed or len(sys.argv) < 2 else 0


if __name__ == "__main__":
    sys.exit(main())
