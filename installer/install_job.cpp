#include "installer/install_job.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "common/win_handle.h"
#include "installer/extract.h"
#include "installer/install_location.h"
#include "installer/install_text.h"
#include "installer/progress.h"
#include "installer/shortcuts.h"
#include "installer/startup.h"
#include "installer/system_version.h"
#include "installer/uninstall_entry.h"
#include "payload/payload.h"
#include "shell/registry_item.h"
#include "shell/shell_utility.h"

namespace {

// The product's programs, stopped before the folder is cleared.
constexpr const char* kProductPrograms[] = {"Velmora.exe", "Nubiflow.exe", "Quillpane.exe", "Tarnlink.exe"};

// The one fatal failure: the old install folder cannot be removed. Returns when the box is closed.
void ShowFolderRemovalError(const std::string& folder) {
  MessageBoxA(nullptr, FolderRemovalMessage(folder).c_str(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void Abandon(const char* status, int progress) {
  SetStatusText(status);
  SetProgress(progress);
  AbandonInstall();
}

}  // namespace

void InstallJob() {
  static const ShellUtility shell;  // the installer's one utility object; it has no state
  InstallJob(shell);
}

void InstallJob(const ShellUtility& shell) {
  for (const char* program : kProductPrograms) KillProcessByName(std::string(program), false);

  const std::string folder = ResolveInstallFolder();
  if (PathIsDirectoryA(folder.c_str()) && !RemoveFolderTree(folder)) {
    ShowFolderRemovalError(folder);
    TerminateSelf(0);
  }
  if (!CreateDirectoryA(folder.c_str(), nullptr)) {
    Abandon(kStatusFolderFailed, 1);
    return;
  }

  SetStatusText(kStatusWritingFiles);
  const std::string archive = folder + "install.zip";
  if (!WriteBytesToFile(archive, PayloadArchive())) {
    Abandon(kStatusWriteFailed, 2);
    return;
  }
  const int extracted = ExtractArchive(archive, folder, [](int percentage, const std::string&) {
    SetProgress(percentage);
    return false;
  });
  // An archive gone by now (a virus scanner took it) has installed nothing: that is the
  // extraction failure too, never a success with shortcuts and an uninstall entry for an empty
  // folder.
  if (extracted != kExtractSucceeded) {
    AbandonInstall();
    SetStatusText(kStatusExtractFailed);
    SetProgress(99);
    return;
  }

  // The registration quotes the path in the command it writes; the icon row holds it bare.
  const std::string protocolProgram = folder + "Auxiliary\\Tarnlink.exe";
  for (int rootSelector : {kClassesRoot, kCurrentConfig, kCurrentUser}) {
    if (!shell.IsUrlProtocolRegistered(kProtocolName, rootSelector)) {
      SetStatusText(kStatusRegisteringProtocol);
      shell.RegisterUrlProtocol(kProtocolName, protocolProgram, rootSelector);
    }
  }

  SetStatusText(kStatusTaskbar);
  if (GetSystemVersionCode() > 6) shell.PinToTaskbar(folder, "Velmora.exe");

  SetStatusText(kStatusDesktopShortcut);
  CreateDesktopShortcut("Velmora·ruv", folder + "Velmora.exe");

  SetStatusText(kStatusStartMenu);
  CreateStartMenuShortcuts(folder);

  RunProgram(QuotedPath(folder + "Velmora.exe"), false);

  SetStatusText(kStatusRegistering);
  RegisterUninstallEntry(folder);

  SetStatusText(kStatusFinishing);
  DeleteFileA(archive.c_str());
  ShellOpen(folder + "使用说明.txt");
  TerminateSelf(0);
}

bool RunProgram(const std::string& commandLine, bool wait, std::optional<int> showMode) {
  std::vector<char> writableCommandLine(commandLine.begin(), commandLine.end());
  writableCommandLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(ShowCommandForMode(showMode));
  PROCESS_INFORMATION created{};
  if (!CreateProcessA(nullptr, writableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &created)) {
    return false;
  }
  UniqueHandle process(created.hProcess);
  UniqueHandle thread(created.hThread);
  if (wait) {
    WaitForSingleObject(process.get(), INFINITE);
  } else {
    WaitForInputIdle(process.get(), 1000);
  }
  return true;
}

void ShellOpen(const std::string& target) {
  HWND owner = FindWindowA(nullptr, "Microsoft Internet Explorer");
  ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
