// Writing the embedded package and extracting archives: the real demo package, and archives made
// here byte by byte to be hostile or damaged.
#include "installer/extract.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "common/win_handle.h"
#include "payload/payload.h"
#include "tests/installer/scratch_files.h"
#include "tests/installer/zip_builder.h"

namespace {

struct Report {
  int percentage;
  std::string path;
};

// Records every progress report; asks to stop at report number `stopAt` (1-based) when given.
struct RecordingSink {
  std::vector<Report> reports;
  size_t stopAt = 0;
  ExtractProgressSink sink() {
    return [this](int percentage, const std::string& path) {
      reports.push_back({percentage, path});
      return stopAt != 0 && reports.size() == stopAt;
    };
  }
};

std::string Read(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadWholeFileAnsi(path, bytes)) << path;
  return bytes;
}

DWORD AttributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

constexpr DWORD kUnwantedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// ---------------------------------------------------------------------------------------------
// The real package

class DemoPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    sourceDir_ = WinePathOf(L"" VM_TEST_PACKAGE_SOURCE_DIR);
    if (std::wstring(L"" VM_TEST_PACKAGE_SOURCE_DIR).empty())
      GTEST_SKIP() << "the package was a vendor's ZIP: there is no folder to compare with";
    source_ = ListTree(sourceDir_);
    ASSERT_FALSE(source_.empty()) << "package folder missing: " << AnsiFromWide(sourceDir_);
  }

  std::wstring sourceDir_;
  std::vector<std::wstring> source_;  // every file and folder of the package, relative
};

// What the install job does: the embedded bytes go to "install.zip" inside the install folder and
// are extracted from there.
TEST_F(DemoPackage, EmbeddedArchiveIsWrittenAndExtractsToTheSourceTree) {
  ScratchFolder scratch;
  const std::string folder = scratch / "Velmora\\";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string archive = folder + "install.zip";
  ASSERT_TRUE(WriteBytesToFile(archive, PayloadArchive()));

  RecordingSink recorder;
  ASSERT_EQ(ExtractArchive(archive, folder, recorder.sink()), kExtractSucceeded);

  std::vector<std::wstring> expected = source_;
  expected.push_back(L"install.zip");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ListTree(WideFromAnsi(folder)), expected);
  for (const std::wstring& relative : source_) {
    if (relative.back() == L'\\') continue;
    std::string want, got;
    ASSERT_TRUE(ReadWholeFile(sourceDir_ + L"\\" + relative, want)) << AnsiFromWide(relative);
    ASSERT_TRUE(ReadWholeFile(WideFromAnsi(folder) + relative, got)) << AnsiFromWide(relative);
    EXPECT_TRUE(want == got) << "bytes differ: " << AnsiFromWide(relative);
    EXPECT_EQ(AttributesOf(folder + AnsiFromWide(relative)) & kUnwantedAttributes, 0u) << AnsiFromWide(relative);
  }
}

TEST_F(DemoPackage, GbkNamesArriveAsTheInstallerSpellsThem) {
  ScratchFolder scratch;
  ASSERT_EQ(ExtractArchive(AnsiFromWide(WinePathOf(L"" VM_TEST_PACKAGE_ZIP)), scratch.path()), kExtractSucceeded);
  // Narrow literals are GBK bytes here, as in the installer.
  EXPECT_EQ(std::string("使用说明.txt").size(), 12u);
  EXPECT_TRUE(PathExists(scratch / "使用说明.txt"));
  EXPECT_TRUE(PathExists(scratch / "Auxiliary\\Tarnlink.exe"));
  if (std::find(source_.begin(), source_.end(), L"Auxiliary\\skins\\衆彩\\skin.xml") != source_.end()) {
    // "衆" is 0xD0 0x5C in GBK: its second byte is a backslash.
    EXPECT_TRUE(PathExists(scratch / "Auxiliary\\skins\\衆彩\\skin.xml"));
  }
}

