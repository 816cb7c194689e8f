// The installer as it ships (the i686 build, which no machine here can run) and the x86_64 build
// the suite runs, proven from their bytes: the header names Windows XP, every import at start and
// every delay-loaded one is a function Windows XP SP3 exports (windows_xp_exports.inc), every
// delay-load slot leads to its loader thunk, and both carry the same manifest, icon and version
// information. Under Wine, the shell's own readers find the icon and the version of the 64-bit
// file.
//
// Compiled for Windows XP (VM_WINDOWS_VERSION 0x0501): the list of exports is checked against the
// XP headers here.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>
#include <wininet.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/win_handle.h"
#include "tests/support/files.h"
#include "tests/support/pe_image.h"

// ---- The list of exports, compiled against the headers for XP -------------------------------------

namespace gdiplus_api {
using namespace Gdiplus;               // GdiplusStartup, GdiplusShutdown
using namespace Gdiplus::DllExports;   // the flat API
}  // namespace gdiplus_api

namespace xp_headers {
#define VM_XP_FUNCTION(dll, name) using ::name;
#define VM_XP_GDIPLUS(name) using gdiplus_api::name;
#define VM_XP_RUNTIME(dll, name)
#define VM_X64_FUNCTION(dll, name) using ::name;
#define VM_X64_RUNTIME(dll, name)
#include "tests/installer/windows_xp_exports.inc"
#undef VM_XP_FUNCTION
#undef VM_XP_GDIPLUS
#undef VM_XP_RUNTIME
#undef VM_X64_FUNCTION
#undef VM_X64_RUNTIME
}  // namespace xp_headers

