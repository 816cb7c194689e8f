// Stopping programs by name, the install folder and folder removal, on the real process table and
// file system of the scratch Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/installer/install_test_support.h"
#include "installer/install_location.h"

namespace {

// ---- Processes -------------------------------------------------------------------------------------

// Copies of the helper under a name of the test's own, started sleeping.
class NamedProcessesTest : public ::testing::Test {
 protected:
  NamedProcessesTest() : folder_("processes") {}

  StartedProcess StartCopy(const std::string& exeName, int sleepMs = 20000) {
    const std::string exe = folder_ / exeName;
    if (!PathExists(exe)) CopyFileA(HelperPath().c_str(), exe.c_str(), FALSE);
    StartedProcess started = StartProcess(Quoted(exe) + " sleep " + std::to_string(sleepMs));
    started_.push_back(started.id);
    return started;
  }

  static bool HasEnded(const StartedProcess& started) {
    return WaitForSingleObject(started.process.get(), 0) == WAIT_OBJECT_0;
  }

  ~NamedProcessesTest() override {
    for (uint32_t id : started_) {
      UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
      if (process) {
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), 5000);
      }
    }
  }

  ScratchFolder folder_;
  std::vector<uint32_t> started_;
};

TEST_F(NamedProcessesTest, FindsTheProcessByItsExecutableName) {
  StartedProcess started = StartCopy("VmFindMe.exe");
  ASSERT_TRUE(started.process);
  EXPECT_EQ(FindProcessByName("VmFindMe.exe", true), started.id);
  EXPECT_EQ(FindProcessByName("VMFINDME.EXE", false), started.id);
  EXPECT_EQ(FindProcessByName("vmfindme.exe", true), 0u);
  EXPECT_EQ(FindProcessByName("VmFindMe", false), 0u);
  EXPECT_EQ(FindProcessByName("VmNobody.exe", false), 0u);
}

TEST_F(NamedProcessesTest, KillStopsTheFirstCopyAndWaitsUntilItIsGone) {
  StartedProcess first = StartCopy("VmKillMe.exe");
  StartedProcess second = StartCopy("VmKillMe.exe");
  ASSERT_TRUE(first.process && second.process);
  const uint32_t firstInSnapshot = FindProcessByName("VmKillMe.exe", false);
  ASSERT_TRUE(firstInSnapshot == first.id || firstInSnapshot == second.id);

  EXPECT_TRUE(KillProcessByName(std::string("VMKILLME.exe"), false));
  // The terminated copy is already gone when the call returns; the other one survives.
  const StartedProcess& killed = firstInSnapshot == first.id ? first : second;
  const StartedProcess& survivor = firstInSnapshot == first.id ? second : first;
  EXPECT_TRUE(HasEnded(killed));
  EXPECT_FALSE(HasEnded(survivor));
  EXPECT_EQ(FindProcessByName("VmKillMe.exe", false), survivor.id);

  EXPECT_TRUE(KillProcessByName(std::string("VmKillMe.exe"), true));
  EXPECT_TRUE(HasEnded(survivor));
  EXPECT_FALSE(KillProcessByName(std::string("VmKillMe.exe"), false));  // nothing left to stop
}

TEST_F(NamedProcessesTest, KillWithoutANameStopsAnotherProcessOfTheCallersOwnNameNeverItself) {
  // Alone, the helper finds only itself under its own file name, and survives (exit code 3; 0 had
  // it terminated itself).
  const std::string exe = folder_ / "VmKillSelf.exe";
  ASSERT_TRUE(CopyFileA(HelperPath().c_str(), exe.c_str(), FALSE));
  EXPECT_EQ(RunToEnd(Quoted(exe) + " kill-own-name"), 3);

  // With another copy running, that copy is the one terminated, whichever comes first in the
  // snapshot.
  StartedProcess other = StartCopy("VmKillSelf.exe");
  ASSERT_TRUE(other.process);
  EXPECT_EQ(RunToEnd(Quoted(exe) + " kill-own-name"), 3);
  EXPECT_TRUE(HasEnded(other));
}

