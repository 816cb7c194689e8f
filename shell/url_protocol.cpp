#include "shell/url_protocol.h"

#include "shell/registry_item.h"
#include "shell/url_protocol_layout.h"

bool RegisterUrlProtocol(const std::string& name, const std::string& programPath, int rootSelector) {
  for (const RegistryTextItem& item : UrlProtocolLayout(name, programPath)) {
    WriteRegistryItem(rootSelector, item.itemPath, item.text);
  }
  return IsUrlProtocolRegistered(name, rootSelector);
}

std::string GetUrlProtocolCommand(const std::string& name, int rootSelector) {
  return ReadRegistryText(rootSelector, UrlProtocolCommandItem(name));
}

void UnregisterUrlProtocol(const std::string& name) {
  for (int rootSelector : {kClassesRoot, kCurrentUser, kLocalMachine}) {
    for (const RegistryTextItem& item : UrlProtocolLayout(name, std::string())) {
      DeleteRegistryItem(rootSelector, item.itemPath);
    }
  }
}

bool IsUrlProtocolRegistered(const std::string& name, int rootSelector) {
  return RegistryItemExists(rootSelector, UrlProtocolCommandItem(name));
}
