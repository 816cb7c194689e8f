// The shell-integration utility object: a stateless object whose virtual operations stand in the
// order of its operation table (destroy and copy first, the list-view sort last). The installer
// holds one for its whole run and calls only the URL-protocol and taskbar operations; tests
// derive from it to watch calls. Texts are ANSI (GBK) byte strings.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

class ShellUtility {
 public:
  ShellUtility() = default;
  virtual ~ShellUtility() = default;  // destroy: there is nothing to release
  // copy: a new instance with the same operations.
  virtual std::unique_ptr<ShellUtility> Clone() const;

  // The download URL behind a share link (web_services.h).
  virtual std::string ResolveShareLink(const std::string& shareUrl) const;
  // The URL's last path segment when it is 6 bytes long, else the empty text.
  virtual std::string ExtractShortCode(const std::string& url) const;
  // Opens the instant-messaging chat with the account.
  virtual void OpenChatLink(const std::string& account) const;
  // Of the four arguments only the third is used: the call-back service's cookies (out).
  virtual std::string RequestCallback(const std::string& unused1, const std::string& unused2, std::string& cookies,
                                      const std::string& unused4) const;
  // Sends the cookies to the call-back service's add page; they then hold the merged cookies.
  virtual void AddCallbackEntry(std::string& cookies, const std::string& unused) const;
  // Whether another process of this executable's file name asked first.
  virtual bool IsInstanceRunning() const;

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

  // ---- Autorun, elevation -------------------------------------------------------------------------
  // Codes of autorun.h.
  virtual int AddAutorun(const std::string& programPath, const std::string& arguments, bool appendArguments,
                         const std::string& valueName) const;
  virtual int RemoveAutorun(const std::string& valueName) const;
  // Starts the program (this executable when none is given) with the "runas" verb.
  virtual bool RunElevated(const std::optional<std::string>& programPath, const std::string& parameters) const;
  virtual bool IsUserAdmin() const;

  // ---- Web services ------------------------------------------------------------------------------
  // The shortener family, one member after another; each answers the short link or the empty text.
  virtual std::string ShortenUrl1(const std::string& longUrl) const;
  virtual std::string ShortenUrl2(const std::string& longUrl) const;
  virtual std::string ShortenUrl3(const std::string& longUrl) const;
  virtual std::string ShortenUrl4(const std::string& longUrl) const;
  virtual std::string ShortenUrl5(const std::string& longUrl) const;
  virtual std::string ShortenUrl6(const std::string& longUrl) const;
  virtual std::string ShortenUrl7(const std::string& longUrl) const;
  virtual std::string FetchRandomPhrase() const;

  // ---- Controls -----------------------------------------------------------------------------------
  // Sorts a list view by the leading integers of a column's texts.
  virtual void SortListViewNumeric(HWND listView, int column, bool descending) const;

 protected:
  ShellUtility(const ShellUtility&) = default;
  ShellUtility& operator=(const ShellUtility&) = default;
};
