// The registry values that make a URL protocol: which item paths are written, in which order, with
// which data. Pure logic: no Windows calls.
#pragma once

#include <string>
#include <vector>

struct RegistryTextItem {
  std::string itemPath;  // registry item path (see registry_item_path.h)
  std::string text;      // REG_SZ data
};

// The six values of protocol `name` handled by `programPath`, in the order they are written and
// deleted; the open-command entry comes last. The program path is used unchanged (callers that
// want it quoted pass it quoted).
std::vector<RegistryTextItem> UrlProtocolLayout(const std::string& name, const std::string& programPath);

// The open-command entry: the default value of key name\shell\open\command. A protocol counts as
// registered under a root exactly when this value exists there.
std::string UrlProtocolCommandItem(const std::string& name);
