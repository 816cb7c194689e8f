// The test helpers' scratch folder: it goes with everything in it, read-only files and GBK names
// included, and a link inside it to a folder outside is removed as a link, never followed.
#include "tests/support/scratch_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/files.h"

namespace {

TEST(ScratchFolder, PathEndsWithOneBackslashAndNamesJoinOnIt) {
  const ScratchFolder folder("join");
  ASSERT_FALSE(folder.path().empty());
  EXPECT_EQ(folder.path().back(), '\\');
  EXPECT_NE(folder.path()[folder.path().size() - 2], '\\');
  EXPECT_EQ(folder / "a.txt", folder.path() + "a.txt");
  EXPECT_TRUE(PathExists(folder.path()));
}

TEST(ScratchFolder, GoesWithReadOnlyFilesSubfoldersAndGbkNames) {
  std::string path;
  {
    const ScratchFolder folder("contents");
    path = folder.path();
    ASSERT_TRUE(CreateDirectoryA((folder / "使用说明").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(folder / "使用说明\\说明.txt", "text"));
    ASSERT_TRUE(WriteWholeFile(folder / "locked.txt", "x"));
    ASSERT_TRUE(SetFileAttributesA((folder / "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ListTreeAnsi(folder.path()).size(), 3u);
  }
  EXPECT_FALSE(PathExists(path));
}

TEST(ScratchFolder, ALinkToAFolderOutsideGoesAsALinkAndTheFolderKeepsItsFiles) {
  const ScratchFolder outside("outside");
  ASSERT_TRUE(WriteWholeFile(outside / "precious.txt", "keep me"));
  std::string scratchPath;
  {
    const ScratchFolder folder("with-link");
    scratchPath = folder.path();
    ASSERT_TRUE(MakeDirectoryLink(folder / "Link", outside.path()));
    EXPECT_EQ(ReadTextFile(folder / "Link\\precious.txt"), "keep me") << "the link leads outside";
  }
  EXPECT_FALSE(PathExists(scratchPath));
  EXPECT_EQ(ReadTextFile(outside / "precious.txt"), "keep me");
}

}  // namespace
