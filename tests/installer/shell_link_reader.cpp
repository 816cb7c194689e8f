#include "tests/installer/shell_link_reader.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <cstring>

#include "common/win_handle.h"

std::optional<ShellLinkFields> ReadShellLink(const std::string& linkPath) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.put_void()))) {
    return std::nullopt;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return std::nullopt;
  std::wstring widePath(MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath.data(), static_cast<int>(widePath.size()));
  if (FAILED(file->Load(widePath.c_str(), STGM_READ))) return std::nullopt;

  ShellLinkFields fields;
  char buffer[MAX_PATH * 2] = {};
  if (SUCCEEDED(link->GetPath(buffer, sizeof buffer, nullptr, SLGP_RAWPATH))) fields.target = buffer;
  buffer[0] = '\0';
  if (SUCCEEDED(link->GetWorkingDirectory(buffer, sizeof buffer))) fields.workingDirectory = buffer;
  buffer[0] = '\0';
  if (SUCCEEDED(link->GetIconLocation(buffer, sizeof buffer, &fields.iconIndex))) fields.iconPath = buffer;
  buffer[0] = '\0';
  if (SUCCEEDED(link->GetDescription(buffer, sizeof buffer))) fields.description = buffer;
  buffer[0] = '\0';
  if (SUCCEEDED(link->GetArguments(buffer, sizeof buffer))) fields.arguments = buffer;
  WORD hotkey = 0;
  link->GetHotkey(&hotkey);
  fields.hotkey = hotkey;
  // Wine's IShellLink does not take the show command back from the file it loads: read it from
  // the file's header (32-bit ShowCommand at offset 0x3C of the 0x4C-byte header).
  UniqueFile raw(CreateFileA(linkPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  BYTE header[0x4C] = {};
  DWORD read = 0;
  if (!raw || !ReadFile(raw.get(), header, sizeof header, &read, nullptr) || read != sizeof header) return std::nullopt;
  std::memcpy(&fields.showCommand, header + 0x3C, sizeof(int32_t));
  return fields;
}
