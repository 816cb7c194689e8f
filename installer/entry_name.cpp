#include "installer/entry_name.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

bool IsOnlyDotsAndSpaces(const std::wstring& component) {
  return component.find_first_not_of(L". ") == std::wstring::npos;
}

}  // namespace

bool IsSafeEntryName(const std::wstring& name) {
  if (name.empty() || IsSeparator(name.front())) return false;
  for (wchar_t c : name) {
    if (c == L':' || c < 0x20) return false;
  }
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::wstring component = name.substr(start, end - start);
    const bool last = end == name.size();
    if (component.empty()) {
      if (!last) return false;  // "a//b"
    } else if (IsOnlyDotsAndSpaces(component)) {
      return false;  // ".", "..", "...", ". ."
    }
    start = end + 1;
  }
  return true;
}

std::wstring EntryTargetPath(const std::wstring& destFolder, const std::wstring& name) {
  std::wstring target = destFolder;
  if (target.empty() || target.back() != L'\\') target += L'\\';
  for (wchar_t c : name) target += (c == L'/') ? L'\\' : c;
  return target;
}
