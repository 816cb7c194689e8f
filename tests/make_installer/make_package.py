#!/usr/bin/env python3
"""Makes the vendor packages the make-installer tests feed to the command: a good one, and one for
each way a package can be refused.

    make_package.py KIND PATH     writes the package KIND at PATH (a folder or a ZIP archive)
    make_package.py --list        prints every KIND

ZIP archives are written here byte by byte, not through zipfile, so that each one can hold exactly
the fault it is named after (names in code page 936 without the UTF-8 flag, data descriptors,
ZIP64 fields, other methods, wrong CRCs) and nothing else.
"""
import bz2
import os
import struct
import sys
import zlib

REQUIRED = {
    "Velmora.exe": b"MZ the product\n" * 50,
    "Uninstall.exe": b"MZ the uninstaller\n" * 20,
    "使用说明.txt": "使用说明：安装后运行 Velmora。\r\n".encode("gbk"),
}
AUXILIARY = {"Tarnlink.exe": b"MZ the communication component\n" * 30}

LIMIT = 1 << 30  # what a 32-bit installer carries (tools/pack_payload/package_rules.h)


# ---- folders --------------------------------------------------------------------------------------

def write_file(path, data):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def good_folder(root, skip=()):
    for name, data in REQUIRED.items():
        if name not in skip:
            write_file(os.path.join(root, name), data)
    for name, data in AUXILIARY.items():
        if "Auxiliary/" + name not in skip:
            write_file(os.path.join(root, "Auxiliary", name), data)
    write_file(os.path.join(root, "Auxiliary", "skins", "衆彩", "skin.xml"), b"<skin/>\n")


def folder_with(*names):
    def make(root):
        good_folder(root)
        for name in names:
            write_file(os.path.join(root, name), b"x")
    return make


def folder_symlink(root):
    good_folder(root)
    os.symlink("../Velmora.exe", os.path.join(root, "Auxiliary", "link.exe"))


def folder_huge_file(root):
    good_folder(root)
    with open(os.path.join(root, "Auxiliary", "huge.dat"), "wb") as out:
        out.truncate(1 << 32)  # sparse: takes no disk space


def folder_too_many(root):
    good_folder(root)
    bulk = os.path.join(root, "bulk")
    os.makedirs(bulk)
    for i in range(0x10000):
        open(os.path.join(bulk, "%05d" % i), "wb").close()


def folder_incompressible(root):
    good_folder(root)
    write_file(os.path.join(root, "Auxiliary", "random.bin"), os.urandom(200_000))


FOLDERS = {
    "folder-good": good_folder,
    "folder-incompressible": folder_incompressible,
    "folder-device": folder_with("sub/aux.dll"),
    "folder-colon": folder_with("sub/a:b.txt"),
    "folder-control": folder_with("a\tb.txt"),
    "folder-dots": folder_with("sub/.../x.txt"),
    "folder-forbidden-char": folder_with("what?.txt"),
    "folder-backslash": folder_with("a\\b.txt"),
    "folder-trailing-dot": folder_with("notes."),
    "folder-not-gbk": folder_with("check✓.txt"),
    "folder-case": folder_with("Readme.TXT", "readme.txt"),
    "folder-case-folders": folder_with("Data/a.txt", "DATA/b.txt"),
    "folder-case-greek": folder_with("Ωμεγα/α.txt", "ΩΜΕΓΑ/β.txt"),
    "folder-case-fullwidth": folder_with("ｖｅｌ.txt", "ＶＥＬ.txt"),
    "folder-missing": lambda root: good_folder(root, skip=("Auxiliary/Tarnlink.exe",)),
    "folder-missing-notes": lambda root: good_folder(root, skip=("使用说明.txt",)),
    "folder-symlink": folder_symlink,
    "folder-huge-file": folder_huge_file,
    "folder-too-many": folder_too_many,
}


# ---- ZIP archives ---------------------------------------------------------------------------------

class Entry:
    def __init__(self, name, data=b"", folder=False, **faults):
        self.name = name.encode("gbk") if isinstance(name, str) else name
        self.data = data
        self.folder = folder
        self.method = 0 if folder else 8
        self.flags = 0
        self.descriptor = None  # None, or True/False: with or without its signature
        self.zip64 = False
        self.sparse_size = None  # a stored entry of this many zero bytes, written as a hole
        self.fault = {}          # field name -> value written instead of the true one
        for key, value in faults.items():
            setattr(self, key, value)


def good_entries():
    entries = [Entry(name, data) for name, data in REQUIRED.items()]
    entries.append(Entry("Auxiliary/", folder=True))
    entries += [Entry("Auxiliary/" + name, data) for name, data in AUXILIARY.items()]
    return entries


def compress(entry):
    if entry.method == 8:
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        return packer.compress(entry.data) + packer.flush()
    if entry.method == 12:
        return bz2.compress(entry.data)
    return entry.data


def zero_crc(length):
    crc, chunk = 0, bytes(1 << 24)
    while length > 0:
        crc = zlib.crc32(chunk[:min(length, len(chunk))], crc)
        length -= len(chunk)
    return crc


