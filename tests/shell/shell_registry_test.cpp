// Registry item access and URL-protocol registration against the real registry of the scratch
// Wine prefix. Every test works below keys of its own and removes them afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/win_handle.h"
#include "shell/registry_item.h"
#include "shell/shell_utility.h"
#include "shell/url_protocol.h"
#include "tests/support/registry_values.h"

namespace {

DWORD ValueCount(HKEY root, const std::string& key) {
  UniqueHKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) return 0;
  DWORD values = 0;
  RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                   nullptr, nullptr);
  return values;
}

// REG_SZ data as stored: the text and its terminating zero.
std::string Stored(const std::string& text) { return text + '\0'; }

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      for (const char* key : {"VmShellTest", "VmShellProto"}) RegDeleteTreeA(root, key);
    }
  }
};

TEST_F(RegistryTest, WritesTextNumberAndBytesWithTheirTypes) {
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\Sub\\Text", std::string("Velmora 1.6")));
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\Sub\\Number", uint32_t{0x01020304}));
  const uint8_t bytes[] = {0, 1, 0xFF, 0x5C};
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\Sub\\Bytes", std::span<const uint8_t>(bytes)));
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\Sub\\", std::string("default")));
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\Sub\\Empty", std::string()));

  auto text = ReadRegistryValue(HKEY_CURRENT_USER, "VmShellTest\\Sub", "Text");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(text->data, Stored("Velmora 1.6"));
  auto number = ReadRegistryValue(HKEY_CURRENT_USER, "VmShellTest\\Sub", "Number");
  ASSERT_TRUE(number);
  EXPECT_EQ(number->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number->data, std::string("\x04\x03\x02\x01", 4));
  auto binary = ReadRegistryValue(HKEY_CURRENT_USER, "VmShellTest\\Sub", "Bytes");
  ASSERT_TRUE(binary);
  EXPECT_EQ(binary->type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(binary->data, std::string("\x00\x01\xFF\x5C", 4));
  auto byDefault = ReadRegistryValue(HKEY_CURRENT_USER, "VmShellTest\\Sub", "");
  ASSERT_TRUE(byDefault);
  EXPECT_EQ(byDefault->data, Stored("default"));
  auto empty = ReadRegistryValue(HKEY_CURRENT_USER, "VmShellTest\\Sub", "Empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->data, std::string(1, '\0'));  // the terminating zero alone
}

TEST_F(RegistryTest, RootSelectorsChooseTheirRootsAndUnknownOnesTheCurrentUser) {
  struct Case {
    int selector;
    HKEY root;
  } cases[] = {{1, HKEY_CLASSES_ROOT}, {2, HKEY_CURRENT_CONFIG}, {3, HKEY_CURRENT_USER}, {4, HKEY_LOCAL_MACHINE},
               {0, HKEY_CURRENT_USER}, {6, HKEY_CURRENT_USER},   {-1, HKEY_CURRENT_USER}};
  for (const Case& c : cases) {
    EXPECT_EQ(RootKeyFor(c.selector), c.root) << c.selector;
    const std::string name = "Selector" + std::to_string(c.selector);
    ASSERT_TRUE(WriteRegistryItem(c.selector, "VmShellTest\\" + name, name)) << c.selector;
    auto value = ReadRegistryValue(c.root, "VmShellTest", name);
    ASSERT_TRUE(value) << c.selector;
    EXPECT_EQ(value->data, Stored(name));
  }
  EXPECT_EQ(RootKeyFor(5), HKEY_USERS);
}

TEST_F(RegistryTest, ItemPathNeverSplitsAtTheTrailByteOfAGbkCharacter) {
  // "癨" is 0xB0 0x5C in GBK: its second byte is the byte of a backslash.
  const std::string key = "VmShellTest\\癨Key";
  ASSERT_EQ(key.substr(12), "\xB0\x5CKey");
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, key + "\\Name", std::string("value")));
  UniqueHKey opened;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"VmShellTest\\\u7668Key", 0, KEY_READ, opened.put()), ERROR_SUCCESS);
  EXPECT_EQ(ReadRegistryText(kCurrentUser, key + "\\Name"), "value");
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "VmShellTest\\\xB0"));
}

