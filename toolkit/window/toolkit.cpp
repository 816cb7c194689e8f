#include "toolkit/window/toolkit.h"

#include <string>

#include "common/bench_marks.h"
#include "common/system_library.h"
#include "toolkit/draw/fonts.h"
#include "toolkit/draw/gdi_owners.h"

namespace {

struct ToolkitState {
  bool initialised = false;
  UniqueGdiplusToken gdiplus;
  int32_t majorVersion = 0;
  UINT updateRectMessage = 0;
  DefWindowProcWFunction defWindowProcW = nullptr;
  RtlMoveMemoryFunction rtlMoveMemory = nullptr;
  AlphaBlendFunction alphaBlend = nullptr;
  ToolkitStartHook applyDefaultSkin = nullptr;
  ToolkitStartHook startRichEditService = nullptr;

  uint32_t defaultWindowStyle = 47;
  std::vector<uint8_t> defaultBackgroundImage;
  int32_t defaultElementOption = 1;

  Argb accentColour = 0;
  bool mouseButtonHeld = false;
  bool deferredPresentation = false;
  bool animationsEnabled = true;
  bool popupMenuTracking = false;
  HWND openPopup = nullptr;
};

ToolkitState& State() {
  // Lives until the process ends: windows may still run when static destructors would.
  static auto* state = new ToolkitState();
  return *state;
}

// The rectangle SendUpdateRect is sending on this thread (null when it sends none).
thread_local const Rect* rectBeingSent = nullptr;

template <typename T>
T Exchange(T& field, std::optional<T> value) {
  if (value) field = *value;
  return field;
}

// The drop-down list of the toolkit's combo box: it goes away when it loses the focus and cannot
// be closed like a top-level window.
LRESULT CALLBACK DropDownListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KILLFOCUS) {
    ShowWindow(window, SW_HIDE);
  } else if (message == WM_CLOSE) {
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Popup menus of the toolkit: they never take the activation from the window that opened them.
LRESULT CALLBACK PopupMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterToolkitClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW description{};
  description.cbSize = sizeof(description);
  description.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  description.lpfnWndProc = procedure;
  description.lpszClassName = name;
  RegisterClassExW(&description);
}

int32_t ReadMajorVersion() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return 0;
#pragma GCC diagnostic pop
  return static_cast<int32_t>(version.dwMajorVersion + version.dwMinorVersion / 10);
}

template <typename Function>
Function Resolve(const char* module, const char* name) {
  HMODULE handle = LoadSystemLibrary(module);  // user32, kernel32 and msimg32 stay loaded for good
  return handle ? reinterpret_cast<Function>(GetProcAddress(handle, name)) : nullptr;
}

}  // namespace

void SetToolkitStartHooks(ToolkitStartHook applyDefaultSkin, ToolkitStartHook startRichEditService) {
  State().applyDefaultSkin = applyDefaultSkin;
  State().startRichEditService = startRichEditService;
}

bool InitialiseToolkit() {
  ToolkitState& state = State();
  if (state.initialised) return static_cast<bool>(state.gdiplus);
  state.initialised = true;

  VM_BENCH_MARK("toolkit: start");
  state.gdiplus = StartGdiplus();
  VM_BENCH_MARK("toolkit: GDI+ started");
  state.majorVersion = ReadMajorVersion();
  state.updateRectMessage = RegisterWindowMessageA(kUpdateRectMessageName);
  state.defWindowProcW = Resolve<DefWindowProcWFunction>("user32.dll", "DefWindowProcW");
  state.rtlMoveMemory = Resolve<RtlMoveMemoryFunction>("kernel32.dll", "RtlMoveMemory");
  state.alphaBlend = Resolve<AlphaBlendFunction>("msimg32.dll", "AlphaBlend");

  RegisterToolkitClass(kWindowClassName, DefWindowProcW);
  RegisterToolkitClass(kComboBoxClassName, DropDownListProc);
  RegisterToolkitClass(kMenuClassName, PopupMenuProc);
  RegisterToolkitClass(kSubmenuClassName, PopupMenuProc);

  VM_BENCH_MARK("toolkit: classes registered");
  if (state.gdiplus) DefaultFontFamily(ChooseDefaultFontFamily());
  VM_BENCH_MARK("toolkit: fonts chosen");
  DefaultTextRenderingHint(3);
  if (state.applyDefaultSkin) state.applyDefaultSkin();
  VM_BENCH_MARK("toolkit: skin applied");
  DefaultFontSize(12.0f);
  DefaultTextColour(MakeArgb(254, 255, 255, 255));
  state.defaultWindowStyle = 47;
  DefaultFontStyle(4688);
  state.defaultElementOption = 1;
  if (state.startRichEditService) state.startRichEditService();
  VM_BENCH_MARK("toolkit: rich-edit service started");
  state.mouseButtonHeld = false;
  return static_cast<bool>(state.gdiplus);
}

bool ToolkitInitialised() { return State().initialised; }

int32_t SystemMajorVersion(std::optional<int32_t> version) { return Exchange(State().majorVersion, version); }
UINT UpdateRectMessage() { return State().updateRectMessage; }

void SendUpdateRect(HWND window, const Rect& rect) {
  const Rect* outer = rectBeingSent;  // a presentation may, through a hook, present again
  rectBeingSent = &rect;
  SendMessageW(window, UpdateRectMessage(), 0, reinterpret_cast<LPARAM>(&rect));
  rectBeingSent = outer;
}

const Rect* OwnUpdateRect(LPARAM lParam) {
  // Sent by another thread (of this process or another one): not a pointer of this thread's.
  if (InSendMessageEx(nullptr) != ISMEX_NOSEND) return nullptr;
  // Posted, or sent directly with an address of the caller's choosing.
  if (rectBeingSent == nullptr || reinterpret_cast<LPARAM>(rectBeingSent) != lParam) return nullptr;
  return rectBeingSent;
}
DefWindowProcWFunction ResolvedDefWindowProcW() { return State().defWindowProcW; }
RtlMoveMemoryFunction ResolvedRtlMoveMemory() { return State().rtlMoveMemory; }
AlphaBlendFunction ResolvedAlphaBlend() { return State().alphaBlend; }

uint32_t DefaultWindowStyle(std::optional<uint32_t> flags) { return Exchange(State().defaultWindowStyle, flags); }
const std::vector<uint8_t>& DefaultBackgroundImage(std::optional<std::vector<uint8_t>> bytes) {
  if (bytes) State().defaultBackgroundImage = std::move(*bytes);
  return State().defaultBackgroundImage;
}
int32_t DefaultElementOption(std::optional<int32_t> value) { return Exchange(State().defaultElementOption, value); }

Argb ToolkitAccentColour(std::optional<Argb> colour) { return Exchange(State().accentColour, colour); }
bool ToolkitMouseButtonHeld(std::optional<bool> held) { return Exchange(State().mouseButtonHeld, held); }
bool DeferredPresentation(std::optional<bool> deferred) { return Exchange(State().deferredPresentation, deferred); }
bool AnimationsEnabled(std::optional<bool> enabled) { return Exchange(State().animationsEnabled, enabled); }
bool PopupMenuTracking(std::optional<bool> tracking) { return Exchange(State().popupMenuTracking, tracking); }
HWND OpenPopupMarker(std::optional<HWND> popup) { return Exchange(State().openPopup, popup); }
