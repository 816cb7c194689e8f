// The demo package's Uninstall.exe removes what the installer creates, and nothing else.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win_handle.h"
#include "installer/extract.h"
#include "tests/support/files.h"
#include "tests/support/registry_values.h"
#include "tests/support/scratch_folder.h"

namespace {

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE));
  return std::string(path) + "\\";
}

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";

void CreateKey(HKEY root, const std::string& path) {
  UniqueHKey key;
  ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr), ERROR_SUCCESS)
      << path;
  const char data[] = "x";
  RegSetValueExA(key.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
}

// Runs the uninstaller silently; answers its exit code and, in `processId`, its process id.
DWORD RunUninstaller(const std::string& exe, DWORD* processId = nullptr) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + exe + "\" /S";
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return 0xFFFFFFFF;
  UniqueHandle process(info.hProcess);
  CloseHandle(info.hThread);
  if (processId) *processId = info.dwProcessId;
  DWORD code = 0xFFFFFFFE;
  if (WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
  return code;
}

bool WaitUntilGone(const std::string& path, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (PathExists(path)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

TEST(DemoUninstaller, RemovesTheInstallationAndNothingElse) {
  ScratchFolder scratch;
  const std::string folder = scratch / "Velmora\\";
  ASSERT_EQ(ExtractArchive(AnsiFromWide(WinePathOf(L"" VM_TEST_PACKAGE_ZIP)), folder), kExtractSucceeded);
  const std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
  const std::string startMenu = SpecialFolder(CSIDL_STARTMENU);
  const std::string programs = SpecialFolder(CSIDL_PROGRAMS);
  const std::string created[] = {desktop + "Velmora·ruv.lnk", startMenu + "Velmora.lnk",
                                 programs + "Velmora\\启动Velmora.lnk", programs + "Velmora\\卸载.lnk"};
  const std::string others[] = {desktop + "Other.lnk", startMenu + "Velmora Tools.lnk"};
  CreateDirectoryA((programs + "Velmora").c_str(), nullptr);
  for (const std::string& path : created) ASSERT_TRUE(WriteWholeFile(path, "link")) << path;
  for (const std::string& path : others) ASSERT_TRUE(WriteWholeFile(path, "link")) << path;
  CreateKey(HKEY_CURRENT_USER, kUninstallKey);
  CreateKey(HKEY_CURRENT_USER, "Software\\Classes\\Velmora\\shell\\open\\command");
  CreateKey(HKEY_CURRENT_CONFIG, "Velmora\\shell\\open\\command");
  CreateKey(HKEY_CURRENT_USER, "Velmora\\shell\\open\\command");
  CreateKey(HKEY_CURRENT_USER, "Software\\Classes\\VelmoraOther");
  // The product and a companion running from the folder: they would keep it.
  std::vector<UniqueHandle> running;
  for (const char* program : {"Velmora.exe", "Velmora.exe", "Auxiliary\\Tarnlink.exe"}) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + folder + program + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &info))
        << program;
    CloseHandle(info.hThread);
    WaitForInputIdle(info.hProcess, 5000);
    running.emplace_back(info.hProcess);
  }

  DWORD uninstallerId = 0;
  EXPECT_EQ(RunUninstaller(folder + "Uninstall.exe", &uninstallerId), 0u);
  EXPECT_TRUE(WaitUntilGone(folder, 20000)) << "the install folder is still there";
  for (const UniqueHandle& process : running) {
    EXPECT_EQ(WaitForSingleObject(process.get(), 0), WAIT_OBJECT_0);
    TerminateProcess(process.get(), 0);  // one left running would hold the test runner's output
  }
  // The copy that removed the folder stays in the temporary folder until a restart; not in tests.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string copy = std::string(temp) + "VelmoraUninstall_" + std::to_string(uninstallerId) + ".exe";
  for (int attempt = 0; attempt < 50 && PathExists(copy) && !DeleteFileA(copy.c_str()); ++attempt) Sleep(100);

  for (const std::string& path : created) EXPECT_FALSE(PathExists(path)) << path;
  EXPECT_FALSE(PathExists(programs + "Velmora"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUninstallKey));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\Classes\\Velmora"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_CONFIG, "Velmora"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Velmora"));

  for (const std::string& path : others) {
    EXPECT_TRUE(PathExists(path)) << path;
    DeleteFileA(path.c_str());
  }
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\Classes\\VelmoraOther"));
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\VelmoraOther");
}

TEST(DemoUninstaller, LeavesAFolderWithoutTheProductAlone) {
  ScratchFolder scratch;
  const std::string folder = scratch / "Downloads\\";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(WinePathOf(L"" VM_TEST_DEMO_UNINSTALLER).c_str(), WideFromAnsi(folder + "Uninstall.exe").c_str(),
                        FALSE));
  ASSERT_TRUE(WriteWholeFile(folder + "photo.jpg", "precious"));
  EXPECT_EQ(RunUninstaller(folder + "Uninstall.exe"), 0u);
  Sleep(1000);  // a wrongly started removal would be under way by now
  EXPECT_TRUE(PathExists(folder + "photo.jpg"));
  EXPECT_TRUE(PathExists(folder + "Uninstall.exe"));
}

}  // namespace
