// Minor shell operations around processes: the single-instance test by executable name, elevated
// start, the administrator test and the chat link.
#pragma once

#include <optional>
#include <string>

// Answers whether another process of this executable's file name asked first: the first asker
// creates a mutex of that name and keeps it for the rest of its life (and itself keeps getting
// false).
bool IsInstanceRunning();

// Starts a program with the "runas" verb (the system asks for elevation where it can): the given
// path, or this process's own executable when none or an empty one is given. Not waited for.
// Answers whether the start succeeded.
bool RunElevated(const std::optional<std::string>& programPath, const std::string& parameters);

// Answers whether the user is a member of the administrators group.
bool IsUserAdmin();

// Opens the instant-messaging chat with `account` (the configured chat-link prefix followed by
// the account number). Failures are not reported.
void OpenChatLink(const std::string& account);
