#include "shell/taskbar_pin.h"

#include <cstring>

#include "common/system_library.h"

std::optional<std::string> LoadPinCaption() {
  UniqueModule shell32(LoadSystemLibrary(L"Shell32.dll"));
  if (!shell32) return std::nullopt;
  char buffer[256];
  std::memset(buffer, ' ', sizeof buffer);
  const int length = LoadStringA(shell32.get(), kPinCaptionStringId, buffer, sizeof buffer);
  if (length <= 0) return std::nullopt;  // not in this system's string table
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

ShellItemVerbs::ShellItemVerbs(const std::string& folderPath, const std::string& fileName)
    : application_(AutomationObject::CreateFromProgId(L"Shell.Application")) {
  Variant folderArgument[] = {Variant::Text(folderPath)};
  folder_ = application_.CallForObject(L"NameSpace", folderArgument);
  Variant fileArgument[] = {Variant::Text(fileName)};
  item_ = folder_.CallForObject(L"ParseName", fileArgument);
  verbs_ = item_.CallForObject(L"Verbs");
}

ShellItemVerbs::~ShellItemVerbs() {
  application_.reset();
  folder_.reset();
  item_.reset();
  verbs_.reset();
}

double ShellItemVerbs::Count() { return verbs_.Call(L"Count").ToNumber(); }

AutomationObject ShellItemVerbs::VerbAt(int index) const {
  Variant indexArgument[] = {Variant::Int(index)};
  return verbs_.CallForObject(L"Item", indexArgument);
}

std::string ShellItemVerbs::NameAt(int index) { return VerbAt(index).Call(L"Name").ToText(); }

void ShellItemVerbs::InvokeAt(int index) { VerbAt(index).Call(L"DoIt"); }

void PinToTaskbar(const std::string& folderPath, const std::string& fileName) {
  ShellItemVerbs verbs(folderPath, fileName);
  const std::optional<std::string> caption = LoadPinCaption();
  if (!caption) return;
  InvokeVerbsNamed(verbs, *caption);
}
