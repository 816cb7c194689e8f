// Time stamps of the benchmark build: VM_BENCH_MARK("stage") notes when a stage of start-up or of
// the install job is reached. Only a build configured with -DVM_BENCH_MARKS=ON (the x64-bench
// preset) has them; everywhere else the macro is nothing, and the shipped (i686) build refuses the
// option (cmake/Options.cmake).
//
// Each mark is one line appended at once to the file named by the environment variable
// VM_BENCH_MARKS_FILE (nothing is written without it): microseconds since 1970 (UTC, the clock
// the benchmark script reads with `date`), the process id and the stage's name. Written at once,
// because the installer ends with TerminateProcess and nothing would be flushed.
// scripts/bench-installer.sh reads the file and prints the breakdown.
#pragma once

#if defined(VM_BENCH_MARKS)

#include <windows.h>

#include <cstdio>

namespace vm_bench {

inline HANDLE MarksFile() {
  static const HANDLE file = [] {
    char path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("VM_BENCH_MARKS_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }();
  return file;
}

inline void Mark(const char* stage) {
  const HANDLE file = MarksFile();
  if (file == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);  // 100 ns units since 1601
  const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const unsigned long long unixMicroseconds = (ticks - 116444736000000000ull) / 10;
  char line[200];
  const int length = std::snprintf(line, sizeof line, "%llu %lu %s\n", unixMicroseconds,
                                   static_cast<unsigned long>(GetCurrentProcessId()), stage);
  if (length <= 0) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length < static_cast<int>(sizeof line) ? length : sizeof line - 1),
            &written, nullptr);
}

}  // namespace vm_bench

#define VM_BENCH_MARK(stage) ::vm_bench::Mark(stage)

#else

#define VM_BENCH_MARK(stage) ((void)0)

#endif
