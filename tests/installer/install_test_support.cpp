#include "tests/installer/install_test_support.h"

#include <windows.h>

#include "common/win_handle.h"

std::string HelperPath() { return ModuleFolder() + "install_test_helper.exe"; }

std::string HelperCommand(const std::string& arguments) { return Quoted(HelperPath()) + " " + arguments; }

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
