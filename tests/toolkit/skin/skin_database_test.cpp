// SkinDatabase: files written and read back in a scratch folder. The byte layout, what it refuses
// to read, entry selection and editing are in skin_database_bytes_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/win_handle.h"
#include "tests/toolkit/skin/skin_database_samples.h"
#include "toolkit/skin/skin_database.h"

namespace {

using namespace skin_database_samples;

// A scratch file, deleted when the owner goes.
class ScratchFile {
 public:
  ScratchFile() {
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "skn", 0, name);
    path_ = name;
  }
  ~ScratchFile() { DeleteFileA(path_.c_str()); }
  const std::string& path() const { return path_; }

  void Write(const SkinBytes& bytes) const {
    UniqueFile file(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
  }
  SkinBytes Read() const {
    UniqueFile file(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    SkinBytes bytes(GetFileSize(file.get(), nullptr));
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    return bytes;
  }

 private:
  std::string path_;
};
// ---- Layout and round trips -------------------------------------------------------------------

TEST(SkinDatabaseFile, SaveFileThenLoadFileAndLoadBytesGiveTheSameEntries) {
  SkinDatabase written;
  written.Assign("皮肤", kSample);
  ScratchFile file;
  ASSERT_TRUE(written.SaveFile(file.path()));

  SkinDatabase fromFile;
  ASSERT_TRUE(fromFile.LoadFile(file.path()));
  EXPECT_EQ(fromFile.Entries(), kSample);
  EXPECT_EQ(fromFile.GetComment(), "皮肤");

  SkinBytes fileBytes = file.Read();
  EXPECT_EQ(written.ToBytes(), fileBytes);
  SkinDatabase fromBytes;
  ASSERT_TRUE(fromBytes.LoadBytes(fileBytes));
  EXPECT_EQ(fromBytes.Entries(), kSample);
  EXPECT_EQ(fromBytes.GetComment(), "皮肤");
}

TEST(SkinDatabaseFile, SaveFileOverwritesALongerFile) {
  ScratchFile file;
  file.Write(SkinBytes(5000, 0x55));
  SkinDatabase db;
  db.Assign("", std::vector<Entry>{{"a", 0, 0, {1}}});
  ASSERT_TRUE(db.SaveFile(file.path()));
  EXPECT_EQ(file.Read(), db.ToBytes());
}

TEST(SkinDatabaseFile, MissingFileOrFolderAnswersFalse) {
  SkinDatabase db = Loaded(HandMade("keep", kSample));
  EXPECT_FALSE(db.LoadFile("C:\\no such folder\\skin.db"));
  EXPECT_FALSE(db.SaveFile("C:\\no such folder\\skin.db"));
  EXPECT_EQ(db.Entries(), kSample);
  EXPECT_EQ(db.GetComment(), "keep");
}

// ---- What is refused --------------------------------------------------------------------------

TEST(SkinDatabaseRefuses, MalformedFilesAnswerFalseAndChangeNothing) {
  ScratchFile file;
  for (const Malformed& m : kMalformed) {
    SCOPED_TRACE(m.what);
    SkinBytes bytes = Base();
    m.spoil(bytes);
    file.Write(bytes);
    SkinDatabase db = Loaded(HandMade("keep", kSample));
    EXPECT_FALSE(db.LoadFile(file.path()));
    EXPECT_EQ(db.Entries(), kSample);
    EXPECT_EQ(db.GetComment(), "keep");
  }
}

// ---- Texts end at their first NUL ---------------------------------------------------------------

TEST(SkinDatabaseTexts, ACommentWithANulIsCutButTheEntriesAfterItAreRead) {
  std::string comment("ab\0cd", 5);
  SkinBytes bytes = HandMade(comment, kSample);
  SkinDatabase fromBytes = Loaded(bytes);
  EXPECT_EQ(fromBytes.GetComment(), "ab");
  EXPECT_EQ(fromBytes.Entries(), kSample);

  ScratchFile file;
  file.Write(bytes);
  SkinDatabase fromFile;
  ASSERT_TRUE(fromFile.LoadFile(file.path()));
  EXPECT_EQ(fromFile.GetComment(), "ab");
  EXPECT_EQ(fromFile.Entries(), kSample);
}

}  // namespace
