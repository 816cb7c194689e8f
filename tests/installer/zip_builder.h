// Writes ZIP archives byte by byte for the extraction tests, including archives no packer would
// make: hostile entry names, wrong checksums, sizes that lie and data that is cut short.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ZipEntrySpec {
  std::string name;  // bytes as stored in the archive
  std::string data;
  bool folder = false;  // stored with method 0, no data, directory attribute
  uint32_t attributes = 0;  // external attributes; 0 means archive (files) or directory (folders)
  uint16_t flags = 0;       // general purpose flags (bit 11: name is UTF-8)

  // Damage. Each replaces what the directory and the local header declare.
  std::optional<uint32_t> declaredCrc;
  std::optional<uint32_t> declaredSize;  // uncompressed size
  std::optional<uint16_t> declaredMethod;
  size_t cutCompressedBytes = 0;  // removed from the end of the deflated data (sizes adjusted)

  static ZipEntrySpec File(std::string name, std::string data) {
    ZipEntrySpec spec;
    spec.name = std::move(name);
    spec.data = std::move(data);
    return spec;
  }
  static ZipEntrySpec Folder(std::string name) {
    ZipEntrySpec spec;
    spec.name = std::move(name);
    spec.folder = true;
    return spec;
  }
};

// A complete archive: local headers with their data, the central directory, the end record.
std::string BuildZip(const std::vector<ZipEntrySpec>& entries);

// Bytes that deflate cannot shrink, the same for the same seed.
std::string NoiseBytes(size_t size, uint32_t seed);
