// The shell's verbs reached through "Shell.Application" automation, and the taskbar pin, on the
// real shell of the scratch Wine prefix. Wine has no pin-to-taskbar verb and no pin caption in its
// Shell32 string table, so the scan itself is tested against a verb collection of the test's own
// (shell_text_test.cpp). Wine 8's FolderItemVerb::DoIt is a stub, so what an invoked verb does
// cannot be seen here either; what is tested is that the scan finds real verbs by their captions.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

#include "common/win_handle.h"
#include "shell/taskbar_pin.h"

namespace {

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\";
}

std::string TempFolder() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return folder;
}

class ShellVerbsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

TEST_F(ShellVerbsTest, VerbsOfAProgramAreReadByIndex) {
  ShellItemVerbs verbs(SystemFolder(), "notepad.exe");
  const int count = static_cast<int>(verbs.Count());
  ASSERT_GE(count, 5);
  int named = 0;
  for (int i = 0; i < count; ++i) {
    if (!verbs.NameAt(i).empty()) ++named;  // separators have no name
  }
  EXPECT_GE(named, 5);
  EXPECT_EQ(verbs.NameAt(count), "");  // past the end: an empty result, no failure
}

TEST_F(ShellVerbsTest, MissingFileOrFolderGivesNoVerbs) {
  struct Case {
    std::string folder;
    std::string file;
  } cases[] = {{SystemFolder(), "no-such-program.exe"}, {"C:\\no\\such\\folder\\", "notepad.exe"}};
  for (const Case& c : cases) {
    ShellItemVerbs verbs(c.folder, c.file);
    EXPECT_EQ(verbs.Count(), 0) << c.folder << c.file;
    EXPECT_EQ(verbs.NameAt(0), "");
    verbs.InvokeAt(0);  // an empty object: nothing happens
  }
}

TEST_F(ShellVerbsTest, TheScanFindsARealVerbByItsCaption) {
  const std::string folder = TempFolder();
  const std::string file = "vm-shell-verb-test.txt";
  const std::string path = folder + file;
  {
    UniqueFile created(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(created);
  }
  ShellItemVerbs verbs(folder, file);
  std::string copyCaption;  // "&Copy", or "复制(&C)" in a Chinese locale
  for (int i = 0; i < static_cast<int>(verbs.Count()); ++i) {
    const std::string name = verbs.NameAt(i);
    if (name.find("&C") != std::string::npos) copyCaption = name;
  }
  ASSERT_FALSE(copyCaption.empty());
  EXPECT_EQ(InvokeVerbsNamed(verbs, copyCaption), 1);
  EXPECT_EQ(InvokeVerbsNamed(verbs, copyCaption + " "), 0);
  DeleteFileA(path.c_str());
}

TEST_F(ShellVerbsTest, PinCaptionIsEitherTheSystemsTextOrAbsent) {
  const std::optional<std::string> caption = LoadPinCaption();
  if (caption) {
    EXPECT_FALSE(caption->empty());
    EXPECT_NE(caption->find_first_not_of(' '), std::string::npos);
  }
  // Wine: string 5386 is not in its Shell32, and pinning ends quietly (for an existing program and
  // for a missing one alike).
  PinToTaskbar(SystemFolder(), "notepad.exe");
  PinToTaskbar(SystemFolder(), "no-such-program.exe");
}

}  // namespace
