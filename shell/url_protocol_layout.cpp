#include "shell/url_protocol_layout.h"

namespace {

// The program as the first word of a command line. The shell runs the command text as it stands,
// and an unquoted "C:\Program Files\..." would start C:\Program.exe where one exists.
std::string CommandWord(const std::string& programPath) {
  if (!programPath.empty() && programPath.front() == '"') return programPath;  // quoted by the caller
  return "\"" + programPath + "\"";
}

}  // namespace

std::vector<RegistryTextItem> UrlProtocolLayout(const std::string& name, const std::string& programPath) {
  return {
      {name + "\\", "URL:  " + name + " protocol Handler"},
      {name + "\\URL protocol", ""},
      {name + "\\DefaultIcon\\", programPath + "   "},
      {name + "\\shell\\", ""},
      {name + "\\shell\\open\\", ""},
      {UrlProtocolCommandItem(name), CommandWord(programPath) + "  \"%1\""},
  };
}

std::string UrlProtocolCommandItem(const std::string& name) { return name + "\\shell\\open\\command\\"; }
