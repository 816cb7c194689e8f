#include "shell/url_protocol_layout.h"

std::vector<RegistryTextItem> UrlProtocolLayout(const std::string& name, const std::string& programPath) {
  return {
      {name + "\\", "URL:  " + name + " protocol Handler"},
      {name + "\\URL protocol", ""},
      {name + "\\DefaultIcon\\", programPath + "   "},
      {name + "\\shell\\", ""},
      {name + "\\shell\\open\\", ""},
      {UrlProtocolCommandItem(name), programPath + "  \"%1\""},
  };
}

std::string UrlProtocolCommandItem(const std::string& name) { return name + "\\shell\\open\\command\\"; }
