// Registry item paths: one text naming one registry value below a root key. The part before the
// last backslash is the key path, the part after it the value name; a path ending with a backslash
// names the key's default value, a path without a backslash a value of the root key itself.
// Pure logic: no Windows calls.
#pragma once

#include <string>
#include <string_view>

struct RegistryItemPath {
  std::string keyPath;    // empty: the root key itself
  std::string valueName;  // empty: the key's default value
};

// Splits at the last backslash that is a character of its own (never the trail byte of a GBK
// character).
RegistryItemPath SplitRegistryItemPath(std::string_view itemPath);