namespace {

static_assert(_WIN32_WINNT == 0x0501, "the list of exports must be checked against the headers for Windows XP");

struct Export {
  const char* dll;
  const char* function;
  bool x64Only;
};

constexpr Export kXpExports[] = {
#define VM_XP_FUNCTION(dll, name) {#dll ".dll", #name, false},
#define VM_XP_GDIPLUS(name) {"gdiplus.dll", #name, false},
#define VM_XP_RUNTIME(dll, name) {#dll ".dll", #name, false},
#define VM_X64_FUNCTION(dll, name) {#dll ".dll", #name, true},
#define VM_X64_RUNTIME(dll, name) {#dll ".dll", #name, true},
#include "tests/installer/windows_xp_exports.inc"
#undef VM_XP_FUNCTION
#undef VM_XP_GDIPLUS
#undef VM_XP_RUNTIME
#undef VM_X64_FUNCTION
#undef VM_X64_RUNTIME
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::set<std::string> AllowedImports(bool includeX64Only) {
  std::set<std::string> allowed;
  for (const Export& e : kXpExports) {
    if (!e.x64Only || includeX64Only) allowed.insert(Lower(e.dll) + "!" + e.function);
  }
  return allowed;
}

std::string Describe(const pe::Import& import) {
  return import.dll + "!" + (import.function.empty() ? "#" + std::to_string(import.ordinal) : import.function) +
         (import.delayLoaded ? " (delay-loaded)" : "");
}

// ---- The two executables ----------------------------------------------------------------------

struct Build {
  const char* name;
  const char* unixPath;
  uint16_t machine;
  uint16_t newestMinorVersion;  // of Windows 5.x: XP is 5.1, the first 64-bit Windows 5.2
  bool x64;
};

const Build kShipped32{"shipped i686", VM_TEST_SHIPPED_EXE, pe::kMachineI386, 1, false};
const Build kSuite64{"x86_64", VM_TEST_SETUP_EXE, pe::kMachineAmd64, 2, true};

// The bytes of a build's executable and its parsed image; a missing file or a refused image is a
// failure of the test that asks.
class Executable {
 public:
  explicit Executable(const Build& build) : build_(build) {
    std::string bytes;
    if (!ReadWholeFile(WinePathOf(WideFromAnsi(build.unixPath)), bytes)) {
      error_ = std::string("cannot read ") + build.unixPath + " (scripts/build.sh i686 builds the shipped one)";
      return;
    }
    bytes_.assign(bytes.begin(), bytes.end());
    image_ = pe::Image::Parse(bytes_, error_);
  }
  const pe::Image* image() const { return image_ ? &*image_ : nullptr; }
  const std::string& error() const { return error_; }
  const Build& build() const { return build_; }
  bool Contains(std::string_view text) const {
    return std::search(bytes_.begin(), bytes_.end(), text.begin(), text.end()) != bytes_.end();
  }

  std::vector<pe::Resource> Resources() const {
    std::string why;
    auto resources = image_->Resources(why);
    EXPECT_TRUE(resources) << why;
    return resources ? *resources : std::vector<pe::Resource>();
  }

 private:
  Build build_;
  std::vector<uint8_t> bytes_;
  std::optional<pe::Image> image_;
  std::string error_;
};

class ShippedExecutable : public ::testing::TestWithParam<Build> {
 protected:
  void SetUp() override {
    executable_ = std::make_unique<Executable>(GetParam());
    ASSERT_NE(executable_->image(), nullptr) << GetParam().name << ": " << executable_->error();
  }
  const pe::Image& image() const { return *executable_->image(); }
  std::unique_ptr<Executable> executable_;
};

INSTANTIATE_TEST_SUITE_P(Builds, ShippedExecutable, ::testing::Values(kShipped32, kSuite64),
                         [](const auto& info) { return info.param.x64 ? "X86_64" : "ShippedI686"; });

// ---- Header ---------------------------------------------------------------------------------------

TEST_P(ShippedExecutable, HeaderNamesTheOldestWindowsItRunsOn) {
  const pe::Header& header = image().header();
  EXPECT_EQ(header.machine, GetParam().machine);
  EXPECT_EQ(header.is64Bit, GetParam().x64);
  EXPECT_EQ(header.subsystem, pe::kSubsystemWindowsGui);
  // Windows refuses to start a program whose header asks for a later version than its own.
  EXPECT_LE(header.majorOsVersion * 100 + header.minorOsVersion, 500 + GetParam().newestMinorVersion)
      << "operating-system version " << header.majorOsVersion << "." << header.minorOsVersion;
  EXPECT_LE(header.majorSubsystemVersion * 100 + header.minorSubsystemVersion, 500 + GetParam().newestMinorVersion)
      << "subsystem version " << header.majorSubsystemVersion << "." << header.minorSubsystemVersion;
  if (!GetParam().x64) {
    // GetSystemVersionCode takes an environment block above 2 GB for the 9x family: a 32-bit program
    // that is not large-address aware has every NT block below 2 GB.
    EXPECT_FALSE(header.characteristics & pe::kFileLargeAddressAware);
  }
}

// ---- Imports --------------------------------------------------------------------------------------

// The benchmark build's stage marks (common/bench_marks.h) are never in these builds, and jQuery
// travels deflated (the rich-edit service inflates it when it is first asked for).
TEST_P(ShippedExecutable, CarriesNoBenchmarkMarksAndNoPlainJQuery) {
  EXPECT_FALSE(executable_->Contains("VM_BENCH_MARKS_FILE"));
  EXPECT_FALSE(executable_->Contains("job: archive written"));
  EXPECT_FALSE(executable_->Contains("/*! jQuery v1.8.2"));
  EXPECT_FALSE(executable_->Contains("isPlainObject"));
}

TEST_P(ShippedExecutable, ImportsOnlyFunctionsWindowsXpExports) {
  std::string why;
  auto imports = image().Imports(why);
  ASSERT_TRUE(imports) << why;
  auto delayed = image().DelayDescriptors(why);
  ASSERT_TRUE(delayed) << why;
  std::vector<pe::Import> all = *imports;
  for (const pe::DelayDescriptor& descriptor : *delayed) {
    all.insert(all.end(), descriptor.functions.begin(), descriptor.functions.end());
  }
  ASSERT_GT(imports->size(), 100u) << "the import table was not read";

  const std::set<std::string> allowed = AllowedImports(GetParam().x64);
  std::vector<std::string> refused;
  for (const pe::Import& import : all) {
    if (import.function.empty() || !allowed.count(Lower(import.dll) + "!" + import.function)) {
      refused.push_back(Describe(import));
    }
  }
  std::string list;
  for (const std::string& name : refused) list += "\n  " + name;
  EXPECT_TRUE(refused.empty()) << GetParam().name << " imports what windows_xp_exports.inc does not list (look up a "
                                  "later function at run time, or check it and list it):"
                               << list;
  RecordProperty("imports", static_cast<int>(imports->size()));
  RecordProperty("delay_loaded_imports", static_cast<int>(all.size() - imports->size()));
}

// The DLLs outside the system's known set are delay-loaded (cmake/DelayLoad.cmake), and their
// descriptors lie outside the data directory. Until the first call, each slot of a descriptor's
// address table must point to the thunk in the program's code that loads the DLL: a slot of 0
// would send the first call to address 0.
TEST_P(ShippedExecutable, EveryDelayLoadSlotLeadsToItsLoaderThunk) {
  std::string why;
  auto delayed = image().DelayDescriptors(why);
  ASSERT_TRUE(delayed) << why;
  auto imports = image().Imports(why);
  ASSERT_TRUE(imports) << why;
  std::set<std::string> delayedDlls, loadedDlls;
  for (const pe::Import& import : *imports) loadedDlls.insert(Lower(import.dll));
  for (const pe::DelayDescriptor& descriptor : *delayed) {
    delayedDlls.insert(Lower(descriptor.dll));
    EXPECT_FALSE(loadedDlls.count(Lower(descriptor.dll))) << descriptor.dll << " is also loaded at start";
    ASSERT_EQ(descriptor.initialSlots.size(), descriptor.functions.size());
    for (size_t i = 0; i < descriptor.functions.size(); ++i) {
      EXPECT_TRUE(image().IsCode(descriptor.initialSlots[i]))
          << Describe(descriptor.functions[i]) << ": slot holds 0x" << std::hex << descriptor.initialSlots[i];
    }
  }
  // The window draws with GDI+ from its first frame: its descriptor must be among those found.
  EXPECT_TRUE(delayedDlls.count("gdiplus.dll")) << "no delay-import descriptor of gdiplus.dll found";
  EXPECT_TRUE(delayedDlls.count("msimg32.dll")) << "no delay-import descriptor of msimg32.dll found";
}

// ---- Resources ------------------------------------------------------------------------------------

const pe::Resource* FindResource(const std::vector<pe::Resource>& resources, uint32_t type, uint32_t id) {
  for (const pe::Resource& resource : resources) {
    if (resource.type == type && resource.id == id) return &resource;
  }
  return nullptr;
}

// The values of `attribute` on every `<element ...>` of an XML text, in order.
std::vector<std::string> AttributeValues(const std::string& xml, const std::string& element,
                                         const std::string& attribute) {
  std::vector<std::string> values;
  for (size_t at = xml.find("<" + element); at != std::string::npos; at = xml.find("<" + element, at + 1)) {
    const size_t end = xml.find('>', at);
    const std::string tag = xml.substr(at, end - at);
    const size_t name = tag.find(" " + attribute + "=\"");
    if (name == std::string::npos) continue;
    const size_t start = name + attribute.size() + 3;
    values.push_back(tag.substr(start, tag.find('"', start) - start));
  }
  return values;
}

std::string ElementText(const std::string& xml, const std::string& element) {
  const size_t open = xml.find("<" + element);
  if (open == std::string::npos) return std::string();
  const size_t start = xml.find('>', open) + 1;
  return xml.substr(start, xml.find("</" + element, start) - start);
}

constexpr uint32_t kLanguageChineseSimplified = 0x0804;

TEST_P(ShippedExecutable, ManifestAsksForElevationAndNamesTheSystemsItSupports) {
  const std::vector<pe::Resource> resources = executable_->Resources();
  const pe::Resource* manifest = FindResource(resources, pe::kResourceManifest, 1);
  ASSERT_NE(manifest, nullptr) << "no application manifest (RT_MANIFEST 1)";
  const std::string xml(manifest->data.begin(), manifest->data.end());
  EXPECT_EQ(AttributeValues(xml, "requestedExecutionLevel", "level"), std::vector<std::string>{"requireAdministrator"});
  EXPECT_EQ(AttributeValues(xml, "requestedExecutionLevel", "uiAccess"), std::vector<std::string>{"false"});
  const std::vector<std::string> systems = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
  };
  EXPECT_EQ(AttributeValues(xml, "supportedOS", "Id"), systems);
  EXPECT_EQ(AttributeValues(xml, "assemblyIdentity", "name"),
            (std::vector<std::string>{"Velmora.Setup", "Microsoft.Windows.Common-Controls"}));
  EXPECT_EQ(AttributeValues(xml, "assemblyIdentity", "version"), (std::vector<std::string>{"1.6.3.5", "6.0.0.0"}));
  EXPECT_EQ(ElementText(xml, "dpiAware"), "false");
  // Windows XP reads the manifest's own namespace and rejects an element of it that it does not
  // know, so the later systems' elements name theirs; before SP3 it mishandled an element that
  // declared two namespaces.
  for (const char* element : {"<trustInfo ", "<compatibility ", "<application xmlns="}) {
    EXPECT_NE(xml.find(element), std::string::npos) << element;
  }
  for (size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
    const std::string tag = xml.substr(at, xml.find('>', at) - at);
    size_t declarations = 0;
    for (size_t x = tag.find("xmlns"); x != std::string::npos; x = tag.find("xmlns", x + 1)) ++declarations;
    EXPECT_LE(declarations, 1u) << tag;
  }
  EXPECT_EQ(manifest->language, kLanguageChineseSimplified);
}

TEST_P(ShippedExecutable, IconGroupHoldsTheLogoAtFourSizes) {
  const std::vector<pe::Resource> resources = executable_->Resources();
  const pe::Resource* group = FindResource(resources, pe::kResourceGroupIcon, 1);
  ASSERT_NE(group, nullptr) << "no icon group";
  std::string why;
  auto entries = pe::ParseIconGroup(group->data, why);
  ASSERT_TRUE(entries) << why;
  std::vector<uint32_t> sizes;
  for (const pe::IconGroupEntry& entry : *entries) {
    sizes.push_back(entry.width);
    EXPECT_EQ(entry.width, entry.height);
    EXPECT_EQ(entry.bitCount, 32u);
    const pe::Resource* icon = FindResource(resources, pe::kResourceIcon, entry.iconId);
    ASSERT_NE(icon, nullptr) << "icon image " << entry.iconId << " is missing";
    EXPECT_EQ(icon->data.size(), entry.bytes);
    auto image = pe::ParseIconImage(icon->data, why);
    ASSERT_TRUE(image) << why;
    EXPECT_EQ(image->width, entry.width);
    // Vista and later read a PNG image; XP needs bitmaps, and never picks the 256-pixel one.
    EXPECT_EQ(image->png, entry.width == 256) << entry.width;
    if (!image->png) {
      EXPECT_EQ(image->height, 2 * entry.height) << "a bitmap icon's height counts its mask too";
      EXPECT_EQ(image->bitCount, 32u);
    }
  }
  EXPECT_EQ(sizes, (std::vector<uint32_t>{16, 32, 48, 256}));
}

TEST_P(ShippedExecutable, VersionInformationInTheChineseBlock) {
  const std::vector<pe::Resource> resources = executable_->Resources();
  const pe::Resource* version = FindResource(resources, pe::kResourceVersion, 1);
  ASSERT_NE(version, nullptr) << "no version information";
  std::string why;
  auto info = pe::ParseVersionInfo(version->data, why);
  ASSERT_TRUE(info) << why;
  EXPECT_EQ(std::vector<uint16_t>(info->fileVersion, info->fileVersion + 4), (std::vector<uint16_t>{1, 6, 3, 5}));
  EXPECT_EQ(std::vector<uint16_t>(info->productVersion, info->productVersion + 4), (std::vector<uint16_t>{1, 6, 3, 5}));
  EXPECT_EQ(info->fileDateMs, 0u) << "a build date would differ between builds";
  EXPECT_EQ(info->fileDateLs, 0u);
  ASSERT_EQ(info->stringTables.size(), 1u);
  ASSERT_TRUE(info->stringTables.count(u"080403A8")) << pe::Utf8(info->stringTables.begin()->first);
  const auto& strings = info->stringTables.at(u"080403A8");
  const std::map<std::u16string, std::u16string> expected = {
      {u"ProductName", u"Velmora"},           {u"ProductVersion", u"1.6.3.5"},
      {u"FileVersion", u"1.6.3.5"},           {u"OriginalFilename", u"VelmoraSetup.exe"},
      {u"CompanyName", u"Velmora"},           {u"FileDescription", u"Velmora 安装程序"},
      {u"LegalCopyright", u"版权所有 © Velmora"}, {u"InternalName", u"VelmoraSetup"},
  };
  for (const auto& [name, value] : expected) {
    ASSERT_TRUE(strings.count(name)) << pe::Utf8(name) << " is missing";
    EXPECT_EQ(pe::Utf8(strings.at(name)), pe::Utf8(value)) << pe::Utf8(name);
  }
  EXPECT_EQ(info->translations, (std::vector<std::pair<uint16_t, uint16_t>>{{0x0804, 936}}));
}

// The build stamps one moment into the header and every resource directory (tools/stamp_pe, from
// VM_SOURCE_DATE_EPOCH, 0 unless set): the resources add no clock time of their own.
TEST_P(ShippedExecutable, ResourceSectionCarriesOnlyTheBuildsOwnTimeStamp) {
  std::string why;
  auto stamps = image().ResourceTimeStamps(why);
  ASSERT_TRUE(stamps) << why;
  ASSERT_FALSE(stamps->empty());
  for (uint32_t stamp : *stamps) {
    EXPECT_EQ(stamp, image().header().timeDateStamp) << "a resource directory holds a time of its own";
  }
}

// Both builds compile the same resource script: the two files must carry the same resources.
TEST(ShippedExecutables, BothBuildsCarryTheSameResources) {
  const Executable shipped(kShipped32), suite(kSuite64);
  ASSERT_NE(shipped.image(), nullptr) << shipped.error();
  ASSERT_NE(suite.image(), nullptr) << suite.error();
  const std::vector<pe::Resource> a = shipped.Resources(), b = suite.Resources();
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].type, b[i].type);
    EXPECT_EQ(a[i].id, b[i].id);
    EXPECT_EQ(a[i].language, b[i].language);
    EXPECT_TRUE(a[i].data == b[i].data) << "resource type " << a[i].type << " id " << a[i].id << " differs";
  }
}

