#include "tests/support/pe_image.h"

#include <algorithm>
#include <functional>
#include <set>

namespace pe {

namespace {

constexpr uint32_t kSectionCode = 0x00000020u;
constexpr uint32_t kSectionWritable = 0x80000000u;
constexpr size_t kDirectoryImport = 1;
constexpr size_t kDirectoryResource = 2;
constexpr size_t kDirectoryDelayImport = 13;
constexpr size_t kImportDescriptorSize = 20;
constexpr size_t kDelayDescriptorSize = 32;
constexpr size_t kMaxNameLength = 512;
constexpr size_t kMaxResourceDepth = 3;

// Little-endian reads from a span, each checked against its end.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool Fits(uint64_t offset, uint64_t size) const { return offset <= bytes_.size() && size <= bytes_.size() - offset; }
  std::optional<uint16_t> U16(uint64_t offset) const {
    if (!Fits(offset, 2)) return std::nullopt;
    return static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
  }
  std::optional<uint32_t> U32(uint64_t offset) const {
    if (!Fits(offset, 4)) return std::nullopt;
    return uint32_t{bytes_[offset]} | uint32_t{bytes_[offset + 1]} << 8 | uint32_t{bytes_[offset + 2]} << 16 |
           uint32_t{bytes_[offset + 3]} << 24;
  }
  std::optional<uint64_t> U64(uint64_t offset) const {
    auto low = U32(offset), high = U32(offset + 4);
    if (!low || !high) return std::nullopt;
    return uint64_t{*low} | uint64_t{*high} << 32;
  }
  // A pointer-sized table slot: 8 bytes in a PE32+ image, 4 in a PE32 one.
  std::optional<uint64_t> Slot(uint64_t offset, bool wide) const {
    if (wide) return U64(offset);
    auto value = U32(offset);
    if (!value) return std::nullopt;
    return uint64_t{*value};
  }
  size_t size() const { return bytes_.size(); }
  std::span<const uint8_t> Slice(uint64_t offset, uint64_t size) const {
    return bytes_.subspan(static_cast<size_t>(offset), static_cast<size_t>(size));
  }

 private:
  std::span<const uint8_t> bytes_;
};

bool IsFileNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.';
}

bool IsIdentifierCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '@' ||
         c == '?' || c == '$';
}

bool EndsWithDll(const std::string& name) {
  if (name.size() < 5) return false;
  std::string tail = name.substr(name.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return tail == ".dll";
}

// UTF-16LE units from `offset` to the first zero unit (not included), or nullopt when no zero unit
// comes before `end`.
std::optional<std::u16string> ZeroTerminatedUtf16(const Reader& reader, uint64_t offset, uint64_t end) {
  std::u16string text;
  for (uint64_t at = offset; at + 2 <= end; at += 2) {
    auto unit = reader.U16(at);
    if (!unit) return std::nullopt;
    if (*unit == 0) return text;
    text.push_back(static_cast<char16_t>(*unit));
  }
  return std::nullopt;
}

uint64_t AlignFour(uint64_t offset) { return (offset + 3) & ~uint64_t{3}; }

}  // namespace

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// ---- Headers and sections ----------------------------------------------------------------------

