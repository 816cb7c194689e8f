#include "shell/registry_item.h"

#include <vector>

#include "common/win_handle.h"
#include "shell/registry_item_path.h"

namespace {

// KEY_WRITE and KEY_READ as the item access has always used them (no WOW64 view flags).
constexpr REGSAM kWriteAccess = KEY_WRITE;
constexpr REGSAM kReadAccess = KEY_READ;

UniqueHKey OpenKey(int rootSelector, const std::string& keyPath, REGSAM access) {
  UniqueHKey key;
  if (RegOpenKeyExA(RootKeyFor(rootSelector), keyPath.c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
    return UniqueHKey();
  }
  return key;
}

bool WriteValue(int rootSelector, const std::string& itemPath, DWORD type, const BYTE* data, DWORD size) {
  const RegistryItemPath path = SplitRegistryItemPath(itemPath);
  UniqueHKey key = OpenKey(rootSelector, path.keyPath, kWriteAccess);
  if (!key && RegCreateKeyA(RootKeyFor(rootSelector), path.keyPath.c_str(), key.put()) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(key.get(), path.valueName.c_str(), 0, type, data, size) == ERROR_SUCCESS;
}

// Registry text data up to its first zero byte; data stored without a terminating zero is taken
// whole rather than read past its end.
std::string TextOfData(const std::vector<char>& data) {
  std::string text(data.begin(), data.end());
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

std::string ExpandEnvironment(const std::string& text) {
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::vector<char> buffer(needed + 1, '\0');
  const DWORD written = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (written == 0 || written > buffer.size()) return text;
  return TextOfData(buffer);
}

}  // namespace

HKEY RootKeyFor(int rootSelector) {
  switch (rootSelector) {
    case kClassesRoot: return HKEY_CLASSES_ROOT;
    case kCurrentConfig: return HKEY_CURRENT_CONFIG;
    case kCurrentUser: return HKEY_CURRENT_USER;
    case kLocalMachine: return HKEY_LOCAL_MACHINE;
    case kUsers: return HKEY_USERS;
    default: return HKEY_CURRENT_USER;
  }
}

bool WriteRegistryItem(int rootSelector, const std::string& itemPath, const std::string& text) {
  return WriteValue(rootSelector, itemPath, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                    static_cast<DWORD>(text.size() + 1));
}

bool WriteRegistryItem(int rootSelector, const std::string& itemPath, uint32_t number) {
  const DWORD value = number;
  return WriteValue(rootSelector, itemPath, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool WriteRegistryItem(int rootSelector, const std::string& itemPath, std::span<const uint8_t> bytes) {
  return WriteValue(rootSelector, itemPath, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool RegistryItemExists(int rootSelector, const std::string& itemPath) {
  const RegistryItemPath path = SplitRegistryItemPath(itemPath);
  UniqueHKey key = OpenKey(rootSelector, path.keyPath, kReadAccess);
  if (!key) return false;
  DWORD type = 0;
  DWORD size = 0;
  return RegQueryValueExA(key.get(), path.valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

std::string ReadRegistryText(int rootSelector, const std::string& itemPath,
                             const std::optional<std::string>& defaultText) {
  const std::string fallback = defaultText.value_or(std::string());
  const RegistryItemPath path = SplitRegistryItemPath(itemPath);
  UniqueHKey key = OpenKey(rootSelector, path.keyPath, kReadAccess);
  if (!key) return fallback;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), path.valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return fallback;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return fallback;
  std::vector<char> data(size);
  if (size > 0 && RegQueryValueExA(key.get(), path.valueName.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
    return fallback;
  }
  data.resize(size);  // the value may have shrunk between the two queries
  const std::string text = TextOfData(data);
  return type == REG_EXPAND_SZ ? ExpandEnvironment(text) : text;
}

bool DeleteRegistryItem(int rootSelector, const std::string& itemPath) {
  const RegistryItemPath path = SplitRegistryItemPath(itemPath);
  if (UniqueHKey key = OpenKey(rootSelector, path.keyPath, kWriteAccess)) {
    if (RegDeleteValueA(key.get(), path.valueName.c_str()) == ERROR_SUCCESS) return true;
  }
  return RegDeleteKeyA(RootKeyFor(rootSelector), itemPath.c_str()) == ERROR_SUCCESS;
}
