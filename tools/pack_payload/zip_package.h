// Checks a vendor's ready-made ZIP archive before it is embedded as it is: the archive must be one
// the installer extracts completely on every user's machine.
//
// Refused, naming the entry and the reason: an archive larger than a 32-bit installer carries, one
// that does not begin with a local file header (the installer checks its first 32 bytes), ZIP64
// records or fields, several disks, encrypted entries, compression methods other than stored (0)
// and deflate (8), names marked UTF-8 or not valid in code page 936, names the installer or
// Windows refuses (package_rules.h), a file inside a folder that is listed after it, a folder
// entry that holds data, a local header or data descriptor that disagrees with the central
// directory, and any entry whose data does not inflate to the size and CRC the directory states.
// Every entry is inflated with the installer's own reader (minizip).
#pragma once

#include <filesystem>
#include <vector>

#include "tools/pack_payload/package_rules.h"

// Answers the entries in archive order; throws PackageRefused.
std::vector<PackageEntry> CheckVendorZip(const std::filesystem::path& archive, uint64_t limit);
