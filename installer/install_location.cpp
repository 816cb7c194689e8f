#include "installer/install_location.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "common/win_handle.h"
#include "installer/install_text.h"
#include "shell/ansi_path.h"

namespace {

// Long enough for a terminated program to let go of its files; short enough that a process that
// will not end does not hold up the installer (the folder removal then reports it).
constexpr DWORD kTerminationWaitMs = 5000;

std::string OwnExecutableFileName() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full(path, length);
  const size_t slash = full.find_last_of("\\/");
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

// A junction or symbolic link is removed as itself: RemoveDirectoryA on a directory link and
// DeleteFileA on a file link remove the link and do not follow it.
void RemoveLink(const std::string& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}

// Deletes what is inside `folder` (no trailing backslash), depth first. Failures are left for the
// final RemoveDirectoryA of the top folder to report.
void RemoveFolderContents(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
  if (!find) return;
  do {
    if (entry.cFileName[0] == '.') continue;  // ".", ".." and dot-named entries alike
    const std::string path = folder + "\\" + entry.cFileName;
    switch (ClassifyForRemoval(entry.dwFileAttributes, entry.dwReserved0)) {
      case RemovalKind::kLink:
        RemoveLink(path, entry.dwFileAttributes);
        break;
      case RemovalKind::kUnidentified:
        break;  // stays, and so does the folder
      case RemovalKind::kOrdinary:
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveFolderContents(path);
          RemoveDirectoryA(path.c_str());
        } else {
          DeleteFileA(path.c_str());
        }
        break;
    }
  } while (FindNextFileA(find.get(), &entry));
}

// The first process in the snapshot whose executable file name matches, passing over the process
// `skippedId`; 0 when none.
uint32_t FirstMatchingProcess(const std::string& name, bool caseSensitive, uint32_t skippedId) {
  UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ProcessID != skippedId && ProcessNameMatches(entry.szExeFile, name, caseSensitive)) {
      return entry.th32ProcessID;
    }
  }
  return 0;
}

}  // namespace

uint32_t FindProcessByName(const std::string& name, bool caseSensitive) {
  return FirstMatchingProcess(name, caseSensitive, 0);  // id 0 is the idle process, never a match
}

bool KillProcessByName(const std::optional<std::string>& name, bool caseSensitive) {
  // An installer saved under a product name ("Velmora.exe") is in the snapshot too: it must
  // never end itself, and stops the first other process of that name instead.
  const uint32_t processId =
      FirstMatchingProcess(name.value_or(OwnExecutableFileName()), caseSensitive, GetCurrentProcessId());
  if (processId == 0) return false;
  UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
  if (!process) return false;
  if (TerminateProcess(process.get(), 0) != TRUE) return false;
  // TerminateProcess only starts the end; the program's files stay locked until it is gone.
  WaitForSingleObject(process.get(), kTerminationWaitMs);
  return true;
}

std::string ResolveInstallFolder() {
  const DWORD needed = GetEnvironmentVariableA("ProgramFiles", nullptr, 0);
  std::string value;
  if (needed > 0) {
    std::vector<char> buffer(needed, '\0');
    const DWORD length = GetEnvironmentVariableA("ProgramFiles", buffer.data(), needed);
    if (length < needed) value.assign(buffer.data(), length);
  }
  return InstallFolderFor(value);
}

bool RemoveFolderTree(const std::string& path) {
  if (IsRefusedRemovalPath(path)) return false;
  std::string folder = path.substr(path.find_first_not_of(' '));
  // One trailing separator is allowed ("...\Velmora\"); listing and removal want the bare folder.
  if (folder.back() == '/' || LastBackslashIndex(folder) == folder.size() - 1) folder.pop_back();
  // The folder itself may be a link: then only the link goes.
  WIN32_FIND_DATAA self;
  UniqueFindHandle find(FindFirstFileA(folder.c_str(), &self));
  if (find) {
    switch (ClassifyForRemoval(self.dwFileAttributes, self.dwReserved0)) {
      case RemovalKind::kLink: return RemoveDirectoryA(folder.c_str()) != FALSE;
      case RemovalKind::kUnidentified: return false;
      case RemovalKind::kOrdinary: break;
    }
  }
  RemoveFolderContents(folder);
  return RemoveDirectoryA(folder.c_str()) != FALSE;
}
