// Pinning a program to the taskbar the way a user does: through the file's context-menu verbs,
// invoking the verb whose caption is the system's own caption of the pin verb.
#pragma once

#include <optional>
#include <string>

#include "shell/automation.h"
#include "shell/verb_scan.h"

// Resource id of the pin-to-taskbar caption in Shell32.dll's string table.
inline constexpr unsigned kPinCaptionStringId = 5386;

// The caption of the system's pin-to-taskbar verb, read from Shell32.dll at run time; nullopt
// when the system has no such string.
std::optional<std::string> LoadPinCaption();

// The context-menu verbs of one file, reached through "Shell.Application" automation
// (NameSpace, ParseName, Verbs). When any step fails the collection is empty (Count 0).
class ShellItemVerbs : public VerbCollection {
 public:
  ShellItemVerbs(const std::string& folderPath, const std::string& fileName);
  ShellItemVerbs(const ShellItemVerbs&) = delete;
  ShellItemVerbs& operator=(const ShellItemVerbs&) = delete;
  ~ShellItemVerbs() override;

  double Count() override;
  std::string NameAt(int index) override;
  void InvokeAt(int index) override;

 private:
  AutomationObject VerbAt(int index) const;

  // All owned; released application first, the verbs last.
  AutomationObject application_;
  AutomationObject folder_;
  AutomationObject item_;
  AutomationObject verbs_;
};

// Invokes every verb of folderPath's file `fileName` whose caption is the system's pin caption.
// Reports nothing: a missing file, a missing caption or no matching verb ends quietly. The calling
// thread must have COM initialised.
void PinToTaskbar(const std::string& folderPath, const std::string& fileName);
