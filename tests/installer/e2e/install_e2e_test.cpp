// The whole install job end to end, in a Wine prefix made fresh for this run (run_install_e2e.sh): the
// real job in install_harness.exe, with the real registry, file system, COM and shell, checked
// afterwards from here. The scenarios run one after another and each starts from a clean slate.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "installer/extract.h"
#include "installer/install_job.h"
#include "installer/install_location.h"
#include "installer/install_text.h"
#include "installer/installer_layout.h"
#include "installer/shortcuts.h"
#include "installer/uninstall_entry.h"
#include "payload/payload.h"
#include "shell/shell_utility.h"
#include "tests/installer/install_test_support.h"
#include "tests/installer/shell_link_reader.h"
#include "tests/support/window_lookup.h"
#include "unzip.h"

namespace {

constexpr char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\install_harness.exe";
constexpr char kProductPrograms[][16] = {"Velmora.exe", "Nubiflow.exe", "Quillpane.exe", "Tarnlink.exe"};
constexpr char kPlantedProgram[] = "C:\\Program.exe";
constexpr char kPlantedLog[] = "C:\\planted-program.log";

std::string HarnessPath() { return ModuleFolder() + "install_harness.exe"; }
std::string HarnessLog() { return ModuleFolder() + "harness.log"; }
std::string OpenedLog() { return ModuleFolder() + "opened.log"; }
std::string DemoStartsLog() { return GetSpecialFolder(8) + "Velmora\\demo-starts.log"; }
std::string InstallFolder() { return ResolveInstallFolder(); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Polls `path` until it holds a line containing every one of `parts`, for up to 10 seconds.
std::string WaitForLineWith(const std::string& path, const std::vector<std::string>& parts) {
  for (int attempt = 0; attempt < 500; ++attempt) {
    for (const std::string& line : Lines(ReadTextFile(path))) {
      bool all = true;
      for (const std::string& part : parts) all = all && line.find(part) != std::string::npos;
      if (all) return line;
    }
    Sleep(20);
  }
  return std::string();
}

void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text) {
  ASSERT_TRUE(WriteRegistryText(root, key, name, text)) << key;
}

// The entries of the embedded package: relative path (with "\") to uncompressed size; folders
// end with "\" and have size 0.
std::map<std::string, uint64_t> PackageEntries() {
  std::map<std::string, uint64_t> entries;
  const std::string copy = ModuleFolder() + "package-copy.zip";
  const std::span<const uint8_t> bytes = PayloadArchive();
  if (!WriteWholeFile(copy, std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) return entries;
  unzFile zip = unzOpen64(copy.c_str());
  if (!zip) return entries;
  for (int more = unzGoToFirstFile(zip); more == UNZ_OK; more = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    char name[1024] = {};
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
    std::string path = name;
    for (char& c : path) c = c == '/' ? '\\' : c;
    entries[path] = info.uncompressed_size;
  }
  unzClose(zip);
  DeleteFileA(copy.c_str());
  return entries;
}

uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return UINT64_MAX;
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

struct HarnessRun {
  int exitCode = -1;
  std::vector<std::string> events;    // every log line but the progress reports
  std::vector<int> progress;          // the progress reports in order
  std::vector<std::string> statuses;  // the status texts in order
};

HarnessRun ReadHarnessLog(int exitCode) {
  HarnessRun run;
  run.exitCode = exitCode;
  for (const std::string& line : Lines(ReadTextFile(HarnessLog()))) {
    if (line.rfind("progress:", 0) == 0) {
      run.progress.push_back(std::stoi(line.substr(9)));
      continue;
    }
    run.events.push_back(line);
    if (line.rfind("status:", 0) == 0) run.statuses.push_back(line.substr(7));
  }
  return run;
}

void SetWineVersion(const std::optional<std::string>& version) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kAppDefaultsKey);
  if (version) SetText(HKEY_CURRENT_USER, kAppDefaultsKey, "Version", *version);
}

