#!/usr/bin/env python3
# What Windows reads in an exe, as one line: its version numbers and, as people see them, version
# strings, its icon group's images and the Windows it is made for.
#   exe.py EXE                           prints that line
#   exe.py EXE VERSION DISPLAY_VERSION   checks quorrin.exe: that line, and that it imports only
#                                        system DLLs: COMCTL32, GDI32, KERNEL32, msvcrt, ole32,
#                                        OLEACC, OLEAUT32 and USER32
import sys

import pefile


def facts(path):
    pe = pefile.PE(path)
    fixed, header = pe.VS_FIXEDFILEINFO[0], pe.OPTIONAL_HEADER
    numbers = lambda high, low: f"{high >> 16}.{high & 0xffff}.{low >> 16}.{low & 0xffff}"
    strings = {key.decode(): value.decode() for info in pe.FileInfo[0] for table in getattr(info, "StringTable", [])
               for key, value in table.entries.items()}
    line = [numbers(fixed.FileVersionMS, fixed.FileVersionLS), numbers(fixed.ProductVersionMS, fixed.ProductVersionLS),
            *(strings.get(name, "?") for name in ("ProductName", "ProductVersion", "FileVersion"))]
    resource = lambda kind: next((entry.directory.entries[0].directory.entries[0].data.struct for entry
                                  in pe.DIRECTORY_ENTRY_RESOURCE.entries if entry.id == kind), None)
    if group := resource(14):  # the icon group: a count at 4, then 14 bytes an image (width, height, ..., bits at 6)
        data = pe.get_data(group.OffsetToData, group.Size)
        line += [f"{data[6 + 14 * i]}x{data[7 + 14 * i]}x{data[12 + 14 * i]}" for i in range(data[4])]
    return " ".join(line + [f"Windows {header.MajorOperatingSystemVersion}.{header.MinorOperatingSystemVersion}"
                            f"/{header.MajorSubsystemVersion}.{header.MinorSubsystemVersion}"]), pe


if __name__ == "__main__":
    line, pe = facts(sys.argv[1])
    if len(sys.argv) == 2:
        sys.exit(print(line))
    version, display = sys.argv[2:]
    imports = {entry.dll.decode() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    print(line, sorted(imports))
    assert line == f"{version} {version} Quorrin {display} {display} 32x32x1 32x32x4 16x16x4 Windows 10.0/10.0", line
    assert imports <= {"COMCTL32.dll", "GDI32.dll", "KERNEL32.dll", "msvcrt.dll", "ole32.dll", "OLEACC.dll",
                       "OLEAUT32.dll", "USER32.dll"}, imports
