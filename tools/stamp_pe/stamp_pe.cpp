// Sets every time a linked Windows program holds to one moment, so that the same sources and
// package give the same file on every build:
//
//   stamp_pe --time SECONDS FILE.exe
//
// SECONDS (since 1970, UTC; 0 for none) goes into the file header's TimeDateStamp and into the
// TimeDateStamp of every directory of the resource tree; then the optional header's CheckSum is
// computed anew over the changed file. The program must be linked with --no-insert-timestamp, so
// that the linker never writes the build machine's clock in the first place.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct BadImage : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Image {
 public:
  explicit Image(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  uint32_t Get32(size_t at) const {
    Need(at, 4);
    return bytes_[at] | bytes_[at + 1] << 8 | bytes_[at + 2] << 16 | uint32_t(bytes_[at + 3]) << 24;
  }
  uint16_t Get16(size_t at) const {
    Need(at, 2);
    return static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  void Put32(size_t at, uint32_t value) {
    Need(at, 4);
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(value >> (8 * i));
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  void Need(size_t at, size_t length) const {
    if (at > bytes_.size() || length > bytes_.size() - at) throw BadImage("a header lies past the end of the file");
  }
  std::vector<uint8_t> bytes_;
};

struct Layout {
  size_t fileHeader = 0;      // COFF file header
  size_t optionalHeader = 0;
  size_t checksum = 0;        // offset of the optional header's CheckSum
  size_t sections = 0;        // first section header
  unsigned sectionCount = 0;
  uint32_t resourceRva = 0;
  uint32_t resourceSize = 0;
};

Layout ReadLayout(const Image& image) {
  if (image.Get16(0) != 0x5A4D) throw BadImage("not an MZ executable");
  Layout layout;
  const size_t pe = image.Get32(0x3C);
  if (image.Get32(pe) != 0x00004550) throw BadImage("no PE signature");
  layout.fileHeader = pe + 4;
  layout.sectionCount = image.Get16(layout.fileHeader + 2);
  const size_t optionalSize = image.Get16(layout.fileHeader + 16);
  layout.optionalHeader = layout.fileHeader + 20;
  layout.sections = layout.optionalHeader + optionalSize;
  const uint16_t magic = image.Get16(layout.optionalHeader);
  if (magic != 0x10B && magic != 0x20B) throw BadImage("unknown optional header");
  layout.checksum = layout.optionalHeader + 64;
  const size_t directories = layout.optionalHeader + (magic == 0x10B ? 96 : 112);
  const uint32_t directoryCount = image.Get32(directories - 4);
  if (directoryCount > 2) {
    layout.resourceRva = image.Get32(directories + 2 * 8);
    layout.resourceSize = image.Get32(directories + 2 * 8 + 4);
  }
  return layout;
}

// The file offset of `rva`, through the section that holds it.
size_t FileOffset(const Image& image, const Layout& layout, uint32_t rva) {
  for (unsigned i = 0; i < layout.sectionCount; ++i) {
    const size_t section = layout.sections + i * 40;
    const uint32_t virtualAddress = image.Get32(section + 12);
    const uint32_t rawSize = image.Get32(section + 16);
    const uint32_t rawOffset = image.Get32(section + 20);
    if (rva >= virtualAddress && rva - virtualAddress < rawSize) return rawOffset + (rva - virtualAddress);
  }
  throw BadImage("the resource directory lies in no section");
}

// IMAGE_RESOURCE_DIRECTORY: Characteristics, TimeDateStamp, versions, then the counts of named and
// numbered entries; each entry's high bit marks a subdirectory (offset from the tree's start).
void StampResourceTree(Image& image, size_t root, uint32_t treeSize, uint32_t offset, uint32_t time,
                       std::set<uint32_t>& seen) {
  if (offset >= treeSize || !seen.insert(offset).second) throw BadImage("the resource tree is damaged");
  const size_t directory = root + offset;
  image.Put32(directory + 4, time);
  const unsigned entries = image.Get16(directory + 12) + image.Get16(directory + 14);
  for (unsigned i = 0; i < entries; ++i) {
    const uint32_t target = image.Get32(directory + 16 + i * 8 + 4);
    if (target & 0x80000000u) StampResourceTree(image, root, treeSize, target & 0x7FFFFFFFu, time, seen);
  }
}

// The image checksum: 16-bit words summed with end-around carry, the CheckSum field counted as 0,
// plus the file's length.
uint32_t ImageChecksum(const std::vector<uint8_t>& bytes, size_t checksumOffset) {
  uint64_t sum = 0;
  for (size_t at = 0; at < bytes.size(); at += 2) {
    if (at == checksumOffset || at == checksumOffset + 2) continue;
    uint32_t word = bytes[at] | (at + 1 < bytes.size() ? bytes[at + 1] << 8 : 0);
    sum += word;
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || std::string(argv[1]) != "--time" || std::string(argv[2]).empty() ||
      std::string(argv[2]).find_first_not_of("0123456789") != std::string::npos) {
    std::fprintf(stderr, "usage: stamp_pe --time SECONDS FILE.exe\n");
    return 2;
  }
  const std::string path = argv[3];
  try {
    const unsigned long long seconds = std::stoull(argv[2]);
    if (seconds > 0xFFFFFFFFull) throw std::runtime_error("a PE time stamp ends in 2106");
    const uint32_t time = static_cast<uint32_t>(seconds);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read the file");
    Image image(std::vector<uint8_t>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    in.close();

    const Layout layout = ReadLayout(image);
    image.Put32(layout.fileHeader + 4, time);
    if (layout.resourceRva != 0 && layout.resourceSize != 0) {
      std::set<uint32_t> seen;
      StampResourceTree(image, FileOffset(image, layout, layout.resourceRva), layout.resourceSize, 0, time, seen);
    }
    image.Put32(layout.checksum, ImageChecksum(image.bytes(), layout.checksum));

    const std::string temporary = path + ".stamp";
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(image.bytes().data()), static_cast<std::streamsize>(image.bytes().size()));
      if (!out) throw std::runtime_error("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) throw std::runtime_error("cannot replace the file");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "stamp_pe: %s: %s\n", path.c_str(), e.what());
    return 1;
  }
  return 0;
}
