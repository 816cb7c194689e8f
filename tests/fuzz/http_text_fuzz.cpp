// The HTTP client's header and cookie texts fed mutated header blocks, URLs and cookie lists (the
// input cut into texts at its zero bytes). Besides running clean under the sanitizers, each answer
// must keep the rules its header states.
#include <algorithm>
#include <string>
#include <vector>

#include "shell/http_text.h"
#include "tests/fuzz/fuzz_driver.h"

namespace {

std::vector<std::string> CookiePairs(const std::string& cookies) {
  std::vector<std::string> pairs;
  if (cookies.empty()) return pairs;
  size_t start = 0;
  for (;;) {
    size_t end = cookies.find("; ", start);
    pairs.push_back(cookies.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return pairs;
}

void CheckCookies(const std::string& merged) {
  std::vector<std::string> pairs = CookiePairs(merged);
  for (size_t i = 0; i < pairs.size(); ++i) {
    FUZZ_CHECK(!pairs[i].empty());
    FUZZ_CHECK(pairs[i].find(' ') == std::string::npos);
    FUZZ_CHECK(pairs[i].find(';') == std::string::npos);
    FUZZ_CHECK(!(pairs[i].size() >= 8 && pairs[i].compare(pairs[i].size() - 8, 8, "=deleted") == 0));
    FUZZ_CHECK(std::count(pairs.begin(), pairs.end(), pairs[i]) == 1);
  }
}

void Run(std::span<const uint8_t> input) {
  std::vector<std::string> texts = SplitAtZeroBytes(input);
  texts.resize(std::max<size_t>(texts.size(), 4));
  const std::string& a = texts[0];
  const std::string& b = texts[1];
  const std::string& c = texts[2];
  const std::string& d = texts[3];

  const std::string between = TextBetween(a, b, c, d.size() % 8, d.size() % 2 == 0);
  FUZZ_CHECK(between.size() <= a.size());
  for (const std::string& each : AllTextsBetween(a, b, c)) FUZZ_CHECK(each.size() <= a.size());
  FUZZ_CHECK(HeaderValue(a).size() <= a.size());

  for (const std::string& url : {a, b}) {
    FUZZ_CHECK(UrlPort(url) != 0);
    const std::string path = UrlPath(url);
    FUZZ_CHECK(!path.empty());
    FUZZ_CHECK(UrlHost(url, false).size() <= UrlHost(url, true).size());
    const uint32_t flags = RequestFlagsFor(url, d.empty(), c.empty());
    FUZZ_CHECK(flags == RequestFlagsFor(url, d.empty(), c.empty()));
    (void)IsHttpsUrl(url);
  }

  const std::string agent = UserAgentFor(a, "Velmora");
  FUZZ_CHECK(!agent.empty() || a.find(':') != std::string::npos);
  std::string headers = a;
  CompleteRequestHeaders(headers, b, c);
  FUZZ_CHECK(headers.compare(0, a.size(), a) == 0);  // lines are only added
  FUZZ_CHECK(headers.find("Referer") != std::string::npos);
  if (!c.empty()) FUZZ_CHECK(headers.find("Cookie") != std::string::npos);

  const ResponseHeaderFacts facts = ReadResponseHeaders(a);
  if (facts.location) FUZZ_CHECK(facts.location->size() <= a.size());
  (void)IsMovedPermanently(a);
  (void)DeclaresUtf8(b, a);

  const std::string merged = MergeCookies(a, b);
  CheckCookies(merged);
  CheckCookies(MergeCookies(merged, c));
  CheckCookies(MergeCookies("", a));

  const std::string decoded = PercentDecode(a);
  FUZZ_CHECK(decoded.size() <= a.size());
  if (a.find('%') == std::string::npos) FUZZ_CHECK(decoded == a);
}

}  // namespace

const FuzzTarget& TheFuzzTarget() {
  static const FuzzTarget target{"http_text", Run, 2048,
                                 {"\r\n", "Set-Cookie: ", "Location: ", "User-Agent: ", "Cookie: ", "; ", "=",
                                  "=deleted", "http://", "https://", ":8080", ":0", ":65536", "/", "%2F", "%", "%4",
                                  "HTTP/1.1 301 Moved", "utf-8", "#引号", "\xA1\xA1", std::string(1, '\0')}};
  return target;
}