// ---- Install folder -----------------------------------------------------------------------------

class ProgramFilesVariable : public ::testing::Test {
 protected:
  ProgramFilesVariable() {
    char value[MAX_PATH] = {};
    if (GetEnvironmentVariableA("ProgramFiles", value, MAX_PATH) > 0) saved_ = value;
  }
  ~ProgramFilesVariable() override {
    SetEnvironmentVariableA("ProgramFiles", saved_.empty() ? nullptr : saved_.c_str());
  }
  std::string saved_;
};

TEST_F(ProgramFilesVariable, FolderFollowsTheVariableOrFallsBack) {
  ASSERT_FALSE(saved_.empty());
  EXPECT_EQ(ResolveInstallFolder(), saved_ + "\\Velmora\\");
  SetEnvironmentVariableA("ProgramFiles", "C:\\Program Files (x86)");
  EXPECT_EQ(ResolveInstallFolder(), "C:\\Program Files (x86)\\Velmora\\");
  SetEnvironmentVariableA("ProgramFiles", "");
  EXPECT_EQ(ResolveInstallFolder(), "C:\\Program Files\\Velmora\\");
  SetEnvironmentVariableA("ProgramFiles", nullptr);
  EXPECT_EQ(ResolveInstallFolder(), "C:\\Program Files\\Velmora\\");
  const std::string longValue = "C:\\" + std::string(400, 'p');
  SetEnvironmentVariableA("ProgramFiles", longValue.c_str());
  EXPECT_EQ(ResolveInstallFolder(), longValue + "\\Velmora\\");
}

// ---- Folder removal -----------------------------------------------------------------------------

// A folder tree like an installed package.
void FillLikeAnInstall(const std::string& folder) {
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Auxiliary").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Auxiliary\\Deep").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Empty").c_str(), nullptr));
  for (const char* file : {"Velmora.exe", "使用说明.txt", "Auxiliary\\Tarnlink.exe", "Auxiliary\\Deep\\data.bin"}) {
    ASSERT_TRUE(WriteWholeFile(folder + "\\" + file, "contents"));
  }
}

TEST(RemoveFolderTree, RemovesTheFolderWithEverythingInIt) {
  ScratchFolder scratch("remove");
  for (const char* suffix : {"", "\\"}) {
    const std::string folder = scratch / "Velmora";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    FillLikeAnInstall(folder);
    EXPECT_TRUE(RemoveFolderTree(folder + suffix)) << "[" << suffix << "]";
    EXPECT_FALSE(PathExists(folder));
  }
  const std::string gbkFolder = scratch / "安装目录";
  ASSERT_TRUE(CreateDirectoryA(gbkFolder.c_str(), nullptr));
  FillLikeAnInstall(gbkFolder);
  EXPECT_TRUE(RemoveFolderTree("  " + gbkFolder + "\\"));  // leading spaces are skipped
  EXPECT_FALSE(PathExists(gbkFolder));
}

TEST(RemoveFolderTree, RefusesEmptyPathsAndDriveRoots) {
  for (const char* path : {"", "   ", "C:", "C:\\", "c:/", "\\"}) {
    EXPECT_FALSE(RemoveFolderTree(path)) << "[" << path << "]";
  }
  EXPECT_TRUE(PathExists("C:\\windows\\system32\\kernel32.dll"));
}