std::optional<Image> Image::Parse(std::span<const uint8_t> bytes, std::string& error) {
  const Reader reader(bytes);
  auto fail = [&](const char* why) -> std::optional<Image> {
    error = why;
    return std::nullopt;
  };
  if (reader.U16(0) != 0x5A4D) return fail("no MZ signature");
  const auto peOffset = reader.U32(0x3C);
  if (!peOffset || reader.U32(*peOffset) != 0x00004550) return fail("no PE signature");
  const uint64_t fileHeader = uint64_t{*peOffset} + 4;
  if (!reader.Fits(fileHeader, 20)) return fail("file header cut off");
  Image image;
  image.bytes_ = bytes;
  image.header_.machine = *reader.U16(fileHeader);
  const uint16_t sectionCount = *reader.U16(fileHeader + 2);
  const uint16_t optionalSize = *reader.U16(fileHeader + 16);
  image.header_.timeDateStamp = *reader.U32(fileHeader + 4);
  image.header_.characteristics = *reader.U16(fileHeader + 18);
  const uint64_t optional = fileHeader + 20;
  if (!reader.Fits(optional, optionalSize)) return fail("optional header cut off");
  const auto magic = reader.U16(optional);
  if (magic != 0x10B && magic != 0x20B) return fail("unknown optional header magic");
  image.header_.is64Bit = magic == 0x20B;
  const uint64_t directoryTable = optional + (image.header_.is64Bit ? 112 : 96);
  const uint64_t countField = optional + (image.header_.is64Bit ? 108 : 92);
  if (countField + 4 > optional + optionalSize) return fail("optional header too short");
  image.header_.majorOsVersion = *reader.U16(optional + 40);
  image.header_.minorOsVersion = *reader.U16(optional + 42);
  image.header_.majorSubsystemVersion = *reader.U16(optional + 48);
  image.header_.minorSubsystemVersion = *reader.U16(optional + 50);
  image.header_.sizeOfImage = *reader.U32(optional + 56);
  image.header_.imageBase = image.header_.is64Bit ? *reader.U64(optional + 24) : *reader.U32(optional + 28);
  image.header_.subsystem = *reader.U16(optional + 68);
  const uint32_t directoryCount = *reader.U32(countField);
  if (directoryCount > 16 || directoryTable + uint64_t{directoryCount} * 8 > optional + optionalSize) {
    return fail("data directory does not fit the optional header");
  }
  for (uint32_t i = 0; i < directoryCount; ++i) {
    image.directories_.push_back({*reader.U32(directoryTable + 8 * i), *reader.U32(directoryTable + 8 * i + 4)});
  }
  const uint64_t sectionTable = optional + optionalSize;
  if (!reader.Fits(sectionTable, uint64_t{sectionCount} * 40)) return fail("section table cut off");
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint64_t at = sectionTable + 40 * i;
    Section section{*reader.U32(at + 12), *reader.U32(at + 8), *reader.U32(at + 20), *reader.U32(at + 16),
                    *reader.U32(at + 36)};
    if (section.rawSize && !reader.Fits(section.rawOffset, section.rawSize)) return fail("section data cut off");
    image.sections_.push_back(section);
  }
  return image;
}

std::optional<uint64_t> Image::FileOffset(uint32_t rva) const {
  for (const Section& section : sections_) {
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.rawSize) {
      return uint64_t{section.rawOffset} + (rva - section.virtualAddress);
    }
  }
  return std::nullopt;
}

std::optional<std::span<const uint8_t>> Image::BytesAt(uint32_t rva, uint32_t size) const {
  for (const Section& section : sections_) {
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.rawSize &&
        size <= section.rawSize - (rva - section.virtualAddress)) {
      return Reader(bytes_).Slice(uint64_t{section.rawOffset} + (rva - section.virtualAddress), size);
    }
  }
  return std::nullopt;
}

bool Image::IsCode(uint64_t address) const {
  if (address < header_.imageBase || address - header_.imageBase > 0xFFFFFFFFu) return false;
  const uint64_t rva = address - header_.imageBase;
  for (const Section& section : sections_) {
    if (rva >= section.virtualAddress && rva - section.virtualAddress < section.virtualSize) {
      return (section.characteristics & kSectionCode) != 0;
    }
  }
  return false;
}

bool Image::IsWritable(uint32_t rva) const {
  for (const Section& section : sections_) {
    const uint32_t extent = std::max(section.virtualSize, section.rawSize);
    if (rva >= section.virtualAddress && rva - section.virtualAddress < extent) {
      return (section.characteristics & kSectionWritable) != 0;
    }
  }
  return false;
}

std::optional<std::string> Image::NameAt(uint32_t rva, size_t maxLength) const {
  const auto offset = FileOffset(rva);
  if (!offset) return std::nullopt;
  const Reader reader(bytes_);
  std::string name;
  for (uint64_t at = *offset; reader.Fits(at, 1); ++at) {
    const char c = static_cast<char>(bytes_[at]);
    if (c == '\0') return name;
    if (name.size() == maxLength) return std::nullopt;
    name += c;
  }
  return std::nullopt;
}

// ---- Imports -----------------------------------------------------------------------------------