TEST_F(RegistryTest, ExistsNeedsTheKeyAndTheValue) {
  EXPECT_FALSE(RegistryItemExists(kCurrentUser, "VmShellTest\\Missing\\Value"));
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\Key\\Other", std::string("x")));
  EXPECT_FALSE(RegistryItemExists(kCurrentUser, "VmShellTest\\Key\\Value"));
  EXPECT_FALSE(RegistryItemExists(kCurrentUser, "VmShellTest\\Key\\"));  // no default value yet
  EXPECT_TRUE(RegistryItemExists(kCurrentUser, "VmShellTest\\Key\\Other"));
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\Key\\Number", uint32_t{7}));
  EXPECT_TRUE(RegistryItemExists(kCurrentUser, "VmShellTest\\Key\\Number"));  // any type
}

TEST_F(RegistryTest, ReadTextExpandsExpandableTextAndFallsBackOtherwise) {
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\R\\Text", std::string("plain %SystemRoot%")));
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\R\\Number", uint32_t{1}));
  UniqueHKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "VmShellTest\\R", 0, KEY_WRITE, key.put()), ERROR_SUCCESS);
  const char expandable[] = "%SystemRoot%\\notes.txt";
  ASSERT_EQ(RegSetValueExA(key.get(), "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expandable),
                           sizeof expandable),
            ERROR_SUCCESS);
  const char unterminated[] = {'a', 'b', 'c'};
  ASSERT_EQ(RegSetValueExA(key.get(), "Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated),
                           sizeof unterminated),
            ERROR_SUCCESS);
  char systemRoot[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableA("SystemRoot", systemRoot, MAX_PATH), 0u);

  EXPECT_EQ(ReadRegistryText(kCurrentUser, "VmShellTest\\R\\Text"), "plain %SystemRoot%");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, "VmShellTest\\R\\Expand"), std::string(systemRoot) + "\\notes.txt");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, "VmShellTest\\R\\Unterminated"), "abc");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, "VmShellTest\\R\\Number"), "");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, "VmShellTest\\R\\Number", "fallback"), "fallback");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, "VmShellTest\\R\\Missing", "fallback"), "fallback");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, "VmShellTest\\Nowhere\\Missing"), "");
}

TEST_F(RegistryTest, DeleteRemovesTheValueElseTheKeyNamedByTheWholePath) {
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\D\\Value", std::string("x")));
  EXPECT_TRUE(DeleteRegistryItem(kCurrentUser, "VmShellTest\\D\\Value"));
  EXPECT_FALSE(RegistryItemExists(kCurrentUser, "VmShellTest\\D\\Value"));
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, "VmShellTest\\D"));  // the value went, the key stays

  // No value of that name: the item path is taken as a key path.
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellTest\\D\\Leaf\\Inner", std::string("y")));
  ASSERT_TRUE(DeleteRegistryItem(kCurrentUser, "VmShellTest\\D\\Leaf\\Inner"));  // the value
  EXPECT_TRUE(DeleteRegistryItem(kCurrentUser, "VmShellTest\\D\\Leaf"));         // then the key
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "VmShellTest\\D\\Leaf"));

  EXPECT_FALSE(DeleteRegistryItem(kCurrentUser, "VmShellTest\\D\\Nothing"));
  EXPECT_FALSE(DeleteRegistryItem(kCurrentUser, "VmShellTest\\Nowhere\\Nothing"));
}

// ---- URL protocol ---------------------------------------------------------------------------------

const std::string kProgram = "C:\\Program Files\\Velmora\\Auxiliary\\Tarnlink.exe";

void ExpectProtocolTree(HKEY root, const std::string& program) {
  struct Expected {
    const char* key;
    const char* name;
    std::string text;
  } values[] = {
      {"VmShellProto", "", "URL:  VmShellProto protocol Handler"},
      {"VmShellProto", "URL protocol", ""},
      {"VmShellProto\\DefaultIcon", "", program + "   "},
      {"VmShellProto\\shell", "", ""},
      {"VmShellProto\\shell\\open", "", ""},
      {"VmShellProto\\shell\\open\\command", "", "\"" + program + "\"  \"%1\""},
  };
  for (const Expected& e : values) {
    auto value = ReadRegistryValue(root, e.key, e.name);
    ASSERT_TRUE(value) << e.key << " " << e.name;
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << e.key << " " << e.name;
    EXPECT_EQ(value->data, Stored(e.text)) << e.key << " " << e.name;
  }
  // Nothing but these values: two in the protocol's key, one in each of the others.
  EXPECT_EQ(ValueCount(root, "VmShellProto"), 2u);
  for (const char* key : {"VmShellProto\\DefaultIcon", "VmShellProto\\shell", "VmShellProto\\shell\\open",
                          "VmShellProto\\shell\\open\\command"}) {
    EXPECT_EQ(ValueCount(root, key), 1u) << key;
  }
}

