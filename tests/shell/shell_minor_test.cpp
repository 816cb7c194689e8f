// The shell utility's minor operations on the real registry, processes, shell and a real
// list-view control of the scratch Wine prefix.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win_handle.h"
#include "shell/autorun.h"
#include "shell/shell_utility.h"
#include "shell/web_services.h"

namespace {

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full = path;
  return full.substr(0, full.find_last_of('\\') + 1);
}
std::string Quoted(const std::string& text) { return std::string(1, '"') + text + '"'; }
std::string HelperPath() { return ModuleFolder() + "shell_test_helper.exe"; }
std::string TempFile(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + ".log";
}

std::string ReadText(const std::string& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr));
  if (!file) return std::string();
  std::string text(4096, '\0');
  DWORD read = 0;
  ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  text.resize(read);
  return text;
}

std::string WaitForText(const std::string& path) {
  for (int attempt = 0; attempt < 500; ++attempt) {
    const std::string text = ReadText(path);
    if (!text.empty()) return text;
    Sleep(20);
  }
  return std::string();
}

struct Started {
  UniqueHandle process;
};
Started Start(const std::string& commandLine) {
  std::string writable = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  Started started;
  if (CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created)) {
    CloseHandle(created.hThread);
    started.process.reset(created.hProcess);
  }
  return started;
}
int RunToEnd(const std::string& commandLine) {
  Started started = Start(commandLine);
  if (!started.process) return -1;
  WaitForSingleObject(started.process.get(), 30000);
  DWORD code = 0;
  GetExitCodeProcess(started.process.get(), &code);
  return static_cast<int>(code);
}

// ---- Autorun ----------------------------------------------------------------------------------------

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::string> RunValue(const std::string& name) {
  UniqueHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
  char data[2048];
  DWORD size = sizeof data;
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(data, size);
}

class AutorunTest : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    UniqueHKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_WRITE, key.put()) == ERROR_SUCCESS) {
      RegDeleteValueA(key.get(), kName);
    }
  }
  static constexpr char kName[] = "VmShellTestAutorun";
  const ShellUtility shell_;
};

TEST_F(AutorunTest, WrittenOnceThenUnchanged) {
  EXPECT_EQ(shell_.AddAutorun(" C:\\Program Files\\Velmora\\Velmora.exe ", " -tray ", true, kName), kAutorunWritten);
  EXPECT_EQ(RunValue(kName), std::string("\"C:\\Program Files\\Velmora\\Velmora.exe\" -tray") + '\0');
  EXPECT_EQ(shell_.AddAutorun("C:\\Program Files\\Velmora\\Velmora.exe", "-tray", true, kName), kAutorunUnchanged);
}

TEST_F(AutorunTest, AnotherCommandIsReplaced) {
  ASSERT_EQ(shell_.AddAutorun("C:\\old\\v.exe", "", false, kName), kAutorunWritten);
  EXPECT_EQ(shell_.AddAutorun("C:\\new\\v.exe", "", false, kName), kAutorunReplaced);
  EXPECT_EQ(RunValue(kName), std::string("\"C:\\new\\v.exe\"") + '\0');
}

TEST_F(AutorunTest, WithoutTheAppendFlagTheArgumentsAreIgnored) {
  ASSERT_EQ(shell_.AddAutorun("C:\\v.exe", "-one", false, kName), kAutorunWritten);
  EXPECT_EQ(RunValue(kName), std::string("\"C:\\v.exe\"") + '\0');
  EXPECT_EQ(shell_.AddAutorun("C:\\v.exe", "-two", false, kName), kAutorunUnchanged);
}

TEST_F(AutorunTest, AnEmptyValueIsFilled) {
  UniqueHKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_WRITE, key.put()), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.get(), kName, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1), ERROR_SUCCESS);
  EXPECT_EQ(shell_.AddAutorun("C:\\v.exe", "", false, kName), kAutorunFilled);
  EXPECT_EQ(RunValue(kName), std::string("\"C:\\v.exe\"") + '\0');
}

TEST_F(AutorunTest, ALongCommandIsComparedWhole) {
  const std::string longPath = "C:\\" + std::string(300, 'v') + ".exe";
  EXPECT_EQ(shell_.AddAutorun(longPath, "", false, kName), kAutorunWritten);
  EXPECT_EQ(shell_.AddAutorun(longPath, "", false, kName), kAutorunUnchanged);
  EXPECT_EQ(shell_.AddAutorun(longPath + "x", "", false, kName), kAutorunReplaced);
}

