// Builds the installer's application package: a ZIP archive in the form the installer extracts.
//
//   pack_payload --out package.zip --folder DIR   pack a folder
//   pack_payload --out package.zip --zip FILE     check a vendor's ready-made archive and copy it
//
// The archive the installer relies on: entry names are bytes of code page 936 (GBK) with "/" as
// separator and no UTF-8 flag; every folder is a stored entry whose name ends in "/", listed
// before the entries inside it; files are deflated. The package must hold the entries the install
// job uses: "Velmora.exe", "Uninstall.exe", "使用说明.txt" and "Auxiliary/Tarnlink.exe".
#include <sys/stat.h>
#include <zip.h>
#include <unzip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "installer/entry_name.h"
#include "tools/common/text_convert.h"

namespace fs = std::filesystem;

namespace {

// Names as the host's file system spells them (UTF-8).
const char* const kRequiredEntries[] = {"Velmora.exe", "Uninstall.exe", "使用说明.txt", "Auxiliary/Tarnlink.exe"};
constexpr unsigned long kDosDirectory = 0x10;
constexpr unsigned long kDosArchive = 0x20;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};



zip_fileinfo FileInfo(const fs::path& path, unsigned long attributes) {
  zip_fileinfo info{};
  struct stat st{};
  time_t when = (stat(path.c_str(), &st) == 0) ? st.st_mtime : time(nullptr);
  struct tm local{};
  localtime_r(&when, &local);
  info.tmz_date.tm_sec = local.tm_sec;
  info.tmz_date.tm_min = local.tm_min;
  info.tmz_date.tm_hour = local.tm_hour;
  info.tmz_date.tm_mday = local.tm_mday;
  info.tmz_date.tm_mon = local.tm_mon;
  info.tmz_date.tm_year = local.tm_year + 1900;
  info.external_fa = attributes;
  return info;
}

void AddEntry(zipFile zip, const std::string& gbkName, const fs::path& source, bool folder) {
  zip_fileinfo info = FileInfo(source, folder ? kDosDirectory : kDosArchive);
  // Made by MS-DOS (0), so the external attributes are read as Windows file attributes.
  int status = zipOpenNewFileInZip4_64(zip, gbkName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       folder ? 0 : Z_DEFLATED, folder ? 0 : 9, 0, -MAX_WBITS, 8,
                                       Z_DEFAULT_STRATEGY, nullptr, 0, 0, 0, 0);
  if (status != ZIP_OK) throw Failure("cannot add " + source.string());
  if (!folder) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw Failure("cannot read " + source.string());
    std::vector<char> buffer(1 << 16);
    while (in) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      std::streamsize got = in.gcount();
      if (got > 0 && zipWriteInFileInZip(zip, buffer.data(), static_cast<unsigned>(got)) != ZIP_OK)
        throw Failure("cannot write " + source.string());
    }
  }
  if (zipCloseFileInZip(zip) != ZIP_OK) throw Failure("cannot finish " + source.string());
}