// ---- The shell's own readers, under Wine ----------------------------------------------------------

std::wstring SuiteExecutable() { return WinePathOf(WideFromAnsi(VM_TEST_SETUP_EXE)); }

TEST(ShippedExecutableUnderWine, ExtractIconExFindsTheIconAtShellSizes) {
  const std::wstring path = SuiteExecutable();
  EXPECT_EQ(ExtractIconExW(path.c_str(), -1, nullptr, nullptr, 0), 1u) << "icon groups in the file";
  HICON large = nullptr, small = nullptr;
  ASSERT_EQ(ExtractIconExW(path.c_str(), 0, &large, &small, 1), 2u);
  for (auto [icon, size] : {std::pair{large, GetSystemMetrics(SM_CXICON)}, std::pair{small, GetSystemMetrics(SM_CXSMICON)}}) {
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(ShippedExecutableUnderWine, GetFileVersionInfoReadsTheVersion) {
  const std::wstring path = SuiteExecutable();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u) << "no version information found, error " << GetLastError();
  std::vector<uint8_t> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010006u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00030005u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010006u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00030005u);

  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, sizeof *translation);
  EXPECT_EQ(translation->language, 0x0804);
  EXPECT_EQ(translation->codePage, 936);

  for (auto [name, expected] : {std::pair{L"ProductVersion", L"1.6.3.5"}, std::pair{L"FileVersion", L"1.6.3.5"},
                                std::pair{L"ProductName", L"Velmora"},
                                std::pair{L"OriginalFilename", L"VelmoraSetup.exe"}}) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\080403A8\\") + name;
    wchar_t* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << AnsiFromWide(name);
    EXPECT_EQ(std::wstring(value), expected) << AnsiFromWide(name);
  }
}

}  // namespace
