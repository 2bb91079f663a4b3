#!/usr/bin/python3
"""Checks what a built program file declares to Windows, read from the file
itself: the PE header's flags, the DLLs it imports and its manifest.

    check_program_file.py PROGRAM.exe...

Fails (exit 1) and says why when an import is not one Windows always takes
from the system (a KnownDLL, or comctl32 redirected by the manifest), when
the manifest lacks the Common Controls 6 dependency, the supported Windows
versions, asInvoker or DPI awareness, or when dynamic base, NX or Terminal
Server awareness is missing.
"""
import struct
import sys
import xml.etree.ElementTree as ET

# KnownDLLs of every Windows from Vista on: loaded from the system folder
# whatever lies beside the program.
KNOWN_DLLS = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll",
    "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}
DYNAMIC_BASE, NX_COMPAT, TERMINAL_SERVER_AWARE = 0x0040, 0x0100, 0x8000
RT_MANIFEST = 24
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
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
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

    def manifest(self):
        rva, _ = self.directories[2]
        if not rva:
            return None
        base = self.offset(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<12xHH", self.data, base + directory)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield ident, target

        for ident, target in entries(0):
            if ident == RT_MANIFEST and target & 0x80000000:
                for _, second in entries(target & 0x7FFFFFFF):
                    for _, leaf in entries(second & 0x7FFFFFFF):
                        data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                        start = self.offset(data_rva)
                        return self.data[start:start + size]
        return None


def problems(path):
    with open(path, "rb") as f:
        image = Image(f.read())
    found = []
    for flag, name in ((DYNAMIC_BASE, "dynamic base"), (NX_COMPAT, "NX"),
                       (TERMINAL_SERVER_AWARE, "Terminal Server awareness")):
        if not image.dll_characteristics & flag:
            found.append("the PE header lacks %s" % name)

    manifest = image.manifest()
    if manifest is None:
        return found + ["the program has no manifest"]
    root = ET.fromstring(manifest)
    common_controls = False
    for identity in root.iter(ASM_V1 + "assemblyIdentity"):
        a = identity.attrib
        if (a.get("name") == "Microsoft.Windows.Common-Controls" and a.get("version") == "6.0.0.0"
                and a.get("processorArchitecture") == "x86" and a.get("publicKeyToken") == "6595b64144ccf1df"):
            common_controls = True
    if not common_controls:
        found.append("the manifest names no Common Controls 6 dependency (x86, 6595b64144ccf1df)")
    named = {os.attrib.get("Id", "").lower() for os in root.iter(COMPAT + "supportedOS")}
    for guid, name in SUPPORTED_OS.items():
        if guid not in named:
            found.append("the manifest's compatibility section does not name %s" % name)
    levels = [e.attrib.get("level") for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        found.append("the manifest asks for %s, not asInvoker" % (levels or "no execution level"))
    if not any((e.text or "").strip().lower() == "true" for e in root.iter() if e.tag.endswith("}dpiAware")):
        found.append("the manifest does not declare DPI awareness")

    for name in image.imports():
        lower = name.lower()
        if lower == "comctl32.dll" and common_controls:
            continue
        if lower not in KNOWN_DLLS:
            found.append("imports %s, which Windows may load from the program's own folder" % name)
    return found


def main():
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
