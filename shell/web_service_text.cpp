#include "shell/web_service_text.h"

#include <numeric>

#include "shell/ansi_text.h"
#include "shell/http_text.h"

std::string JsonEscapedSlashes(std::string_view prefix) { return ReplaceAll(prefix, "/", "\\/"); }

std::string CutPrefixedLink(std::string_view answer, const std::string& prefix) {
  const std::string cut = TextBetween(answer, JsonEscapedSlashes(prefix), "\"");
  return cut.empty() ? std::string() : prefix + cut;
}

std::string CutUnescapedLink(std::string_view answer, std::string_view leftMarker) {
  return ReplaceAll(TextBetween(answer, leftMarker, "\""), "\\", "");
}

std::string CutDownloadUrl(std::string_view answer) {
  const std::string cut = TextBetween(answer, "http:", "\"");
  return cut.empty() ? std::string() : ReplaceAll("http:" + cut, "\\", "");
}

std::string ShareIdOf(std::string_view page) { return TextBetween(PercentDecode(page), "nid : '", "',"); }

std::vector<std::string> PhraseCandidates(std::string_view page) {
  return AllTextsBetween(page, "id=\"txt-", "<");
}

std::string PickPhrase(const std::vector<std::string>& candidates, const std::function<size_t(size_t)>& randomBelow) {
  // A random order over all candidates, so that an empty one never hides a phrase.
  std::vector<size_t> order(candidates.size());
  std::iota(order.begin(), order.end(), size_t{0});
  for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[randomBelow(i)]);
  for (size_t index : order) {
    const std::string& candidate = candidates[index];
    const size_t lastTagEnd = candidate.rfind('>');
    const std::string text = lastTagEnd == std::string::npos ? candidate : candidate.substr(lastTagEnd + 1);
    if (!text.empty()) return text;
  }
  return std::string();
}
