// Runs the rich-edit service on its own for the benchmark and load scripts and for trying clients
// by hand: prints "port <port> element <id>", then one line for every content an element receives
// (only a count with --count-only), and serves until the process is ended.
//
// Commands, one a line on standard input (each answered by one line):
//   install <ms>   plays the GUI thread of an install for <ms> milliseconds: busy for 40 ms, then
//                  dispatching messages for 10 ms, again and again; answers "installed"
//   stall <ms>     keeps the GUI thread busy for <ms> milliseconds without dispatching anything
//                  (a long step of an install between two progress reports); answers "stalled"
//   report         answers "report delivered=<n> delivered_bytes=<n> pagefile=<bytes>
//                  working_set=<bytes> peak_working_set=<bytes> threads=<n>"
//   quit           ends the process
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "common/critical_section.h"
#include "common/win_handle.h"
#include "tests/richedit/content_element.h"
#include "toolkit/richedit/richedit_service.h"

namespace {

constexpr UINT kCommandArrived = WM_APP + 1;

class PrintingElement : public ContentElement {
 public:
  explicit PrintingElement(bool countOnly) : countOnly_(countOnly) {}
  intptr_t HandleMessage(uint32_t code, intptr_t a, intptr_t b) override {
    if (code != kRichEditContentMessage) return 0;
    const auto* text = reinterpret_cast<const wchar_t*>(b);
    ++delivered;
    deliveredBytes += std::wcslen(text) * sizeof(wchar_t);
    if (countOnly_) return 0;
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    std::printf("content %d %s\n", static_cast<int>(a), utf8.c_str());
    std::fflush(stdout);
    return 0;
  }
  uint64_t delivered = 0;
  uint64_t deliveredBytes = 0;

 private:
  bool countOnly_;
};

// Lines read from standard input by a thread of their own, handed to the GUI thread through a
// locked queue; the thread message only wakes it.
struct CommandQueue {
  CriticalSectionLock lock;
  std::deque<std::string> lines;  // guarded by lock
  DWORD guiThread = 0;
};

DWORD WINAPI ReadCommands(void* argument) noexcept {
  auto* queue = static_cast<CommandQueue*>(argument);
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buffer[256];
  DWORD read = 0;
  while (ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    pending.append(buffer, read);
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      std::string line = pending.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      {
        CriticalSectionLock::ScopedLock hold(queue->lock);
        queue->lines.push_back(line);
      }
      PostThreadMessageW(queue->guiThread, kCommandArrived, 0, 0);
    }
  }
  return 0;
}

void DispatchPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// What an install does to the GUI thread: the job runs on it and lets messages through only
// inside its progress reports, 10 ms at a time.
void PlayInstall(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    Sleep(40);
    const ULONGLONG pumpEnd = GetTickCount64() + 10;
    do {
      DispatchPending();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    } while (GetTickCount64() < pumpEnd);
  }
}

int ThreadsOfThisProcess() {
  UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  return count;
}

void Report(const PrintingElement& element) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  std::printf("report delivered=%llu delivered_bytes=%llu pagefile=%llu working_set=%llu peak_working_set=%llu threads=%d\n",
              static_cast<unsigned long long>(element.delivered),
              static_cast<unsigned long long>(element.deliveredBytes),
              static_cast<unsigned long long>(memory.PagefileUsage),
              static_cast<unsigned long long>(memory.WorkingSetSize),
              static_cast<unsigned long long>(memory.PeakWorkingSetSize), ThreadsOfThisProcess());
  std::fflush(stdout);
}

// Answers false for "quit".
bool RunCommand(const std::string& line, const PrintingElement& element) {
  if (line == "quit") return false;
  if (line == "report") {
    Report(element);
  } else if (line.rfind("install ", 0) == 0) {
    PlayInstall(static_cast<DWORD>(std::strtoul(line.c_str() + 8, nullptr, 10)));
    std::printf("installed\n");
    std::fflush(stdout);
  } else if (line.rfind("stall ", 0) == 0) {
    Sleep(static_cast<DWORD>(std::strtoul(line.c_str() + 6, nullptr, 10)));
    std::printf("stalled\n");
    std::fflush(stdout);
  } else if (!line.empty()) {
    std::printf("unknown command %s\n", line.c_str());
    std::fflush(stdout);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool countOnly = argc > 1 && std::strcmp(argv[1], "--count-only") == 0;
  if (!StartRichEditService()) {
    std::fprintf(stderr, "the service did not start\n");
    return 1;
  }
  PrintingElement element(countOnly);
  std::printf("port %u element %d\n", RichEditServicePort(), element.objectId);
  std::fflush(stdout);

  static CommandQueue commands;  // the reader thread may outlive main's frame at exit
  commands.guiThread = GetCurrentThreadId();
  UniqueHandle reader(CreateThread(nullptr, 0, ReadCommands, &commands, 0, nullptr));

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.hwnd == nullptr && message.message == kCommandArrived) {
      while (true) {
        std::string line;
        {
          CriticalSectionLock::ScopedLock hold(commands.lock);
          if (commands.lines.empty()) break;
          line = commands.lines.front();
          commands.lines.pop_front();
        }
        if (!RunCommand(line, element)) return 0;
      }
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
