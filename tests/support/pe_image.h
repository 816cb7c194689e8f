// A reader of Windows executable images (PE32 and PE32+), for tests that prove from a built
// program's bytes what it asks of the system: its header versions, every function it imports
// (at start and delay-loaded) and its resources (manifest, icons, version information).
//
// Pure logic: bytes in, records out; no Windows headers, so it builds for any host. The reader is
// strict: every offset, size and count is checked against the bytes before it is followed, and a
// structure that does not fit is refused with a reason rather than read past. It never allocates
// from a count it has not checked.
//
// Delay-loaded imports: the toolchain's delay-import libraries (dlltool --output-delaylib) put each
// DLL's descriptor into the code section and leave the delay-import entry of the data directory at
// 0, where the loader never looks anyway (the helper in the program reads the descriptor). So
// besides the data directory the reader searches every section for descriptors: a 32-byte record
// whose attributes word is 1 (addresses are RVAs) and whose time stamp is 0; whose DLL name is a
// plain file name ending in ".dll"; whose module-handle slot lies in a writable section; whose name
// table is zero-terminated, its entries valid hint/name entries or ordinals; and whose address
// table has a slot in the file for each of them. Data that passes all of that by chance is not
// met in practice.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pe {

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kFileLargeAddressAware = 0x0020;
constexpr uint16_t kSubsystemWindowsGui = 2;

constexpr uint32_t kResourceIcon = 3;
constexpr uint32_t kResourceGroupIcon = 14;
constexpr uint32_t kResourceVersion = 16;
constexpr uint32_t kResourceManifest = 24;

struct Header {
  uint16_t machine = 0;
  uint16_t characteristics = 0;
  uint32_t timeDateStamp = 0;  // of the file header
  bool is64Bit = false;
  uint16_t majorOsVersion = 0, minorOsVersion = 0;
  uint16_t majorSubsystemVersion = 0, minorSubsystemVersion = 0;
  uint16_t subsystem = 0;
  uint32_t sizeOfImage = 0;
  uint64_t imageBase = 0;
};

struct Import {
  std::string dll;       // as the image spells it
  std::string function;  // empty for an import by ordinal
  uint16_t ordinal = 0;  // the ordinal of an import by ordinal
  bool delayLoaded = false;
};

struct DelayDescriptor {
  std::string dll;
  uint32_t rva = 0;               // where the descriptor itself is
  bool inDataDirectory = false;   // listed by the delay-import entry of the data directory
  std::vector<Import> functions;
  // The address-table slot of each function as the file holds it: until the first call loads the
  // DLL, the address of a thunk in the program's code that calls the delay-load helper.
  std::vector<uint64_t> initialSlots;
};

struct Resource {
  uint32_t type = 0;      // numeric type (RT_*); 0 for a named type
  std::u16string typeName;
  uint32_t id = 0;        // numeric name; 0 for a named resource
  std::u16string name;
  uint32_t language = 0;
  std::vector<uint8_t> data;
};

class Image {
 public:
  // Reads the headers and the section table of `bytes`, which must outlive the Image. Empty, with
  // the reason in `error`, when they are not those of a PE image.
  static std::optional<Image> Parse(std::span<const uint8_t> bytes, std::string& error);

  const Header& header() const { return header_; }

  // The imports of the import directory (loaded with the program). Empty with `error` set when a
  // descriptor or a name does not fit the image.
  std::optional<std::vector<Import>> Imports(std::string& error) const;
  // The delay-import descriptors of the data directory and those found outside it (see above).
  std::optional<std::vector<DelayDescriptor>> DelayDescriptors(std::string& error) const;
  // Every resource of the resource directory, in directory order, with its bytes.
  std::optional<std::vector<Resource>> Resources(std::string& error) const;
  // The time stamps of every directory table of the resource tree (0 in a reproducible build).
  std::optional<std::vector<uint32_t>> ResourceTimeStamps(std::string& error) const;
  // Whether a virtual address (image base included) lies in a code section.
  bool IsCode(uint64_t address) const;
  // The bytes at `rva`, when all `size` of them lie in the file.
  std::optional<std::span<const uint8_t>> BytesAt(uint32_t rva, uint32_t size) const;

 private:
  struct Section {
    uint32_t virtualAddress, virtualSize, rawOffset, rawSize, characteristics;
  };
  struct DataDirectory {
    uint32_t rva, size;
  };

  std::optional<uint64_t> FileOffset(uint32_t rva) const;
  std::optional<std::string> NameAt(uint32_t rva, size_t maxLength) const;
  bool IsWritable(uint32_t rva) const;
  std::optional<std::vector<Import>> ThunkNames(const std::string& dll, uint32_t tableRva, bool delayLoaded,
                                                std::string& error) const;
  std::optional<DelayDescriptor> DescriptorAt(uint32_t rva, std::string& error) const;
  template <typename Visit>
  bool WalkResources(Visit&& visit, std::string& error) const;

  std::span<const uint8_t> bytes_;
  Header header_;
  std::vector<Section> sections_;
  std::vector<DataDirectory> directories_;
};

// ---- Resource formats ------------------------------------------------------------------------

// One image of an icon group (GRPICONDIR entry): 0 in the width or height byte means 256.
struct IconGroupEntry {
  uint32_t width = 0, height = 0;
  uint16_t planes = 0, bitCount = 0;
  uint32_t bytes = 0;
  uint16_t iconId = 0;  // the RT_ICON resource holding the image
};
std::optional<std::vector<IconGroupEntry>> ParseIconGroup(std::span<const uint8_t> data, std::string& error);

// The pixel size and form of one RT_ICON image: a PNG stream or a BITMAPINFOHEADER (whose height
// counts the colour and the mask rows, twice the icon's).
struct IconImage {
  bool png = false;
  uint32_t width = 0, height = 0;
  uint16_t bitCount = 0;  // of a bitmap image
};
std::optional<IconImage> ParseIconImage(std::span<const uint8_t> data, std::string& error);

// VS_VERSIONINFO: the fixed part and every string table and translation.
struct VersionInfo {
  uint16_t fileVersion[4] = {};
  uint16_t productVersion[4] = {};
  uint32_t fileDateMs = 0, fileDateLs = 0;
  std::map<std::u16string, std::map<std::u16string, std::u16string>> stringTables;  // by block key
  std::vector<std::pair<uint16_t, uint16_t>> translations;                         // language, code page
};
std::optional<VersionInfo> ParseVersionInfo(std::span<const uint8_t> data, std::string& error);

// UTF-16 text as UTF-8, for messages and comparisons.
std::string Utf8(const std::u16string& text);

}  // namespace pe
