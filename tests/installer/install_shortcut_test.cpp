// Special folders and shortcuts made through WshShell and IShellLinkA in the scratch Wine prefix,
// read back through IShellLinkA.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/installer/install_test_support.h"
#include "installer/shortcuts.h"
#include "tests/installer/shell_link_reader.h"

namespace {

class ShortcutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    desktop_ = GetSpecialFolder(3);
    ASSERT_FALSE(desktop_.empty());
    ASSERT_TRUE(WriteWholeFile(targets_ / "tool.exe", "MZ"));
    ASSERT_TRUE(WriteWholeFile(targets_ / "toolnoext", "MZ"));
  }
  void TearDown() override {
    for (const std::string& link : made_) DeleteFileA(link.c_str());
    OleUninitialize();
  }
  std::string OnDesktop(const std::string& file) {
    made_.push_back(desktop_ + file);
    return desktop_ + file;
  }

  ScratchFolder targets_{"shortcut-targets"};
  std::string desktop_;
  std::vector<std::string> made_;
};

TEST_F(ShortcutTest, SpecialFoldersEndWithABackslash) {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  EXPECT_EQ(GetSpecialFolder(9), std::string(buffer) + "\\");
  GetSystemDirectoryA(buffer, MAX_PATH);
  EXPECT_EQ(GetSpecialFolder(10), std::string(buffer) + "\\");
  GetTempPathA(MAX_PATH, buffer);
  EXPECT_EQ(GetSpecialFolder(11), buffer);
  EXPECT_EQ(GetSpecialFolder(), GetSpecialFolder(3));
  for (int selector : {1, 2, 3, 4, 5, 6, 7, 8, 12}) {
    const std::string folder = GetSpecialFolder(selector);
    ASSERT_FALSE(folder.empty()) << selector;
    EXPECT_EQ(folder.back(), '\\') << selector;
  }
  // The programs folder lies inside the Start menu; the desktop is its own.
  EXPECT_EQ(GetSpecialFolder(6).rfind(GetSpecialFolder(5), 0), 0u);
  EXPECT_NE(GetSpecialFolder(3), GetSpecialFolder(1));
  for (int selector : {0, 13, -1}) EXPECT_EQ(GetSpecialFolder(selector), "") << selector;
}

TEST_F(ShortcutTest, DesktopShortcutWithTheInstallersDefaults) {
  const std::string target = targets_ / "tool.exe";
  const std::string link = OnDesktop("Velmora·测试.lnk");
  ASSERT_TRUE(CreateDesktopShortcut("Velmora·测试", target));
  const std::optional<ShellLinkFields> fields = ReadShellLink(link);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->target, target);
  EXPECT_EQ(fields->workingDirectory, targets_.path());
  EXPECT_EQ(fields->iconPath, target);
  EXPECT_EQ(fields->iconIndex, 0);
  EXPECT_EQ(fields->showCommand, 0);
  EXPECT_EQ(fields->description, "");
  EXPECT_EQ(fields->arguments, "");
  EXPECT_EQ(fields->hotkey, 0u);
}

TEST_F(ShortcutTest, DesktopShortcutWithEveryArgumentGiven) {
  const std::string target = targets_ / "tool.exe";
  const std::string link = OnDesktop("VmAll.lnk");
  ASSERT_TRUE(CreateDesktopShortcut("VmAll", target, std::string("--fast \"x y\""), std::string("C:\\icons.dll,3"),
                                    3, std::string("说明"), std::string("CTRL+ALT+V")));
  const std::optional<ShellLinkFields> fields = ReadShellLink(link);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->arguments, "--fast \"x y\"");
  EXPECT_EQ(fields->iconPath, "C:\\icons.dll");
  EXPECT_EQ(fields->iconIndex, 3);
  EXPECT_EQ(fields->showCommand, 3);
  EXPECT_EQ(fields->description, "说明");
  // The hotkey is not checked: Wine's WshShortcut Hotkey property is a stub that stores nothing.
}

