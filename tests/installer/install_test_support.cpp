#include "install_test_support.h"

#include <vector>

namespace {

using UnixFileNameFn = char*(CDECL*)(const WCHAR*);

// Wine's own export that turns a Windows path into a Unix one; absent on Windows.
UnixFileNameFn WineUnixFileName() {
  return reinterpret_cast<UnixFileNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

std::string UnixPathOf(const std::string& path) {
  UnixFileNameFn toUnix = WineUnixFileName();
  if (!toUnix) return std::string();
  std::wstring wide(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  char* unixPath = toUnix(wide.c_str());
  if (!unixPath) return std::string();
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

void RemoveTreeWithoutFollowingLinks(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
  if (find) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveDirectoryLink(path);
      } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeWithoutFollowingLinks(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find.get(), &entry));
  }
  find.reset();
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string HelperPath() { return ModuleFolder() + "install_test_helper.exe"; }

std::string Quoted(const std::string& path) {
  std::string quoted;
  quoted.reserve(path.size() + 2);
  quoted += '"';
  quoted += path;
  quoted += '"';
  return quoted;
}

std::string HelperCommand(const std::string& arguments) { return Quoted(HelperPath()) + " " + arguments; }

ScratchFolder::ScratchFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  static int made = 0;
  path_ = std::string(temp) + "vm-" + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(GetTickCount()) + "-" + std::to_string(++made);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  // Under Wine the Unix tools remove links as links, dangling ones included.
  if (WineUnixFileName()) {
    RunToEnd("/bin/rm -rf " + Quoted(UnixPathOf(path_)));
    for (int attempt = 0; attempt < 200 && Exists(path_); ++attempt) Sleep(10);
  } else {
    RemoveTreeWithoutFollowingLinks(path_);
  }
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

std::string ReadTextFile(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::string();
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

StartedProcess HoldFileOpen(const std::string& path, int milliseconds) {
  const std::string eventName = "VmHolderReady-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(GetTickCount());
  UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
  const std::string command =
      HelperCommand("hold " + Quoted(path) + " " + std::to_string(milliseconds) + " " + eventName);
  StartedProcess holder = StartProcess(command);
  if (!holder.process) return holder;
  HANDLE waits[] = {ready.get(), holder.process.get()};
  if (WaitForMultipleObjects(2, waits, FALSE, 10000) != WAIT_OBJECT_0) return StartedProcess();
  return holder;
}

StartedProcess StartProcess(const std::string& commandLine) {
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  StartedProcess started;
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created)) {
    return started;
  }
  CloseHandle(created.hThread);
  started.process.reset(created.hProcess);
  started.id = created.dwProcessId;
  return started;
}

int RunToEnd(const std::string& commandLine) {
  StartedProcess started = StartProcess(commandLine);
  if (!started.process) return -1;
  WaitForSingleObject(started.process.get(), 30000);
  DWORD code = 0;
  GetExitCodeProcess(started.process.get(), &code);
  return static_cast<int>(code);
}

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  if (WineUnixFileName()) {
    const std::string unixLink = UnixPathOf(link);
    const std::string unixTarget = UnixPathOf(target);
    if (unixLink.empty() || unixTarget.empty()) return false;
    RunToEnd("/bin/ln -s \"" + unixTarget + "\" \"" + unixLink + "\"");
  } else {
    CreateSymbolicLinkA(link.c_str(), target.c_str(),
                        SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE */);
  }
  // Wine does not wait for a Unix program it starts: look until the link shows.
  for (int attempt = 0; attempt < 200; ++attempt) {
    const DWORD attributes = GetFileAttributesA(link.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    Sleep(10);
  }
  return false;
}

void RemoveDirectoryLink(const std::string& link) {
  // Wine's RemoveDirectoryA follows a Unix link and removes an empty target: unlink it in Unix.
  if (WineUnixFileName()) {
    RunToEnd("/bin/rm -f \"" + UnixPathOf(link) + "\"");
    for (int attempt = 0; attempt < 200 && Exists(link); ++attempt) Sleep(10);
  } else {
    RemoveDirectoryA(link.c_str());  // removes the link itself
  }
}