HarnessRun RunHarness(const std::optional<std::string>& wineVersion = "win7") {
  SetWineVersion(wineVersion);
  DeleteFileA(HarnessLog().c_str());
  const int exitCode = RunToEnd(Quoted(HarnessPath()) + " " + Quoted(HarnessLog()));
  return ReadHarnessLog(exitCode);
}

bool HasEvent(const HarnessRun& run, const std::string& event) {
  for (const std::string& e : run.events) {
    if (e == event) return true;
  }
  return false;
}

// The protocol's six values as the job registers them: the component's path bare in the icon row
// and quoted in the command row.
void ExpectProtocolValues(HKEY root, const std::string& program) {
  struct Expected {
    std::string key;
    std::string name;
    std::string text;
  } values[] = {
      {"Velmora", "", "URL:  Velmora protocol Handler"},
      {"Velmora", "URL protocol", ""},
      {"Velmora\\DefaultIcon", "", program + "   "},
      {"Velmora\\shell", "", ""},
      {"Velmora\\shell\\open", "", ""},
      {"Velmora\\shell\\open\\command", "", Quoted(program) + "  \"%1\""},
  };
  for (const Expected& e : values) {
    std::map<std::string, RegistryValue> found = RegistryValues(root, e.key);
    ASSERT_EQ(found.count(e.name), 1u) << e.key << " [" << e.name << "]";
    EXPECT_EQ(found[e.name].type, static_cast<DWORD>(REG_SZ)) << e.key << " [" << e.name << "]";
    EXPECT_EQ(found[e.name].data, e.text + '\0') << e.key << " [" << e.name << "]";
  }
}

// ---------------------------------------------------------------------------------------------------

class InstallEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Text files open in a recording program, so that opening the usage notes can be seen.
    SetText(HKEY_CLASSES_ROOT, ".txt", "", "VmE2E.txtfile");
    SetText(HKEY_CLASSES_ROOT, "VmE2E.txtfile\\shell\\open\\command", "",
            HelperCommand("record " + Quoted(OpenedLog()) + " \"%1\""));
    // A program where an unquoted "C:\Program Files\..." command would start it.
    CopyFileA(HelperPath().c_str(), kPlantedProgram, FALSE);
  }
  static void TearDownTestSuite() { DeleteFileA(kPlantedProgram); }

  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    CleanSlate();
  }
  void TearDown() override {
    CleanSlate();
    OleUninitialize();
  }

  // No product program running, no install folder, no protocol, entry, shortcut or log.
  static void CleanSlate() {
    for (const char* program : kProductPrograms) {
      for (int i = 0; i < 10 && KillProcessByName(std::string(program), false); ++i) {
      }
    }
    const std::string folder = InstallFolder();
    if (PathIsDirectoryA(folder.c_str())) {
      ASSERT_TRUE(RemoveFolderTree(folder));
    }
    DeleteFileA(folder.substr(0, folder.size() - 1).c_str());  // a file in the folder's place
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER}) RegDeleteTreeA(root, "Velmora");
    RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
    for (const std::string& link : ShortcutPaths()) DeleteFileA(link.c_str());
    RemoveDirectoryA((GetSpecialFolder(6) + "Velmora").c_str());
    for (const std::string& log : {DemoStartsLog(), OpenedLog(), std::string(kPlantedLog), HarnessLog()}) {
      DeleteFileA(log.c_str());
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kAppDefaultsKey);
  }

  static std::vector<std::string> ShortcutPaths() {
    return {GetSpecialFolder(3) + "Velmora·ruv.lnk", GetSpecialFolder(5) + "Velmora.lnk",
            GetSpecialFolder(6) + "Velmora\\启动Velmora.lnk", GetSpecialFolder(6) + "Velmora\\卸载.lnk"};
  }
};