TEST_F(DemoPackage, ReportsZeroFirstOncePerEntryAndHundredLast) {
  ScratchFolder scratch;
  RecordingSink recorder;
  ASSERT_EQ(ExtractArchive(AnsiFromWide(WinePathOf(L"" VM_TEST_PACKAGE_ZIP)), scratch.path(), recorder.sink()),
            kExtractSucceeded);
  const std::vector<Report>& reports = recorder.reports;
  const size_t total = source_.size();
  ASSERT_EQ(reports.size(), total + 1);
  EXPECT_EQ(reports.front().percentage, 0);
  EXPECT_EQ(reports.back().percentage, 100);
  std::set<std::wstring> reported;
  for (size_t i = 0; i < total; ++i) {
    EXPECT_EQ(reports[i].percentage, static_cast<int>(static_cast<double>(i) / total * 100.0)) << i;
    ASSERT_EQ(reports[i].path.rfind(scratch.path(), 0), 0u) << reports[i].path;
    reported.insert(WideFromAnsi(reports[i].path.substr(scratch.path().size())));
  }
  // Every entry reported exactly once, under the path it was written to.
  EXPECT_EQ(reported, std::set<std::wstring>(source_.begin(), source_.end()));
}

// The build packs every entry of a folder with one time (VM_SOURCE_DATE_EPOCH, or the earliest a ZIP
// entry holds), written as the UTC clock reading; extraction gives each file that time back as a
// local clock reading, as a ZIP tool on Windows would.
TEST_F(DemoPackage, FileTimesComeFromTheArchive) {
  ScratchFolder scratch;
  ASSERT_EQ(ExtractArchive(AnsiFromWide(WinePathOf(L"" VM_TEST_PACKAGE_ZIP)), scratch.path()), kExtractSucceeded);
  const time_t packed = VM_TEST_PACKAGE_TIME;
  const std::tm utc = *std::gmtime(&packed);
  for (const wchar_t* name : {L"Velmora.exe", L"Auxiliary\\Tarnlink.exe", L"使用说明.txt"}) {
    WIN32_FILE_ATTRIBUTE_DATA extracted{};
    ASSERT_TRUE(GetFileAttributesExW((WideFromAnsi(scratch.path()) + name).c_str(), GetFileExInfoStandard, &extracted));
    FILETIME local{};
    SYSTEMTIME clock{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&extracted.ftLastWriteTime, &local));
    ASSERT_TRUE(FileTimeToSystemTime(&local, &clock));
    // ZIP times have a resolution of two seconds.
    EXPECT_EQ(std::vector<int>({clock.wYear, clock.wMonth, clock.wDay, clock.wHour, clock.wMinute, clock.wSecond / 2}),
              std::vector<int>({utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec / 2}))
        << AnsiFromWide(name);
  }
}

// ---------------------------------------------------------------------------------------------
// Writing the archive

TEST(WriteBytesToFile, WritesEveryByteAndTruncatesWhatWasThere) {
  ScratchFolder scratch;
  const std::string path = scratch / "install.zip";
  ASSERT_TRUE(WriteWholeFile(path, std::string(PayloadArchive().size() + 5000, 'x')));
  ASSERT_TRUE(WriteBytesToFile(path, PayloadArchive()));
  std::string packageZip;
  ASSERT_TRUE(ReadWholeFile(WinePathOf(L"" VM_TEST_PACKAGE_ZIP), packageZip));
  EXPECT_TRUE(Read(path) == packageZip) << "the written archive differs from package.zip";
}

