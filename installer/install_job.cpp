#include "installer/install_job.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "common/bench_marks.h"
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
  VM_BENCH_MARK("job: start");
  for (const char* program : kProductPrograms) KillProcessByName(std::string(program), false);
  VM_BENCH_MARK("job: programs stopped");

  const std::string folder = ResolveInstallFolder();
  if (PathIsDirectoryA(folder.c_str()) && !RemoveFolderTree(folder)) {
    ShowFolderRemovalError(folder);
    TerminateSelf(0);
  }
  VM_BENCH_MARK("job: old folder removed");
  if (!CreateDirectoryA(folder.c_str(), nullptr)) {
    Abandon(kStatusFolderFailed, 1);
    return;
  }

  SetStatusText(kStatusWritingFiles);
  const std::string archive = folder + "install.zip";
  VM_BENCH_MARK("job: folder created");
  if (!WriteBytesToFile(archive, PayloadArchive())) {
    Abandon(kStatusWriteFailed, 2);
    return;
  }
  VM_BENCH_MARK("job: archive written");
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

  VM_BENCH_MARK("job: extracted");
  // The registration quotes the path in the command it writes; the icon row holds it bare.
  const std::string protocolProgram = folder + "Auxiliary\\Tarnlink.exe";
  for (int rootSelector : {kClassesRoot, kCurrentConfig, kCurrentUser}) {
    if (!shell.IsUrlProtocolRegistered(kProtocolName, rootSelector)) {
      SetStatusText(kStatusRegisteringProtocol);
      shell.RegisterUrlProtocol(kProtocolName, protocolProgram, rootSelector);
    }
  }

  VM_BENCH_MARK("job: protocol registered");
  SetStatusText(kStatusTaskbar);
  if (GetSystemVersionCode() > 6) shell.PinToTaskbar(folder, "Velmora.exe");

  VM_BENCH_MARK("job: taskbar pin");
  SetStatusText(kStatusDesktopShortcut);
  CreateDesktopShortcut("Velmora·ruv", folder + "Velmora.exe");

  VM_BENCH_MARK("job: desktop shortcut");
  SetStatusText(kStatusStartMenu);
  CreateStartMenuShortcuts(folder);
  VM_BENCH_MARK("job: start-menu shortcuts");

  RunProgram(QuotedPath(folder + "Velmora.exe"), false);

  SetStatusText(kStatusRegistering);
  RegisterUninstallEntry(folder);
  VM_BENCH_MARK("job: uninstall entry");

  SetStatusText(kStatusFinishing);
  DeleteFileA(archive.c_str());
  VM_BENCH_MARK("job: archive deleted");
  ShellOpen(folder + "使用说明.txt");
  VM_BENCH_MARK("job: usage notes opened");
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
  VM_BENCH_MARK("job: product process created");
  if (wait) {
    WaitForSingleObject(process.get(), INFINITE);
  } else {
    WaitForInputIdle(process.get(), 1000);
  }
  VM_BENCH_MARK("job: product input idle");
  return true;
}

void ShellOpen(const std::string& target) {
  HWND owner = FindWindowA(nullptr, "Microsoft Internet Explorer");
  ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
