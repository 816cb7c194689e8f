// The web-service operations of the shell utility: a share-link resolver, a call-back service,
// seven URL shorteners and a random-phrase page. Every host, path, form body and short-link
// prefix is configuration (WebServiceConfig); what is sent and what is cut from the answers is
// fixed here.
#pragma once

#include <array>
#include <string>

struct WebServiceConfig {
  // Share links: the download request goes to the share page's host (port kept) at this path.
  std::string shareDownloadPath = "/share/downloadfile/";
  // Call-back service: a form POST whose cookies then fetch the page; the add page takes cookies.
  std::string callbackLoginUrl = "http://callback.example.invalid/login";
  std::string callbackLoginBody = "source=velmora";
  std::string callbackPageUrl = "http://callback.example.invalid/page";
  std::string callbackAddUrl = "http://callback.example.invalid/add";
  // URL shorteners, in the family's order. Member 2's URL carries "%URL%" where the long URL goes
  // (twice); members 4 to 6 share one relay endpoint and differ in the type field they send.
  std::string shortener1Url = "http://short1.example.invalid/api";
  std::string shortener1Prefix = "http://s1.example.invalid/";
  std::string shortener2Url = "http://short2.example.invalid/api?callback=cb&url=%URL%&long=%URL%";
  std::string shortener2Referer = "http://short2.example.invalid/";
  std::string shortener3Url = "http://short3.example.invalid/api";
  std::string shortener3Prefix = "http://s3.example.invalid/";
  std::string relayUrl = "http://relay.example.invalid/shorten";
  std::array<std::string, 3> relayTypeFields = {"type=first", "type=second", "type=third"};
  std::string shortener7Url = "http://short7.example.invalid/api";
  // A page of phrases marked id="txt-...".
  std::string phrasePageUrl = "http://phrases.example.invalid/";
  // Instant-messaging chat links: the account number is appended.
  std::string chatLinkPrefix = "vmchat://message/?account=";
};

// The configuration the operations use (process-wide; set it before calling them).
const WebServiceConfig& CurrentWebServiceConfig();
void SetWebServiceConfig(const WebServiceConfig& config);

// The download URL behind a share link; empty when any step finds nothing.
std::string ResolveShareLink(const std::string& shareUrl);
// Logs in to the call-back service (its cookies go to `cookies`) and answers the page fetched with
// them; `cookies` then holds them merged with what the page set.
std::string RequestCallback(std::string& cookies);
// Fetches the call-back service's add page sending `cookies`, which then hold the merged cookies.
void AddCallbackEntry(std::string& cookies);
// The seven shorteners: each answers the short link for `longUrl`, or the empty text.
std::string ShortenUrl1(const std::string& longUrl);
std::string ShortenUrl2(const std::string& longUrl);
std::string ShortenUrl3(const std::string& longUrl);
std::string ShortenUrl4(const std::string& longUrl);
std::string ShortenUrl5(const std::string& longUrl);
std::string ShortenUrl6(const std::string& longUrl);
std::string ShortenUrl7(const std::string& longUrl);
// A random phrase of the phrase page, or the empty text.
std::string FetchRandomPhrase();
