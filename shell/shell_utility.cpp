#include "shell/shell_utility.h"

#include "shell/taskbar_pin.h"
#include "shell/url_protocol.h"

std::unique_ptr<ShellUtility> ShellUtility::Clone() const { return std::unique_ptr<ShellUtility>(new ShellUtility(*this)); }

bool ShellUtility::RegisterUrlProtocol(const std::string& name, const std::string& programPath,
                                       int rootSelector) const {
  return ::RegisterUrlProtocol(name, programPath, rootSelector);
}

std::string ShellUtility::GetUrlProtocolCommand(const std::string& name, int rootSelector) const {
  return ::GetUrlProtocolCommand(name, rootSelector);
}

void ShellUtility::UnregisterUrlProtocol(const std::string& name) const { ::UnregisterUrlProtocol(name); }

bool ShellUtility::IsUrlProtocolRegistered(const std::string& name, int rootSelector) const {
  return ::IsUrlProtocolRegistered(name, rootSelector);
}

void ShellUtility::PinToTaskbar(const std::string& folderPath, const std::string& fileName) const {
  ::PinToTaskbar(folderPath, fileName);
}
