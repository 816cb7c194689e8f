#include "shell/process_shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "common/win_handle.h"
#include "shell/web_services.h"

namespace {

std::string OwnExecutablePath() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool IsInstanceRunning() {
  // Kept until the process ends: its existence is what later processes find. The process that
  // made it is the running instance, not another one, however often it asks.
  static UniqueHandle own;
  if (own) return false;
  const std::string name = FileNameOf(OwnExecutablePath());
  if (UniqueHandle other{OpenMutexA(READ_CONTROL, FALSE, name.c_str())}) return true;
  SetLastError(ERROR_SUCCESS);
  UniqueHandle created(CreateMutexA(nullptr, FALSE, name.c_str()));
  // Two processes started at the same moment can both find no mutex; the one whose creation
  // merely opened the other's mutex is the second instance (and does not keep it alive).
  if (created && GetLastError() == ERROR_ALREADY_EXISTS) return true;
  own = std::move(created);
  return false;
}

bool RunElevated(const std::optional<std::string>& programPath, const std::string& parameters) {
  const std::string program = programPath && !programPath->empty() ? *programPath : OwnExecutablePath();
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  // Done before the call returns; and no error box of the system's own for a missing program:
  // the utility reports only through its answer.
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "runas";
  info.lpFile = program.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWDEFAULT;
  return ShellExecuteExA(&info) != FALSE;
}

bool IsUserAdmin() { return IsUserAnAdmin() == TRUE; }

void OpenChatLink(const std::string& account) {
  const std::string link = CurrentWebServiceConfig().chatLinkPrefix + account;
  ShellExecuteA(nullptr, "open", link.c_str(), "", "", SW_SHOWNORMAL);
}