TEST_F(RegistryTest, RegisterWritesTheSixValuesBelowTheChosenRoot) {
  const ShellUtility shell;
  struct Case {
    int selector;
    HKEY root;
  } cases[] = {{1, HKEY_CLASSES_ROOT}, {2, HKEY_CURRENT_CONFIG}, {3, HKEY_CURRENT_USER}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selector);
    EXPECT_FALSE(shell.IsUrlProtocolRegistered("VmShellProto", c.selector));
    EXPECT_TRUE(shell.RegisterUrlProtocol("VmShellProto", kProgram, c.selector));
    ExpectProtocolTree(c.root, kProgram);
    EXPECT_TRUE(shell.IsUrlProtocolRegistered("VmShellProto", c.selector));
    EXPECT_EQ(shell.GetUrlProtocolCommand("VmShellProto", c.selector), "\"" + kProgram + "\"  \"%1\"");
    // Registering again leaves the same six values.
    EXPECT_TRUE(shell.RegisterUrlProtocol("VmShellProto", kProgram, c.selector));
    ExpectProtocolTree(c.root, kProgram);
  }
}

TEST_F(RegistryTest, UnlistedSelectorsRegisterBelowTheCurrentUser) {
  for (int selector : {0, 6, 1000}) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "VmShellProto");
    EXPECT_TRUE(RegisterUrlProtocol("VmShellProto", kProgram, selector)) << selector;
    ExpectProtocolTree(HKEY_CURRENT_USER, kProgram);
  }
}

TEST_F(RegistryTest, CommandKeyWithoutDefaultValueIsNotRegistered) {
  ASSERT_TRUE(WriteRegistryItem(kCurrentUser, "VmShellProto\\shell\\open\\command\\Other", std::string("x")));
  EXPECT_FALSE(IsUrlProtocolRegistered("VmShellProto", kCurrentUser));
  EXPECT_EQ(GetUrlProtocolCommand("VmShellProto", kCurrentUser), "");
}

TEST_F(RegistryTest, CommandStoredAsExpandableTextIsReadExpanded) {
  UniqueHKey key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "VmShellProto\\shell\\open\\command", key.put()), ERROR_SUCCESS);
  const char command[] = "%SystemRoot%\\tool.exe \"%1\"";
  ASSERT_EQ(RegSetValueExA(key.get(), "", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(command), sizeof command),
            ERROR_SUCCESS);
  char systemRoot[MAX_PATH] = {};
  GetEnvironmentVariableA("SystemRoot", systemRoot, MAX_PATH);
  EXPECT_EQ(GetUrlProtocolCommand("VmShellProto", kCurrentUser), std::string(systemRoot) + "\\tool.exe \"%1\"");
}

TEST_F(RegistryTest, UnregisterEmptiesClassesRootCurrentUserAndLocalMachineButNotCurrentConfig) {
  const ShellUtility shell;
  for (int selector : {1, 2, 3, 4}) ASSERT_TRUE(shell.RegisterUrlProtocol("VmShellProto", kProgram, selector));
  shell.UnregisterUrlProtocol("VmShellProto");
  for (int selector : {1, 3, 4}) EXPECT_FALSE(shell.IsUrlProtocolRegistered("VmShellProto", selector)) << selector;
  EXPECT_TRUE(shell.IsUrlProtocolRegistered("VmShellProto", 2));
  ExpectProtocolTree(HKEY_CURRENT_CONFIG, kProgram);
  // The emptied keys stay behind.
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    EXPECT_TRUE(RegistryKeyExists(root, "VmShellProto\\shell\\open\\command"));
    EXPECT_EQ(ValueCount(root, "VmShellProto"), 0u);
    EXPECT_EQ(ValueCount(root, "VmShellProto\\shell\\open\\command"), 0u);
  }
}

TEST(ShellUtilityObject, CopyIsANewInstanceWithTheSameOperations) {
  const ShellUtility shell;
  std::unique_ptr<ShellUtility> copy = shell.Clone();
  ASSERT_NE(copy.get(), nullptr);
  EXPECT_NE(copy.get(), &shell);
  EXPECT_FALSE(copy->IsUrlProtocolRegistered("VmShellNeverRegistered", kCurrentUser));
}

}  // namespace