std::optional<std::vector<Import>> Image::ThunkNames(const std::string& dll, uint32_t tableRva, bool delayLoaded,
                                                     std::string& error) const {
  const Reader reader(bytes_);
  const uint32_t width = header_.is64Bit ? 8 : 4;
  const uint64_t ordinalFlag = header_.is64Bit ? uint64_t{1} << 63 : uint64_t{1} << 31;
  auto table = FileOffset(tableRva);
  if (!table) {
    error = dll + ": name table outside the file";
    return std::nullopt;
  }
  std::vector<Import> functions;
  for (uint64_t at = *table;; at += width) {
    const auto entry = reader.Slot(at, header_.is64Bit);
    if (!entry) {
      error = dll + ": name table runs past the end of the file";
      return std::nullopt;
    }
    if (*entry == 0) return functions;
    Import import{dll, std::string(), 0, delayLoaded};
    if (*entry & ordinalFlag) {
      if ((*entry & ~ordinalFlag) > 0xFFFF) {
        error = dll + ": ordinal entry with stray bits";
        return std::nullopt;
      }
      import.ordinal = static_cast<uint16_t>(*entry);
    } else {
      if (*entry > 0xFFFFFFFFu) {
        error = dll + ": name entry beyond 32 bits";
        return std::nullopt;
      }
      auto name = NameAt(static_cast<uint32_t>(*entry) + 2, kMaxNameLength);  // after the 2-byte hint
      if (!name || name->empty() || !std::all_of(name->begin(), name->end(), IsIdentifierCharacter)) {
        error = dll + ": a hint/name entry is not a function name";
        return std::nullopt;
      }
      import.function = *name;
    }
    functions.push_back(std::move(import));
    if (functions.size() > bytes_.size() / width) {
      error = dll + ": name table without end";
      return std::nullopt;
    }
  }
}

std::optional<std::vector<Import>> Image::Imports(std::string& error) const {
  std::vector<Import> imports;
  if (directories_.size() <= kDirectoryImport || directories_[kDirectoryImport].rva == 0) return imports;
  const Reader reader(bytes_);
  auto offset = FileOffset(directories_[kDirectoryImport].rva);
  if (!offset) {
    error = "import directory outside the file";
    return std::nullopt;
  }
  for (uint64_t at = *offset;; at += kImportDescriptorSize) {
    if (!reader.Fits(at, kImportDescriptorSize)) {
      error = "import directory runs past the end of the file";
      return std::nullopt;
    }
    const uint32_t nameTable = *reader.U32(at), nameRva = *reader.U32(at + 12), addressTable = *reader.U32(at + 16);
    if (nameRva == 0 && addressTable == 0) return imports;
    auto dll = NameAt(nameRva, kMaxNameLength);
    if (!dll || dll->empty()) {
      error = "an import descriptor names no DLL";
      return std::nullopt;
    }
    // Without a name table the address table holds the names until the loader binds it.
    auto functions = ThunkNames(*dll, nameTable ? nameTable : addressTable, false, error);
    if (!functions) return std::nullopt;
    imports.insert(imports.end(), functions->begin(), functions->end());
  }
}

std::optional<DelayDescriptor> Image::DescriptorAt(uint32_t rva, std::string& error) const {
  const auto offset = FileOffset(rva);
  const Reader reader(bytes_);
  if (!offset || !reader.Fits(*offset, kDelayDescriptorSize)) {
    error = "delay-import descriptor outside the file";
    return std::nullopt;
  }
  const uint32_t attributes = *reader.U32(*offset), nameRva = *reader.U32(*offset + 4),
                 moduleRva = *reader.U32(*offset + 8), addressTable = *reader.U32(*offset + 12),
                 nameTable = *reader.U32(*offset + 16), timeStamp = *reader.U32(*offset + 28);
  const uint32_t limit = header_.sizeOfImage;
  if (attributes != 1 || timeStamp != 0 || !nameRva || !moduleRva || !addressTable || !nameTable ||
      nameRva >= limit || moduleRva >= limit || addressTable >= limit || nameTable >= limit) {
    error = "not a delay-import descriptor";
    return std::nullopt;
  }
  auto dll = NameAt(nameRva, 64);
  if (!dll || !EndsWithDll(*dll) || !std::all_of(dll->begin(), dll->end(), IsFileNameCharacter)) {
    error = "a delay-import descriptor names no DLL";
    return std::nullopt;
  }
  if (!IsWritable(moduleRva)) {
    error = *dll + ": module handle slot is not writable";
    return std::nullopt;
  }
  auto functions = ThunkNames(*dll, nameTable, true, error);
  if (!functions) return std::nullopt;
  // The address table runs beside the name table, one slot per function. Its slots are read as
  // they are, not judged here: what they must hold is the caller's question.
  const uint32_t width = header_.is64Bit ? 8 : 4;
  auto slots = FileOffset(addressTable);
  std::vector<uint64_t> initialSlots;
  for (size_t i = 0; slots && i < functions->size(); ++i) {
    const auto slot = reader.Slot(*slots + i * width, header_.is64Bit);
    if (!slot) break;
    initialSlots.push_back(*slot);
  }
  if (initialSlots.size() != functions->size()) {
    error = *dll + ": address table outside the file";
    return std::nullopt;
  }
  return DelayDescriptor{*dll, rva, false, std::move(*functions), std::move(initialSlots)};
}

