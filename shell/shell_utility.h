// The shell-integration utility object: a stateless object whose virtual operations stand in the
// order of its operation table (destroy and copy first). The installer holds one for its whole run
// and calls only the URL-protocol and taskbar operations; tests derive from it to watch calls.
//
// Operations that talk to web services, the autorun entries, elevated start and the other minor
// shell operations take their places in the table around these as they are added.
#pragma once

#include <memory>
#include <string>

class ShellUtility {
 public:
  ShellUtility() = default;
  virtual ~ShellUtility() = default;  // destroy: there is nothing to release
  // copy: a new instance with the same operations.
  virtual std::unique_ptr<ShellUtility> Clone() const;

  // ---- URL protocol (registry item access below the chosen root) -------------------------------
  // Writes the protocol's six values; answers whether its open-command entry exists afterwards.
  virtual bool RegisterUrlProtocol(const std::string& name, const std::string& programPath, int rootSelector) const;
  // The open-command entry's text, or the empty text.
  virtual std::string GetUrlProtocolCommand(const std::string& name, int rootSelector) const;
  // Removes the values below HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
  virtual void UnregisterUrlProtocol(const std::string& name) const;
  virtual bool IsUrlProtocolRegistered(const std::string& name, int rootSelector) const;

  // ---- Taskbar ------------------------------------------------------------------------------------
  // Invokes the system's pin-to-taskbar verb on folderPath's file `fileName`; no version test.
  virtual void PinToTaskbar(const std::string& folderPath, const std::string& fileName) const;

 protected:
  ShellUtility(const ShellUtility&) = default;
  ShellUtility& operator=(const ShellUtility&) = default;
};
