// The product's shortcuts: one on the desktop, made through the WshShell automation object, and
// three in the Start menu, made through the shell-link interface. All go to the current user's
// folders. The calling thread must have COM initialised.
#pragma once

#include <optional>
#include <string>

// A special folder with a trailing backslash, or the empty text when the system cannot tell it:
// 1 Documents, 2 Favorites, 3 Desktop (also when omitted), 4 Fonts, 5 Start menu, 6 Programs,
// 7 Startup, 8 Application data, 9 Windows, 10 System, 11 Temp, 12 Internet cache. Other
// selectors give the empty text. Folders are not created.
std::string GetSpecialFolder(std::optional<int> selector = std::nullopt);

// Saves desktop + name + ".lnk" pointing at `target` through WshShell, replacing an existing file
// of that name. A name with a backslash is cut to its file name without extension. The working
// directory is the target's folder; the icon is `icon`, else "SHELL32.dll,4" for a target
// without extension, else target + ",0"; the window style defaults to 0. Answers false, saving
// nothing, when the target has no backslash, the desktop folder is unknown or the automation
// object or its TargetPath fails.
bool CreateDesktopShortcut(const std::string& name, const std::string& target,
                           const std::optional<std::string>& arguments = std::nullopt,
                           const std::optional<std::string>& icon = std::nullopt,
                           std::optional<int> windowStyle = std::nullopt,
                           const std::optional<std::string>& description = std::nullopt,
                           const std::optional<std::string>& hotkey = std::nullopt);

// Saves a shell link to `target` with show command SW_SHOW at linkPath (+ ".lnk" when linkPath
// has no "."), overwriting an existing file. Description, arguments and working directory are
// set only when given. Answers whether the link was saved.
bool CreateShellLink(const std::string& linkPath, const std::string& target,
                     const std::optional<std::string>& description = std::nullopt,
                     const std::optional<std::string>& arguments = std::nullopt,
                     const std::optional<std::string>& workingDirectory = std::nullopt);

// The install job's Start-menu links for the install folder `folder` (ends with a backslash):
// start menu + "Velmora.lnk" and programs + "Velmora\启动Velmora.lnk" to the product, programs +
// "Velmora\卸载.lnk" to the uninstaller. Results are not reported.
void CreateStartMenuShortcuts(const std::string& folder);
