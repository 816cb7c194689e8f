// The PE reader on a small image built here byte by byte: what it finds, where the toolchain hides
// delay-import descriptors, and that no cut or damaged image makes it read past its bytes.
#include "tests/support/pe_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A PE32 image with one section (code, data and writable at once) at RVA 0x1000, file offset 0x200:
//   0x1000 import directory: KERNEL32.dll, CloseHandle by name and ordinal 17
//   0x1400 a delay-import descriptor for winmm.dll (timeSetEvent), outside the data directory
//   0x1800 code: the delay slot points here until the first call
class ImageBuilder {
 public:
  static constexpr uint32_t kImageBase = 0x400000;
  static constexpr uint32_t kSection = 0x1000, kFileOffset = 0x200;

  ImageBuilder() : bytes_(kFileOffset + 0x1000, 0) {
    Put16(0, 0x5A4D);
    Put32(0x3C, 0x40);
    Put32(0x40, 0x00004550);
    Put16(0x44, 0x014C);      // machine
    Put16(0x46, 1);           // sections
    Put16(0x54, 0xE0);        // optional header size
    Put16(0x56, 0x0102);      // executable, 32-bit
    const uint32_t o = 0x58;  // optional header
    Put16(o, 0x10B);
    Put32(o + 28, kImageBase);
    Put16(o + 40, 5), Put16(o + 42, 1), Put16(o + 48, 5), Put16(o + 50, 1);
    Put32(o + 56, 0x2000);  // size of image
    Put16(o + 68, 2);       // GUI
    Put32(o + 92, 16);      // data directories
    Directory(1, kSection, 40);
    const uint32_t s = o + 0xE0;  // section table
    std::memcpy(&bytes_[s], ".all", 4);
    Put32(s + 8, 0x1000), Put32(s + 12, kSection), Put32(s + 16, 0x1000), Put32(s + 20, kFileOffset);
    Put32(s + 36, 0xE0000060);

    // Import directory and its tables.
    Rva32(0x1000, 0x1100), Rva32(0x100C, 0x1200), Rva32(0x1010, 0x1140);
    for (uint32_t table : {0x1100u, 0x1140u}) Rva32(table, 0x1300), Rva32(table + 4, 0x80000000u | 17);
    Text(0x1200, "KERNEL32.dll");
    Text(0x1302, "CloseHandle");

    // The delay-import descriptor, as the toolchain's delay libraries lay it out.
    Rva32(0x1400, 1), Rva32(0x1404, 0x1480), Rva32(0x1408, 0x14A0), Rva32(0x140C, 0x14C0), Rva32(0x1410, 0x14E0);
    Text(0x1480, "winmm.dll");
    Rva32(0x14C0, kImageBase + 0x1800);
    Rva32(0x14E0, 0x1500);
    Text(0x1502, "timeSetEvent");
  }

  void Directory(uint32_t index, uint32_t rva, uint32_t size) { Put32(0x58 + 96 + 8 * index, rva), Put32(0x58 + 100 + 8 * index, size); }
  void Rva32(uint32_t rva, uint32_t value) { Put32(kFileOffset + rva - kSection, value); }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  void Put16(uint32_t at, uint16_t v) { bytes_[at] = v & 0xFF, bytes_[at + 1] = v >> 8; }
  void Put32(uint32_t at, uint32_t v) { for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(v >> (8 * i)); }
  void Text(uint32_t rva, const char* text) { std::memcpy(&bytes_[kFileOffset + rva - kSection], text, std::strlen(text)); }

  std::vector<uint8_t> bytes_;
};

TEST(PeImage, ReadsTheHeaderAndTheImportDirectory) {
  ImageBuilder builder;
  std::string why;
  auto image = pe::Image::Parse(builder.bytes(), why);
  ASSERT_TRUE(image) << why;
  EXPECT_EQ(image->header().machine, pe::kMachineI386);
  EXPECT_FALSE(image->header().is64Bit);
  EXPECT_EQ(image->header().majorSubsystemVersion, 5);
  EXPECT_EQ(image->header().minorOsVersion, 1);
  auto imports = image->Imports(why);
  ASSERT_TRUE(imports) << why;
  ASSERT_EQ(imports->size(), 2u);
  EXPECT_EQ((*imports)[0].dll, "KERNEL32.dll");
  EXPECT_EQ((*imports)[0].function, "CloseHandle");
  EXPECT_EQ((*imports)[1].function, "");
  EXPECT_EQ((*imports)[1].ordinal, 17);
}

TEST(PeImage, FindsADelayDescriptorThatTheDataDirectoryDoesNotList) {
  ImageBuilder builder;
  std::string why;
  auto image = pe::Image::Parse(builder.bytes(), why);
  ASSERT_TRUE(image) << why;
  auto delayed = image->DelayDescriptors(why);
  ASSERT_TRUE(delayed) << why;
  ASSERT_EQ(delayed->size(), 1u);
  const pe::DelayDescriptor& descriptor = delayed->front();
  EXPECT_EQ(descriptor.dll, "winmm.dll");
  EXPECT_FALSE(descriptor.inDataDirectory);
  EXPECT_EQ(descriptor.rva, 0x1400u);
  ASSERT_EQ(descriptor.functions.size(), 1u);
  EXPECT_EQ(descriptor.functions[0].function, "timeSetEvent");
  EXPECT_TRUE(descriptor.functions[0].delayLoaded);
  ASSERT_EQ(descriptor.initialSlots.size(), 1u);
  EXPECT_TRUE(image->IsCode(descriptor.initialSlots[0]));
}

