// The install job's texts and names that need no system call: the install folder, process-name
// matching, the folder-removal message, the uninstall entry's date, the shortcut paths and the
// system version codes. Pure logic: no Windows calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// ---- Install location ---------------------------------------------------------------------------

// The install folder for the value of the "ProgramFiles" environment variable; always ends with a
// backslash. An empty value gives "C:\Program Files\Velmora\".
std::string InstallFolderFor(const std::string& programFiles);

// Whether a process snapshot's executable name matches `wanted`. Without case sensitivity only the
// ASCII letters A to Z are folded; both bytes of a double-byte character are compared unchanged.
bool ProcessNameMatches(std::string_view exeName, std::string_view wanted, bool caseSensitive);

// Whether folder removal must refuse `path` outright: after leading spaces it is empty, a drive
// root ("C:", "C:\", "C:/") or the root of the current drive ("\", "/").
bool IsRefusedRemovalPath(std::string_view path);

// How folder removal treats a directory entry, from its attributes and reparse tag (as a
// directory listing reports them).
enum class RemovalKind {
  kOrdinary,      // a file or folder of its own: delete it (a folder with its contents)
  kLink,          // a junction or symbolic link: remove the link itself, never what it points to
  kUnidentified,  // a reparse point whose tag is unknown: leave it alone, the removal then fails
};
RemovalKind ClassifyForRemoval(uint32_t attributes, uint32_t reparseTag);

// The text of the message box shown when the install folder cannot be removed.
std::string FolderRemovalMessage(const std::string& folder);

// ---- Uninstall entry ----------------------------------------------------------------------------

struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;
  int hour = 0;  // 0..23
  int minute = 0;
  int second = 0;
};

// "2015年4月22日9时57分41秒": the date, then the time of day down to its last non-zero part
// (seconds, else minutes, else hours, else nothing).
std::string FormatInstallDate(const LocalDateTime& time);

// ---- Shortcuts ----------------------------------------------------------------------------------

// desktop + name, followed by ".lnk" unless the name already contains ".lnk" (ASCII case ignored).
std::string DesktopLinkPath(const std::string& desktopFolder, const std::string& name);

// The target's folder with a trailing backslash, or nullopt when the target has no backslash
// (such a target gets no shortcut).
std::optional<std::string> ShortcutWorkingDirectory(const std::string& target);

// The file a shell link is saved to: linkPath unchanged when it contains a ".", else + ".lnk".
std::string ShellLinkFileName(const std::string& linkPath);

// ---- System version -----------------------------------------------------------------------------

// The version code for the environment block's OS version: 4 for 4.x and older, 5 for 5.0, 6 for
// 5.1 (XP), 7 for 5.2, 8 for 6.0, 9 for 6.1, 0 for every other version.
int VersionCodeFor(uint32_t major, uint32_t minor);

// The code on the Windows 9x family: 1, 2 or 3 for the first of the three thread-block words
// (offsets 0x58, 0x54, 0x7C) that equals 0x530000, else 0.
int NineXVersionCode(uint32_t word58, uint32_t word54, uint32_t word7C);

// ---- Starting programs --------------------------------------------------------------------------

// The show command for RunProgram's show mode: 1 hide, 2 normal, 3 minimised, 4 maximised, 5 shown
// without activation, 6 minimise (above 6 counts as 6, below 1 as 1); omitted means normal.
int ShowCommandForMode(std::optional<int> showMode);

// A path as one command-line word: in double quotes, so that a path with spaces
// ("C:\Program Files\...") is never taken for a shorter program path followed by arguments.
std::string QuotedPath(const std::string& path);
