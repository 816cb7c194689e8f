// URL-protocol registration: the values of url_protocol_layout.h written, checked, read and
// removed through the registry item access. The ShellUtility object carries these operations.
#pragma once

#include <string>

// Writes the six values of the protocol below the selected root (each write's result is ignored)
// and answers whether the open-command entry exists afterwards.
bool RegisterUrlProtocol(const std::string& name, const std::string& programPath, int rootSelector);

// The open-command entry's text, or the empty text.
std::string GetUrlProtocolCommand(const std::string& name, int rootSelector);

// Deletes the six values below HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, in
// layout order; the emptied keys stay. HKEY_CURRENT_CONFIG and HKEY_USERS are not visited.
void UnregisterUrlProtocol(const std::string& name);

// Answers whether the open-command entry exists below the selected root.
bool IsUrlProtocolRegistered(const std::string& name, int rootSelector);
