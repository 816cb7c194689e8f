#include "installer/entry_name.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

bool IsOnlyDotsAndSpaces(const std::wstring& component) {
  return component.find_first_not_of(L". ") == std::wstring::npos;
}

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Windows resolves these names to devices in every folder, whatever extension follows and with
// trailing spaces ignored ("nul .txt").
bool IsDeviceName(const std::wstring& component) {
  std::wstring base = component.substr(0, component.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  for (wchar_t& c : base) c = AsciiUpper(c);
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) && base[3] >= L'1' &&
         base[3] <= L'9';
}

}  // namespace

EntryNameFault CheckEntryName(const std::wstring& name) {
  if (name.empty()) return EntryNameFault::kEmpty;
  if (IsSeparator(name.front())) return EntryNameFault::kAbsolute;
  for (wchar_t c : name) {
    if (c == L':') return EntryNameFault::kColon;
    if (c < 0x20) return EntryNameFault::kControlCharacter;
  }
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::wstring component = name.substr(start, end - start);
    const bool last = end == name.size();
    if (component.empty()) {
      if (!last) return EntryNameFault::kEmpty;  // "a//b"
    } else if (IsOnlyDotsAndSpaces(component)) {
      return EntryNameFault::kDotsAndSpaces;  // ".", "..", "...", ". ."
    } else if (IsDeviceName(component)) {
      return EntryNameFault::kDeviceName;
    }
    start = end + 1;
  }
  return EntryNameFault::kNone;
}

bool IsSafeEntryName(const std::wstring& name) { return CheckEntryName(name) == EntryNameFault::kNone; }

std::wstring EntryTargetPath(const std::wstring& destFolder, const std::wstring& name) {
  std::wstring target = destFolder;
  if (target.empty() || target.back() != L'\\') target += L'\\';
  for (wchar_t c : name) target += (c == L'/') ? L'\\' : c;
  return target;
}

bool IsWithinFolder(const std::wstring& fullRoot, const std::wstring& fullTarget) {
  if (fullRoot.empty()) return false;
  std::wstring root = fullRoot;
  if (root.back() != L'\\') root += L'\\';
  return fullTarget.size() > root.size() && fullTarget.compare(0, root.size(), root) == 0;
}