TEST_F(ShortcutTest, DesktopShortcutNamesAndIcons) {
  // A name with a path is cut to its file name without extension; ".lnk" anywhere is kept as is.
  ASSERT_TRUE(CreateDesktopShortcut("C:\\some\\where\\VmCut.ext", targets_ / "tool.exe"));
  EXPECT_TRUE(ReadShellLink(OnDesktop("VmCut.lnk")));
  ASSERT_TRUE(CreateDesktopShortcut("VmUpper.LNK", targets_ / "tool.exe"));
  EXPECT_TRUE(ReadShellLink(OnDesktop("VmUpper.LNK")));
  EXPECT_FALSE(PathExists(desktop_ + "VmUpper.LNK.lnk"));
  // A target without extension gets the shell's generic program icon.
  ASSERT_TRUE(CreateDesktopShortcut("VmNoExt", targets_ / "toolnoext"));
  const std::optional<ShellLinkFields> fields = ReadShellLink(OnDesktop("VmNoExt.lnk"));
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->iconPath, "SHELL32.dll");
  EXPECT_EQ(fields->iconIndex, 4);
}

TEST_F(ShortcutTest, AnExistingDesktopShortcutIsReplaced) {
  const std::string link = OnDesktop("VmReplace.lnk");
  ASSERT_TRUE(WriteWholeFile(link, "not a shortcut"));
  ASSERT_FALSE(ReadShellLink(link));
  ASSERT_TRUE(CreateDesktopShortcut("VmReplace", targets_ / "tool.exe"));
  const std::optional<ShellLinkFields> fields = ReadShellLink(link);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->target, targets_ / "tool.exe");
}

TEST_F(ShortcutTest, ATargetWithoutBackslashGivesNoShortcut) {
  const std::string link = OnDesktop("VmNoFolder.lnk");
  EXPECT_FALSE(CreateDesktopShortcut("VmNoFolder", "tool.exe"));
  EXPECT_FALSE(PathExists(link));
}

TEST_F(ShortcutTest, ShellLinkShowsTheWindowAndSetsOnlyWhatIsGiven) {
  const std::string target = targets_ / "tool.exe";
  const std::string plain = targets_ / "Plain.lnk";
  ASSERT_TRUE(CreateShellLink(plain, target));
  std::optional<ShellLinkFields> fields = ReadShellLink(plain);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->target, target);
  EXPECT_EQ(fields->showCommand, SW_SHOW);
  EXPECT_EQ(fields->workingDirectory, "");
  EXPECT_EQ(fields->arguments, "");
  EXPECT_EQ(fields->description, "");

  const std::string full = targets_ / "Full.lnk";
  ASSERT_TRUE(CreateShellLink(full, target, std::string("卸载"), std::string("/quiet"), std::string("C:\\work")));
  fields = ReadShellLink(full);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->description, "卸载");
  EXPECT_EQ(fields->arguments, "/quiet");
  EXPECT_EQ(fields->workingDirectory, "C:\\work");

  // Saved over: an existing file of that name is overwritten.
  ASSERT_TRUE(CreateShellLink(full, targets_ / "toolnoext"));
  fields = ReadShellLink(full);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->target, targets_ / "toolnoext");
  EXPECT_EQ(fields->arguments, "");
}

TEST_F(ShortcutTest, ShellLinkNameGetsTheLinkExtensionOnlyWithoutADot) {
  ASSERT_TRUE(CreateShellLink(targets_ / "NoExtension", targets_ / "tool.exe"));
  EXPECT_TRUE(ReadShellLink(targets_ / "NoExtension.lnk"));
  EXPECT_FALSE(PathExists(targets_ / "NoExtension"));
  EXPECT_FALSE(CreateShellLink(targets_ / "missing\\Link.lnk", targets_ / "tool.exe"));  // no such folder
}

TEST_F(ShortcutTest, StartMenuSequenceMakesTheThreeLinks) {
  const std::string startMenu = GetSpecialFolder(5);
  const std::string programs = GetSpecialFolder(6);
  const std::string folder = targets_.path();
  CreateStartMenuShortcuts(folder);
  CreateStartMenuShortcuts(folder);  // again: the folder exists, the links are saved over
  struct Expected {
    std::string link;
    std::string target;
  } links[] = {{startMenu + "Velmora.lnk", folder + "Velmora.exe"},
               {programs + "Velmora\\启动Velmora.lnk", folder + "Velmora.exe"},
               {programs + "Velmora\\卸载.lnk", folder + "Uninstall.exe"}};
  for (const Expected& e : links) {
    const std::optional<ShellLinkFields> fields = ReadShellLink(e.link);
    ASSERT_TRUE(fields) << e.link;
    EXPECT_EQ(fields->target, e.target);
    EXPECT_EQ(fields->showCommand, SW_SHOW);
    EXPECT_EQ(fields->workingDirectory, "");
    DeleteFileA(e.link.c_str());
  }
  RemoveDirectoryA((programs + "Velmora").c_str());
}

}  // namespace