std::optional<std::vector<DelayDescriptor>> Image::DelayDescriptors(std::string& error) const {
  std::vector<DelayDescriptor> descriptors;
  std::set<uint32_t> seen;
  if (directories_.size() > kDirectoryDelayImport && directories_[kDirectoryDelayImport].rva != 0) {
    for (uint32_t rva = directories_[kDirectoryDelayImport].rva;; rva += kDelayDescriptorSize) {
      auto bytes = BytesAt(rva, kDelayDescriptorSize);
      if (!bytes) {
        error = "delay-import directory runs past the end of the file";
        return std::nullopt;
      }
      if (std::all_of(bytes->begin(), bytes->end(), [](uint8_t b) { return b == 0; })) break;
      auto descriptor = DescriptorAt(rva, error);
      if (!descriptor) return std::nullopt;  // a listed descriptor must be sound
      descriptor->inDataDirectory = true;
      seen.insert(rva);
      descriptors.push_back(std::move(*descriptor));
    }
  }
  const Reader reader(bytes_);
  for (const Section& section : sections_) {
    for (uint32_t at = 0; section.rawSize >= kDelayDescriptorSize && at <= section.rawSize - kDelayDescriptorSize;
         at += 4) {
      // Cheap tests first: the attributes word and the time stamp.
      if (reader.U32(uint64_t{section.rawOffset} + at) != 1u ||
          reader.U32(uint64_t{section.rawOffset} + at + 28) != 0u) {
        continue;
      }
      const uint32_t rva = section.virtualAddress + at;
      if (seen.count(rva)) continue;
      std::string ignored;
      if (auto descriptor = DescriptorAt(rva, ignored)) descriptors.push_back(std::move(*descriptor));
    }
  }
  return descriptors;
}

// ---- Resources ---------------------------------------------------------------------------------

template <typename Visit>
bool Image::WalkResources(Visit&& visit, std::string& error) const {
  if (directories_.size() <= kDirectoryResource || directories_[kDirectoryResource].rva == 0) return true;
  const uint32_t base = directories_[kDirectoryResource].rva;
  const Reader reader(bytes_);
  auto root = FileOffset(base);
  if (!root) {
    error = "resource directory outside the file";
    return false;
  }
  // Offsets inside the tree are relative to its start; directories_ gives its size.
  const uint32_t treeSize = directories_[kDirectoryResource].size;
  struct Level {
    uint32_t id;
    std::u16string name;
  };
  std::vector<Level> path;
  std::set<uint32_t> visited;
  auto nameAt = [&](uint32_t relative) -> std::optional<std::u16string> {
    if (relative >= treeSize) return std::nullopt;
    auto length = reader.U16(*root + relative);
    if (!length || relative + 2 + uint64_t{*length} * 2 > treeSize) return std::nullopt;
    std::u16string name;
    for (uint32_t i = 0; i < *length; ++i) name.push_back(static_cast<char16_t>(*reader.U16(*root + relative + 2 + 2 * i)));
    return name;
  };
  std::function<bool(uint32_t)> walk = [&](uint32_t relative) -> bool {
    if (relative + uint64_t{16} > treeSize || !reader.Fits(*root + relative, 16)) {
      error = "resource directory table outside the tree";
      return false;
    }
    if (!visited.insert(relative).second) {
      error = "resource directory tables form a loop";
      return false;
    }
    const uint64_t table = *root + relative;
    visit.Table(*reader.U32(table + 4));
    const uint32_t entries = uint32_t{*reader.U16(table + 12)} + *reader.U16(table + 14);
    if (relative + 16 + uint64_t{entries} * 8 > treeSize) {
      error = "resource directory entries outside the tree";
      return false;
    }
    for (uint32_t i = 0; i < entries; ++i) {
      const uint32_t nameField = *reader.U32(table + 16 + 8 * i), target = *reader.U32(table + 20 + 8 * i);
      Level level{0, {}};
      if (nameField & 0x80000000u) {
        auto name = nameAt(nameField & 0x7FFFFFFFu);
        if (!name) {
          error = "resource name outside the tree";
          return false;
        }
        level.name = *name;
      } else {
        level.id = nameField;
      }
      path.push_back(level);
      bool ok;
      if ((target & 0x80000000u) && path.size() < kMaxResourceDepth) {
        ok = walk(target & 0x7FFFFFFFu);
      } else if (target & 0x80000000u) {
        ok = false;
        error = "resource tree too deep";
      } else if (path.size() != kMaxResourceDepth) {
        ok = false;
        error = "resource data above the language level";
      } else if (uint64_t{target} + 16 > treeSize) {
        ok = false;
        error = "resource data entry outside the tree";
      } else {
        const uint32_t dataRva = *reader.U32(*root + target), dataSize = *reader.U32(*root + target + 4);
        auto data = BytesAt(dataRva, dataSize);
        if (!data) {
          ok = false;
          error = "resource data outside the file";
        } else {
          Resource resource;
          resource.type = path[0].id;
          resource.typeName = path[0].name;
          resource.id = path[1].id;
          resource.name = path[1].name;
          resource.language = path[2].id;
          resource.data.assign(data->begin(), data->end());
          visit.Data(std::move(resource));
          ok = true;
        }
      }
      path.pop_back();
      if (!ok) return false;
    }
    return true;
  };
  return walk(0);
}

