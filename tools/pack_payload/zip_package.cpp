#include "tools/pack_payload/zip_package.h"

#include <unzip.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tools/common/text_convert.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kLocalHeader = 0x04034B50;
constexpr uint32_t kCentralHeader = 0x02014B50;
constexpr uint32_t kEndOfDirectory = 0x06054B50;
constexpr uint32_t kZip64Locator = 0x07064B50;
constexpr uint32_t kDescriptor = 0x08074B50;
constexpr uint16_t kZip64Extra = 0x0001;
constexpr uint16_t kFlagEncrypted = 1u << 0;
constexpr uint16_t kFlagDescriptor = 1u << 3;
constexpr uint16_t kFlagUtf8 = 1u << 11;
constexpr uint32_t kDosDirectory = 0x10;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;

uint16_t Le16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
uint32_t Le32(const std::string& b, size_t at) { return Le16(b, at) | static_cast<uint32_t>(Le16(b, at + 2)) << 16; }

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

// A name's bytes as they are, with every byte outside printable ASCII written "\xNN".
std::string Printable(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      text += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      text += escaped;
    }
  }
  return text;
}

// Reads byte ranges of the archive; a range past its end is a damaged archive.
class ArchiveFile {
 public:
  explicit ArchiveFile(const fs::path& path) : in_(path, std::ios::binary), size_(fs::file_size(path)) {
    if (!in_) throw PackageRefused("cannot read " + path.string());
  }
  uint64_t size() const { return size_; }
  std::string Read(uint64_t offset, uint64_t length, const char* what) {
    if (offset > size_ || length > size_ - offset) throw PackageRefused(std::string(what) + " lies past the end of the archive");
    std::string bytes(length, '\0');
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(bytes.data(), static_cast<std::streamsize>(length));
    if (static_cast<uint64_t>(in_.gcount()) != length) throw PackageRefused(std::string("cannot read ") + what);
    return bytes;
  }

 private:
  std::ifstream in_;
  uint64_t size_;
};

// What the central directory says about one entry.
struct CentralEntry {
  std::string rawName;  // code page 936 bytes as stored
  std::string name;     // UTF-8
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t crc = 0;
  uint32_t packed = 0;
  uint32_t size = 0;
  uint32_t attributes = 0;
  uint32_t localOffset = 0;
  bool folder = false;
};

bool HasZip64Field(const std::string& extra) {
  for (size_t at = 0; at + 4 <= extra.size();) {
    if (Le16(extra, at) == kZip64Extra) return true;
    at += 4 + Le16(extra, at + 2);
  }
  return false;
}

const char* const kZip64Refusal = "uses ZIP64, which the installer's package does not use";

// The end-of-central-directory record: the last signature whose comment reaches the archive's end.
size_t FindEndRecord(ArchiveFile& file, std::string& tail) {
  const uint64_t length = std::min<uint64_t>(file.size(), 0xFFFF + kEndRecordSize);
  tail = file.Read(file.size() - length, length, "the end of the archive");
  for (size_t at = tail.size() >= kEndRecordSize ? tail.size() - kEndRecordSize + 1 : 0; at-- > 0;) {
    if (Le32(tail, at) == kEndOfDirectory && at + kEndRecordSize + Le16(tail, at + 20) <= tail.size()) return at;
  }
  throw PackageRefused("the archive has no end-of-central-directory record: it is not a ZIP archive, or it is cut short");
}