TEST_F(InstallEndToEnd, FreshInstallDoesEveryStageInOrder) {
  const std::string folder = InstallFolder();
  ASSERT_EQ(folder, "C:\\Program Files\\Velmora\\");
  const std::time_t before = std::time(nullptr);
  const HarnessRun run = RunHarness("win7");
  const std::time_t after = std::time(nullptr);
  EXPECT_EQ(run.exitCode, 0);

  // What the job announced and did, in order (progress reports aside).
  const std::vector<std::string> expectedEvents = {
      "version:9",
      std::string("status:") + kStatusWritingFiles,
      "protocol-check:1",
      std::string("status:") + kStatusRegisteringProtocol,
      "protocol-register:1",
      "protocol-check:2",
      std::string("status:") + kStatusRegisteringProtocol,
      "protocol-register:2",
      "protocol-check:3",
      std::string("status:") + kStatusRegisteringProtocol,
      "protocol-register:3",
      std::string("status:") + kStatusTaskbar,
      "pin:" + folder + "|Velmora.exe",
      std::string("status:") + kStatusDesktopShortcut,
      std::string("status:") + kStatusStartMenu,
      std::string("status:") + kStatusRegistering,
      std::string("status:") + kStatusFinishing,
  };
  EXPECT_EQ(run.events, expectedEvents);  // no "abandoned", no "returned": the job ended the process

  // The extractor's percentages: 0 first, 100 last, never backwards, one per entry and the end.
  const std::map<std::string, uint64_t> entries = PackageEntries();
  ASSERT_FALSE(entries.empty());
  ASSERT_EQ(run.progress.size(), entries.size() + 1);
  EXPECT_EQ(run.progress.front(), 0);
  EXPECT_EQ(run.progress.back(), 100);
  for (size_t i = 1; i < run.progress.size(); ++i) EXPECT_LE(run.progress[i - 1], run.progress[i]);

  // The package's files, and no archive.
  for (const auto& [path, size] : entries) {
    if (path.back() == '\\') {
      EXPECT_TRUE(PathIsDirectoryA((folder + path).c_str())) << path;
    } else {
      EXPECT_EQ(FileSize(folder + path), size) << path;
    }
  }
  for (const char* needed : {"Velmora.exe", "Uninstall.exe", "使用说明.txt", "Auxiliary\\Tarnlink.exe"}) {
    EXPECT_TRUE(PathExists(folder + needed)) << needed;
  }
  EXPECT_FALSE(PathExists(folder + "install.zip"));

  // The URL protocol under the three roots.
  const std::string component = folder + "Auxiliary\\Tarnlink.exe";
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER}) ExpectProtocolValues(root, component);

  // The uninstall entry: seven texts below the current user.
  std::map<std::string, RegistryValue> entry = RegistryValues(HKEY_CURRENT_USER, kUninstallKey);
  EXPECT_EQ(entry.size(), 7u);
  const std::map<std::string, std::string> texts = {
      {"", ""},
      {"DisplayIcon", folder + "Auxiliary\\DEFAULT_ICON.ico"},
      {"Publisher", "Velmora"},
      {"DisplayName", "Velmora"},
      {"DisplayVersion", "1.6.3.5"},
      {"UninstallString", Quoted(folder + "Uninstall.exe")},
  };
  for (const auto& [name, text] : texts) {
    EXPECT_EQ(entry[name].type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(entry[name].data, text + '\0') << name;
  }
  std::set<std::string> possibleDates;
  for (std::time_t t = before; t <= after; ++t) {
    const std::tm* local = std::localtime(&t);
    possibleDates.insert(FormatInstallDate({local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour,
                                            local->tm_min, local->tm_sec}) +
                         '\0');
  }
  EXPECT_EQ(entry["InstallDate"].type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(possibleDates.count(entry["InstallDate"].data), 1u) << entry["InstallDate"].data;

  // The four shortcuts.
  const std::vector<std::string> links = ShortcutPaths();
  const std::optional<ShellLinkFields> desktop = ReadShellLink(links[0]);
  ASSERT_TRUE(desktop);
  EXPECT_EQ(desktop->target, folder + "Velmora.exe");
  EXPECT_EQ(desktop->workingDirectory, folder);
  EXPECT_EQ(desktop->iconPath, folder + "Velmora.exe");
  EXPECT_EQ(desktop->iconIndex, 0);
  EXPECT_EQ(desktop->showCommand, 0);
  const std::string startMenuTargets[] = {folder + "Velmora.exe", folder + "Velmora.exe", folder + "Uninstall.exe"};
  for (int i = 0; i < 3; ++i) {
    const std::optional<ShellLinkFields> link = ReadShellLink(links[i + 1]);
    ASSERT_TRUE(link) << links[i + 1];
    EXPECT_EQ(link->target, startMenuTargets[i]) << links[i + 1];
    EXPECT_EQ(link->workingDirectory, "") << links[i + 1];
    EXPECT_EQ(link->iconPath, "") << links[i + 1];
    EXPECT_EQ(link->showCommand, SW_SHOW) << links[i + 1];
  }

  // The product was started (its path quoted), and it still runs.
  EXPECT_NE(WaitForLineWith(DemoStartsLog(), {"Velmora ", Quoted(folder + "Velmora.exe")}), "");
  EXPECT_NE(FindProcessByName("Velmora.exe", true), 0u);
  // The usage notes were opened with the program .txt files are associated with.
  EXPECT_NE(WaitForLineWith(OpenedLog(), {Quoted(folder + "使用说明.txt")}), "");

  // The registered protocol reaches the communication component, and nothing else.
  ShellExecuteA(nullptr, "open", "Velmora:e2e-check", nullptr, nullptr, SW_SHOWNORMAL);
  EXPECT_NE(WaitForLineWith(DemoStartsLog(), {"Tarnlink ", "Velmora:e2e-check"}), "");
  EXPECT_FALSE(PathExists(kPlantedLog)) << ReadTextFile(kPlantedLog);
}

TEST_F(InstallEndToEnd, ReinstallReplacesTheFolderAndStopsTheRunningProduct) {
  const std::string folder = InstallFolder();
  ASSERT_EQ(RunHarness().exitCode, 0);
  ASSERT_NE(WaitForLineWith(DemoStartsLog(), {"Velmora "}), "");
  UniqueHandle running(OpenProcess(SYNCHRONIZE, FALSE, FindProcessByName("Velmora.exe", true)));
  ASSERT_TRUE(running);
  ASSERT_TRUE(WriteWholeFile(folder + "stale.txt", "from an older version"));
  ASSERT_TRUE(CreateDirectoryA((folder + "Old").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(folder + "Old\\old.dll", "old"));
  ASSERT_TRUE(WriteWholeFile(folder + "使用说明.txt", "edited by the user"));

  const HarnessRun run = RunHarness();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(WaitForSingleObject(running.get(), 0), WAIT_OBJECT_0);  // the earlier product was stopped
  EXPECT_FALSE(PathExists(folder + "stale.txt"));
  EXPECT_FALSE(PathExists(folder + "Old"));
  const std::map<std::string, uint64_t> entries = PackageEntries();
  EXPECT_EQ(FileSize(folder + "使用说明.txt"), entries.at("使用说明.txt"));
  EXPECT_FALSE(PathExists(folder + "install.zip"));
  // The protocol was already registered under all three roots: no registering this time.
  for (const std::string& status : run.statuses) EXPECT_NE(status, kStatusRegisteringProtocol);
  EXPECT_EQ(run.statuses.back(), kStatusFinishing);
}

TEST_F(InstallEndToEnd, RegistrationIsSkippedForEachRootThatAlreadyHasTheProtocol) {
  const ShellUtility shell;
  for (int root : {1, 2, 3}) ASSERT_TRUE(shell.RegisterUrlProtocol("Velmora", "C:\\Other\\Tarnlink.exe", root));
  HarnessRun run = RunHarness();
  EXPECT_EQ(run.exitCode, 0);
  for (const std::string& event : run.events) {
    EXPECT_NE(event, std::string("status:") + kStatusRegisteringProtocol);
    EXPECT_EQ(event.rfind("protocol-register:", 0), std::string::npos) << event;
  }
  for (int root : {1, 2, 3}) {
    EXPECT_TRUE(HasEvent(run, "protocol-check:" + std::to_string(root)));
    EXPECT_EQ(shell.GetUrlProtocolCommand("Velmora", root), "\"C:\\Other\\Tarnlink.exe\"  \"%1\"");  // left alone
  }

  // Missing under one root only: registered there, once.
  RegDeleteTreeA(HKEY_CURRENT_CONFIG, "Velmora");
  run = RunHarness();
  int registering = 0;
  for (const std::string& status : run.statuses) registering += status == kStatusRegisteringProtocol;
  EXPECT_EQ(registering, 1);
  EXPECT_TRUE(HasEvent(run, "protocol-register:2"));
  EXPECT_FALSE(HasEvent(run, "protocol-register:1"));
  EXPECT_FALSE(HasEvent(run, "protocol-register:3"));
  ExpectProtocolValues(HKEY_CURRENT_CONFIG, InstallFolder() + "Auxiliary\\Tarnlink.exe");
}

TEST_F(InstallEndToEnd, PinIsAttemptedOnlyForVersionCodesSevenToNine) {
  struct Case {
    const char* wineVersion;
    int code;
    bool pinned;
  } cases[] = {{"winxp", 6, false},  {"winxp64", 7, true}, {"win2003", 7, true},
               {"vista", 8, true},   {"win7", 9, true},    {"win10", 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wineVersion);
    const HarnessRun run = RunHarness(c.wineVersion);
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_FALSE(run.events.empty());
    EXPECT_EQ(run.events.front(), "version:" + std::to_string(c.code));
    EXPECT_EQ(HasEvent(run, "pin:" + InstallFolder() + "|Velmora.exe"), c.pinned);
    // The stage is announced either way, and the job goes on to the end.
    EXPECT_TRUE(HasEvent(run, std::string("status:") + kStatusTaskbar));
    EXPECT_EQ(run.statuses.back(), kStatusFinishing);
  }
}

// The longest static text of a dialog: the message of a message box.
std::string MessageBoxText(HWND box) {
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") != 0) continue;
    char buffer[2048] = {};
    GetWindowTextA(child, buffer, sizeof buffer);
    if (std::strlen(buffer) > text.size()) text = buffer;
  }
  return text;
}

TEST_F(InstallEndToEnd, AFolderThatCannotBeRemovedEndsWithTheMessageBox) {
  const std::string folder = InstallFolder();
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(folder + "other.txt", "goes"));
  StartedProcess holder = HoldFileOpen(folder + "held.dll", 60000);
  ASSERT_TRUE(holder.process);

  SetWineVersion("win7");
  StartedProcess harness = StartProcess(Quoted(HarnessPath()) + " " + Quoted(HarnessLog()));
  ASSERT_TRUE(harness.process);
  HWND box = nullptr;
  for (int attempt = 0; attempt < 1000 && !box; ++attempt) {
    if (WaitForSingleObject(harness.process.get(), 20) == WAIT_OBJECT_0) break;
    box = FindMessageBox(harness.id);
  }
  ASSERT_NE(box, nullptr) << ReadTextFile(HarnessLog());
  char title[64] = {};
  GetWindowTextA(box, title, sizeof title);
  EXPECT_STREQ(title, "Error");
  EXPECT_EQ(MessageBoxText(box), FolderRemovalMessage(folder));
  EXPECT_EQ(WaitForSingleObject(harness.process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));  // waits for the user

  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_EQ(WaitForSingleObject(harness.process.get(), 10000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(harness.process.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  const HarnessRun run = ReadHarnessLog(static_cast<int>(exitCode));
  EXPECT_EQ(run.events, std::vector<std::string>{"version:9"});  // nothing announced, nothing after
  EXPECT_TRUE(run.progress.empty());
  // The folder stays, partly emptied.
  EXPECT_TRUE(PathExists(folder + "held.dll"));
  EXPECT_FALSE(PathExists(folder + "other.txt"));

  TerminateProcess(holder.process.get(), 0);
  WaitForSingleObject(holder.process.get(), 5000);
}

TEST_F(InstallEndToEnd, AFolderThatCannotBeCreatedLeavesItsStatusAndProgressOne) {
  // A file where the folder should be: not a folder to remove, and no folder can be made there.
  // (Wine sets ProgramFiles afresh in every process, so a missing parent cannot be arranged.)
  const std::string folder = InstallFolder();
  const std::string blocking = folder.substr(0, folder.size() - 1);
  ASSERT_TRUE(WriteWholeFile(blocking, "not a folder"));

  const HarnessRun run = RunHarness();
  EXPECT_EQ(run.exitCode, 0);
  const std::vector<std::string> expected = {"version:9", std::string("status:") + kStatusFolderFailed, "progress:1",
                                             "abandoned", "returned"};
  EXPECT_EQ(Lines(ReadTextFile(HarnessLog())), expected);
  EXPECT_EQ(ReadTextFile(blocking), "not a folder");
  for (int root : {1, 2, 3}) EXPECT_FALSE(ShellUtility().IsUrlProtocolRegistered("Velmora", root));
  EXPECT_FALSE(PathExists(DemoStartsLog()));
}

// ---- The archive taken away, the uninstall entry, the real installer ----------------------------

TEST_F(InstallEndToEnd, AnArchiveGoneBeforeExtractionIsTheExtractionFailure) {
  // run_install_e2e.sh's stand-in scanner unlinks the next install.zip while the job writes it.
  const std::string armed = ModuleFolder() + "scanner.arm";
  const std::string taken = ModuleFolder() + "scanner.done";
  DeleteFileA(taken.c_str());
  ASSERT_TRUE(WriteWholeFile(armed, ""));

  const HarnessRun run = RunHarness();
  ASSERT_TRUE(PathExists(taken)) << "the archive was not taken away";
  DeleteFileA(taken.c_str());
  EXPECT_EQ(run.exitCode, 0);
  // Announced as the extraction failure; the bar at 99, the close button back, the job returned.
  const std::vector<std::string> expected = {"version:9", std::string("status:") + kStatusWritingFiles, "abandoned",
                                             std::string("status:") + kStatusExtractFailed, "progress:99", "returned"};
  EXPECT_EQ(Lines(ReadTextFile(HarnessLog())), expected);
  // Nothing that a finished install leaves: no protocol, shortcut, uninstall entry or started product.
  const std::string folder = InstallFolder();
  EXPECT_TRUE(PathIsDirectoryA(folder.c_str()));
  EXPECT_FALSE(PathExists(folder + "install.zip"));
  EXPECT_FALSE(PathExists(folder + "Velmora.exe"));
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER}) {
    EXPECT_FALSE(RegistryKeyExists(root, "Velmora"));
  }
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUninstallKey));
  for (const std::string& link : ShortcutPaths()) EXPECT_FALSE(PathExists(link)) << link;
  EXPECT_FALSE(PathExists(DemoStartsLog()));
}

