// Reading the registry back the way a test compares it: raw types and bytes, REG_SZ data with its
// terminating zero as stored.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

struct RegistryValue {
  DWORD type = REG_NONE;
  std::string data;  // the bytes as stored
  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

bool RegistryKeyExists(HKEY root, const std::string& key);
// One value of `key` (name "" is the default value); nothing when the key or the value is missing.
std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::string& key, const std::string& name);
// Every value of `key` by name; empty when the key is missing.
std::map<std::string, RegistryValue> RegistryValues(HKEY root, const std::string& key);
// Writes a REG_SZ value (creating the key); false when that fails.
bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text);