std::vector<CentralEntry> ReadCentralDirectory(ArchiveFile& file) {
  std::string tail;
  const size_t end = FindEndRecord(file, tail);
  const uint64_t endOffset = file.size() - tail.size() + end;
  if (end >= 20 && Le32(tail, end - 20) == kZip64Locator) throw PackageRefused(std::string("the archive ") + kZip64Refusal);
  const uint16_t entriesHere = Le16(tail, end + 8), entries = Le16(tail, end + 10);
  const uint32_t directorySize = Le32(tail, end + 12), directoryOffset = Le32(tail, end + 16);
  if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF)
    throw PackageRefused(std::string("the archive ") + kZip64Refusal);
  if (Le16(tail, end + 4) != 0 || Le16(tail, end + 6) != 0 || entriesHere != entries)
    throw PackageRefused("the archive spans several disks");
  if (uint64_t{directoryOffset} + directorySize > endOffset)
    throw PackageRefused("the central directory lies past its end record: the archive is damaged");

  const std::string directory = file.Read(directoryOffset, directorySize, "the central directory");
  std::vector<CentralEntry> result;
  size_t at = 0;
  for (uint16_t index = 0; index < entries; ++index) {
    if (at + kCentralSize > directory.size() || Le32(directory, at) != kCentralHeader)
      throw PackageRefused("the central directory is damaged at entry " + std::to_string(index + 1));
    CentralEntry entry;
    entry.flags = Le16(directory, at + 8);
    entry.method = Le16(directory, at + 10);
    entry.crc = Le32(directory, at + 16);
    entry.packed = Le32(directory, at + 20);
    entry.size = Le32(directory, at + 24);
    const size_t nameLength = Le16(directory, at + 28), extraLength = Le16(directory, at + 30),
                 commentLength = Le16(directory, at + 32);
    entry.attributes = Le32(directory, at + 38);
    entry.localOffset = Le32(directory, at + 42);
    if (at + kCentralSize + nameLength + extraLength + commentLength > directory.size())
      throw PackageRefused("the central directory is damaged at entry " + std::to_string(index + 1));
    entry.rawName = directory.substr(at + kCentralSize, nameLength);
    const std::string extra = directory.substr(at + kCentralSize + nameLength, extraLength);
    at += kCentralSize + nameLength + extraLength + commentLength;

    const std::string label = "entry " + std::to_string(index + 1) + " (\"" + Printable(entry.rawName) + "\")";
    if (entry.flags & kFlagUtf8)
      throw PackageRefused(label + ": its name is marked UTF-8; the installer's names are code page 936 (GBK)");
    try {
      entry.name = Utf8FromGbk(entry.rawName);
    } catch (const TextConversionError&) {
      throw PackageRefused(label + ": its name is not valid code page 936 (GBK)");
    }
    const std::string quoted = "\"" + entry.name + "\": ";
    if (HasZip64Field(extra) || entry.packed == 0xFFFFFFFF || entry.size == 0xFFFFFFFF ||
        entry.localOffset == 0xFFFFFFFF)
      throw PackageRefused(quoted + kZip64Refusal);
    if (entry.flags & kFlagEncrypted) throw PackageRefused(quoted + "is encrypted; the installer cannot decrypt it");
    if (entry.method != 0 && entry.method != Z_DEFLATED) {
      throw PackageRefused(quoted + "uses compression method " + std::to_string(entry.method) +
                           "; the installer inflates only deflated (8) and stored (0) entries");
    }
    // The installer takes an entry for a folder by either sign.
    entry.folder = (entry.attributes & kDosDirectory) || (!entry.name.empty() && entry.name.back() == '/');
    if (entry.folder && entry.size != 0)
      throw PackageRefused(quoted + "is a folder entry that holds " + GroupedNumber(entry.size) + " bytes of data");
    result.push_back(entry);
  }
  if (at != directory.size()) throw PackageRefused("the central directory holds more than its end record counts");
  return result;
}

// The local header must agree with the central directory; where the sizes and CRC follow the data
// in a descriptor instead, the descriptor must.
void CheckLocalRecords(ArchiveFile& file, const CentralEntry& entry) {
  const std::string quoted = "\"" + entry.name + "\": ";
  const std::string header = file.Read(entry.localOffset, kLocalSize, "a local header");
  if (Le32(header, 0) != kLocalHeader) throw PackageRefused(quoted + "its local header is missing");
  const size_t nameLength = Le16(header, 26), extraLength = Le16(header, 28);
  const std::string names = file.Read(entry.localOffset + kLocalSize, nameLength + extraLength, "a local header");
  if (names.substr(0, nameLength) != entry.rawName)
    throw PackageRefused(quoted + "its local header names another entry");
  if (HasZip64Field(names.substr(nameLength))) throw PackageRefused(quoted + kZip64Refusal);
  if (Le16(header, 8) != entry.method) throw PackageRefused(quoted + "its local header names another compression method");
  auto says = [](uint32_t crc, uint32_t packed, uint32_t size) {
    return "CRC " + Hex(crc) + ", " + GroupedNumber(packed) + " bytes packed, " + GroupedNumber(size) + " unpacked";
  };
  const std::string central = says(entry.crc, entry.packed, entry.size);
  if (!(Le16(header, 6) & kFlagDescriptor)) {
    const std::string local = says(Le32(header, 14), Le32(header, 18), Le32(header, 22));
    if (local != central)
      throw PackageRefused(quoted + "its local header says " + local + "; the central directory says " + central);
    return;
  }
  const uint64_t dataEnd = entry.localOffset + kLocalSize + nameLength + extraLength + uint64_t{entry.packed};
  const std::string descriptor = file.Read(dataEnd, std::min<uint64_t>(16, file.size() - std::min(file.size(), dataEnd)),
                                           "a data descriptor");
  auto describedAt = [&](size_t at) {
    return at + 12 <= descriptor.size() ? says(Le32(descriptor, at), Le32(descriptor, at + 4), Le32(descriptor, at + 8))
                                        : std::string("nothing");
  };
  // The descriptor's signature is optional.
  const std::string unsigned_ = describedAt(0);
  const std::string signed_ = descriptor.size() >= 4 && Le32(descriptor, 0) == kDescriptor ? describedAt(4) : std::string();
  if (unsigned_ != central && signed_ != central)
    throw PackageRefused(quoted + "its data descriptor says " + (signed_.empty() ? unsigned_ : signed_) +
                         "; the central directory says " + central);
}

