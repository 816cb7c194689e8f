// After HardenDllSearch a DLL loaded by its bare name comes from the system folder only: a copy
// planted beside the program or in the current folder is never picked up. A test program of its
// own, as the restriction holds for the rest of the process.
#include "installer/startup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/scratch_folder.h"

namespace {

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

std::wstring ModulePath(HMODULE module) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH * 2);
  return std::wstring(buffer, length);
}

// Copies of the planted DLL; removed (and unloaded) when the object goes.
class PlantedCopies {
 public:
  ~PlantedCopies() {
    for (const std::wstring& path : paths_) {
      if (HMODULE module = GetModuleHandleW(path.c_str())) FreeLibrary(module);
      DeleteFileW(path.c_str());
    }
  }
  bool Plant(const std::wstring& folder, const std::string& name) {
    std::wstring path = folder + WideFromAnsi(name);
    paths_.push_back(path);
    return CopyFileW(WinePathOf(L"" VM_TEST_PLANTED_DLL).c_str(), path.c_str(), FALSE);
  }

 private:
  std::vector<std::wstring> paths_;
};

bool LoadsPlantedCopy(const std::string& name) {
  HMODULE module = LoadLibraryA(name.c_str());
  if (!module) return false;
  const bool planted = GetProcAddress(module, "PlantedMarker") != nullptr;
  FreeLibrary(module);
  return planted;
}

TEST(HardenDllSearch, PlantedDllsAreNotLoadedByBareName) {
  const std::wstring programFolder = FolderOf(ModulePath(nullptr));
  ScratchFolder current;
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(current.path().c_str()));

  const std::string tag = std::to_string(GetCurrentProcessId());
  const struct {
    const char* where;
    std::wstring folder;
  } places[] = {{"beside the program", programFolder}, {"in the current folder", WideFromAnsi(current.path())}};
  {
    PlantedCopies copies;
    for (const auto& place : places) {
      SCOPED_TRACE(place.where);
      // Different names before and after, so that a module still loaded cannot answer for the
      // search.
      const std::string before = "vm_planted_before_" + tag + "_" + std::to_string(&place - places) + ".dll";
      const std::string after = "vm_planted_after_" + tag + "_" + std::to_string(&place - places) + ".dll";
      ASSERT_TRUE(copies.Plant(place.folder, before));
      ASSERT_TRUE(copies.Plant(place.folder, after));
      // Unprotected, the loader finds the planted copy: the check below can fail.
      EXPECT_TRUE(LoadsPlantedCopy(before));
    }

    HardenDllSearch();

    for (const auto& place : places) {
      SCOPED_TRACE(place.where);
      const std::string after = "vm_planted_after_" + tag + "_" + std::to_string(&place - places) + ".dll";
      EXPECT_FALSE(LoadsPlantedCopy(after));
    }
    // What the installer needs from the system still loads by its bare name.
    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_NE(version, nullptr);
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(ModulePath(version).c_str(), system, wcslen(system)), 0) << AnsiFromWide(ModulePath(version));
    FreeLibrary(version);
  }
  SetCurrentDirectoryW(previous);
}

}  // namespace
