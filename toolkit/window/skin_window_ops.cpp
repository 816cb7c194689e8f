// SkinWindow: the small operations of the window's table (accessors, flags, z-order, region).
#include "toolkit/window/skin_window.h"
#include "toolkit/window/element_messages.h"
#include "toolkit/window/window_props.h"

namespace {

template <typename T>
T StoreIfGiven(T& field, std::optional<T> value) {
  if (value) field = *value;
  return field;
}

}  // namespace

uint32_t SkinWindow::SetShadowColour(uint32_t colorRef) {
  look_.shadowColour = colorRef;
  return colorRef;
}

void SkinWindow::Close() {
  if (windowHandle_) SendMessageW(windowHandle_, WM_CLOSE, 0, 0);
}

bool SkinWindow::SetMoveLocked(std::optional<bool> locked) { return StoreIfGiven(behaviour_.moveLocked, locked); }

void SkinWindow::SetMessageHooks(std::optional<CaptionButtonHandler> captionButtonHandler,
                                 std::optional<MessageHook> beforeMessageHook,
                                 std::optional<MessageHook> afterMessageHook) {
  if (captionButtonHandler) behaviour_.captionButtonHandler = std::move(*captionButtonHandler);
  if (beforeMessageHook) behaviour_.beforeMessageHook = std::move(*beforeMessageHook);
  if (afterMessageHook) behaviour_.afterMessageHook = std::move(*afterMessageHook);
}

void SkinWindow::DropFocusAll() {
  ForEachElement(element_message::kFocusLost);
  if (windowHandle_) SetIdProp(windowHandle_, kPropFocus, 0);
}

std::string SkinWindow::SetExtraText(std::optional<std::string> text, std::optional<int32_t> extra) {
  if (text) look_.extraText = std::move(*text);
  if (extra) look_.extraValue = *extra;
  return look_.extraText;
}

HWND SkinWindow::WindowHandle() const { return windowHandle_; }
ObjectId SkinWindow::Id() const { return objectId_; }
int32_t SkinWindow::Right() const { return layout_.bounds.x + layout_.bounds.width; }
int32_t SkinWindow::Bottom() const { return layout_.bounds.y + layout_.bounds.height; }
int32_t SkinWindow::Width() const { return layout_.bounds.width; }
int32_t SkinWindow::Height() const { return layout_.bounds.height; }
int32_t SkinWindow::Left() const { return layout_.bounds.x; }
int32_t SkinWindow::Top() const { return layout_.bounds.y; }

void SkinWindow::Move(std::optional<int32_t> x, std::optional<int32_t> y, std::optional<int32_t> width,
                      std::optional<int32_t> height) {
  if (!windowHandle_) return;
  MoveWindow(windowHandle_, x.value_or(layout_.bounds.x), y.value_or(layout_.bounds.y), width.value_or(layout_.bounds.width),
             height.value_or(layout_.bounds.height), TRUE);
}

std::string SkinWindow::SetTitle(std::optional<std::string> text) {
  if (text) {
    layout_.title.SetText(*text);
    if (windowHandle_) SetWindowTextW(windowHandle_, layout_.title.WString().c_str());
    LayoutTitleArea();
  }
  return layout_.title.ToText();
}

int32_t SkinWindow::TitleValue() { return layout_.title.Length(); }

bool SkinWindow::SetTitleAreaEnabled(std::optional<bool> enabled) { return StoreIfGiven(layout_.hasTitleArea, enabled); }

int32_t SkinWindow::SetCornerRadius(std::optional<int32_t> radius, bool redraw) {
  if (!radius) return look_.cornerRadius;
  look_.cornerRadius = *radius;
  if (windowHandle_) {
    UniqueHRgn region;
    if (look_.cornerRadius != 0) {
      region.reset(CreateRoundRectRgn(0, 0, layout_.bounds.width, layout_.bounds.height, look_.cornerRadius, look_.cornerRadius));
    }
    // On success the system owns the region: it must not be deleted any more.
    if (SetWindowRgn(windowHandle_, region.get(), FALSE)) region.release();
  }
  if (redraw) RebuildAndRedraw();
  return look_.cornerRadius;
}

