#include "tests/support/log_writer.h"

#include <windows.h>

#include "common/win_handle.h"

void AppendLogLine(const std::string& path, const std::string& line) {
  UniqueFile file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const std::string record = line + "\r\n";
  DWORD written = 0;
  WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
}