// A visible button of a dialog whose text begins with `prefix`; null when there is none.
HWND DialogButton(HWND dialog, const std::string& prefix) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    char text[64] = {};
    GetWindowTextA(child, text, sizeof text);
    if (_stricmp(className, "Button") == 0 && IsWindowVisible(child) && std::string(text).rfind(prefix, 0) == 0) {
      return child;
    }
  }
  return nullptr;
}

// Real mouse input: a move to the screen point, then one press and release of the left button.
bool ClickAt(int x, int y) {
  return RunUnixCommand("/usr/bin/xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)) &&
         RunUnixCommand("/usr/bin/xdotool sleep 0.2 mousedown 1 sleep 0.1 mouseup 1");
}

int LinesWith(const std::string& path, const std::string& part) {
  int count = 0;
  for (const std::string& line : Lines(ReadTextFile(path))) count += line.find(part) != std::string::npos;
  return count;
}

TEST_F(InstallEndToEnd, TheUninstallEntryRemovesEverythingWhileTheProductRuns) {
  const std::string folder = InstallFolder();
  ASSERT_EQ(RunHarness().exitCode, 0);
  ASSERT_NE(WaitForLineWith(DemoStartsLog(), {"Velmora "}), "");
  // The user starts the product once more, through its desktop shortcut.
  const std::string desktopLink = ShortcutPaths()[0];
  ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", desktopLink.c_str(), nullptr,
                                                     GetSpecialFolder(3).c_str(), SW_SHOWNORMAL)),
            32);
  for (int attempt = 0; attempt < 250 && LinesWith(DemoStartsLog(), "Velmora ") < 2; ++attempt) Sleep(20);
  ASSERT_EQ(LinesWith(DemoStartsLog(), "Velmora "), 2) << ReadTextFile(DemoStartsLog());

  // As Programs and Features does it: CreateProcess of the UninstallString exactly as written.
  const std::map<std::string, RegistryValue> entry = RegistryValues(HKEY_CURRENT_USER, kUninstallKey);
  ASSERT_EQ(entry.count("UninstallString"), 1u);
  const std::string uninstallString = entry.at("UninstallString").data.c_str();
  StartedProcess uninstaller = StartProcess(uninstallString);
  ASSERT_TRUE(uninstaller.process) << uninstallString;
  HWND box = nullptr;
  for (int attempt = 0; attempt < 500 && !box; ++attempt) {
    if (WaitForSingleObject(uninstaller.process.get(), 20) == WAIT_OBJECT_0) break;
    box = FindMessageBox(uninstaller.id);
  }
  ASSERT_NE(box, nullptr) << "no question from " << uninstallString;
  Sleep(300);  // let the box settle where it is shown
  HWND yes = DialogButton(box, "是");
  ASSERT_NE(yes, nullptr);
  RECT button;
  ASSERT_TRUE(GetWindowRect(yes, &button));
  ASSERT_TRUE(ClickAt((button.left + button.right) / 2, (button.top + button.bottom) / 2));
  ASSERT_EQ(WaitForSingleObject(uninstaller.process.get(), 20000), WAIT_OBJECT_0) << "the uninstaller still asks";
  DWORD exitCode = 1;
  GetExitCodeProcess(uninstaller.process.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);

  // The folder goes by a copy of the uninstaller once the uninstaller has ended.
  for (int attempt = 0; attempt < 200 && PathExists(folder); ++attempt) Sleep(100);
  EXPECT_FALSE(PathExists(folder)) << "the install folder is still there";
  for (const char* program : kProductPrograms) EXPECT_EQ(FindProcessByName(program, false), 0u) << program;
  for (const std::string& link : ShortcutPaths()) EXPECT_FALSE(PathExists(link)) << link;
  EXPECT_FALSE(PathExists(GetSpecialFolder(6) + "Velmora"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUninstallKey));
  for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER}) {
    EXPECT_FALSE(RegistryKeyExists(root, "Velmora"));
  }
  EXPECT_FALSE(PathExists(kPlantedLog)) << ReadTextFile(kPlantedLog);  // C:\Program.exe never started

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string copy = std::string(temp) + "VelmoraUninstall_" + std::to_string(uninstaller.id) + ".exe";
  for (int attempt = 0; attempt < 50 && PathExists(copy) && !DeleteFileA(copy.c_str()); ++attempt) Sleep(100);
}

