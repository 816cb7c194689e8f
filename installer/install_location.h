// Where the product goes and how the place is cleared: stopping the product's running programs,
// the install folder, and removing an earlier install folder as a whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The process id of the first process in the system's snapshot whose executable file name
// matches `name` (install_text.h's ProcessNameMatches), or 0 when none does or no snapshot can
// be taken.
uint32_t FindProcessByName(const std::string& name, bool caseSensitive);

// Terminates the first process of that name other than this one (only that one: a second running
// copy of the same program survives) and waits a bounded time for it to be gone, so that its files
// can be removed right after. This process is never terminated, whatever its file name. No name
// means this process's own executable file name. Answers whether TerminateProcess succeeded.
bool KillProcessByName(const std::optional<std::string>& name, bool caseSensitive);

// "%ProgramFiles%\Velmora\", or "C:\Program Files\Velmora\" when that variable is empty or unset.
std::string ResolveInstallFolder();

// Deletes the folder `path` (with or without a trailing backslash) and everything in it, and
// answers whether the folder itself is gone. Refuses an empty path and a drive root. Entries whose
// names begin with "." are left alone, so a folder holding one cannot be removed. A junction or
// symbolic link is never followed: inside the folder it is removed as a link, and when `path`
// itself is one, only the link is removed; what a link points to is never touched. A reparse
// point whose kind the listing does not tell is left alone (and the folder with it).
bool RemoveFolderTree(const std::string& path);
