// Builds the installer's application package: the ZIP archive the installer carries and extracts.
//
//   pack_payload --out package.zip --folder DIR [--time SECONDS]   pack a vendor's folder
//   pack_payload --out package.zip --zip FILE                      check a ready-made archive, copy it
//
// Options for both forms:
//   --summary FILE   write what the package holds (package_rules.h, PackageSummary::Text)
//   --limit BYTES    the most the package may take; the default is what a 32-bit installer carries
//
// --time gives the one time every packed entry carries (seconds since 1970, UTC); without it the
// entries carry the earliest time a ZIP entry can hold, so that a folder packs the same on every
// build. A vendor's archive keeps its own times: it is embedded byte for byte.
//
// Every check runs before the archive is written (folder_package.h, zip_package.h); a refused
// package leaves `--out` as it was, and the exit code is 1.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/pack_payload/folder_package.h"
#include "tools/pack_payload/zip_package.h"

namespace fs = std::filesystem;

namespace {

bool ParseNumber(const std::string& text, uint64_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18) return false;
  value = std::stoull(text);
  return true;
}

void CopyChecked(const fs::path& archive, const fs::path& out) {
  const fs::path temporary = out.string() + ".part";
  fs::copy_file(archive, temporary, fs::copy_options::overwrite_existing);
  fs::rename(temporary, out);
}

}  // namespace

int main(int argc, char** argv) {
  std::string out, folder, zipPath, summaryPath, timeText, limitText;
  bool understood = argc % 2 == 1;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    std::string* value = option == "--out"       ? &out
                         : option == "--folder"  ? &folder
                         : option == "--zip"     ? &zipPath
                         : option == "--summary" ? &summaryPath
                         : option == "--time"    ? &timeText
                         : option == "--limit"   ? &limitText
                                                 : nullptr;
    if (!value) understood = false;
    else *value = argv[i + 1];
  }
  FolderPackOptions options;
  uint64_t number = 0;
  if (!timeText.empty()) {
    if (ParseNumber(timeText, number)) options.entryTime = static_cast<int64_t>(number);
    else understood = false;
  }
  if (!limitText.empty()) {
    if (ParseNumber(limitText, number)) options.limit = number;
    else understood = false;
  }
  if (!understood || out.empty() || folder.empty() == zipPath.empty()) {
    std::fprintf(stderr,
                 "usage: pack_payload --out FILE.zip (--folder DIR [--time SECONDS] | --zip FILE.zip)"
                 " [--summary FILE] [--limit BYTES]\n");
    return 2;
  }
  const std::string package = folder.empty() ? zipPath : folder;
  try {
    std::vector<PackageEntry> entries;
    if (!folder.empty()) {
      entries = PackFolder(folder, out, options);
    } else {
      entries = CheckVendorZip(zipPath, options.limit);
      CopyChecked(zipPath, out);
    }
    if (!summaryPath.empty()) {
      std::ofstream summary(summaryPath, std::ios::binary | std::ios::trunc);
      summary << PackageSummary::Of(entries, fs::file_size(out)).Text();
      if (!summary) throw std::runtime_error("cannot write " + summaryPath);
    }
  } catch (const PackageRefused& refusal) {
    std::fprintf(stderr, "pack_payload: %s: %s\n", package.c_str(), refusal.what());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pack_payload: %s: %s\n", package.c_str(), e.what());
    return 1;
  }
  return 0;
}
