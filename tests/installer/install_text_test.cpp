// The install job's pure texts and names: install folder, process names, folder-removal refusals
// and classification, the message box text, the install date, shortcut paths, version codes and
// show commands.
#include <gtest/gtest.h>

#include <string>

#include "installer/install_text.h"

namespace {

TEST(InstallFolderFor, AppendsTheProductFolderOrFallsBack) {
  EXPECT_EQ(InstallFolderFor("C:\\Program Files"), "C:\\Program Files\\Velmora\\");
  EXPECT_EQ(InstallFolderFor("C:\\Program Files (x86)"), "C:\\Program Files (x86)\\Velmora\\");
  EXPECT_EQ(InstallFolderFor("D:\\软件"), "D:\\软件\\Velmora\\");
  EXPECT_EQ(InstallFolderFor(""), "C:\\Program Files\\Velmora\\");
}

TEST(ProcessNameMatches, FoldsOnlyAsciiLetters) {
  struct Case {
    std::string exe;
    std::string wanted;
    bool caseSensitive;
    bool expected;
  } cases[] = {
      {"Velmora.exe", "Velmora.exe", true, true},
      {"VELMORA.EXE", "Velmora.exe", false, true},
      {"velmora.exe", "Velmora.exe", true, false},
      {"Velmora.exe", "Velmora.ex", false, false},
      {"Velmora.exe ", "Velmora.exe", false, false},
      // Trail bytes in the letter range are not folded: "閆" is 0xE9 0x5A ("Z") and "閦" is
      // 0xE9 0x7A ("z") in GBK, two different characters.
      {"\xE9\x5A.exe", "\xE9\x7A.exe", false, false},
      {"\xE9\x5A.EXE", "\xE9\x5A.exe", false, true},
      {"启动Velmora.exe", "启动velmora.EXE", false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProcessNameMatches(c.exe, c.wanted, c.caseSensitive), c.expected) << c.exe << " / " << c.wanted;
  }
}

TEST(IsRefusedRemovalPath, EmptyTextsAndDriveRoots) {
  for (const char* refused : {"", "   ", "C:", "c:\\", "Z:/", "  D:\\", "\\", "/", " \\"}) {
    EXPECT_TRUE(IsRefusedRemovalPath(refused)) << "[" << refused << "]";
  }
  for (const char* allowed : {"C:\\Program Files\\Velmora\\", "C:\\a", "  C:\\a", "C:\\\\x", "relative", "1:\\"}) {
    EXPECT_FALSE(IsRefusedRemovalPath(allowed)) << "[" << allowed << "]";
  }
}

TEST(ClassifyForRemoval, LinksAreRemovedAsLinksAndUnknownPointsLeftAlone) {
  constexpr uint32_t kDirectory = 0x10, kReparse = 0x400, kArchive = 0x20;
  constexpr uint32_t kMountPoint = 0xA0000003, kSymlink = 0xA000000C, kDedup = 0x80000013;
  EXPECT_EQ(ClassifyForRemoval(kDirectory, 0), RemovalKind::kOrdinary);
  EXPECT_EQ(ClassifyForRemoval(kArchive, kSymlink), RemovalKind::kOrdinary);  // tag without attribute
  EXPECT_EQ(ClassifyForRemoval(kDirectory | kReparse, kMountPoint), RemovalKind::kLink);
  EXPECT_EQ(ClassifyForRemoval(kDirectory | kReparse, kSymlink), RemovalKind::kLink);
  EXPECT_EQ(ClassifyForRemoval(kArchive | kReparse, kSymlink), RemovalKind::kLink);
  EXPECT_EQ(ClassifyForRemoval(kArchive | kReparse, kDedup), RemovalKind::kOrdinary);
  EXPECT_EQ(ClassifyForRemoval(kDirectory | kReparse, 0), RemovalKind::kUnidentified);
}

TEST(FolderRemovalMessage, ThreePiecesJoinedWithoutSeparators) {
  EXPECT_EQ(FolderRemovalMessage("C:\\Program Files\\Velmora\\"),
            "Error！\r\n 以下目录无法删除，无法进行安装：\r\nC:\\Program Files\\Velmora\\\r\n"
            "请尝试手动删除，若删除失败请到官网下载绿色版或重启后在进行安装！");
  // The texts are GBK bytes: "Error" and the full-width "！" (0xA3 0xA1).
  EXPECT_EQ(FolderRemovalMessage("").substr(0, 10), "Error\xA3\xA1\r\n ");
}

TEST(FormatInstallDate, TimeOfDayDownToItsLastNonZeroPart) {
  struct Case {
    LocalDateTime time;
    std::string expected;
  } cases[] = {
      {{2015, 4, 22, 9, 57, 41}, "2015年4月22日9时57分41秒"},
      {{2015, 4, 22, 18, 30, 0}, "2015年4月22日18时30分"},
      {{2015, 4, 22, 0, 0, 0}, "2015年4月22日"},
      {{2015, 4, 22, 7, 0, 0}, "2015年4月22日7时"},
      {{2024, 12, 1, 0, 5, 0}, "2024年12月1日0时5分"},
      {{2024, 1, 9, 0, 0, 3}, "2024年1月9日0时0分3秒"},
      {{2024, 1, 9, 23, 0, 59}, "2024年1月9日23时0分59秒"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatInstallDate(c.time), c.expected);
  // The characters are GBK: "年" is 0xC4 0xEA.
  EXPECT_EQ(FormatInstallDate({2015, 4, 22, 0, 0, 0}), "2015\xC4\xEA" "4\xD4\xC2" "22\xC8\xD5");
}

TEST(DesktopLinkPath, AddsTheLinkExtensionOnlyWhenMissing) {
  EXPECT_EQ(DesktopLinkPath("C:\\Desktop\\", "Velmora·ruv"), "C:\\Desktop\\Velmora·ruv.lnk");
  EXPECT_EQ(DesktopLinkPath("C:\\Desktop\\", "Velmora.lnk"), "C:\\Desktop\\Velmora.lnk");
  EXPECT_EQ(DesktopLinkPath("C:\\Desktop\\", "Velmora.LnK"), "C:\\Desktop\\Velmora.LnK");
  EXPECT_EQ(DesktopLinkPath("C:\\Desktop\\", "a.lnk.b"), "C:\\Desktop\\a.lnk.b");  // "anywhere"
  EXPECT_EQ(DesktopLinkPath("C:\\Desktop\\", "a.ln"), "C:\\Desktop\\a.ln.lnk");
}

TEST(ShortcutWorkingDirectory, TheTargetsFolderOrNothing) {
  EXPECT_EQ(ShortcutWorkingDirectory("C:\\Program Files\\Velmora\\Velmora.exe"), "C:\\Program Files\\Velmora\\");
  EXPECT_EQ(ShortcutWorkingDirectory("C:\\Velmora.exe"), "C:\\");
  EXPECT_EQ(ShortcutWorkingDirectory("C:\\癨\\Velmora.exe"), "C:\\癨\\");  // 0xB0 0x5C stays whole
  EXPECT_EQ(ShortcutWorkingDirectory("C:\\x\\癨"), "C:\\x\\");
  EXPECT_EQ(ShortcutWorkingDirectory("Velmora.exe"), std::nullopt);
  EXPECT_EQ(ShortcutWorkingDirectory("癨.exe"), std::nullopt);
  EXPECT_EQ(ShortcutWorkingDirectory(""), std::nullopt);
}

TEST(ShellLinkFileName, LinkExtensionOnlyWithoutAnyDot) {
  EXPECT_EQ(ShellLinkFileName("C:\\Start Menu\\Velmora.lnk"), "C:\\Start Menu\\Velmora.lnk");
  EXPECT_EQ(ShellLinkFileName("C:\\Start Menu\\Velmora"), "C:\\Start Menu\\Velmora.lnk");
  EXPECT_EQ(ShellLinkFileName("C:\\Start.Menu\\Velmora"), "C:\\Start.Menu\\Velmora");
}

TEST(VersionCodeFor, TheVersionTable) {
  struct Case {
    uint32_t major, minor;
    int code;
  } cases[] = {{3, 51, 4}, {4, 0, 4}, {4, 90, 4}, {5, 0, 5}, {5, 1, 6},  {5, 2, 7},  {5, 3, 0},
               {6, 0, 8},  {6, 1, 9}, {6, 2, 0},  {6, 3, 0}, {10, 0, 0}, {11, 0, 0}, {7, 0, 0}};
  for (const Case& c : cases) EXPECT_EQ(VersionCodeFor(c.major, c.minor), c.code) << c.major << "." << c.minor;
}

TEST(NineXVersionCode, FirstMarkedWordWins) {
  constexpr uint32_t m = 0x530000;
  EXPECT_EQ(NineXVersionCode(m, 0, 0), 1);
  EXPECT_EQ(NineXVersionCode(0, m, 0), 2);
  EXPECT_EQ(NineXVersionCode(0, 0, m), 3);
  EXPECT_EQ(NineXVersionCode(m, m, m), 1);
  EXPECT_EQ(NineXVersionCode(0, m, m), 2);
  EXPECT_EQ(NineXVersionCode(0x520000, 0x530001, 0), 0);
}

TEST(ShowCommandForMode, ModesOneToSixClampedAndNormalWhenOmitted) {
  // SW_HIDE 0, SW_SHOWNORMAL 1, SW_SHOWMINIMIZED 2, SW_SHOWMAXIMIZED 3, SW_SHOWNOACTIVATE 4,
  // SW_MINIMIZE 6.
  struct Case {
    std::optional<int> mode;
    int show;
  } cases[] = {{std::nullopt, 1}, {1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 6}, {7, 6}, {100, 6}, {0, 0}, {-5, 0}};
  for (const Case& c : cases) EXPECT_EQ(ShowCommandForMode(c.mode), c.show) << c.mode.value_or(-999);
}

TEST(QuotedPath, OneCommandLineWord) {
  EXPECT_EQ(QuotedPath("C:\\Program Files\\Velmora\\Velmora.exe"), "\"C:\\Program Files\\Velmora\\Velmora.exe\"");
}

}  // namespace