TEST(WriteBytesToFile, FailsWhereTheFileCannotBeWritten) {
  ScratchFolder scratch;
  const std::string bytes = "PK";
  const std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  EXPECT_FALSE(WriteBytesToFile(scratch / "missing\\install.zip", span));
  EXPECT_FALSE(WriteBytesToFile(scratch.path(), span));  // a folder

  const std::string held = scratch / "held.zip";
  ASSERT_TRUE(WriteWholeFile(held, "old"));
  {
    UniqueFile other(CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(other);
    EXPECT_FALSE(WriteBytesToFile(held, span));
  }
  EXPECT_EQ(Read(held), "old");
}

// ---------------------------------------------------------------------------------------------
// Extraction rules

class Extraction : public ::testing::Test {
 protected:
  // Writes `entries` as an archive beside the destination and answers its path.
  std::string Archive(const std::vector<ZipEntrySpec>& entries) {
    const std::string path = scratch_ / "archive.zip";
    EXPECT_TRUE(WriteWholeFile(path, BuildZip(entries)));
    return path;
  }
  std::string Dest() const { return scratch_ / "dest\\"; }
  void MakeDest() { ASSERT_TRUE(CreateDirectoryA(Dest().c_str(), nullptr)); }

  ScratchFolder scratch_;
  RecordingSink recorder_;
};

TEST_F(Extraction, NothingDoneWithoutBothPathsOrWithoutTheArchive) {
  const std::string archive = Archive({ZipEntrySpec::File("a.txt", "a")});
  EXPECT_EQ(ExtractArchive("", Dest(), recorder_.sink()), kExtractNothingDone);
  EXPECT_EQ(ExtractArchive(archive, "", recorder_.sink()), kExtractNothingDone);
  EXPECT_EQ(ExtractArchive(scratch_ / "missing.zip", Dest(), recorder_.sink()), kExtractNothingDone);
  EXPECT_FALSE(PathExists(Dest()));
  EXPECT_TRUE(recorder_.reports.empty());
}

TEST_F(Extraction, MissingDestinationIsCreatedWithItsParents) {
  const std::string archive = Archive({ZipEntrySpec::Folder("sub/"), ZipEntrySpec::File("sub/a.txt", "alpha"),
                                       ZipEntrySpec::File("b.txt", "beta")});
  const std::string dest = scratch_ / "one\\two\\three";  // no trailing backslash either
  ASSERT_EQ(ExtractArchive(archive, dest), kExtractSucceeded);
  EXPECT_EQ(Read(dest + "\\sub\\a.txt"), "alpha");
  EXPECT_EQ(Read(dest + "\\b.txt"), "beta");
}

TEST_F(Extraction, ExistingFilesAreReplacedWhateverTheirAttributes) {
  const DWORD cases[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM};
  const std::string archive = Archive({ZipEntrySpec::File("Velmora.exe", "new program")});
  MakeDest();
  for (DWORD attributes : cases) {
    const std::string target = Dest() + "Velmora.exe";
    ASSERT_TRUE(WriteWholeFile(target, "old program from an earlier install"));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), attributes));
    EXPECT_EQ(ExtractArchive(archive, Dest()), kExtractSucceeded) << attributes;
    EXPECT_EQ(Read(target), "new program") << attributes;
    EXPECT_EQ(AttributesOf(target) & kUnwantedAttributes, 0u) << attributes;
  }
}

TEST_F(Extraction, FilesEndWithNormalAttributesWhateverTheArchiveSays) {
  ZipEntrySpec readOnly = ZipEntrySpec::File("readonly.txt", "r");
  readOnly.attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
  const std::string archive = Archive({readOnly});
  ASSERT_EQ(ExtractArchive(archive, scratch_ / "dest"), kExtractSucceeded);
  EXPECT_EQ(Read(Dest() + "readonly.txt"), "r");
  EXPECT_EQ(AttributesOf(Dest() + "readonly.txt") & kUnwantedAttributes, 0u);
}