std::optional<std::vector<Resource>> Image::Resources(std::string& error) const {
  struct Collect {
    std::vector<Resource> resources;
    void Table(uint32_t) {}
    void Data(Resource resource) { resources.push_back(std::move(resource)); }
  } collect;
  if (!WalkResources(collect, error)) return std::nullopt;
  return std::move(collect.resources);
}

std::optional<std::vector<uint32_t>> Image::ResourceTimeStamps(std::string& error) const {
  struct Collect {
    std::vector<uint32_t> stamps;
    void Table(uint32_t stamp) { stamps.push_back(stamp); }
    void Data(Resource) {}
  } collect;
  if (!WalkResources(collect, error)) return std::nullopt;
  return std::move(collect.stamps);
}

// ---- Resource formats --------------------------------------------------------------------------

std::optional<std::vector<IconGroupEntry>> ParseIconGroup(std::span<const uint8_t> data, std::string& error) {
  const Reader reader(data);
  if (reader.U16(0) != 0 || reader.U16(2) != 1) {
    error = "not an icon group";
    return std::nullopt;
  }
  const uint16_t count = *reader.U16(4);
  if (!reader.Fits(6, uint64_t{count} * 14)) {
    error = "icon group entries cut off";
    return std::nullopt;
  }
  std::vector<IconGroupEntry> entries;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t at = 6 + 14 * i;
    IconGroupEntry entry;
    entry.width = data[at] ? data[at] : 256;
    entry.height = data[at + 1] ? data[at + 1] : 256;
    entry.planes = *reader.U16(at + 4);
    entry.bitCount = *reader.U16(at + 6);
    entry.bytes = *reader.U32(at + 8);
    entry.iconId = *reader.U16(at + 12);
    entries.push_back(entry);
  }
  return entries;
}

std::optional<IconImage> ParseIconImage(std::span<const uint8_t> data, std::string& error) {
  static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const Reader reader(data);
  IconImage image;
  if (data.size() >= 24 && std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin())) {
    // The IHDR chunk comes first: length, "IHDR", then width and height, big-endian.
    if (data[12] != 'I' || data[13] != 'H' || data[14] != 'D' || data[15] != 'R') {
      error = "PNG icon without IHDR";
      return std::nullopt;
    }
    auto bigEndian = [&](size_t at) {
      return uint32_t{data[at]} << 24 | uint32_t{data[at + 1]} << 16 | uint32_t{data[at + 2]} << 8 | data[at + 3];
    };
    image.png = true;
    image.width = bigEndian(16);
    image.height = bigEndian(20);
    return image;
  }
  if (reader.U32(0) != 40u || !reader.Fits(0, 40)) {
    error = "icon image is neither PNG nor a BITMAPINFOHEADER";
    return std::nullopt;
  }
  image.width = *reader.U32(4);
  image.height = *reader.U32(8);
  image.bitCount = *reader.U16(14);
  return image;
}