TEST(PeImage, ADescriptorListedInTheDataDirectoryIsFoundOnce) {
  ImageBuilder builder;
  builder.Directory(13, 0x1400, 64);
  std::string why;
  auto image = pe::Image::Parse(builder.bytes(), why);
  ASSERT_TRUE(image) << why;
  auto delayed = image->DelayDescriptors(why);
  ASSERT_TRUE(delayed) << why;
  ASSERT_EQ(delayed->size(), 1u);
  EXPECT_TRUE(delayed->front().inDataDirectory);
}

TEST(PeImage, AnEmptyDelaySlotIsReportedAsItIs) {
  ImageBuilder builder;
  builder.Rva32(0x14C0, 0);
  std::string why;
  auto image = pe::Image::Parse(builder.bytes(), why);
  ASSERT_TRUE(image) << why;
  auto delayed = image->DelayDescriptors(why);
  ASSERT_TRUE(delayed) << why;
  ASSERT_EQ(delayed->size(), 1u);
  EXPECT_EQ(delayed->front().initialSlots, std::vector<uint64_t>{0});
  EXPECT_FALSE(image->IsCode(0));
  EXPECT_FALSE(image->IsCode(ImageBuilder::kImageBase + 0x5000));  // past the section
}

TEST(PeImage, ANameOutsideTheImageIsRefusedWithAReason) {
  ImageBuilder builder;
  builder.Rva32(0x1100, 0x7000);  // CloseHandle's hint/name entry, moved past the section
  std::string why;
  auto image = pe::Image::Parse(builder.bytes(), why);
  ASSERT_TRUE(image) << why;
  EXPECT_FALSE(image->Imports(why));
  EXPECT_NE(why.find("KERNEL32.dll"), std::string::npos) << why;
}

// Every prefix of the image is refused (its section's bytes are cut off), and the image with any
// one byte of its headers and tables spoiled is answered or refused: a wild read or an endless
// loop would end the test. A spoiled byte that no structure refers to changes no answer.
std::string Summary(const std::vector<uint8_t>& bytes) {
  std::string why;
  auto image = pe::Image::Parse(bytes, why);
  if (!image) return "refused: " + why;
  std::string summary;
  if (auto imports = image->Imports(why)) {
    for (const pe::Import& i : *imports) summary += i.dll + "!" + i.function + "#" + std::to_string(i.ordinal) + " ";
  }
  if (auto delayed = image->DelayDescriptors(why)) {
    for (const pe::DelayDescriptor& d : *delayed) summary += d.dll + "@" + std::to_string(d.rva) + " ";
  }
  image->Resources(why);
  image->ResourceTimeStamps(why);
  return summary;
}

TEST(PeImage, CutOrDamagedImagesAreAnsweredOrRefused) {
  ImageBuilder builder;
  const std::vector<uint8_t> whole = builder.bytes();
  const std::string intact = Summary(whole);
  ASSERT_EQ(intact, "KERNEL32.dll!CloseHandle#0 KERNEL32.dll!#17 winmm.dll@5120 ");
  for (size_t size = 0; size < whole.size(); ++size) {
    const std::vector<uint8_t> prefix(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(size));
    EXPECT_EQ(Summary(prefix).rfind("refused", 0), 0u) << size << " bytes";
  }
  // Headers, section table, import tables, names, the delay descriptor and its tables.
  for (size_t start : {0x00, 0x40, 0x58, 0x138, 0x200, 0x300, 0x340, 0x400, 0x500, 0x600, 0x680, 0x6C0, 0x700}) {
    for (size_t at = start; at < start + 0x40; ++at) {
      for (uint8_t value : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0xFF}}) {
        std::vector<uint8_t> damaged = whole;
        damaged[at] = value;
        Summary(damaged);
      }
    }
  }
  for (size_t at = 0x800; at < 0xA00; ++at) {  // RVA 0x1600 to 0x17FF: nothing points there
    std::vector<uint8_t> damaged = whole;
    damaged[at] = 0xFF;
    EXPECT_EQ(Summary(damaged), intact) << "byte " << at;
  }
}

TEST(PeImage, IconGroupAndVersionRecordsAreCheckedAgainstTheirLength) {
  std::string why;
  // A group that claims two entries but holds one.
  std::vector<uint8_t> group = {0, 0, 1, 0, 2, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0x68, 4, 0, 0, 1, 0};
  EXPECT_FALSE(pe::ParseIconGroup(group, why));
  group[4] = 1;
  auto entries = pe::ParseIconGroup(group, why);
  ASSERT_TRUE(entries) << why;
  EXPECT_EQ(entries->front().width, 16u);
  EXPECT_EQ(entries->front().bytes, 0x468u);
  // A version node longer than its block.
  std::vector<uint8_t> version = {0x40, 0, 0, 0, 0, 0};
  EXPECT_FALSE(pe::ParseVersionInfo(version, why));
}

}  // namespace
