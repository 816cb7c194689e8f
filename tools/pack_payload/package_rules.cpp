#include "tools/pack_payload/package_rules.h"

#include <locale.h>

#include <algorithm>
#include <cwctype>

#include "installer/entry_name.h"
#include "tools/common/text_convert.h"

namespace {

constexpr size_t kLargestShown = 5;

std::wstring WideFromUtf8(const std::string& utf8) {
  std::string utf32 = ConvertText(utf8, "UTF-8", "WCHAR_T");
  return std::wstring(reinterpret_cast<const wchar_t*>(utf32.data()), utf32.size() / sizeof(wchar_t));
}

const char* FaultText(EntryNameFault fault) {
  switch (fault) {
    case EntryNameFault::kNone: return "";
    case EntryNameFault::kEmpty: return "has an empty name or an empty component";
    case EntryNameFault::kAbsolute: return "is an absolute path";
    case EntryNameFault::kColon: return "holds \":\" (a drive or an alternate data stream)";
    case EntryNameFault::kControlCharacter: return "holds a control character";
    case EntryNameFault::kDotsAndSpaces: return "has a component of only dots and spaces (such as \"..\")";
    case EntryNameFault::kDeviceName: return "has a component that names a Windows device (such as \"AUX\" or \"nul.txt\")";
  }
  return "is refused by the installer";
}

// The first character of `name` that code page 936 cannot represent.
std::string UnrepresentableCharacter(const std::string& name) {
  for (size_t i = 0; i < name.size();) {
    size_t length = 1;
    const auto lead = static_cast<unsigned char>(name[i]);
    if (lead >= 0xF0) length = 4;
    else if (lead >= 0xE0) length = 3;
    else if (lead >= 0xC0) length = 2;
    const std::string character = name.substr(i, length);
    try {
      GbkFromUtf8(character);
    } catch (const TextConversionError&) {
      return character;
    }
    i += length;
  }
  return std::string();
}

// Windows compares names without regard to case, by upper-casing each UTF-16 unit; glibc's
// C.UTF-8 locale upper-cases by the same Unicode table. The name is taken through code page 936
// first, since that is the name the installer will create.
std::string CaseFolded(const std::string& name) {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  if (!locale) throw std::runtime_error("the C.UTF-8 locale is missing");
  std::wstring wide = WideFromUtf8(Utf8FromGbk(GbkFromUtf8(name)));
  for (wchar_t& c : wide) c = static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), locale));
  std::string utf32(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  return ConvertText(utf32, "WCHAR_T", "UTF-8");
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

std::string EntryNameProblem(const std::string& name) {
  std::wstring wide;
  try {
    wide = WideFromUtf8(name);
  } catch (const TextConversionError&) {
    return "is not valid UTF-8";
  }
  if (EntryNameFault fault = CheckEntryName(wide); fault != EntryNameFault::kNone) return FaultText(fault);
  // The installer creates files with the ANSI functions: these characters make CreateFile fail, and
  // a backslash would be read as a folder separator.
  for (wchar_t c : wide) {
    if (std::wstring_view(L"<>\"|?*\\").find(c) != std::wstring_view::npos) {
      return std::string("holds \"") + static_cast<char>(c) + "\", which Windows does not allow in a file name";
    }
  }
  std::wstring trimmed = wide;
  if (!trimmed.empty() && trimmed.back() == L'/') trimmed.pop_back();
  for (size_t end = 0; end <= trimmed.size(); ++end) {
    if (end == trimmed.size() || trimmed[end] == L'/') {
      if (end > 0 && (trimmed[end - 1] == L'.' || trimmed[end - 1] == L' '))
        return "has a component ending in a dot or a space, which Windows drops from the name";
    }
  }
  try {
    GbkFromUtf8(name);
  } catch (const TextConversionError&) {
    return "holds \"" + UnrepresentableCharacter(name) + "\", which code page 936 (GBK), the code page of the installer's names, cannot represent";
  }
  return std::string();
}

std::string GroupedNumber(uint64_t value) {
  std::string digits = std::to_string(value);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

void PackageNames::Claim(const std::string& path, bool folder, const std::string& entryName) {
  auto [place, added] = spellings_.try_emplace(CaseFolded(path), Spelling{path, folder});
  if (added) return;
  const Spelling& earlier = place->second;
  // An entry inside a folder is named first, then the folder.
  const bool own = path == entryName || path + "/" == entryName;
  const std::string subject = own ? Quoted(path) : Quoted(entryName) + ": its folder " + Quoted(path);
  if (earlier.name != path) {
    throw PackageRefused(subject + " and " + Quoted(earlier.name) +
                         " differ only in letter case; Windows can hold only one of them");
  }
  if (earlier.folder != folder)
    throw PackageRefused(subject + " is both a file and a folder; Windows can hold only one of them");
}

void PackageNames::Add(const PackageEntry& entry) {
  if (!listed_.insert(entry.name).second) throw PackageRefused(Quoted(entry.name) + ": the entry is listed twice");
  const std::string path = entry.folder ? entry.name.substr(0, entry.name.size() - 1) : entry.name;
  for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
    Claim(path.substr(0, slash), true, entry.name);
  Claim(path, entry.folder, entry.name);
  if (!entry.folder) files_.insert(entry.name);
}

void PackageNames::RequireInstallerEntries(const std::string& package) const {
  for (const char* required : kRequiredEntries) {
    if (!files_.count(required))
      throw PackageRefused(package + " lacks the file " + Quoted(required) + ", which the installer relies on");
  }
}

PackageSummary PackageSummary::Of(const std::vector<PackageEntry>& entries, uint64_t packedBytes) {
  PackageSummary summary;
  summary.packedBytes = packedBytes;
  for (const PackageEntry& entry : entries) {
    if (entry.folder) {
      ++summary.folders;
    } else {
      ++summary.files;
      summary.unpackedBytes += entry.size;
      summary.largest.push_back(entry);
    }
  }
  // Ties in archive order, so the summary is the same on every run.
  std::stable_sort(summary.largest.begin(), summary.largest.end(),
                   [](const PackageEntry& a, const PackageEntry& b) { return a.size > b.size; });
  if (summary.largest.size() > kLargestShown) summary.largest.resize(kLargestShown);
  return summary;
}

std::string PackageSummary::Text() const {
  std::string text = "files " + std::to_string(files) + "\nfolders " + std::to_string(folders) + "\npacked " +
                     std::to_string(packedBytes) + "\nunpacked " + std::to_string(unpackedBytes) + "\n";
  for (const PackageEntry& entry : largest) text += "largest " + std::to_string(entry.size) + " " + entry.name + "\n";
  return text;
}

void RequireCarriableSize(const std::string& package, uint64_t packedBytes, uint64_t limit) {
  if (packedBytes > limit) {
    throw PackageRefused(package + " is " + GroupedNumber(packedBytes) + " bytes packed; a 32-bit installer carries at most " +
                         GroupedNumber(limit) + " bytes of package");
  }
}
