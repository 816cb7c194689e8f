#include "tests/support/registry_values.h"

#include <vector>

#include "common/win_handle.h"

namespace {

UniqueHKey OpenForReading(HKEY root, const std::string& key) {
  UniqueHKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) opened.reset();
  return opened;
}

}  // namespace

bool RegistryKeyExists(HKEY root, const std::string& key) { return static_cast<bool>(OpenForReading(root, key)); }

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::string& key, const std::string& name) {
  const UniqueHKey opened = OpenForReading(root, key);
  if (!opened) return std::nullopt;
  RegistryValue value;
  DWORD size = 0;
  if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()),
                       &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

std::map<std::string, RegistryValue> RegistryValues(HKEY root, const std::string& key) {
  std::map<std::string, RegistryValue> values;
  const UniqueHKey opened = OpenForReading(root, key);
  if (!opened) return values;
  DWORD longestName = 0;
  DWORD longestData = 0;
  if (RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                       &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
    return values;
  }
  std::vector<char> name(longestName + 1);
  std::vector<BYTE> data(longestData + 1);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    if (RegEnumValueA(opened.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize) !=
        ERROR_SUCCESS) {
      break;
    }
    values[std::string(name.data(), nameLength)] = {type, std::string(reinterpret_cast<char*>(data.data()), dataSize)};
  }
  return values;
}

bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
  UniqueHKey opened;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.put(), nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(opened.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}
