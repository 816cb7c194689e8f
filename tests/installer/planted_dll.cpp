// The DLL that the search-order tests plant beside a program and in the current folder. Loaded as
// code, it appends its own path to the file named by the environment variable VM_PLANTED_MARKER
// (when that is set), so that a test can see a load in another process.
#include <windows.h>

extern "C" __declspec(dllexport) int PlantedMarker() { return 0x504C4E54; }

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char marker[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("VM_PLANTED_MARKER", marker, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  char path[MAX_PATH];
  const DWORD pathLength = GetModuleFileNameA(module, path, MAX_PATH);
  HANDLE file = CreateFileA(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  DWORD written = 0;
  WriteFile(file, path, pathLength, &written, nullptr);
  WriteFile(file, "\r\n", 2, &written, nullptr);
  CloseHandle(file);
  return TRUE;
}