// Owner of an archive opened with the installer's reader.
class UnzipReader {
 public:
  explicit UnzipReader(const fs::path& path) : handle_(unzOpen64(path.c_str())) {
    if (!handle_) throw PackageRefused("the archive cannot be opened as a ZIP archive");
  }
  UnzipReader(const UnzipReader&) = delete;
  UnzipReader& operator=(const UnzipReader&) = delete;
  ~UnzipReader() { unzClose(handle_); }
  unzFile get() const { return handle_; }

 private:
  unzFile handle_;
};

// Inflates every file entry as the installer will, checking its size and CRC.
void InflateEverything(const fs::path& archive, const std::vector<CentralEntry>& entries) {
  UnzipReader zip(archive);
  std::vector<char> chunk(1 << 16);
  int status = unzGoToFirstFile(zip.get());
  for (const CentralEntry& entry : entries) {
    const std::string quoted = "\"" + entry.name + "\": ";
    if (status != UNZ_OK) throw PackageRefused(quoted + "the installer's reader does not reach this entry");
    if (entry.folder) {
      status = unzGoToNextFile(zip.get());
      continue;
    }
    if (unzOpenCurrentFile(zip.get()) != UNZ_OK) throw PackageRefused(quoted + "the installer's reader cannot open it");
    uint64_t total = 0;
    int read = 0;
    while ((read = unzReadCurrentFile(zip.get(), chunk.data(), static_cast<unsigned>(chunk.size()))) > 0)
      total += static_cast<uint64_t>(read);
    const int closed = unzCloseCurrentFile(zip.get());
    if (read < 0) throw PackageRefused(quoted + "its data is damaged: it does not inflate");
    if (total != entry.size) {
      throw PackageRefused(quoted + "inflates to " + GroupedNumber(total) + " bytes; the directory says " +
                           GroupedNumber(entry.size));
    }
    if (closed == UNZ_CRCERROR) throw PackageRefused(quoted + "its data fails its CRC check: it is damaged");
    if (closed != UNZ_OK) throw PackageRefused(quoted + "the installer's reader cannot finish it");
    status = unzGoToNextFile(zip.get());
  }
  if (status != UNZ_END_OF_LIST_OF_FILE) throw PackageRefused("the installer's reader finds more entries than the directory lists");
}

}  // namespace

std::vector<PackageEntry> CheckVendorZip(const fs::path& archive, uint64_t limit) {
  if (!fs::is_regular_file(archive)) throw PackageRefused("no such file");
  ArchiveFile file(archive);
  RequireCarriableSize("the archive", file.size(), limit);
  // The installer reads the first local header itself before it opens the archive: an archive
  // behind a stub (a self-extractor) or one that begins with anything else is refused there.
  const std::string head = file.Read(0, std::min<uint64_t>(32, file.size()), "the first local header");
  if (head.size() < 32 || Le32(head, 0) != kLocalHeader || Le32(head, 24) < 1)
    throw PackageRefused("the archive does not begin with a ZIP local file header");

  std::vector<CentralEntry> central = ReadCentralDirectory(file);
  PackageNames names;
  std::vector<PackageEntry> entries;
  std::set<std::string> folders;
  for (CentralEntry& entry : central) {
    if (entry.folder && entry.name.back() != '/') entry.name += '/';
    const std::string quoted = "\"" + entry.name + "\": ";
    if (std::string problem = EntryNameProblem(entry.name); !problem.empty()) throw PackageRefused(quoted + problem);
    const PackageEntry packageEntry{entry.name, entry.folder, entry.size};
    names.Add(packageEntry);
    // The installer creates no folder for a file: each one must come after its folder's entry.
    const std::string parent =
        entry.name.substr(0, entry.name.find_last_of('/', entry.folder ? entry.name.size() - 2 : std::string::npos) + 1);
    if (!parent.empty() && !folders.count(parent))
      throw PackageRefused(quoted + "comes before its folder entry \"" + parent + "\"");
    if (entry.folder) folders.insert(entry.name);
    CheckLocalRecords(file, entry);
    entries.push_back(packageEntry);
  }
  names.RequireInstallerEntries("the archive");
  InflateEverything(archive, central);
  return entries;
}
