// What the web-service operations cut out of the services' answers. No Windows calls.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A short-link prefix as it appears inside a JSON string: every "/" written as "\/".
std::string JsonEscapedSlashes(std::string_view prefix);

// prefix + the text between the JSON-escaped prefix and the next double quote; the empty text
// when the answer holds no such link.
std::string CutPrefixedLink(std::string_view answer, const std::string& prefix);

// The text between `leftMarker` and the next double quote, with every backslash removed.
std::string CutUnescapedLink(std::string_view answer, std::string_view leftMarker);

// "http:" + the text between the first "http:" and the next double quote, backslashes removed;
// the empty text when there is none.
std::string CutDownloadUrl(std::string_view answer);

// The share id of a share page: between "nid : '" and "'," of the percent-decoded page.
std::string ShareIdOf(std::string_view page);

// The phrase candidates of a phrase page: every text between `id="txt-` and "<".
std::vector<std::string> PhraseCandidates(std::string_view page);

// A random candidate's text after its last ">", skipping candidates whose text is empty; the
// empty text when all are. `randomBelow(n)` answers a number from 0 to n - 1.
std::string PickPhrase(const std::vector<std::string>& candidates, const std::function<size_t(size_t)>& randomBelow);
