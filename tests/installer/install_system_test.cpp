// The uninstall entry in the real registry, the system version code under Wine's per-program
// version settings, and starting and opening programs through the real process and shell APIs.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <string>

#include "installer/install_job.h"
#include "installer/install_location.h"
#include "installer/install_text.h"
#include "installer/system_version.h"
#include "installer/uninstall_entry.h"
#include "tests/installer/install_test_support.h"

namespace {

// ---- Uninstall entry --------------------------------------------------------------------------

std::string InstallDateNow() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  return FormatInstallDate(
      {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec});
}

class UninstallEntryTest : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey);
  }
};

TEST_F(UninstallEntryTest, SevenTextValuesBelowTheCurrentUserOnly) {
  const std::string before = InstallDateNow();
  RegisterUninstallEntry("C:\\Program Files\\Velmora\\");
  const std::string after = InstallDateNow();

  std::map<std::string, RegistryValue> values = RegistryValues(HKEY_CURRENT_USER, kUninstallKey);
  ASSERT_EQ(values.size(), 7u);
  const std::map<std::string, std::string> expected = {
      {"", ""},
      {"DisplayIcon", "C:\\Program Files\\Velmora\\Auxiliary\\DEFAULT_ICON.ico"},
      {"Publisher", "Velmora"},
      {"DisplayName", "Velmora"},
      {"DisplayVersion", "1.6.3.5"},
      {"UninstallString", "\"C:\\Program Files\\Velmora\\Uninstall.exe\""},
  };
  for (const auto& [name, text] : expected) {
    ASSERT_EQ(values.count(name), 1u) << name;
    EXPECT_EQ(values[name].type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(values[name].data, text + '\0') << name;
  }
  ASSERT_EQ(values.count("InstallDate"), 1u);
  EXPECT_EQ(values["InstallDate"].type, static_cast<DWORD>(REG_SZ));
  const std::string date = values["InstallDate"].data;
  EXPECT_TRUE(date == before + '\0' || date == after + '\0') << date;
  EXPECT_NE(date.find("年"), std::string::npos);

  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(UninstallEntryTest, RunningAgainReplacesEveryValue) {
  RegisterUninstallEntry("C:\\Program Files\\Velmora\\");
  RegisterUninstallEntry("D:\\软件\\Velmora\\");
  std::map<std::string, RegistryValue> values = RegistryValues(HKEY_CURRENT_USER, kUninstallKey);
  EXPECT_EQ(values.size(), 7u);
  EXPECT_EQ(values["DisplayIcon"].data, std::string("D:\\软件\\Velmora\\Auxiliary\\DEFAULT_ICON.ico") + '\0');
  EXPECT_EQ(values["UninstallString"].data, std::string("\"D:\\软件\\Velmora\\Uninstall.exe\"") + '\0');
}

// ---- System version ---------------------------------------------------------------------------

TEST(SystemVersion, ReadFromTheEnvironmentBlockAsTheSystemReportsIt) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExA(&version));
#pragma GCC diagnostic pop
  EXPECT_EQ(GetSystemVersionCode(), VersionCodeFor(version.dwMajorVersion, version.dwMinorVersion));
  EXPECT_EQ(IsWindowsXp(), GetSystemVersionCode() == 6);
}

// Wine reports the version set for a program under HKCU\Software\Wine\AppDefaults\<exe>.
class WineVersionSetting : public ::testing::Test {
 protected:
  static constexpr char kKey[] = "Software\\Wine\\AppDefaults\\install_test_helper.exe";
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
  int CodeUnder(const std::string& version) {
    UniqueHKey key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kKey, key.put()) != ERROR_SUCCESS) return -1;
    RegSetValueExA(key.get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>(version.size() + 1));
    return RunToEnd(HelperCommand("version"));
  }
};

TEST_F(WineVersionSetting, CodesOfTheVersionsWineCanPretend) {
  struct Case {
    const char* version;
    int code;
  } cases[] = {{"winxp", 6}, {"winxp64", 7}, {"win2003", 7}, {"vista", 8},
               {"win7", 9},  {"win8", 0},    {"win81", 0},   {"win10", 0}};
  for (const Case& c : cases) EXPECT_EQ(CodeUnder(c.version), c.code) << c.version;
}

// ---- Starting and opening -----------------------------------------------------------------------

TEST(RunProgram, WaitsAndPassesTheShowCommandOfEachMode) {
  ScratchFolder scratch("run");
  const std::string log = scratch / "starts.log";
  const std::string command = HelperCommand("record " + Quoted(log));
  struct Case {
    std::optional<int> mode;
    int show;
  } cases[] = {{std::nullopt, SW_SHOWNORMAL}, {1, SW_HIDE},           {2, SW_SHOWNORMAL},
               {3, SW_SHOWMINIMIZED},         {4, SW_SHOWMAXIMIZED},  {5, SW_SHOWNOACTIVATE},
               {6, SW_MINIMIZE},              {9, SW_MINIMIZE},       {0, SW_HIDE}};
  std::string expected;
  for (const Case& c : cases) {
    ASSERT_TRUE(RunProgram(command, true, c.mode));
    expected += std::to_string(c.show) + " " + command + "\r\n";
    EXPECT_EQ(ReadTextFile(log), expected);  // written before RunProgram returned
  }
  EXPECT_FALSE(RunProgram(Quoted(scratch / "missing.exe"), true));
}

TEST(RunProgram, WithoutWaitReturnsWhileTheProgramRuns) {
  ScratchFolder scratch("run-async");
  const std::string exe = scratch / "VmRunAsync.exe";
  ASSERT_TRUE(CopyFileA(HelperPath().c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(RunProgram("\"" + exe + "\" sleep 20000", false));
  EXPECT_NE(FindProcessByName("VmRunAsync.exe", true), 0u);
  EXPECT_TRUE(KillProcessByName(std::string("VmRunAsync.exe"), true));
}

TEST(ShellOpen, OpensTheFileWithTheProgramItsTypeIsAssociatedWith) {
  ScratchFolder scratch("open");
  const std::string log = scratch / "opened.log";
  const std::string document = scratch / "使用说明.vmopentest";
  ASSERT_TRUE(WriteWholeFile(document, "notes"));
  {
    UniqueHKey type, command;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".vmopentest", type.put()), ERROR_SUCCESS);
    const char progId[] = "VmOpenTest.File";
    RegSetValueExA(type.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(progId), sizeof progId);
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "VmOpenTest.File\\shell\\open\\command", command.put()), ERROR_SUCCESS);
    const std::string line = HelperCommand("record " + Quoted(log) + " \"%1\"");
    RegSetValueExA(command.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                   static_cast<DWORD>(line.size() + 1));
  }
  ShellOpen(document);
  std::string opened;
  for (int i = 0; i < 500 && opened.empty(); ++i) {
    Sleep(20);
    opened = ReadTextFile(log);
  }
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ".vmopentest");
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "VmOpenTest.File");
  EXPECT_NE(opened.find(Quoted(document)), std::string::npos) << opened;
  EXPECT_EQ(opened.substr(0, 2), "1 ");  // SW_SHOWNORMAL
}

}  // namespace
