// The product's entry in the current user's list of installed programs.
#pragma once

#include <string>

// Registry key of the entry below HKEY_CURRENT_USER.
inline constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora";

// Writes the entry for the install folder `folder` (ends with a backslash) below
// HKEY_CURRENT_USER: an empty default value (which creates the key), then DisplayIcon, Publisher,
// DisplayName, InstallDate (local time now), DisplayVersion and UninstallString (the uninstaller's
// path in double quotes: the system starts it as a command line), all REG_SZ. Write failures are
// not reported.
void RegisterUninstallEntry(const std::string& folder);