def write_zip(path, entries, prefix=b""):
    directory = b""
    with open(path, "wb") as out:
        out.write(prefix)
        for entry in entries:
            if entry.sparse_size is not None:
                packed, size, crc = None, entry.sparse_size, zero_crc(entry.sparse_size)
                packed_size = size
            else:
                packed = compress(entry)
                size, crc, packed_size = len(entry.data), zlib.crc32(entry.data), len(packed)
            flags = entry.flags | (0x08 if entry.descriptor is not None else 0)
            true = {"crc": crc, "packed": packed_size, "size": size}
            central = {k: entry.fault.get("central_" + k, v) for k, v in true.items()}
            local = {k: entry.fault.get("local_" + k, v) for k, v in true.items()}
            described = {k: entry.fault.get("descriptor_" + k, v) for k, v in true.items()}
            extra = b""
            if entry.zip64:
                extra = struct.pack("<HHQQ", 1, 16, size, packed_size)
                central["size"] = central["packed"] = local["size"] = local["packed"] = 0xFFFFFFFF
            offset = out.tell()
            in_header = {"crc": 0, "packed": 0, "size": 0} if entry.descriptor is not None else local
            out.write(struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, flags, entry.method, 0, 0x21,
                                  in_header["crc"], in_header["packed"], in_header["size"],
                                  len(entry.name), len(extra)))
            out.write(entry.name + extra)
            if packed is None:
                out.seek(packed_size, os.SEEK_CUR)
            else:
                out.write(packed)
            if entry.descriptor is not None:
                if entry.descriptor:
                    out.write(struct.pack("<I", 0x08074B50))
                out.write(struct.pack("<III", described["crc"], described["packed"], described["size"]))
            attributes = 0x10 if entry.folder else 0x20
            directory += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, flags, entry.method, 0, 0x21,
                                     central["crc"], central["packed"], central["size"], len(entry.name),
                                     len(extra), 0, 0, 0, attributes, offset) + entry.name + extra
        start = out.tell()
        out.write(directory)
        out.write(struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(directory), start, 0))


def zip_with(change):
    def make(path):
        entries = good_entries()
        change(entries)
        write_zip(path, entries)
    return make


def fault(entry_name, **fields):
    def change(entries):
        for entry in entries:
            if entry.name == entry_name.encode("gbk"):
                for key, value in fields.items():
                    setattr(entry, key, value)
    return change


def added(*extra):
    return lambda entries: entries.extend(extra)


def zip_damaged_deflate(path):
    entries = good_entries()
    write_zip(path, entries)
    with open(path, "r+b") as out:
        data = bytearray(out.read())
        at = data.index(b"Velmora.exe") + len(b"Velmora.exe")
        data[at:at + 2] = b"\xff\xff"  # an invalid deflate block type
        out.seek(0)
        out.write(data)


def zip_behind_stub(path):
    entries = good_entries()
    write_zip(path, entries, prefix=b"MZ a self-extracting stub" + bytes(100))


def zip_too_large(path):
    entries = good_entries()
    entries.append(Entry("Auxiliary/padding.bin", sparse_size=LIMIT, method=0))
    write_zip(path, entries)


def zip_good_descriptors(path):
    entries = good_entries()
    entries[0].descriptor = True
    entries[1].descriptor = False
    entries.append(Entry("Auxiliary/stored.dll", b"stored bytes " * 10, method=0))
    write_zip(path, entries)


ZIPS = {
    "zip-good": zip_good_descriptors,
    "zip-crc": zip_with(fault("Uninstall.exe", fault={"central_crc": 0x12345678, "local_crc": 0x12345678})),
    "zip-size": zip_with(fault("Uninstall.exe", fault={"central_size": 999, "local_size": 999})),
    "zip-damaged": zip_damaged_deflate,
    "zip-encrypted": zip_with(fault("Velmora.exe", flags=0x01)),
    "zip-method": zip_with(fault("Auxiliary/Tarnlink.exe", method=12)),
    "zip-zip64": zip_with(fault("Uninstall.exe", zip64=True)),
    "zip-descriptor": zip_with(fault("Velmora.exe", descriptor=True, fault={"descriptor_crc": 0xDEADBEEF})),
    "zip-descriptor-size": zip_with(fault("Velmora.exe", descriptor=False, fault={"descriptor_size": 1})),
    "zip-local-header": zip_with(fault("Velmora.exe", fault={"local_size": 5})),
    "zip-utf8": zip_with(fault("使用说明.txt", name="使用说明.txt".encode("utf-8"), flags=0x800)),
    "zip-not-gbk": zip_with(added(Entry(b"bad\xff\xfe.txt", b"x"))),
    "zip-unsafe": zip_with(added(Entry("../evil.exe", b"x"))),
    "zip-absolute": zip_with(added(Entry("/etc/evil.conf", b"x"))),
    "zip-device": zip_with(added(Entry("Auxiliary/nul.txt", b"x"))),
    "zip-order": zip_with(added(Entry("Data/a.txt", b"x"), Entry("Data/", folder=True))),
    "zip-case": zip_with(added(Entry("auxiliary/extra.dll", b"x"))),
    "zip-duplicate": zip_with(added(Entry("Velmora.exe", b"again"))),
    "zip-folder-data": zip_with(added(Entry("Logs/", b"data", folder=True, method=0))),
    "zip-missing": lambda path: write_zip(path, [e for e in good_entries() if e.name != b"Velmora.exe"]),
    "zip-stub": zip_behind_stub,
    "zip-not-zip": lambda path: write_file(path, b"this is a text file, not an archive\n" * 4),
    "zip-too-large": zip_too_large,
}


def main():
    if sys.argv[1:] == ["--list"]:
        print("\n".join(list(FOLDERS) + list(ZIPS)))
        return
    kind, path = sys.argv[1:]
    if kind in FOLDERS:
        os.makedirs(path)
        FOLDERS[kind](path)
    else:
        ZIPS[kind](path)


if __name__ == "__main__":
    main()
