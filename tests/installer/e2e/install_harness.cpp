// Runs the real install job the way the installer window does, with a display and a shell utility
// that record what the job tells them. Every record is appended to the log at once, because the
// job ends the process with TerminateSelf on success.
//
//   install_harness.exe <log>
//
// Log lines: "version:<code>" first, then "status:<text>", "progress:<n>", "abandoned",
// "protocol-check:<root>", "protocol-register:<root>", "pin:<folder>|<file>" as they happen, and
// "returned" when the job returns instead of ending the process.
#include <windows.h>
#include <ole2.h>

#include <string>

#include "installer/install_job.h"
#include "installer/progress.h"
#include "installer/system_version.h"
#include "shell/shell_utility.h"
#include "tests/support/log_writer.h"

namespace {

class Log {
 public:
  explicit Log(std::string path) : path_(std::move(path)) {}
  void Append(const std::string& line) const { AppendLogLine(path_, line); }

 private:
  std::string path_;
};

class RecordingDisplay : public ProgressDisplay {
 public:
  explicit RecordingDisplay(const Log& log) : log_(log) {}
  void ShowStatusText(const std::string& text) override { log_.Append("status:" + text); }
  void ShowProgress(int percentage) override { log_.Append("progress:" + std::to_string(percentage)); }
  void ShowAbandoned() override { log_.Append("abandoned"); }

 private:
  const Log& log_;
};

// The real operations, with each call the job makes written down first.
class RecordingShellUtility : public ShellUtility {
 public:
  explicit RecordingShellUtility(const Log& log) : log_(log) {}
  bool IsUrlProtocolRegistered(const std::string& name, int rootSelector) const override {
    log_.Append("protocol-check:" + std::to_string(rootSelector));
    return ShellUtility::IsUrlProtocolRegistered(name, rootSelector);
  }
  bool RegisterUrlProtocol(const std::string& name, const std::string& programPath, int rootSelector) const override {
    log_.Append("protocol-register:" + std::to_string(rootSelector));
    return ShellUtility::RegisterUrlProtocol(name, programPath, rootSelector);
  }
  void PinToTaskbar(const std::string& folderPath, const std::string& fileName) const override {
    log_.Append("pin:" + folderPath + "|" + fileName);
    ShellUtility::PinToTaskbar(folderPath, fileName);
  }

 private:
  const Log& log_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  OleInitialize(nullptr);  // as the installer's process entry does
  const Log log(argv[1]);
  log.Append("version:" + std::to_string(GetSystemVersionCode()));
  RecordingDisplay display(log);
  SetProgressDisplay(&display);
  const RecordingShellUtility shell(log);
  InstallJob(shell);
  log.Append("returned");
  return 0;
}
