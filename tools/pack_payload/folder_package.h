// Packs a vendor's folder into the archive the installer extracts: names in code page 936 (GBK)
// with "/" between components and no UTF-8 flag, every folder as a stored entry whose name ends in
// "/", listed before the entries inside it, files deflated. Entries are sorted by name and every
// entry carries one time, so the same names and contents give the same archive, byte for byte,
// whatever the files' own times or the folder's place.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/pack_payload/package_rules.h"

// The earliest time a ZIP entry can hold: 1980-01-01 00:00:00 (UTC), in seconds since 1970.
inline constexpr int64_t kEarliestEntryTime = 315532800;

struct FolderPackOptions {
  int64_t entryTime = kEarliestEntryTime;     // seconds since 1970, written as UTC
  uint64_t limit = kPackageLimitBytes;        // the most the packed archive may take
};

// Checks every name and size in `folder` (package_rules.h) before it writes anything, then writes
// the archive to `out`. Answers the entries in archive order. Throws PackageRefused for a package
// the installer could not carry or extract; `out` is then left as it was.
std::vector<PackageEntry> PackFolder(const std::filesystem::path& folder, const std::filesystem::path& out,
                                     const FolderPackOptions& options);