TEST_F(AutorunTest, RemoveDeletesTheValueOrSaysItWasMissing) {
  ASSERT_EQ(shell_.AddAutorun("C:\\v.exe", "", false, kName), kAutorunWritten);
  EXPECT_EQ(shell_.RemoveAutorun(kName), 0);
  EXPECT_FALSE(RunValue(kName));
  EXPECT_EQ(shell_.RemoveAutorun(kName), -1);
}

// ---- Processes and the shell ------------------------------------------------------------------------

TEST(ProcessShell, IsUserAdminAgreesWithTheTokensGroupMembership) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                       &administrators));
  BOOL member = FALSE;
  ASSERT_TRUE(CheckTokenMembership(nullptr, administrators, &member));
  FreeSid(administrators);
  EXPECT_EQ(ShellUtility().IsUserAdmin(), member != FALSE);
}

TEST(ProcessShell, TheFirstProcessOfANameOwnsTheInstanceAndLaterOnesSeeIt) {
  const std::string log = TempFile("instance");
  DeleteFileA(log.c_str());
  Started first = Start(Quoted(HelperPath()) + " instance-hold " + Quoted(log) + " 20000");
  ASSERT_TRUE(first.process);
  EXPECT_EQ(WaitForText(log), "instance:0\r\n");
  EXPECT_EQ(RunToEnd(Quoted(HelperPath()) + " instance"), 1);
  TerminateProcess(first.process.get(), 0);
  WaitForSingleObject(first.process.get(), 5000);
  // Once the first is gone, the next one is first again.
  EXPECT_EQ(RunToEnd(Quoted(HelperPath()) + " instance"), 0);
  // This test program has its own name: it is the first of its kind.
  EXPECT_FALSE(ShellUtility().IsInstanceRunning());
  EXPECT_FALSE(ShellUtility().IsInstanceRunning());  // its own mutex does not count against it
  DeleteFileA(log.c_str());
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(ProcessShell, OfProcessesAskingAtTheSameMomentExactlyOneIsTheInstance) {
  constexpr int kProcesses = 6;
  constexpr int kRounds = 4;
  const std::string go = "vm_instance_race_go_" + std::to_string(GetCurrentProcessId());
  // Each racer writes its own log: appends of several processes to one file can be lost.
  std::vector<std::string> logs;
  for (int i = 0; i < kProcesses; ++i) logs.push_back(TempFile("instance-race-" + std::to_string(i)));
  const auto linesWith = [&](const std::string& part) {
    std::string all;
    for (const std::string& log : logs) {
      const std::string text = ReadText(log);
      if (text.find(part) != std::string::npos) all += text;
    }
    return all;
  };
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    for (const std::string& log : logs) DeleteFileA(log.c_str());
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, go.c_str()));
    ASSERT_TRUE(event);
    std::vector<Started> racers;
    for (const std::string& log : logs) {
      racers.push_back(Start(Quoted(HelperPath()) + " instance-race " + Quoted(log) + " " + go + " 3000"));
      ASSERT_TRUE(racers.back().process);
    }
    for (int waited = 0; CountOf(linesWith("ready"), "ready") < kProcesses && waited < 30000; waited += 20) Sleep(20);
    ASSERT_EQ(CountOf(linesWith("ready"), "ready"), static_cast<size_t>(kProcesses));
    SetEvent(event.get());  // all of them ask now
    std::string answers;
    for (int waited = 0; CountOf(answers = linesWith("instance:"), "instance:") < kProcesses && waited < 30000;
         waited += 20) {
      Sleep(20);
    }
    EXPECT_EQ(CountOf(answers, "instance:0"), 1u) << answers;
    EXPECT_EQ(CountOf(answers, "instance:1"), static_cast<size_t>(kProcesses - 1)) << answers;
    for (Started& racer : racers) WaitForSingleObject(racer.process.get(), 10000);
  }
  for (const std::string& log : logs) DeleteFileA(log.c_str());
}

