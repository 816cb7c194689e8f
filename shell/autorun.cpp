#include "shell/autorun.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "common/win_handle.h"
#include "shell/minor_text.h"

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool WriteCommand(HKEY key, const std::string& valueName, const std::string& command) {
  // The terminating zero is stored, so that the next comparison sees the same text.
  return RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                        static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
}

// The value's data without its terminating zero; nullopt when the value is missing. The data is
// read whole, however long it is.
std::optional<std::string> StoredCommand(HKEY key, const std::string& valueName) {
  DWORD size = 0;
  if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The data stored without its zero: the reported size counts the zero.
  return std::string(data.data(), size > 0 ? size - 1 : 0);
}

}  // namespace

int AddAutorun(const std::string& programPath, const std::string& arguments, bool appendArguments,
               const std::string& valueName) {
  const std::string command = AutorunCommand(programPath, arguments, appendArguments);
  UniqueHKey key;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kRunKey, key.put()) != ERROR_SUCCESS) return kAutorunKeyUnavailable;
  const std::optional<std::string> stored = StoredCommand(key.get(), valueName);
  if (!stored) return WriteCommand(key.get(), valueName, command) ? kAutorunWritten : kAutorunWriteFailed;
  if (stored->empty()) return WriteCommand(key.get(), valueName, command) ? kAutorunFilled : kAutorunFillFailed;
  if (*stored == command) return kAutorunUnchanged;
  return WriteCommand(key.get(), valueName, command) ? kAutorunReplaced : kAutorunWriteFailed;
}

int RemoveAutorun(const std::string& valueName) {
  UniqueHKey key;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kRunKey, key.put()) != ERROR_SUCCESS) return -2;
  return RegDeleteValueA(key.get(), valueName.c_str()) == ERROR_SUCCESS ? 0 : -1;
}