TEST(RemoveFolderTree, FailsAndKeepsTheFolderWhenSomethingCannotGo) {
  ScratchFolder scratch("stuck");
  struct Case {
    const char* what;
    std::string blocker;
    bool readOnly;
    bool held;
  } cases[] = {
      {"read-only file", "Auxiliary\\locked.dll", true, false},
      {"dot-named file", ".settings", false, false},
      {"dot-named folder", "Auxiliary\\.cache", false, false},
      {"file held open by another process", "Auxiliary\\in-use.dll", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = scratch / "Velmora";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    FillLikeAnInstall(folder);
    const std::string blocker = folder + "\\" + c.blocker;
    if (c.blocker.find("cache") != std::string::npos) {
      ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    } else {
      ASSERT_TRUE(WriteWholeFile(blocker, "x"));
    }
    if (c.readOnly) SetFileAttributesA(blocker.c_str(), FILE_ATTRIBUTE_READONLY);
    StartedProcess holder;
    if (c.held) {
      holder = HoldFileOpen(blocker, 20000);
      ASSERT_TRUE(holder.process);
    }

    EXPECT_FALSE(RemoveFolderTree(folder));
    EXPECT_TRUE(PathExists(blocker));
    EXPECT_FALSE(PathExists(folder + "\\Velmora.exe"));  // everything else went
    EXPECT_FALSE(PathExists(folder + "\\Empty"));

    if (holder.process) {
      TerminateProcess(holder.process.get(), 0);
      WaitForSingleObject(holder.process.get(), 5000);
    }
    SetFileAttributesA(blocker.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(blocker.c_str());
    DeleteFileA(blocker.c_str());
    ASSERT_TRUE(RemoveFolderTree(folder));
  }
}

TEST(RemoveFolderTree, NeverFollowsALinkOutOfTheFolder) {
  ScratchFolder scratch("links");
  const std::string outside = scratch / "Outside";
  const std::string emptyOutside = scratch / "EmptyOutside";
  ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((outside + "\\Sub").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(outside + "\\precious.txt", "keep me"));
  ASSERT_TRUE(WriteWholeFile(outside + "\\Sub\\nested.txt", "keep me too"));
  ASSERT_TRUE(CreateDirectoryA(emptyOutside.c_str(), nullptr));

  const std::string folder = scratch / "Velmora";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  FillLikeAnInstall(folder);
  ASSERT_TRUE(MakeDirectoryLink(folder + "\\Auxiliary\\LinkOut", outside));
  ASSERT_TRUE(MakeDirectoryLink(folder + "\\LinkToEmpty", emptyOutside));
  ASSERT_EQ(ReadTextFile(folder + "\\Auxiliary\\LinkOut\\precious.txt"), "keep me");

  const bool removed = RemoveFolderTree(folder);
  // What the links point to is untouched, an empty folder included.
  EXPECT_EQ(ReadTextFile(outside + "\\precious.txt"), "keep me");
  EXPECT_EQ(ReadTextFile(outside + "\\Sub\\nested.txt"), "keep me too");
  EXPECT_TRUE(PathExists(emptyOutside));
  EXPECT_FALSE(PathExists(folder + "\\Velmora.exe"));
  EXPECT_FALSE(PathExists(folder + "\\Auxiliary\\Tarnlink.exe"));
  // On Windows the links are removed as links and the folder goes. Wine lists a Unix link as a
  // reparse point without a tag; such a point is left alone, and so the folder stays.
  if (removed) {
    EXPECT_FALSE(PathExists(folder));
  } else {
    EXPECT_TRUE(PathExists(folder + "\\LinkToEmpty"));
  }
}

TEST(RemoveFolderTree, AFolderThatIsItselfALinkIsNotEmptied) {
  ScratchFolder scratch("linkroot");
  const std::string real = scratch / "Real";
  ASSERT_TRUE(CreateDirectoryA(real.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(real + "\\precious.txt", "keep me"));
  const std::string link = scratch / "Velmora";
  ASSERT_TRUE(MakeDirectoryLink(link, real));

  RemoveFolderTree(link + "\\");
  EXPECT_EQ(ReadTextFile(real + "\\precious.txt"), "keep me");
  RemoveDirectoryLink(link);
}

}  // namespace
