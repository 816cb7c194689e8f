#include "shell/web_services.h"

#include <windows.h>

#include <random>

#include "shell/ansi_text.h"
#include "shell/http_client.h"
#include "shell/http_text.h"
#include "shell/minor_text.h"
#include "shell/web_service_text.h"

namespace {

WebServiceConfig& Config() {
  static WebServiceConfig config;
  return config;
}

std::string PostText(const std::string& url, const std::string& body) {
  HttpArguments arguments;
  arguments.method = kHttpPost;
  arguments.postText = body;
  return HttpRequestText(url, arguments);
}

std::string PostBytesAsText(const std::string& url, const std::string& body) {
  HttpArguments arguments;
  arguments.method = kHttpPost;
  arguments.postText = body;
  const std::vector<uint8_t> answer = HttpRequest(url, arguments);
  return std::string(answer.begin(), answer.end());
}

std::string RelayShorten(int member, const std::string& longUrl, const char* leftMarker) {
  const WebServiceConfig& config = Config();
  const std::string answer = PostText(config.relayUrl, config.relayTypeFields[member] + "&url=" + longUrl);
  return CutUnescapedLink(answer, leftMarker);
}

}  // namespace

const WebServiceConfig& CurrentWebServiceConfig() { return Config(); }
void SetWebServiceConfig(const WebServiceConfig& config) { Config() = config; }

std::string ResolveShareLink(const std::string& shareUrl) {
  std::string pageUrl = shareUrl;
  if (shareUrl.find("lk") == std::string::npos) {
    HttpArguments arguments;
    arguments.method = kHttpPost;
    arguments.noRedirect = true;
    HttpRequest(shareUrl, arguments);
    pageUrl = TextBetween(arguments.responseHeaders, "Location: ", "\r\n");
    if (pageUrl.empty()) return std::string();
  }
  HttpArguments page;
  const std::vector<uint8_t> pageBytes = HttpRequest(pageUrl, page);
  const std::string shareId = ShareIdOf(std::string(pageBytes.begin(), pageBytes.end()));
  if (shareId.empty()) return std::string();
  // The port of the page's host is kept: a share page on another port is served there.
  const std::string downloadUrl = "http://" + UrlHost(pageUrl, true) + Config().shareDownloadPath;
  const std::string answer =
      PostBytesAsText(downloadUrl, "surl=" + LastPathSegment(shareUrl) + "&nid=" + shareId);
  return CutDownloadUrl(answer);
}

std::string RequestCallback(std::string& cookies) {
  const WebServiceConfig& config = Config();
  HttpArguments login;
  login.method = kHttpPost;
  login.postText = config.callbackLoginBody;
  HttpRequestText(config.callbackLoginUrl, login);
  cookies = login.returnedCookies;
  HttpArguments page;
  page.cookies = cookies;
  std::string answer = HttpRequestText(config.callbackPageUrl, page);
  // The page may set or delete cookies too: the caller keeps the merged set, as after
  // AddCallbackEntry.
  cookies = *page.cookies;
  return answer;
}

void AddCallbackEntry(std::string& cookies) {
  HttpArguments arguments;
  arguments.cookies = cookies;
  HttpRequest(Config().callbackAddUrl, arguments);
  cookies = *arguments.cookies;
}

std::string ShortenUrl1(const std::string& longUrl) {
  const WebServiceConfig& config = Config();
  return CutPrefixedLink(PostText(config.shortener1Url, "url=" + longUrl + "&alias=&access_type=web"),
                         config.shortener1Prefix);
}

std::string ShortenUrl2(const std::string& longUrl) {
  const WebServiceConfig& config = Config();
  HttpArguments arguments;
  arguments.requestHeaders = "Referer: " + config.shortener2Referer;
  const std::vector<uint8_t> answer = HttpRequest(ReplaceAll(config.shortener2Url, "%URL%", longUrl), arguments);
  return TextBetween(std::string(answer.begin(), answer.end()), "#引号url#引号:#引号", "\"");
}

std::string ShortenUrl3(const std::string& longUrl) {
  const WebServiceConfig& config = Config();
  return CutPrefixedLink(PostBytesAsText(config.shortener3Url, "url=" + longUrl + "&keyword="),
                         config.shortener3Prefix);
}

std::string ShortenUrl4(const std::string& longUrl) { return RelayShorten(0, longUrl, "[\""); }
std::string ShortenUrl5(const std::string& longUrl) { return RelayShorten(1, longUrl, "data\":\""); }
std::string ShortenUrl6(const std::string& longUrl) { return RelayShorten(2, longUrl, "data\":\""); }

std::string ShortenUrl7(const std::string& longUrl) {
  const std::string body = "json=%7B%22urls%22%3A%5B%7B%22url%22%3A%22" + longUrl + "%22%7D%5D%7D";
  return CutUnescapedLink(PostText(Config().shortener7Url, body), "url\":\"");
}

std::string FetchRandomPhrase() {
  HttpArguments arguments;
  const std::vector<uint8_t> page = HttpRequest(Config().phrasePageUrl, arguments);
  std::minstd_rand random(GetTickCount());
  return PickPhrase(PhraseCandidates(std::string(page.begin(), page.end())), [&](size_t n) {
    return std::uniform_int_distribution<size_t>(0, n - 1)(random);
  });
}
