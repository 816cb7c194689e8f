// Registry item access: one value named by a root selector and an item path (registry_item_path.h).
// Every call opens and closes the key it uses; nothing is kept between calls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Root selectors: 1 HKEY_CLASSES_ROOT, 2 HKEY_CURRENT_CONFIG, 3 HKEY_CURRENT_USER,
// 4 HKEY_LOCAL_MACHINE, 5 HKEY_USERS; any other value HKEY_CURRENT_USER.
enum RootSelector : int {
  kClassesRoot = 1,
  kCurrentConfig = 2,
  kCurrentUser = 3,
  kLocalMachine = 4,
  kUsers = 5,
};
HKEY RootKeyFor(int rootSelector);

// Opens the item's key for writing (creating it when it cannot be opened) and stores the value:
// a text as REG_SZ with its terminating zero, an integer as REG_DWORD, bytes as REG_BINARY.
// Answers whether the value was stored.
bool WriteRegistryItem(int rootSelector, const std::string& itemPath, const std::string& text);
bool WriteRegistryItem(int rootSelector, const std::string& itemPath, uint32_t number);
bool WriteRegistryItem(int rootSelector, const std::string& itemPath, std::span<const uint8_t> bytes);

// Answers whether the key opens for reading and the value exists (of any type).
bool RegistryItemExists(int rootSelector, const std::string& itemPath);

// The value's text: REG_SZ as stored, REG_EXPAND_SZ with its environment variables expanded. For
// any other type, a missing value or a failed read: defaultText, or the empty text without one.
std::string ReadRegistryText(int rootSelector, const std::string& itemPath,
                             const std::optional<std::string>& defaultText = std::nullopt);

// Deletes the named value. When no value was deleted, deletes instead the key whose path is the
// whole item path text, directly below the root. Answers whether either deleted something.
bool DeleteRegistryItem(int rootSelector, const std::string& itemPath);