// The libraries planted beside the downloaded installer: the type library it opens by name, and
// the DLLs it loads on demand.
constexpr const char* kPlantedNames[] = {"wshom.ocx", "shell32.dll", "shlwapi.dll", "dwmapi.dll", "msimg32.dll",
                                         "gdiplus.dll", "uxtheme.dll", "version.dll", "winmm.dll", "comctl32.dll",
                                         "wininet.dll", "urlmon.dll"};

TEST_F(InstallEndToEnd, TheRealInstallerSavedAsTheProductBesidePlantedLibrariesInstalls) {
  // Downloaded as "Velmora.exe" into a folder where someone left libraries of the system's names,
  // and started from there.
  const std::string downloads = ModuleFolder() + "Downloads\\";
  CreateDirectoryA(downloads.c_str(), nullptr);
  const std::string setup = downloads + "Velmora.exe";
  ASSERT_TRUE(CopyFileA((ModuleFolder() + "VelmoraSetup.exe").c_str(), setup.c_str(), FALSE));
  for (const char* name : kPlantedNames) {
    ASSERT_TRUE(CopyFileA((ModuleFolder() + "vm_planted.dll").c_str(), (downloads + name).c_str(), FALSE)) << name;
  }
  const std::string marker = ModuleFolder() + "planted-loaded.log";
  DeleteFileA(marker.c_str());
  SetEnvironmentVariableA("VM_PLANTED_MARKER", marker.c_str());
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(downloads.c_str());
  StartedProcess installer = StartProcess(Quoted(setup));
  SetCurrentDirectoryA(previous);
  SetEnvironmentVariableA("VM_PLANTED_MARKER", nullptr);
  ASSERT_TRUE(installer.process);

  HWND window = nullptr;
  for (int attempt = 0; attempt < 750 && !window; ++attempt) {
    if (WaitForSingleObject(installer.process.get(), 20) == WAIT_OBJECT_0) break;
    window = FindVisibleWindow(installer.id);
  }
  ASSERT_NE(window, nullptr) << "no installer window";
  Sleep(1500);  // the show transition
  RECT bounds;
  ASSERT_TRUE(GetWindowRect(window, &bounds));
  namespace layout = installer_layout;
  const Rect button = layout::WindowRectOf(layout::kElements, layout::kInstallButton);
  ASSERT_TRUE(ClickAt(bounds.left + button.x + button.width / 2, bounds.top + button.y + button.height / 2));

  ASSERT_EQ(WaitForSingleObject(installer.process.get(), 60000), WAIT_OBJECT_0) << "the installer did not end";
  DWORD exitCode = 1;
  GetExitCodeProcess(installer.process.get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
  // It installed: it did not end itself in the first step, and the desktop shortcut was made
  // through the system's WshShell type library, not the planted file.
  const std::string folder = InstallFolder();
  for (const char* needed : {"Velmora.exe", "Uninstall.exe", "Auxiliary\\Tarnlink.exe"}) {
    EXPECT_TRUE(PathExists(folder + needed)) << needed;
  }
  const std::optional<ShellLinkFields> desktop = ReadShellLink(ShortcutPaths()[0]);
  ASSERT_TRUE(desktop) << "no desktop shortcut";
  EXPECT_EQ(desktop->target, folder + "Velmora.exe");
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kUninstallKey));
  EXPECT_NE(WaitForLineWith(DemoStartsLog(), {"Velmora ", Quoted(folder + "Velmora.exe")}), "");
  // No planted library was ever loaded as code, and the installer's copy is still there.
  EXPECT_FALSE(PathExists(marker)) << ReadTextFile(marker);
  EXPECT_TRUE(PathExists(setup));
  for (const char* name : kPlantedNames) DeleteFileA((downloads + name).c_str());
  DeleteFileA(setup.c_str());
}

}  // namespace
