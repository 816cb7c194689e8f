// Reads a saved shortcut back through IShellLinkA, the way the shell sees it. The calling thread
// must have COM initialised.
#pragma once

#include <optional>
#include <string>

struct ShellLinkFields {
  std::string target;
  std::string workingDirectory;
  std::string iconPath;
  int iconIndex = 0;
  int showCommand = 0;  // as stored in the file
  std::string description;
  std::string arguments;
  unsigned hotkey = 0;
};

// nullopt when the file is missing or is not a shortcut.
std::optional<ShellLinkFields> ReadShellLink(const std::string& linkPath);