void SkinWindow::Rebuild() { RebuildSurfaces(); }

void SkinWindow::RebuildAndRedraw() {
  Rebuild();
  Redraw(true);
}

void SkinWindow::Refresh() {
  LayoutCaptionButtons();
  // Every element of the window repaints its surface.
  for (int position = RegistryIndexOf(objectId_) - 1; position >= 1; --position) {
    ObjectId id = RegistryAt(position);
    if (DepthOf(id) < 1) break;
    SendElementMessage(id, element_message::kRepaintSurface, 0, 0);
  }
  RebuildSurfaces();
  Redraw(true);
}

bool SkinWindow::Show(std::optional<bool> visible) {
  HWND target = behaviour_.hostWindow ? behaviour_.hostWindow : windowHandle_;
  if (!target) return false;
  ShowWindow(target, visible.has_value() && !*visible ? SW_HIDE : SW_SHOW);
  return IsWindowVisible(target) != FALSE;
}

bool SkinWindow::SetDisabled(std::optional<bool> disabled) {
  if (!windowHandle_) return false;
  if (disabled) EnableWindow(windowHandle_, !*disabled);
  return IsWindowEnabled(windowHandle_) == FALSE;
}

void SkinWindow::ClearTopmost() {
  if (windowHandle_) SetWindowPos(windowHandle_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void SkinWindow::SendToBottom() {
  if (windowHandle_) SetWindowPos(windowHandle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int32_t SkinWindow::KindCode1() const { return 1; }
int32_t SkinWindow::KindCode5() const { return 5; }
int32_t SkinWindow::KindCode6() const { return 6; }
int32_t SkinWindow::KindCode7() const { return 7; }

bool SkinWindow::SetTopmost(std::optional<bool> topmost) {
  if (!windowHandle_) return false;
  if (topmost) {
    SetWindowPos(windowHandle_, *topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  return (GetWindowLongW(windowHandle_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

HDC SkinWindow::WindowDc() const { return windowDc_.get(); }

bool SkinWindow::SetResizable(std::optional<bool> resizable) { return StoreIfGiven(behaviour_.resizable, resizable); }

int32_t SkinWindow::ShadowSize() const { return look_.shadowSize; }

void SkinWindow::SetImageMargins(const Rect& margins) { look_.imageMargins = margins; }

uint32_t SkinWindow::SetBackgroundOption(std::optional<uint32_t> value) { return StoreIfGiven(look_.imageLayoutFlags, value); }

bool SkinWindow::SetMaximiseOnDoubleClick(std::optional<bool> enabled) {
  return StoreIfGiven(behaviour_.maximiseOnDoubleClick, enabled);
}

void SkinWindow::SetRegion(bool apply) {
  if (look_.cornerRadius == 0 || !windowHandle_) return;
  UniqueHRgn region;
  if (apply) region.reset(CreateRoundRectRgn(0, 0, layout_.bounds.width, layout_.bounds.height, look_.cornerRadius, look_.cornerRadius));
  if (SetWindowRgn(windowHandle_, region.get(), FALSE)) region.release();  // the system's now
}

bool SkinWindow::SetDragAnywhere(std::optional<bool> enabled) { return StoreIfGiven(behaviour_.dragAnywhere, enabled); }

int32_t SkinWindow::SetCaptionButtonMargin(std::optional<int32_t> pixels) {
  return StoreIfGiven(look_.captionButtonMargin, pixels);
}

void SkinWindow::SetMinTrackSize(int32_t width, int32_t height) {
  behaviour_.minTrackWidth = width;
  behaviour_.minTrackHeight = height;
}

intptr_t SkinWindow::Self(intptr_t value) const { return value; }
