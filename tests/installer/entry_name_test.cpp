#include "installer/entry_name.h"

#include <gtest/gtest.h>

TEST(IsSafeEntryName, AcceptsOrdinaryNames) {
  for (const wchar_t* name : {L"Velmora.exe", L"Auxiliary/", L"Auxiliary/Tarnlink.exe", L"使用说明.txt",
                              L"a/b/c.d", L".hidden", L"x..y", L"name.", L"Auxiliary.ini",
                              L"console.txt", L"COM10", L"LPT0", L"com.dat", L"衆彩/skin.xml"}) {
    EXPECT_TRUE(IsSafeEntryName(name)) << name;
  }
}

TEST(IsSafeEntryName, RefusesNamesThatCouldLeaveTheFolder) {
  using namespace std::string_literals;
  for (const std::wstring& name : std::initializer_list<std::wstring>{L"", L"/etc/passwd", L"\\Windows\\evil.dll", L"C:/evil.exe", L"C:evil.exe",
                              L"../evil.exe", L"a/../../evil.exe", L"a\\..\\..\\evil", L"..", L"a/..",
                              L"a/./b", L"a/.../b", L"a/. ./b", L"a/.. /b", L"a//b", L"file.txt:stream",
                              L"a/\x01name", L"a\0b"s, L"CON", L"nul.txt", L"a/Aux.ini", L"prn .log",
                              L"COM1", L"lpt9.dat", L"conout$"}) {
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
  }
}

// The packer names the reason when it refuses a vendor's entry: each refusal has its own kind.
TEST(CheckEntryName, NamesTheReasonForARefusal) {
  using namespace std::string_literals;
  const struct {
    std::wstring name;
    EntryNameFault fault;
  } cases[] = {
      {L"Auxiliary/Tarnlink.exe", EntryNameFault::kNone},
      {L"Auxiliary/", EntryNameFault::kNone},
      {L"", EntryNameFault::kEmpty},
      {L"a//b", EntryNameFault::kEmpty},
      {L"/etc/passwd", EntryNameFault::kAbsolute},
      {L"\\server\\share", EntryNameFault::kAbsolute},
      {L"C:evil.exe", EntryNameFault::kColon},
      {L"sub/a:b.txt", EntryNameFault::kColon},
      {L"a/\x1fname", EntryNameFault::kControlCharacter},
      {L"a\0b"s, EntryNameFault::kControlCharacter},
      {L"../evil.exe", EntryNameFault::kDotsAndSpaces},
      {L"a/. ./b", EntryNameFault::kDotsAndSpaces},
      {L"sub/aux.dll", EntryNameFault::kDeviceName},
      {L"LPT3", EntryNameFault::kDeviceName},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckEntryName(c.name), c.fault) << c.name;
    EXPECT_EQ(IsSafeEntryName(c.name), c.fault == EntryNameFault::kNone) << c.name;
  }
}

TEST(EntryTargetPath, JoinsWithOneBackslashAndConvertsSlashes) {
  EXPECT_EQ(EntryTargetPath(L"C:\\Program Files\\Velmora\\", L"Auxiliary/Tarnlink.exe"),
            L"C:\\Program Files\\Velmora\\Auxiliary\\Tarnlink.exe");
  EXPECT_EQ(EntryTargetPath(L"C:\\out", L"a/"), L"C:\\out\\a\\");
}

TEST(IsWithinFolder, OnlyPathsBelowTheRootAsGiven) {
  struct Case {
    const wchar_t* root;
    const wchar_t* target;
    bool inside;
  } cases[] = {
      {L"C:\\Program Files\\Velmora\\", L"C:\\Program Files\\Velmora\\Velmora.exe", true},
      {L"C:\\Program Files\\Velmora", L"C:\\Program Files\\Velmora\\Auxiliary\\Tarnlink.exe", true},
      {L"C:\\Program Files\\Velmora\\", L"C:\\Program Files\\Velmora\\", false},  // the root itself
      {L"C:\\Program Files\\Velmora", L"C:\\Program Files\\Velmora", false},
      {L"C:\\Program Files\\Velmora", L"C:\\Program Files\\VelmoraOther\\x.exe", false},
      {L"C:\\Program Files\\Velmora\\", L"C:\\Program Files\\evil.exe", false},
      {L"C:\\Program Files\\Velmora\\", L"C:\\Program Files\\VELMORA\\x.exe", false},  // not guessed at
      {L"D:\\软件\\Velmora\\", L"D:\\软件\\Velmora\\使用说明.txt", true},
      {L"", L"C:\\x", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsWithinFolder(c.root, c.target), c.inside) << c.root << " | " << c.target;
}
