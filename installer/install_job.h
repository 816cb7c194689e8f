// The whole installation, run once on the UI thread when the user presses the install button:
// stop the product's programs, clear and create the install folder, write and extract the
// package, register the URL protocol, pin, make the shortcuts, start the product, write the
// uninstall entry, open the usage notes and end the process. Every stage is announced through
// SetStatusText (progress.h).
#pragma once

#include <optional>
#include <string>

class ShellUtility;

// The status texts of the stages, in the order they are shown.
inline constexpr char kStatusFolderFailed[] = "创建目录失败，请检查是否被杀软禁止！";
inline constexpr char kStatusWritingFiles[] = "开始释放文件...！";
inline constexpr char kStatusWriteFailed[] = "释放文件失败！";
inline constexpr char kStatusExtractFailed[] = "解压失败，请检查目录是否有写入权限！";
inline constexpr char kStatusRegisteringProtocol[] = "正在注册客户端通信主要组件....";
inline constexpr char kStatusTaskbar[] = "创建任务栏快捷方式...！";
inline constexpr char kStatusDesktopShortcut[] = "创建桌面快捷方式...！";
inline constexpr char kStatusStartMenu[] = "创建开始菜单快捷方式...！";
inline constexpr char kStatusRegistering[] = "注册组件...！";
inline constexpr char kStatusFinishing[] = "完成安装...！";

// The product's URL protocol.
inline constexpr char kProtocolName[] = "Velmora";

// Runs the installation with the installer's own ShellUtility object.
void InstallJob();
// Runs the installation with `shell` for the URL protocol and the taskbar pin. Ends the process
// with exit code 0 on success and after the folder-removal message box; returns only when the
// folder cannot be created, or the package cannot be written or extracted (the display is then
// in its abandoned state).
void InstallJob(const ShellUtility& shell);

// Starts `commandLine` (the whole text; no handle inheritance) with the show command of
// install_text.h's ShowCommandForMode. With `wait` blocks until the program ends, otherwise waits
// at most a second for it to become idle. Answers whether the process was created.
bool RunProgram(const std::string& commandLine, bool wait, std::optional<int> showMode = std::nullopt);

// Opens `target` with its "open" verb, owned by the window titled "Microsoft Internet Explorer"
// when there is one. Failures are not reported.
void ShellOpen(const std::string& target);
