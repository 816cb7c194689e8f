#!/usr/bin/env python3
"""Checks a built installer against what make-installer.sh printed about it, from the file alone.

    check_installer.py INSTALLER.exe SUMMARY.txt [--package-zip ZIP] [--epoch SECONDS]

- The ZIP archive the installer carries is found in the file (the byte-array layout of
  common/byte_array.h: a 32-bit count 1, a 32-bit length, the bytes); with --package-zip it must be
  that archive byte for byte.
- The summary's entries, files, folders, packed and unpacked bytes and largest entries are those of
  the carried archive; its size and SHA-256 are those of the installer.
- Every time the file holds is --epoch (0 when not given): the PE header's time stamp and every
  resource directory's (read by objdump, not by this script), and the entries' ZIP times (UTC;
  1980-01-01 00:00 when no epoch was given).
Prints one line per failed check and exits 1 when any failed.
"""
import argparse
import datetime
import hashlib
import io
import re
import struct
import subprocess
import sys
import time
import zipfile

failures = []


def check(ok, text):
    print(("ok: " if ok else "FAILED: ") + text)
    if not ok:
        failures.append(text)


def carried_archive(data):
    """The byte-array constant in the file that holds a whole ZIP archive."""
    at = data.find(b"PK\x03\x04")
    while at >= 8:
        count, length = struct.unpack_from("<II", data, at - 8)
        if count == 1 and at + length <= len(data):
            candidate = data[at:at + length]
            try:
                with zipfile.ZipFile(io.BytesIO(candidate)) as archive:
                    if archive.testzip() is None:
                        return candidate
            except zipfile.BadZipFile:
                pass
        at = data.find(b"PK\x03\x04", at + 1)
    return None


def number(text):
    return int(text.replace(",", ""))


def read_summary(path):
    text = open(path, encoding="utf-8").read()
    summary = {"largest": []}
    m = re.search(r"^  entries\s+([\d,]+) \(([\d,]+) files, ([\d,]+) folders\)$", text, re.M)
    summary["entries"], summary["files"], summary["folders"] = (number(g) for g in m.groups()) if m else (None,) * 3
    for key in ("packed", "unpacked", "size"):
        m = re.search(r"^  %s\s+([\d,]+) bytes" % key, text, re.M)
        summary[key] = number(m.group(1)) if m else None
    m = re.search(r"^  SHA-256\s+([0-9a-f]{64})$", text, re.M)
    summary["sha256"] = m.group(1) if m else None
    m = re.search(r"^  signed\s+(.*)$", text, re.M)
    summary["signed"] = m.group(1) if m else None
    for m in re.finditer(r"^  (?:largest)?\s+([\d,]+) bytes  (.+)$", text, re.M):
        summary["largest"].append((number(m.group(1)), m.group(2)))
    return summary


def objdump_times(path):
    env = {"TZ": "UTC", "LC_ALL": "C", "PATH": "/usr/bin:/bin"}
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path], capture_output=True, text=True,
                         env=env, check=True).stdout
    header = re.search(r"^Time/Date\s+(.+)$", out, re.M).group(1).strip()
    resources = out.split("Resource Directory section:", 1)
    resource_times = re.findall(r"Time: ([0-9a-f]{8})", resources[1]) if len(resources) > 1 else []
    return header, resource_times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("installer")
    parser.add_argument("summary")
    parser.add_argument("--package-zip")
    parser.add_argument("--epoch", type=int)
    args = parser.parse_args()

    data = open(args.installer, "rb").read()
    summary = read_summary(args.summary)
    package = carried_archive(data)
    check(package is not None, "the installer carries a whole ZIP archive")
    if package is None:
        return 1
    if args.package_zip:
        check(package == open(args.package_zip, "rb").read(),
              "the carried archive is %s byte for byte" % args.package_zip)

    with zipfile.ZipFile(io.BytesIO(package)) as archive:
        infos = archive.infolist()
    files = [i for i in infos if not i.is_dir()]
    folders = [i for i in infos if i.is_dir()]
    unpacked = sum(i.file_size for i in files)
    check(summary["entries"] == len(infos), "entries: %s printed, %d in the archive" % (summary["entries"], len(infos)))
    check(summary["files"] == len(files), "files: %s printed, %d in the archive" % (summary["files"], len(files)))
    check(summary["folders"] == len(folders), "folders: %s printed, %d in the archive" % (summary["folders"], len(folders)))
    check(summary["packed"] == len(package), "packed: %s printed, the archive is %d bytes" % (summary["packed"], len(package)))
    check(summary["unpacked"] == unpacked, "unpacked: %s printed, %d in the archive" % (summary["unpacked"], unpacked))
    sizes = sorted((i.file_size for i in files), reverse=True)[:5]
    printed = [size for size, _ in summary["largest"]]
    check(printed == sizes, "largest entries: %s printed, %s in the archive" % (printed, sizes))
    by_name = {i.filename.encode("cp437").decode("gbk") if not i.flag_bits & 0x800 else i.filename: i.file_size
               for i in files}
    check(all(by_name.get(name) == size for size, name in summary["largest"]),
          "each largest entry printed is an entry of that size: %s" % summary["largest"])
    check(summary["size"] == len(data), "size: %s printed, the file is %d bytes" % (summary["size"], len(data)))
    digest = hashlib.sha256(data).hexdigest()
    check(summary["sha256"] == digest, "SHA-256: %s printed, the file's is %s" % (summary["sha256"], digest))

    epoch = args.epoch or 0
    header, resource_times = objdump_times(args.installer)
    want = time.strftime("%a %b %e %H:%M:%S %Y", time.gmtime(epoch)).replace("  ", " ")
    check(re.sub(" +", " ", header) == want, "PE time stamp: %s, wanted %s" % (header, want))
    check(all(int(t, 16) == epoch for t in resource_times),
          "resource directory time stamps (%d of them) are all %d" % (len(resource_times), epoch))
    entry_time = time.gmtime(epoch)[:6] if args.epoch else (1980, 1, 1, 0, 0, 0)
    entry_time = entry_time[:5] + (entry_time[5] - entry_time[5] % 2,)
    times = {i.date_time for i in infos}
    check(times == {entry_time}, "entry times: %s, wanted %s" % (sorted(times), entry_time))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