namespace {

// One node of the version tree: wLength, wValueLength, wType, the key, the value, the children.
struct VersionNode {
  std::u16string key;
  uint16_t type = 0;
  std::span<const uint8_t> value;  // bytes, or UTF-16 units for a text value
  std::vector<VersionNode> children;
};

std::optional<VersionNode> ReadVersionNode(const Reader& reader, uint64_t offset, uint64_t end, int depth,
                                           std::string& error) {
  auto length = reader.U16(offset), valueLength = reader.U16(offset + 2), type = reader.U16(offset + 4);
  if (!length || !valueLength || !type || *length < 6 || offset + *length > end || depth > 4) {
    error = "version node does not fit its parent";
    return std::nullopt;
  }
  const uint64_t nodeEnd = offset + *length;
  VersionNode node;
  node.type = *type;
  auto key = ZeroTerminatedUtf16(reader, offset + 6, nodeEnd);
  if (!key) {
    error = "version node key without end";
    return std::nullopt;
  }
  node.key = *key;
  uint64_t at = AlignFour(offset + 6 + (key->size() + 1) * 2);
  const uint64_t valueBytes = *type == 1 ? uint64_t{*valueLength} * 2 : *valueLength;
  if (valueBytes) {
    if (at + valueBytes > nodeEnd) {
      // Some writers count a text value's bytes instead of its units: accept what fits.
      if (*type != 1 || at + *valueLength > nodeEnd) {
        error = "version value does not fit its node";
        return std::nullopt;
      }
      node.value = reader.Slice(at, nodeEnd - at);
    } else {
      node.value = reader.Slice(at, valueBytes);
    }
    at = AlignFour(at + node.value.size());
  }
  while (at + 6 <= nodeEnd) {
    auto child = ReadVersionNode(reader, at, nodeEnd, depth + 1, error);
    if (!child) return std::nullopt;
    const uint16_t childLength = *reader.U16(at);
    node.children.push_back(std::move(*child));
    at = AlignFour(at + childLength);
  }
  return node;
}

std::u16string TextValue(const VersionNode& node) {
  std::u16string text;
  for (size_t i = 0; i + 1 < node.value.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(node.value[i] | node.value[i + 1] << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

}  // namespace

std::optional<VersionInfo> ParseVersionInfo(std::span<const uint8_t> data, std::string& error) {
  const Reader reader(data);
  auto root = ReadVersionNode(reader, 0, data.size(), 0, error);
  if (!root) return std::nullopt;
  if (root->key != u"VS_VERSION_INFO" || root->value.size() < 52) {
    error = "no VS_VERSION_INFO with a fixed part";
    return std::nullopt;
  }
  const Reader fixed(root->value);
  if (fixed.U32(0) != 0xFEEF04BDu) {
    error = "fixed version part without its signature";
    return std::nullopt;
  }
  VersionInfo info;
  const uint32_t fileMs = *fixed.U32(8), fileLs = *fixed.U32(12), productMs = *fixed.U32(16),
                 productLs = *fixed.U32(20);
  info.fileVersion[0] = static_cast<uint16_t>(fileMs >> 16);
  info.fileVersion[1] = static_cast<uint16_t>(fileMs);
  info.fileVersion[2] = static_cast<uint16_t>(fileLs >> 16);
  info.fileVersion[3] = static_cast<uint16_t>(fileLs);
  info.productVersion[0] = static_cast<uint16_t>(productMs >> 16);
  info.productVersion[1] = static_cast<uint16_t>(productMs);
  info.productVersion[2] = static_cast<uint16_t>(productLs >> 16);
  info.productVersion[3] = static_cast<uint16_t>(productLs);
  info.fileDateMs = *fixed.U32(44);
  info.fileDateLs = *fixed.U32(48);
  for (const VersionNode& child : root->children) {
    if (child.key == u"StringFileInfo") {
      for (const VersionNode& table : child.children) {
        auto& strings = info.stringTables[table.key];
        for (const VersionNode& entry : table.children) strings[entry.key] = TextValue(entry);
      }
    } else if (child.key == u"VarFileInfo") {
      for (const VersionNode& var : child.children) {
        if (var.key != u"Translation") continue;
        const Reader pairs(var.value);
        for (size_t at = 0; at + 4 <= var.value.size(); at += 4) {
          info.translations.emplace_back(*pairs.U16(at), *pairs.U16(at + 2));
        }
      }
    }
  }
  return info;
}

}  // namespace pe
