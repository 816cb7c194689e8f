// The single-instance guard, in this process and between real installer processes.
#include "installer/startup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/win_handle.h"
#include "tests/support/files.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/window_lookup.h"

namespace {

std::string UniqueName(const char* base) { return std::string(base) + "_" + std::to_string(GetCurrentProcessId()); }

bool GuardExists(const char* name) { return static_cast<bool>(UniqueHandle(OpenEventA(SYNCHRONIZE, FALSE, name))); }

TEST(EnsureSingleInstance, EmptyNameBecomesTovkInTheCallersVariable) {
  std::string name;
  EnsureSingleInstance(name);
  EXPECT_EQ(name, "tovk");
  EXPECT_TRUE(GuardExists("tovk"));
  std::string again;
  EXPECT_TRUE(EnsureSingleInstance(again));
  EXPECT_EQ(again, "tovk");
}

TEST(EnsureSingleInstance, AnswersTrueOnlyForAGuardAlreadyHeld) {
  std::string name = UniqueName("vm_guard");
  const std::string given = name;
  EXPECT_FALSE(EnsureSingleInstance(name));
  EXPECT_EQ(name, given);  // a given name is left as it is
  EXPECT_TRUE(EnsureSingleInstance(name));
  std::string other = UniqueName("vm_guard_other");
  EXPECT_FALSE(EnsureSingleInstance(other));
}

TEST(EnsureSingleInstance, GuardIsAnUnsignalledAutoResetEventOfTheSession) {
  std::string name = UniqueName("vm_guard_kind");
  ASSERT_FALSE(EnsureSingleInstance(name));
  UniqueHandle event(OpenEventA(EVENT_ALL_ACCESS, FALSE, ("Local\\" + name).c_str()));
  ASSERT_TRUE(event);
  EXPECT_EQ(WaitForSingleObject(event.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ASSERT_TRUE(SetEvent(event.get()));
  EXPECT_EQ(WaitForSingleObject(event.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(event.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));  // reset by the wait
}

// ---------------------------------------------------------------------------------------------
// Real installer processes

// A started installer; terminated when the object goes if it still runs.
class InstallerProcess {
 public:
  explicit InstallerProcess(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
      process_.reset(info.hProcess);
      CloseHandle(info.hThread);
      id_ = info.dwProcessId;
    }
  }
  InstallerProcess(const InstallerProcess&) = delete;
  InstallerProcess& operator=(const InstallerProcess&) = delete;
  ~InstallerProcess() { Terminate(); }

  explicit operator bool() const { return static_cast<bool>(process_); }
  HANDLE handle() const { return process_.get(); }
  DWORD id() const { return id_; }
  bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  void Terminate() {
    if (!Running()) return;
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
  }

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

constexpr char kGuard[] = "instrallVelmora";

bool WaitForGuard(bool present, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (GuardExists(kGuard) != present) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

TEST(SecondInstance, EndsWithExitCodeZeroBeforeAnyWindowAndANewOneStartsAfterTheFirst) {
  const std::wstring exe = WinePathOf(L"" VM_TEST_SETUP_EXE);
  ASSERT_TRUE(WaitForGuard(false, 10000)) << "another installer already holds the guard";

  InstallerProcess first(exe);
  ASSERT_TRUE(first) << "cannot start " << AnsiFromWide(exe);
  ASSERT_TRUE(WaitForGuard(true, 30000)) << "the first installer did not take the guard";

  InstallerProcess second(exe);
  ASSERT_TRUE(second);
  const DWORD start = GetTickCount();
  bool sawWindow = false;
  while (second.Running() && GetTickCount() - start < 30000) {
    sawWindow = sawWindow || FindVisibleWindow(second.id()) != nullptr;
    Sleep(1);
  }
  ASSERT_FALSE(second.Running()) << "the second installer did not end";
  RecordProperty("second_instance_ms", static_cast<int>(GetTickCount() - start));
  DWORD exitCode = 1;
  ASSERT_TRUE(GetExitCodeProcess(second.handle(), &exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_FALSE(sawWindow) << "the second installer showed a window";
  EXPECT_TRUE(first.Running()) << "the first installer ended too";

  first.Terminate();
  ASSERT_FALSE(first.Running());
  ASSERT_TRUE(WaitForGuard(false, 10000)) << "the guard outlived the first installer";

  InstallerProcess third(exe);
  ASSERT_TRUE(third);
  ASSERT_TRUE(WaitForGuard(true, 30000)) << "a new installer did not take the guard";
  EXPECT_EQ(WaitForSingleObject(third.handle(), 1500), static_cast<DWORD>(WAIT_TIMEOUT))
      << "a new installer ended although the first had gone";
}

// ---------------------------------------------------------------------------------------------
// What the loader brings in before HardenDllSearch runs

// Names in the import directory of a PE file (lower case); empty when the file is not one.
std::vector<std::string> ImportedDlls(const std::string& image) {
  std::vector<std::string> names;
  auto at = [&](size_t offset, size_t size) { return offset + size <= image.size() ? image.data() + offset : nullptr; };
  IMAGE_DOS_HEADER dos;
  if (!at(0, sizeof dos)) return names;
  std::memcpy(&dos, image.data(), sizeof dos);
  const size_t nt = static_cast<size_t>(dos.e_lfanew);
  IMAGE_FILE_HEADER file;
  WORD magic = 0;
  if (!at(nt + 4, sizeof file + 2)) return names;
  std::memcpy(&file, image.data() + nt + 4, sizeof file);
  const size_t optional = nt + 4 + sizeof file;
  std::memcpy(&magic, image.data() + optional, 2);
  IMAGE_DATA_DIRECTORY imports;
  const size_t directory = optional + (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                                           ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                           : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory)) +
                           IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof(IMAGE_DATA_DIRECTORY);
  if (!at(directory, sizeof imports)) return names;
  std::memcpy(&imports, image.data() + directory, sizeof imports);
  const size_t sections = optional + file.SizeOfOptionalHeader;
  auto fileOffset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < file.NumberOfSections; ++i) {
      IMAGE_SECTION_HEADER section;
      if (!at(sections + i * sizeof section, sizeof section)) break;
      std::memcpy(&section, image.data() + sections + i * sizeof section, sizeof section);
      if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
        return rva - section.VirtualAddress + section.PointerToRawData;
    }
    return image.size();
  };
  for (size_t offset = fileOffset(imports.VirtualAddress);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR descriptor;
    if (!at(offset, sizeof descriptor)) break;
    std::memcpy(&descriptor, image.data() + offset, sizeof descriptor);
    if (descriptor.Name == 0) break;
    const char* name = at(fileOffset(descriptor.Name), 1);
    if (!name) break;
    std::string lower(name, strnlen(name, static_cast<size_t>(image.data() + image.size() - name)));
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return static_cast<char>(tolower(c)); });
    names.push_back(lower);
  }
  return names;
}

// A DLL named in the import table is looked for beside the program first, before any code of the
// program runs, unless Windows keeps it among its known DLLs (always taken from the system
// folder). These are the known DLLs of both Windows 7 and Windows 10.
TEST(StartUpImports, OnlyDllsTheSystemAlwaysTakesFromItsOwnFolder) {
  const std::set<std::string> known = {"advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll",  "gdi32.dll",
                                       "imagehlp.dll", "imm32.dll",   "kernel32.dll", "msctf.dll",    "msvcrt.dll",
                                       "normaliz.dll", "nsi.dll",     "ntdll.dll",    "ole32.dll",    "oleaut32.dll",
                                       "psapi.dll",    "rpcrt4.dll",  "sechost.dll",  "setupapi.dll", "shell32.dll",
                                       "shlwapi.dll",  "user32.dll",  "wldap32.dll",  "ws2_32.dll"};
  std::string image;
  ASSERT_TRUE(ReadWholeFile(WinePathOf(L"" VM_TEST_SETUP_EXE), image));
  const std::vector<std::string> imported = ImportedDlls(image);
  ASSERT_FALSE(imported.empty()) << "no import table found";
  EXPECT_NE(std::find(imported.begin(), imported.end(), "kernel32.dll"), imported.end());
  for (const std::string& dll : imported) {
    EXPECT_TRUE(known.count(dll)) << "VelmoraSetup.exe imports " << dll
                                  << ", which a copy planted beside the installer would replace before "
                                     "HardenDllSearch runs: load it at run time (LoadLibrary after "
                                     "HardenDllSearch) or delay-load it";
  }
}

}  // namespace
