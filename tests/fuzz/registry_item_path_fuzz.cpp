// The registry item-path split fed mutated GBK paths. The split must fall at the last backslash
// that is a character of its own, found here independently by walking the text character by
// character (a byte with the high bit set starts a two-byte character, whose trail byte may be
// 0x5C, the backslash), and the two parts must give back the whole path.
#include <string>

#include "shell/ansi_path.h"
#include "shell/registry_item_path.h"
#include "tests/fuzz/fuzz_driver.h"

namespace {

void Run(std::span<const uint8_t> input) {
  const std::string_view path = TextOf(input);
  size_t expected = std::string_view::npos;
  size_t separators = 0;
  for (size_t i = 0; i < path.size();) {
    if (static_cast<unsigned char>(path[i]) >= 0x80) {
      i += 2;
      continue;
    }
    if (path[i] == '\\') {
      expected = i;
      ++separators;
    }
    ++i;
  }
  const RegistryItemPath split = SplitRegistryItemPath(path);
  if (expected == std::string_view::npos) {
    FUZZ_CHECK(split.keyPath.empty());
    FUZZ_CHECK(split.valueName == path);
  } else {
    FUZZ_CHECK(split.keyPath == path.substr(0, expected));
    FUZZ_CHECK(split.valueName == path.substr(expected + 1));
  }
  FUZZ_CHECK(LastBackslashIndex(path) == expected);
  const std::vector<std::string> parts = SplitAtBackslashes(path);
  FUZZ_CHECK(parts.size() == separators + 1);
  std::string joined;
  for (size_t i = 0; i < parts.size(); ++i) joined += (i ? "\\" : "") + parts[i];
  FUZZ_CHECK(joined == path);
}

}  // namespace

const FuzzTarget& TheFuzzTarget() {
  static const FuzzTarget target{"registry_item_path", Run, 512,
                                 {"\\", "\\\\", "Software\\", "\x81\x5C", "\xFE\x5C", "\xB1\xED", "\x80", "HKEY_CURRENT_USER\\"}};
  return target;
}