// Folders first, each before its contents; names sorted so the archive is the same every build.
void AddTree(zipFile zip, const fs::path& root, const fs::path& folder, std::set<std::string>& names) {
  std::vector<fs::directory_entry> children{fs::directory_iterator(folder), fs::directory_iterator()};
  std::sort(children.begin(), children.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  for (const auto& child : children) {
    std::string relative = fs::relative(child.path(), root).generic_string();
    if (child.is_directory()) {
      AddEntry(zip, GbkFromUtf8(relative + "/"), child.path(), true);
      AddTree(zip, root, child.path(), names);
    } else if (child.is_regular_file()) {
      AddEntry(zip, GbkFromUtf8(relative), child.path(), false);
      names.insert(relative);
    }
  }
}

void RequireEntries(const std::set<std::string>& names, const std::string& where) {
  for (const char* required : kRequiredEntries) {
    if (!names.count(required))
      throw Failure(where + " lacks \"" + required + "\", which the installer relies on");
  }
}

void PackFolder(const fs::path& folder, const fs::path& out) {
  if (!fs::is_directory(folder)) throw Failure("no such folder: " + folder.string());
  fs::path temporary = out.string() + ".part";
  zipFile zip = zipOpen64(temporary.c_str(), APPEND_STATUS_CREATE);
  if (!zip) throw Failure("cannot create " + temporary.string());
  std::set<std::string> names;
  try {
    AddTree(zip, folder, folder, names);
  } catch (...) {
    zipClose(zip, nullptr);
    fs::remove(temporary);
    throw;
  }
  if (zipClose(zip, nullptr) != ZIP_OK) throw Failure("cannot finish " + temporary.string());
  try {
    RequireEntries(names, "the package folder " + folder.string());
  } catch (...) {
    fs::remove(temporary);
    throw;
  }
  fs::rename(temporary, out);
}

// The installer's own rule for names that stay inside the install folder (installer/entry_name.h).
bool Unsafe(const std::string& utf8Name) {
  std::string utf32 = ConvertText(utf8Name, "UTF-8", "WCHAR_T");
  std::wstring wide(reinterpret_cast<const wchar_t*>(utf32.data()), utf32.size() / sizeof(wchar_t));
  return !IsSafeEntryName(wide);
}

// A vendor's archive is used as it is, provided the installer can extract it.
void CheckZip(const fs::path& archive, const fs::path& out) {
  // The installer reads the first local header itself before it opens the archive: an archive
  // behind a stub (a self-extractor) or one that begins with anything else is refused there.
  {
    std::ifstream in(archive, std::ios::binary);
    unsigned char head[32] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    auto le32 = [&](int at) { return head[at] | head[at + 1] << 8 | head[at + 2] << 16 | uint32_t(head[at + 3]) << 24; };
    if (in.gcount() != sizeof head || le32(0) != 0x04034B50 || le32(24) < 1)
      throw Failure(archive.string() + " does not begin with a ZIP local file header");
  }
  unzFile zip = unzOpen64(archive.c_str());
  if (!zip) throw Failure(archive.string() + " is not a ZIP archive");
  std::set<std::string> names, folders;
  std::string problem;
  int status = unzGoToFirstFile(zip);
  for (; status == UNZ_OK && problem.empty(); status = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    std::string raw;
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK) {
      raw.assign(info.size_filename + 1, '\0');
      if (unzGetCurrentFileInfo64(zip, &info, raw.data(), static_cast<uLong>(raw.size()), nullptr, 0, nullptr, 0) != UNZ_OK)
        raw.clear();
      raw.resize(info.size_filename);
    }
    if (raw.empty()) {
      problem = "its directory cannot be read";
      break;
    }
    if (info.flag & (1u << 11)) {
      problem = "entry names are marked UTF-8; the installer reads them as code page 936";
      break;
    }
    if (info.flag & 1u) {
      problem = "entries are encrypted";
      break;
    }
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
      problem = "entries use compression method " + std::to_string(info.compression_method) +
                "; the installer inflates only deflated (8) or stored (0) entries";
      break;
    }
    std::string name;
    try {
      name = Utf8FromGbk(raw);
    } catch (const TextConversionError&) {
      problem = "an entry name is not valid code page 936 (GBK)";
      break;
    }
    if (Unsafe(name)) {
      problem = "the entry \"" + name + "\" would be written outside the install folder";
      break;
    }
    bool folder = !name.empty() && name.back() == '/';
    std::string parent = name.substr(0, name.find_last_of('/', folder ? name.size() - 2 : std::string::npos) + 1);
    if (!parent.empty() && !folders.count(parent)) {
      problem = "\"" + name + "\" comes before its folder entry \"" + parent + "\"";
      break;
    }
    if (folder) folders.insert(name); else names.insert(name);
  }
  if (problem.empty() && status != UNZ_END_OF_LIST_OF_FILE) problem = "its directory is damaged";
  unzClose(zip);
  if (!problem.empty()) throw Failure(archive.string() + ": " + problem);
  RequireEntries(names, archive.string());
  fs::copy_file(archive, out, fs::copy_options::overwrite_existing);
}

}  // namespace

int main(int argc, char** argv) {
  std::string out, folder, zipPath;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string option = argv[i];
    if (option == "--out") out = argv[i + 1];
    else if (option == "--folder") folder = argv[i + 1];
    else if (option == "--zip") zipPath = argv[i + 1];
  }
  if (out.empty() || folder.empty() == zipPath.empty()) {
    std::fprintf(stderr, "usage: pack_payload --out FILE.zip (--folder DIR | --zip FILE.zip)\n");
    return 2;
  }
  try {
    if (!folder.empty()) PackFolder(folder, out);
    else CheckZip(zipPath, out);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pack_payload: %s\n", e.what());
    return 1;
  }
  return 0;
}
