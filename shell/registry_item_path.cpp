#include "shell/registry_item_path.h"

#include "shell/ansi_path.h"

RegistryItemPath SplitRegistryItemPath(std::string_view itemPath) {
  const size_t last = LastBackslashIndex(itemPath);
  if (last == std::string_view::npos) return {std::string(), std::string(itemPath)};
  return {std::string(itemPath.substr(0, last)), std::string(itemPath.substr(last + 1))};
}
