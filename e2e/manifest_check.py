#!/usr/bin/env python3
"""Checks the application manifest inside a built exe: resource type 24 (RT_MANIFEST), id 1,
naming every supported system up to Windows 10/11 and the execution level asInvoker.

    manifest_check.py <exe>
"""
import struct
import sys

RT_MANIFEST, MANIFEST_ID = 24, 1
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10/11",
}


def resource_section(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    # The resource table is data directory 2 of the optional header (PE32: at offset 96).
    rsrc_rva = struct.unpack_from("<I", data, optional + 96 + 2 * 8)[0]
    table = optional + optional_size
    for i in range(sections):
        _, _, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if rva <= rsrc_rva < rva + raw_size:
            return raw + rsrc_rva - rva, rsrc_rva
    raise AssertionError("no resource section")


def entries(data, base, offset):
    named, numbered = struct.unpack_from("<12xHH", data, base + offset)
    for i in range(named + numbered):
        name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
        yield name, target


def manifest_bytes(data):
    base, base_rva = resource_section(data)
    for type_id, type_dir in entries(data, base, 0):
        if type_id != RT_MANIFEST:
            continue
        for name_id, name_dir in entries(data, base, type_dir & 0x7FFFFFFF):
            if name_id != MANIFEST_ID:
                continue
            for _, leaf in entries(data, base, name_dir & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                return data[base + rva - base_rva:base + rva - base_rva + size]
    return None


def main():
    data = open(sys.argv[1], "rb").read()
    manifest = manifest_bytes(data)
    if manifest is None:
        print("FAIL: no resource of type 24, id 1")
        return 1
    text = manifest.decode("utf-8")
    problems = [f"supportedOS of Windows {name} missing"
                for guid, name in SUPPORTED_OS.items() if f'Id="{guid}"' not in text]
    if 'requestedExecutionLevel level="asInvoker"' not in text:
        problems.append("requestedExecutionLevel asInvoker missing")
    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"ok: manifest of {len(manifest)} bytes, Vista to 10/11, asInvoker")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
