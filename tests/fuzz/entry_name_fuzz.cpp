// The archive entry-name rule fed mutated names (the input's bytes taken as UTF-16LE code units).
// A name the rule accepts must hold none of what it exists to refuse, checked here independently:
// a leading separator, a colon, a control character, a component of only dots and spaces (which
// Windows can resolve as ".."), an empty component other than a folder entry's last; and its
// target path stays below the destination folder.
#include <string>

#include "installer/entry_name.h"
#include "tests/fuzz/fuzz_driver.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

void CheckAcceptedName(const std::wstring& name) {
  FUZZ_CHECK(!name.empty());
  FUZZ_CHECK(!IsSeparator(name.front()));
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size()) {
      FUZZ_CHECK(name[i] != L':');
      FUZZ_CHECK(name[i] >= 0x20);
      if (!IsSeparator(name[i])) continue;
    }
    const std::wstring component = name.substr(start, i - start);
    if (i < name.size()) FUZZ_CHECK(!component.empty());  // only a folder entry ends with a separator
    if (!component.empty()) FUZZ_CHECK(component.find_first_not_of(L". ") != std::wstring::npos);
    start = i + 1;
  }
  const std::wstring root = L"C:\\Program Files\\Velmora";
  const std::wstring target = EntryTargetPath(root, name);
  FUZZ_CHECK(target.rfind(root + L"\\", 0) == 0);
  FUZZ_CHECK(target.find(L'/') == std::wstring::npos);
  FUZZ_CHECK(IsWithinFolder(root, target));
}

void Run(std::span<const uint8_t> input) {
  std::wstring name;
  for (size_t i = 0; i + 1 < input.size(); i += 2) name.push_back(static_cast<wchar_t>(input[i] | (input[i + 1] << 8)));
  const EntryNameFault fault = CheckEntryName(name);
  FUZZ_CHECK(IsSafeEntryName(name) == (fault == EntryNameFault::kNone));
  if (fault == EntryNameFault::kNone) CheckAcceptedName(name);
  // The containment check on its own: a target is within a root only if it starts with it.
  std::wstring root = name.substr(0, name.size() / 2);
  std::wstring rest = name.substr(name.size() / 2);
  if (IsWithinFolder(root, rest)) FUZZ_CHECK(rest.size() > root.size() && rest.compare(0, root.size(), root) == 0);
}

std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

}  // namespace

const FuzzTarget& TheFuzzTarget() {
  static const FuzzTarget target{"entry_name", Run, 512,
                                 {Utf16(".."), Utf16("/"), Utf16("\\"), Utf16(". ."), Utf16(":"), Utf16("CON"),
                                  Utf16("nul.txt"), Utf16("COM1"), Utf16("."), Utf16(" "), std::string("\x1F\0", 2)}};
  return target;
}
