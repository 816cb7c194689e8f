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
// deleted; the open-command entry comes last. The icon row holds the path unchanged (an icon
// location is never started); the command row holds it in double quotes, so that a path with
// spaces is one command-line word (a path that already begins with a quote is left as it is).
std::vector<RegistryTextItem> UrlProtocolLayout(const std::string& name, const std::string& programPath);

// The open-command entry: the default value of key name\shell\open\command. A protocol counts as
// registered under a root exactly when this value exists there.
std::string UrlProtocolCommandItem(const std::string& name);
