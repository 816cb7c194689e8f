#include "tools/pack_payload/folder_package.h"

#include <zip.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <string>

#include "tools/common/text_convert.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned long kDosDirectory = 0x10;
constexpr unsigned long kDosArchive = 0x20;

struct FolderEntry {
  PackageEntry entry;
  fs::path source;
};

// ZIP entries hold a DOS date and time, which cannot go before 1980 or past 2107.
tm_zip EntryTime(int64_t seconds) {
  constexpr int64_t kLatest = 4354819199;  // 2107-12-31 23:59:59
  time_t when = static_cast<time_t>(std::clamp(seconds, kEarliestEntryTime, kLatest));
  struct tm utc{};
  gmtime_r(&when, &utc);
  tm_zip result{};
  result.tm_sec = static_cast<uInt>(utc.tm_sec);
  result.tm_min = static_cast<uInt>(utc.tm_min);
  result.tm_hour = static_cast<uInt>(utc.tm_hour);
  result.tm_mday = static_cast<uInt>(utc.tm_mday);
  result.tm_mon = static_cast<uInt>(utc.tm_mon);
  result.tm_year = static_cast<uInt>(utc.tm_year + 1900);
  return result;
}

// Folders first, each before its contents; names sorted by their bytes.
void ListTree(const fs::path& root, const fs::path& folder, std::vector<FolderEntry>& entries) {
  std::vector<fs::directory_entry> children{fs::directory_iterator(folder), fs::directory_iterator()};
  std::sort(children.begin(), children.end(),
            [](const auto& a, const auto& b) { return a.path().filename().native() < b.path().filename().native(); });
  for (const fs::directory_entry& child : children) {
    // Lexically: the name as listed, even for a symbolic link.
    const std::string relative = child.path().lexically_relative(root).generic_string();
    const fs::file_status status = child.symlink_status();
    if (fs::is_directory(status)) {
      entries.push_back({{relative + "/", true, 0}, child.path()});
      ListTree(root, child.path(), entries);
    } else if (fs::is_regular_file(status)) {
      entries.push_back({{relative, false, child.file_size()}, child.path()});
    } else {
      throw PackageRefused("\"" + relative + "\": " +
                           (fs::is_symlink(status) ? "is a symbolic link" : "is neither a file nor a folder") +
                           "; a package holds only files and folders");
    }
  }
}

void AddEntry(zipFile zip, const FolderEntry& item, const tm_zip& time) {
  const bool folder = item.entry.folder;
  zip_fileinfo info{};
  info.tmz_date = time;
  info.external_fa = folder ? kDosDirectory : kDosArchive;
  const std::string gbkName = GbkFromUtf8(item.entry.name);
  // Made by MS-DOS (0), so the external attributes are read as Windows file attributes.
  int status = zipOpenNewFileInZip4_64(zip, gbkName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       folder ? 0 : Z_DEFLATED, folder ? 0 : 9, 0, -MAX_WBITS, 8,
                                       Z_DEFAULT_STRATEGY, nullptr, 0, 0, 0, 0);
  if (status != ZIP_OK) throw std::runtime_error("cannot add " + item.source.string());
  if (!folder) {
    std::ifstream in(item.source, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + item.source.string());
    std::vector<char> buffer(1 << 16);
    uint64_t total = 0;
    while (in) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      std::streamsize got = in.gcount();
      total += static_cast<uint64_t>(got);
      if (got > 0 && zipWriteInFileInZip(zip, buffer.data(), static_cast<unsigned>(got)) != ZIP_OK)
        throw std::runtime_error("cannot write " + item.source.string());
    }
    if (total != item.entry.size) throw std::runtime_error(item.source.string() + " changed while it was packed");
  }
  if (zipCloseFileInZip(zip) != ZIP_OK) throw std::runtime_error("cannot finish " + item.source.string());
}

}  // namespace

std::vector<PackageEntry> PackFolder(const fs::path& folder, const fs::path& out, const FolderPackOptions& options) {
  if (!fs::is_directory(folder)) throw PackageRefused("no such folder: " + folder.string());
  std::vector<FolderEntry> items;
  ListTree(folder, folder, items);

  if (items.size() > kMaxEntries) {
    throw PackageRefused("the package holds " + GroupedNumber(items.size()) + " entries; without ZIP64 an archive holds at most " +
                         GroupedNumber(kMaxEntries));
  }
  PackageNames names;
  std::vector<PackageEntry> entries;
  for (const FolderEntry& item : items) {
    if (std::string problem = EntryNameProblem(item.entry.name); !problem.empty())
      throw PackageRefused("\"" + item.entry.name + "\": " + problem);
    if (item.entry.size > kMaxEntrySize) {
      throw PackageRefused("\"" + item.entry.name + "\": is " + GroupedNumber(item.entry.size) +
                           " bytes; an entry of 4 GiB or more needs ZIP64, which the installer's package does not use");
    }
    names.Add(item.entry);
    entries.push_back(item.entry);
  }
  names.RequireInstallerEntries("the package folder");

  const fs::path temporary = out.string() + ".part";
  const tm_zip time = EntryTime(options.entryTime);
  zipFile zip = zipOpen64(temporary.c_str(), APPEND_STATUS_CREATE);
  if (!zip) throw std::runtime_error("cannot create " + temporary.string());
  try {
    for (const FolderEntry& item : items) AddEntry(zip, item, time);
    if (zipClose(zip, nullptr) != ZIP_OK) throw std::runtime_error("cannot finish " + temporary.string());
    zip = nullptr;
    RequireCarriableSize("the package", fs::file_size(temporary), options.limit);
  } catch (...) {
    if (zip) zipClose(zip, nullptr);
    fs::remove(temporary);
    throw;
  }
  fs::rename(temporary, out);
  return entries;
}
