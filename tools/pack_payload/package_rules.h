// What a package must satisfy before an installer is built from it, in either of its forms (a
// vendor's folder or a ready-made ZIP archive): rules on its entry names, the entries the install
// job relies on, and the sizes a 32-bit installer can carry. Pure logic over names and sizes; the
// folder packer and the ZIP reader feed it what they find.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// A package the packer refuses; the message names the entry and the reason.
struct PackageRefused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// One entry of a package as the installer will extract it.
struct PackageEntry {
  std::string name;         // UTF-8, "/" between components; a folder's name ends in "/"
  bool folder = false;
  uint64_t size = 0;        // bytes once extracted (0 for a folder)
};

// The shipped installer is a 32-bit program without the large-address flag, so it has 2 GiB of
// user address space, and the package is part of its image: the loader maps the whole image as one
// block from 0x00400000, before any system DLL, heap or stack takes its place. Half of that space
// is the most the package may take, which leaves the upper gigabyte (where the system DLLs sit on
// every Windows version the installer runs on) and what the installer itself allocates free.
inline constexpr uint64_t kPackageLimitBytes = uint64_t{1} << 30;

// Without ZIP64, which the packer does not write and refuses in a vendor's archive, an archive
// holds at most 65,535 entries and no entry reaches 4 GiB.
inline constexpr uint64_t kMaxEntries = 0xFFFF;
inline constexpr uint64_t kMaxEntrySize = 0xFFFFFFFE;

// The entries the install job uses, as the host's file system spells them (UTF-8).
inline const char* const kRequiredEntries[] = {"Velmora.exe", "Uninstall.exe", "使用说明.txt",
                                               "Auxiliary/Tarnlink.exe"};

// The reason the entry `name` cannot be installed as it is spelled, or an empty text: the
// installer's own entry-name rule (installer/entry_name.h), characters Windows does not allow in a
// file name, components that Windows would shorten (a trailing dot or space), and characters that
// code page 936, in which the installer creates every name, cannot represent.
std::string EntryNameProblem(const std::string& name);

// "1,073,741,824"
std::string GroupedNumber(uint64_t value);

// Collects the entries of one package in archive order and refuses, naming both entries, two that
// Windows would take for one: the same name twice, names that differ only in letter case once
// converted to code page 936 and back, or a file and a folder of one name. Every folder along an
// entry's path counts, whether or not the package lists it.
class PackageNames {
 public:
  // Throws PackageRefused. `entry.name` must already have passed EntryNameProblem.
  void Add(const PackageEntry& entry);
  // Throws PackageRefused naming the first required entry that is not a file of the package.
  void RequireInstallerEntries(const std::string& package) const;

 private:
  struct Spelling {
    std::string name;  // as first met, without a folder's trailing "/"
    bool folder;
  };
  void Claim(const std::string& path, bool folder, const std::string& entryName);

  std::map<std::string, Spelling> spellings_;  // case-folded path → its first spelling
  std::set<std::string> listed_;               // entry names as listed, to find one listed twice
  std::set<std::string> files_;
};

// What the packer tells the vendor about a package it accepted.
struct PackageSummary {
  uint64_t files = 0;
  uint64_t folders = 0;
  uint64_t packedBytes = 0;    // the archive the installer carries
  uint64_t unpackedBytes = 0;  // every file once extracted
  std::vector<PackageEntry> largest;  // the largest files, largest first

  static PackageSummary Of(const std::vector<PackageEntry>& entries, uint64_t packedBytes);
  // One "key value" line each: files, folders, packed, unpacked, then "largest SIZE NAME" lines.
  std::string Text() const;
};

// Throws PackageRefused when `packedBytes` is more than `limit`.
void RequireCarriableSize(const std::string& package, uint64_t packedBytes, uint64_t limit);