TEST(ProcessShell, RunElevatedStartsTheGivenProgramOrItsOwn) {
  const std::string given = TempFile("elevated-given");
  const std::string own = TempFile("elevated-own");
  DeleteFileA(given.c_str());
  DeleteFileA(own.c_str());
  EXPECT_TRUE(ShellUtility().RunElevated(HelperPath(), "record " + Quoted(given)));
  EXPECT_NE(WaitForText(given).find("record"), std::string::npos);
  EXPECT_EQ(RunToEnd(Quoted(HelperPath()) + " run-elevated-self " + Quoted(own)), 1);
  const std::string started = WaitForText(own);
  EXPECT_NE(started.find("shell_test_helper.exe"), std::string::npos) << started;
  EXPECT_NE(started.find("record"), std::string::npos) << started;
  EXPECT_FALSE(ShellUtility().RunElevated(ModuleFolder() + "no-such-program.exe", ""));
  DeleteFileA(given.c_str());
  DeleteFileA(own.c_str());
}

TEST(ProcessShell, ChatLinkOpensTheConfiguredSchemeWithTheAccount) {
  const std::string log = TempFile("chat");
  DeleteFileA(log.c_str());
  {
    UniqueHKey scheme, command;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "vmchattest", scheme.put()), ERROR_SUCCESS);
    RegSetValueExA(scheme.get(), "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "vmchattest\\shell\\open\\command", command.put()), ERROR_SUCCESS);
    const std::string line = Quoted(HelperPath()) + " record " + Quoted(log) + " \"%1\"";
    RegSetValueExA(command.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(line.c_str()),
                   static_cast<DWORD>(line.size() + 1));
  }
  WebServiceConfig config = CurrentWebServiceConfig();
  config.chatLinkPrefix = "vmchattest://message/?account=";
  SetWebServiceConfig(config);
  ShellUtility().OpenChatLink("12345");
  const std::string opened = WaitForText(log);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "vmchattest");
  EXPECT_NE(opened.find("vmchattest://message/?account=12345"), std::string::npos) << opened;
  DeleteFileA(log.c_str());
}

// ---- List view -------------------------------------------------------------------------------------

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                            nullptr);
    ASSERT_NE(list_, nullptr);
    for (int column = 0; column < 2; ++column) {
      LVCOLUMNA header{};
      header.mask = LVCF_WIDTH;
      header.cx = 100;
      SendMessageA(list_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    }
  }
  void TearDown() override { DestroyWindow(list_); }

  // An item with its own data `param` and the texts of its two columns.
  void Add(const std::string& first, const std::string& second, LPARAM param) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(first.c_str());
    item.lParam = param;
    const int index = static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMA sub{};
    sub.iSubItem = 1;
    sub.pszText = const_cast<char*>(second.c_str());
    SendMessageA(list_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
  }

  // "text/param" of every item in display order, for one column.
  std::vector<std::string> Items(int column) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[64] = {};
      LVITEMA item{};
      item.mask = LVIF_TEXT | LVIF_PARAM;
      item.iItem = i;
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      items.push_back(std::string(text) + "/" + std::to_string(item.lParam));
    }
    return items;
  }

  HWND list_ = nullptr;
};

TEST_F(ListViewTest, SortsByTheNumbersOfAColumnAndKeepsEachItemsData) {
  Add("10", "b", 1001);
  Add("9", "c", 1002);
  Add("100", "a", 1003);
  const ShellUtility shell;
  shell.SortListViewNumeric(list_, 0, false);
  EXPECT_EQ(Items(0), (std::vector<std::string>{"9/1002", "10/1001", "100/1003"}));
  shell.SortListViewNumeric(list_, 0, true);
  EXPECT_EQ(Items(0), (std::vector<std::string>{"100/1003", "10/1001", "9/1002"}));
}

TEST_F(ListViewTest, SortsBySubItemTextsAndReadsSignsAndJunk) {
  Add("a", " -5 apples", 1);
  Add("b", "x", 2);  // no digits: 0
  Add("c", "+3", 3);
  Add("d", "3000000000", 4);
  Add("e", "-3000000000", 5);
  ShellUtility().SortListViewNumeric(list_, 1, false);
  std::vector<std::string> order;
  for (const std::string& item : Items(0)) order.push_back(item.substr(0, 1));
  EXPECT_EQ(order, (std::vector<std::string>{"e", "a", "b", "c", "d"}));
}

}  // namespace
