// The demo package's uninstaller: stops the product's running programs, then removes what the
// installer made for the current user (the shortcuts, the uninstall entry, the URL protocol under
// each root the installer writes it to) and the install folder it runs from.
//
//   Uninstall.exe        asks first, then removes
//   Uninstall.exe /S     removes without asking
//
// A running program cannot delete its own file, so the folder goes by a copy of this program in the
// temporary folder, started as: <copy> /remove-folder <id of this process> "<folder>"
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/win_handle.h"
#include "demo_log.h"

namespace {

constexpr char kRemoveFolderSwitch[] = "/remove-folder";

// A special folder with a trailing backslash, or the empty text.
std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  return SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE) ? std::string(path) + "\\" : std::string();
}

std::string OwnPath() {
  char path[MAX_PATH * 2] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length);
}

// The folder of a path with its trailing backslash. The scan skips the second byte of every GBK
// character: it may be 0x5C, a backslash.
std::string FolderOf(const std::string& path) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i]))) {
      ++i;
    } else if (path[i] == '\\') {
      last = i;
    }
  }
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

// `folder` ends with a backslash.
bool RemoveTree(const std::string& folder) {
  {
    WIN32_FIND_DATAA data;
    UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
    if (find) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path + "\\");
        } else {
          DeleteFileA(path.c_str());
        }
      } while (FindNextFileA(find.get(), &data));
    }
  }
  return RemoveDirectoryA(folder.c_str()) != 0;
}

// The programs the installer starts or the product runs; a running one would keep its file, and
// the install folder with it.
constexpr const char* kProductPrograms[] = {"Velmora.exe", "Nubiflow.exe", "Quillpane.exe", "Tarnlink.exe"};

// Terminates every running process of the product's programs (all copies, not only the first) and
// waits a bounded time for each to be gone.
void StopProductPrograms() {
  std::vector<DWORD> ids;
  {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
      for (const char* program : kProductPrograms) {
        if (_stricmp(entry.szExeFile, program) == 0 && entry.th32ProcessID != GetCurrentProcessId()) {
          ids.push_back(entry.th32ProcessID);
        }
      }
    }
  }
  std::vector<UniqueHandle> stopping;
  for (DWORD id : ids) {
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (process && TerminateProcess(process.get(), 0)) stopping.push_back(std::move(process));
  }
  for (const UniqueHandle& process : stopping) WaitForSingleObject(process.get(), 5000);
}

// Only a folder that holds the product is removed: a copied or misplaced uninstaller must not
// empty whatever folder it happens to sit in.
bool IsInstallFolder(const std::string& folder) {
  return folder.size() > 3 && GetFileAttributesA((folder + "Velmora.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveShortcutsAndRegistration() {
  if (std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY); !desktop.empty())
    DeleteFileA((desktop + "Velmora·ruv.lnk").c_str());
  if (std::string startMenu = SpecialFolder(CSIDL_STARTMENU); !startMenu.empty())
    DeleteFileA((startMenu + "Velmora.lnk").c_str());
  if (std::string programs = SpecialFolder(CSIDL_PROGRAMS); !programs.empty()) RemoveTree(programs + "Velmora\\");

  // SHDeleteKeyA removes a key with everything below it on every system the product runs on
  // (RegDeleteTreeA came with Vista).
  SHDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora");
  // The URL protocol, under each root the installer registers it in: HKEY_CLASSES_ROOT (and the
  // current user's classes, which that root shows first), HKEY_CURRENT_CONFIG and directly below
  // HKEY_CURRENT_USER.
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\Velmora");
  SHDeleteKeyA(HKEY_CLASSES_ROOT, "Velmora");
  SHDeleteKeyA(HKEY_CURRENT_CONFIG, "Velmora");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Velmora");
}

void HandOverFolderRemoval(const std::string& folder) {
  char temp[MAX_PATH] = {};
  if (!GetTempPathA(MAX_PATH, temp)) return;
  const std::string id = std::to_string(GetCurrentProcessId());
  const std::string copy = std::string(temp) + "VelmoraUninstall_" + id + ".exe";
  if (!CopyFileA(OwnPath().c_str(), copy.c_str(), FALSE)) return;
  // No trailing backslash inside the quotes: it would escape the closing quote.
  std::string commandLine = "\"" + copy + "\" " + kRemoveFolderSwitch + " " + id + " \"" +
                            folder.substr(0, folder.size() - 1) + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, temp, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

// The copy's work: wait for the original uninstaller to end, then remove the folder.
int RemoveFolderLater(DWORD originalId, const std::string& folderWithoutBackslash) {
  if (UniqueHandle original{OpenProcess(SYNCHRONIZE, FALSE, originalId)}) WaitForSingleObject(original.get(), 30000);
  const std::string folder = folderWithoutBackslash + "\\";
  if (IsInstallFolder(folder)) {
    // A file the product still holds can keep the folder for a moment.
    for (int attempt = 0; attempt < 10 && !RemoveTree(folder); ++attempt) Sleep(300);
  }
  // Without administrator rights this fails, and the copy stays in the temporary folder.
  MoveFileExA(OwnPath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc == 4 && std::strcmp(__argv[1], kRemoveFolderSwitch) == 0)
    return RemoveFolderLater(std::strtoul(__argv[2], nullptr, 10), __argv[3]);

  LogDemoStart(VM_DEMO_NAME);
  const bool silent = __argc >= 2 && _stricmp(__argv[1], "/S") == 0;
  if (!silent &&
      MessageBoxA(nullptr, "确定要从您的电脑中卸载 Velmora 吗？", "Velmora", MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return 0;
  }
  StopProductPrograms();
  RemoveShortcutsAndRegistration();
  const std::string folder = FolderOf(OwnPath());
  if (IsInstallFolder(folder)) HandOverFolderRemoval(folder);
  return 0;
}