TEST_F(Extraction, FolderEntryForAnExistingFolderIsNoError) {
  MakeDest();
  ASSERT_TRUE(CreateDirectoryA((Dest() + "Auxiliary").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(Dest() + "Auxiliary\\keep.txt", "kept"));
  const std::string archive = Archive({ZipEntrySpec::Folder("Auxiliary/"),
                                       ZipEntrySpec::File("Auxiliary/Tarnlink.exe", "tarnlink")});
  ASSERT_EQ(ExtractArchive(archive, Dest()), kExtractSucceeded);
  EXPECT_EQ(Read(Dest() + "Auxiliary\\Tarnlink.exe"), "tarnlink");
  EXPECT_EQ(Read(Dest() + "Auxiliary\\keep.txt"), "kept");
}

TEST_F(Extraction, FileWithoutItsFolderFailsUnderAnAbsoluteDestination) {
  MakeDest();
  const std::string archive = Archive({ZipEntrySpec::File("first.txt", "1"), ZipEntrySpec::File("nofolder/a.txt", "a")});
  EXPECT_EQ(ExtractArchive(archive, Dest(), recorder_.sink()), kExtractFailed);
  EXPECT_FALSE(PathExists(Dest() + "nofolder"));
  ASSERT_FALSE(recorder_.reports.empty());
  EXPECT_EQ(recorder_.reports.back().percentage, 100);
}

TEST_F(Extraction, StopsWhenTheSinkAsksAndCountsThatAsSuccess) {
  const std::string archive = Archive({ZipEntrySpec::File("1.txt", "1"), ZipEntrySpec::File("2.txt", "2"),
                                       ZipEntrySpec::File("3.txt", "3")});
  recorder_.stopAt = 2;
  ASSERT_EQ(ExtractArchive(archive, Dest(), recorder_.sink()), kExtractSucceeded);
  EXPECT_EQ(ListTreeAnsi(Dest()), (std::vector<std::string>{"1.txt", "2.txt"}));
  ASSERT_EQ(recorder_.reports.size(), 2u);
  EXPECT_EQ(recorder_.reports[0].percentage, 0);
  EXPECT_EQ(recorder_.reports[1].percentage, 33);
  EXPECT_EQ(recorder_.reports[1].path, Dest() + "2.txt");
}

TEST_F(Extraction, NonZipFilesAreRejectedBeforeAnythingIsWritten) {
  const std::string zip = BuildZip({ZipEntrySpec::File("a.txt", "a")});
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"text", "This is not an archive.\r\n"},
      {"program", std::string("MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF\0\0", 16) + std::string(200, '\0') + zip},
      {"empty file", ""},
      {"cut inside the first local header", zip.substr(0, 31)},
      {"archive without entries", BuildZip({})},
      {"directory record first", zip.substr(zip.find("PK\x01\x02", 0))},
  };
  MakeDest();
  for (const auto& c : cases) {
    const std::string path = scratch_ / "not.zip";
    ASSERT_TRUE(WriteWholeFile(path, c.bytes));
    RecordingSink recorder;
    EXPECT_EQ(ExtractArchive(path, Dest(), recorder.sink()), kExtractFailed) << c.label;
    EXPECT_TRUE(ListTreeAnsi(Dest()).empty()) << c.label;
    EXPECT_TRUE(recorder.reports.empty()) << c.label;
  }
}

