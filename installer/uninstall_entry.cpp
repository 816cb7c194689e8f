#include "installer/uninstall_entry.h"

#include <ctime>

#include "installer/install_text.h"
#include "installer/product_version.h"
#include "shell/registry_item.h"

namespace {

LocalDateTime LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  LocalDateTime result;
  if (const std::tm* local = std::localtime(&now)) {
    result = {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec};
  }
  return result;
}

}  // namespace

void RegisterUninstallEntry(const std::string& folder) {
  const std::string key = std::string(kUninstallKey) + "\\";
  WriteRegistryItem(kCurrentUser, key, std::string());
  WriteRegistryItem(kCurrentUser, key + "DisplayIcon", folder + "Auxiliary\\DEFAULT_ICON.ico");
  WriteRegistryItem(kCurrentUser, key + "Publisher", std::string("Velmora"));
  WriteRegistryItem(kCurrentUser, key + "DisplayName", std::string("Velmora"));
  WriteRegistryItem(kCurrentUser, key + "InstallDate", FormatInstallDate(LocalTimeNow()));
  WriteRegistryItem(kCurrentUser, key + "DisplayVersion", std::string(VM_VERSION_TEXT));
  // Programs and Features starts this text through CreateProcess as it stands: unquoted, a folder
  // with spaces ("C:\Program Files\...") would first be tried as C:\Program.exe.
  WriteRegistryItem(kCurrentUser, key + "UninstallString", QuotedPath(folder + "Uninstall.exe"));
}
