#include "tests/installer/zip_builder.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr uint16_t kDosTime = (12 << 11) | (30 << 5);               // 12:30:00
constexpr uint16_t kDosDate = ((2015 - 1980) << 9) | (4 << 5) | 22;  // 22 April 2015
constexpr uint32_t kArchiveAttribute = 0x20;
constexpr uint32_t kDirectoryAttribute = 0x10;

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string RawDeflate(const std::string& data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  int status = deflate(&stream, Z_FINISH);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate failed");
  out.resize(stream.total_out);
  return out;
}

struct Header {
  uint16_t flags, method;
  uint32_t crc, compressedSize, size;
};

}  // namespace

std::string BuildZip(const std::vector<ZipEntrySpec>& entries) {
  std::string archive, directory;
  for (const ZipEntrySpec& entry : entries) {
    std::string stored = entry.folder ? std::string() : RawDeflate(entry.data);
    if (entry.cutCompressedBytes > 0) stored.resize(stored.size() - std::min(stored.size(), entry.cutCompressedBytes));
    Header header{};
    header.flags = entry.flags;
    header.method = entry.declaredMethod.value_or(entry.folder ? 0 : Z_DEFLATED);
    header.crc = entry.declaredCrc.value_or(
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size()))));
    header.compressedSize = static_cast<uint32_t>(stored.size());
    header.size = entry.declaredSize.value_or(static_cast<uint32_t>(entry.data.size()));
    const uint32_t offset = static_cast<uint32_t>(archive.size());

    Put32(archive, 0x04034B50);
    Put16(archive, 20);  // version needed: 2.0
    Put16(archive, header.flags);
    Put16(archive, header.method);
    Put16(archive, kDosTime);
    Put16(archive, kDosDate);
    Put32(archive, header.crc);
    Put32(archive, header.compressedSize);
    Put32(archive, header.size);
    Put16(archive, static_cast<uint32_t>(entry.name.size()));
    Put16(archive, 0);  // no extra field
    archive += entry.name;
    archive += stored;

    Put32(directory, 0x02014B50);
    Put16(directory, 20);  // made by MS-DOS, version 2.0: attributes are Windows attributes
    Put16(directory, 20);
    Put16(directory, header.flags);
    Put16(directory, header.method);
    Put16(directory, kDosTime);
    Put16(directory, kDosDate);
    Put32(directory, header.crc);
    Put32(directory, header.compressedSize);
    Put32(directory, header.size);
    Put16(directory, static_cast<uint32_t>(entry.name.size()));
    Put16(directory, 0);  // extra field
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, entry.attributes ? entry.attributes : (entry.folder ? kDirectoryAttribute : kArchiveAttribute));
    Put32(directory, offset);
    directory += entry.name;
  }
  const uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054B50);
  Put16(archive, 0);
  Put16(archive, 0);
  Put16(archive, static_cast<uint32_t>(entries.size()));
  Put16(archive, static_cast<uint32_t>(entries.size()));
  Put32(archive, static_cast<uint32_t>(directory.size()));
  Put32(archive, directoryOffset);
  Put16(archive, 0);  // no comment
  return archive;
}

std::string NoiseBytes(size_t size, uint32_t seed) {
  std::string out(size, '\0');
  uint32_t state = seed * 2654435761u + 1;
  for (char& c : out) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    c = static_cast<char>(state >> 24);
  }
  return out;
}