// Names that would put a file or folder outside the destination. The destination sits two levels
// below the scratch folder, so that "../" and "../../" both land inside scratch where they can be
// seen; absolute names are looked for where they would land.
TEST_F(Extraction, HostileNamesWriteNothingOutsideTheDestination) {
  const std::string evil = "vm_evil_" + std::to_string(GetCurrentProcessId()) + ".txt";
  const std::string dest = scratch_ / "outer\\dest\\";
  char currentDir[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, currentDir);
  char tempDir[MAX_PATH];
  GetTempPathA(MAX_PATH, tempDir);
  const std::vector<std::string> outside = {std::string("C:\\") + evil, std::string(currentDir) + "\\" + evil,
                                            std::string(tempDir) + evil, "Z:\\tmp\\" + evil, "Z:\\" + evil};
  for (const std::string& path : outside) DeleteFileA(path.c_str());

  const struct {
    const char* label;
    std::string name;
    uint16_t flags;
    bool folder;
  } cases[] = {
      {"parent", "../" + evil, 0, false},
      {"parent, backslashes", "..\\" + evil, 0, false},
      {"grandparent through a folder", "sub/../../" + evil, 0, false},
      {"three dots", ".../" + evil, 0, false},
      {"dots and a space", ".. /" + evil, 0, false},
      {"rooted", "/" + evil, 0, false},
      {"rooted, backslash", "\\" + evil, 0, false},
      {"drive", "C:/" + evil, 0, false},
      {"drive-relative", "C:" + evil, 0, false},
      {"Unix root drive", "Z:/tmp/" + evil, 0, false},
      {"UTF-8 flagged parent", "../" + evil, 1u << 11, false},
      {"folder entry in the parent", "../vm_evil_folder/", 0, true},
      // GBK "誠" is 0xD5 0x5C: read byte by byte, "誠../" would be "\xD5", "..".
      {"GBK character ending in 0x5C before dots", "\xD5\x5C../" + evil, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RemoveTree(WideFromAnsi(scratch_ / "outer"));
    ASSERT_TRUE(CreateDirectoryA((scratch_ / "outer").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dest.c_str(), nullptr));
    ZipEntrySpec hostile = c.folder ? ZipEntrySpec::Folder(c.name) : ZipEntrySpec::File(c.name, "owned");
    hostile.flags = c.flags;
    const std::string archive =
        Archive({ZipEntrySpec::File("ok.txt", "fine"), hostile, ZipEntrySpec::File("after.txt", "later")});
    RecordingSink recorder;
    EXPECT_EQ(ExtractArchive(archive, dest, recorder.sink()), kExtractFailed);
    EXPECT_TRUE(PathExists(dest + "ok.txt"));  // the entry before was extracted
    EXPECT_FALSE(PathExists(dest + "after.txt"));
    ASSERT_FALSE(recorder.reports.empty());
    EXPECT_EQ(recorder.reports.back().percentage, 100);
    // Nothing but the destination below scratch, nothing where absolute names point.
    for (const std::string& entry : ListTreeAnsi(scratch_.path())) {
      const bool allowed = entry == "archive.zip" || entry == "outer\\" || entry.rfind("outer\\dest\\", 0) == 0;
      EXPECT_TRUE(allowed) << "written outside: " << entry;
    }
    for (const std::string& path : outside) EXPECT_FALSE(PathExists(path)) << path;
  }
}

// An entry whose data is damaged must fail the extraction; the damaged file is not left behind,
// and nothing after it is extracted.
TEST_F(Extraction, DamagedEntriesFail) {
  std::string payload;
  for (int i = 0; i < 2000; ++i) payload += "line " + std::to_string(i) + " of a text that compresses well\r\n";
  payload += NoiseBytes(60000, 7);
  const uint32_t size = static_cast<uint32_t>(payload.size());
  const struct {
    const char* label;
    void (*damage)(ZipEntrySpec&, uint32_t size);
  } cases[] = {
      {"wrong CRC", [](ZipEntrySpec& e, uint32_t) { e.declaredCrc = 0x12345678; }},
      {"declared one byte longer", [](ZipEntrySpec& e, uint32_t size) { e.declaredSize = size + 1; }},
      {"declared one byte shorter", [](ZipEntrySpec& e, uint32_t size) { e.declaredSize = size - 1; }},
      {"deflated data cut by 100 bytes", [](ZipEntrySpec& e, uint32_t) { e.cutCompressedBytes = 100; }},
      {"deflated data cut to about half", [](ZipEntrySpec& e, uint32_t size) { e.cutCompressedBytes = size / 4; }},
      // minizip hands bzip2 data (method 12) over raw when built without bzip2: the checksum must
      // still catch it.
      {"bzip2 method", [](ZipEntrySpec& e, uint32_t) { e.declaredMethod = 12; }},
      {"unknown method", [](ZipEntrySpec& e, uint32_t) { e.declaredMethod = 14; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RemoveTree(WideFromAnsi(Dest()));
    MakeDest();
    ZipEntrySpec damaged = ZipEntrySpec::File("data.bin", payload);
    c.damage(damaged, size);
    const std::string archive =
        Archive({ZipEntrySpec::File("ok.txt", "fine"), damaged, ZipEntrySpec::File("after.txt", "later")});
    RecordingSink recorder;
    EXPECT_EQ(ExtractArchive(archive, Dest(), recorder.sink()), kExtractFailed);
    EXPECT_EQ(ListTreeAnsi(Dest()), (std::vector<std::string>{"ok.txt"}));
    ASSERT_FALSE(recorder.reports.empty());
    EXPECT_EQ(recorder.reports.back().percentage, 100);
  }
}

TEST_F(Extraction, DamagedArchiveStructureFails) {
  const std::string good = BuildZip({ZipEntrySpec::File("a.txt", "alpha"), ZipEntrySpec::File("b.txt", "beta")});
  const size_t directory = good.find("PK\x01\x02");
  const size_t secondRecord = good.find("PK\x01\x02", directory + 4);
  std::string brokenDirectory = good;
  brokenDirectory[secondRecord + 3] = '\x09';  // the second directory record loses its signature
  const struct {
    const char* label;
    std::string bytes;
    std::vector<std::string> left;
  } cases[] = {
      {"archive cut before its end record", good.substr(0, good.size() - 10), {}},
      {"archive cut before its directory", good.substr(0, directory), {}},
      {"second directory record damaged", brokenDirectory, {"a.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    RemoveTree(WideFromAnsi(Dest()));
    MakeDest();
    const std::string path = scratch_ / "broken.zip";
    ASSERT_TRUE(WriteWholeFile(path, c.bytes));
    EXPECT_EQ(ExtractArchive(path, Dest()), kExtractFailed);
    EXPECT_EQ(ListTreeAnsi(Dest()), c.left);
  }
}

}  // namespace
