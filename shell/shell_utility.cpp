#include "shell/shell_utility.h"

#include "shell/autorun.h"
#include "shell/list_view_sort.h"
#include "shell/minor_text.h"
#include "shell/process_shell.h"
#include "shell/taskbar_pin.h"
#include "shell/url_protocol.h"
#include "shell/web_services.h"

std::unique_ptr<ShellUtility> ShellUtility::Clone() const { return std::unique_ptr<ShellUtility>(new ShellUtility(*this)); }

std::string ShellUtility::ResolveShareLink(const std::string& shareUrl) const { return ::ResolveShareLink(shareUrl); }

std::string ShellUtility::ExtractShortCode(const std::string& url) const { return ::ExtractShortCode(url); }

void ShellUtility::OpenChatLink(const std::string& account) const { ::OpenChatLink(account); }

std::string ShellUtility::RequestCallback(const std::string&, const std::string&, std::string& cookies,
                                          const std::string&) const {
  return ::RequestCallback(cookies);
}

void ShellUtility::AddCallbackEntry(std::string& cookies, const std::string&) const { ::AddCallbackEntry(cookies); }

bool ShellUtility::IsInstanceRunning() const { return ::IsInstanceRunning(); }

bool ShellUtility::RegisterUrlProtocol(const std::string& name, const std::string& programPath,
                                       int rootSelector) const {
  return ::RegisterUrlProtocol(name, programPath, rootSelector);
}

std::string ShellUtility::GetUrlProtocolCommand(const std::string& name, int rootSelector) const {
  return ::GetUrlProtocolCommand(name, rootSelector);
}

void ShellUtility::UnregisterUrlProtocol(const std::string& name) const { ::UnregisterUrlProtocol(name); }

bool ShellUtility::IsUrlProtocolRegistered(const std::string& name, int rootSelector) const {
  return ::IsUrlProtocolRegistered(name, rootSelector);
}

void ShellUtility::PinToTaskbar(const std::string& folderPath, const std::string& fileName) const {
  ::PinToTaskbar(folderPath, fileName);
}

int ShellUtility::AddAutorun(const std::string& programPath, const std::string& arguments, bool appendArguments,
                             const std::string& valueName) const {
  return ::AddAutorun(programPath, arguments, appendArguments, valueName);
}

int ShellUtility::RemoveAutorun(const std::string& valueName) const { return ::RemoveAutorun(valueName); }

bool ShellUtility::RunElevated(const std::optional<std::string>& programPath, const std::string& parameters) const {
  return ::RunElevated(programPath, parameters);
}

bool ShellUtility::IsUserAdmin() const { return ::IsUserAdmin(); }

std::string ShellUtility::ShortenUrl1(const std::string& longUrl) const { return ::ShortenUrl1(longUrl); }
std::string ShellUtility::ShortenUrl2(const std::string& longUrl) const { return ::ShortenUrl2(longUrl); }
std::string ShellUtility::ShortenUrl3(const std::string& longUrl) const { return ::ShortenUrl3(longUrl); }
std::string ShellUtility::ShortenUrl4(const std::string& longUrl) const { return ::ShortenUrl4(longUrl); }
std::string ShellUtility::ShortenUrl5(const std::string& longUrl) const { return ::ShortenUrl5(longUrl); }
std::string ShellUtility::ShortenUrl6(const std::string& longUrl) const { return ::ShortenUrl6(longUrl); }
std::string ShellUtility::ShortenUrl7(const std::string& longUrl) const { return ::ShortenUrl7(longUrl); }

std::string ShellUtility::FetchRandomPhrase() const { return ::FetchRandomPhrase(); }

void ShellUtility::SortListViewNumeric(HWND listView, int column, bool descending) const {
  ::SortListViewNumeric(listView, column, descending);
}
