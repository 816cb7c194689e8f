#include "installer/shortcuts.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "common/system_library.h"
#include "common/win_handle.h"
#include "installer/install_text.h"
#include "shell/automation.h"

namespace {

std::string WithTrailingBackslash(const char* folder) {
  std::string text = folder;
  if (!text.empty() && text.back() != '\\') text += '\\';
  return text;
}

std::optional<int> CsidlFor(int selector) {
  switch (selector) {
    case 1: return CSIDL_PERSONAL;
    case 2: return CSIDL_FAVORITES;
    case 3: return CSIDL_DESKTOPDIRECTORY;
    case 4: return CSIDL_FONTS;
    case 5: return CSIDL_STARTMENU;
    case 6: return CSIDL_PROGRAMS;
    case 7: return CSIDL_STARTUP;
    case 8: return CSIDL_APPDATA;
    case 12: return CSIDL_INTERNET_CACHE;
    default: return std::nullopt;
  }
}

// The desktop shortcut's name: a path is cut to its file name without extension.
std::string ShortcutName(const std::string& name) {
  if (name.find('\\') == std::string::npos) return name;
  const char* fileName = PathFindFileNameA(name.c_str());
  const size_t extension = std::strlen(PathFindExtensionA(fileName));
  return std::string(fileName, std::strlen(fileName) - extension);
}

std::string DefaultIconLocation(const std::string& target) {
  if (*PathFindExtensionA(target.c_str()) == '\0') return "SHELL32.dll,4";
  return target + ",0";
}

}  // namespace

std::string GetSpecialFolder(std::optional<int> selector) {
  const int chosen = selector.value_or(3);
  char buffer[MAX_PATH] = {};
  switch (chosen) {
    case 9:
      if (GetWindowsDirectoryA(buffer, MAX_PATH) == 0) return std::string();
      return WithTrailingBackslash(buffer);
    case 10:
      if (GetSystemDirectoryA(buffer, MAX_PATH) == 0) return std::string();
      return WithTrailingBackslash(buffer);
    case 11:
      if (GetTempPathA(MAX_PATH, buffer) == 0) return std::string();
      return WithTrailingBackslash(buffer);
  }
  const std::optional<int> csidl = CsidlFor(chosen);
  if (!csidl || !SHGetSpecialFolderPathA(nullptr, buffer, *csidl, FALSE)) return std::string();
  return WithTrailingBackslash(buffer);
}

bool CreateDesktopShortcut(const std::string& name, const std::string& target,
                           const std::optional<std::string>& arguments, const std::optional<std::string>& icon,
                           std::optional<int> windowStyle, const std::optional<std::string>& description,
                           const std::optional<std::string>& hotkey) {
  const std::string desktop = GetSpecialFolder(3);
  if (desktop.empty()) return false;  // never a shortcut in whatever the current folder is
  const std::string linkPath = DesktopLinkPath(desktop, ShortcutName(name));
  if (GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileA(linkPath.c_str());

  const std::optional<std::string> workingDirectory = ShortcutWorkingDirectory(target);
  if (!workingDirectory) return false;

  AutomationObject shell = AutomationObject::CreateFromTypeLibrary(SystemFilePath(L"wshom.ocx").c_str(), L"WshShell");
  if (shell.empty()) return false;
  Variant linkArgument[] = {Variant::Text(linkPath)};
  AutomationObject link = shell.CallForObject(L"CreateShortcut", linkArgument);
  if (link.empty()) return false;
  if (!link.Put(L"TargetPath", Variant::Text(target))) return false;

  link.Put(L"WorkingDirectory", Variant::Text(*workingDirectory));
  link.Put(L"IconLocation", Variant::Text(icon ? *icon : DefaultIconLocation(target)));
  link.Put(L"WindowStyle", Variant::Int(windowStyle.value_or(0)));
  link.Put(L"Description", Variant::Text(description.value_or(std::string())));
  link.Put(L"Arguments", Variant::Text(arguments.value_or(std::string())));
  link.Put(L"Hotkey", Variant::Text(hotkey.value_or(std::string())));
  link.Call(L"Save");
  return true;
}

bool CreateShellLink(const std::string& linkPath, const std::string& target,
                     const std::optional<std::string>& description, const std::optional<std::string>& arguments,
                     const std::optional<std::string>& workingDirectory) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()))) {
    return false;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
  link->SetPath(target.c_str());
  link->SetShowCmd(SW_SHOW);
  if (description) link->SetDescription(description->c_str());
  if (arguments) link->SetArguments(arguments->c_str());
  if (workingDirectory) link->SetWorkingDirectory(workingDirectory->c_str());
  const std::wstring fileName = WideFromAnsi(ShellLinkFileName(linkPath));
  return SUCCEEDED(file->Save(fileName.c_str(), TRUE));
}

void CreateStartMenuShortcuts(const std::string& folder) {
  const std::string startMenu = GetSpecialFolder(5);
  const std::string programs = GetSpecialFolder(6);
  // An unknown folder would turn the link paths relative to whatever the current folder is.
  if (!startMenu.empty()) CreateShellLink(startMenu + "Velmora.lnk", folder + "Velmora.exe");
  if (programs.empty()) return;
  CreateDirectoryA((programs + "Velmora").c_str(), nullptr);  // may already exist
  CreateShellLink(programs + "Velmora\\启动Velmora.lnk", folder + "Velmora.exe");
  CreateShellLink(programs + "Velmora\\卸载.lnk", folder + "Uninstall.exe");
}
