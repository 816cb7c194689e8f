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
  shadowColour_ = colorRef;
  return colorRef;
}

void SkinWindow::Close() {
  if (windowHandle_) SendMessageW(windowHandle_, WM_CLOSE, 0, 0);
}

bool SkinWindow::SetMoveLocked(std::optional<bool> locked) { return StoreIfGiven(moveLocked_, locked); }

void SkinWindow::SetMessageHooks(std::optional<CaptionButtonHandler> captionButtonHandler,
                                 std::optional<MessageHook> beforeMessageHook,
                                 std::optional<MessageHook> afterMessageHook) {
  if (captionButtonHandler) captionButtonHandler_ = std::move(*captionButtonHandler);
  if (beforeMessageHook) beforeMessageHook_ = std::move(*beforeMessageHook);
  if (afterMessageHook) afterMessageHook_ = std::move(*afterMessageHook);
}

void SkinWindow::DropFocusAll() {
  ForEachElement(element_message::kFocusLost);
  if (windowHandle_) SetIdProp(windowHandle_, kPropFocus, 0);
}

std::string SkinWindow::SetExtraText(std::optional<std::string> text, std::optional<int32_t> extra) {
  if (text) extraText_ = std::move(*text);
  if (extra) extraValue_ = *extra;
  return extraText_;
}

HWND SkinWindow::WindowHandle() const { return windowHandle_; }
ObjectId SkinWindow::Id() const { return objectId_; }
int32_t SkinWindow::Right() const { return bounds_.x + bounds_.width; }
int32_t SkinWindow::Bottom() const { return bounds_.y + bounds_.height; }
int32_t SkinWindow::Width() const { return bounds_.width; }
int32_t SkinWindow::Height() const { return bounds_.height; }
int32_t SkinWindow::Left() const { return bounds_.x; }
int32_t SkinWindow::Top() const { return bounds_.y; }

void SkinWindow::Move(std::optional<int32_t> x, std::optional<int32_t> y, std::optional<int32_t> width,
                      std::optional<int32_t> height) {
  if (!windowHandle_) return;
  MoveWindow(windowHandle_, x.value_or(bounds_.x), y.value_or(bounds_.y), width.value_or(bounds_.width),
             height.value_or(bounds_.height), TRUE);
}

std::string SkinWindow::SetTitle(std::optional<std::string> text) {
  if (text) {
    title_.SetText(*text);
    if (windowHandle_) SetWindowTextW(windowHandle_, title_.WString().c_str());
    LayoutTitleArea();
  }
  return title_.ToText();
}

int32_t SkinWindow::TitleValue() { return title_.Length(); }

bool SkinWindow::SetTitleAreaEnabled(std::optional<bool> enabled) { return StoreIfGiven(hasTitleArea_, enabled); }

int32_t SkinWindow::SetCornerRadius(std::optional<int32_t> radius, bool redraw) {
  if (!radius) return cornerRadius_;
  cornerRadius_ = *radius;
  if (windowHandle_) {
    UniqueHRgn region;
    if (cornerRadius_ != 0) {
      region.reset(CreateRoundRectRgn(0, 0, bounds_.width, bounds_.height, cornerRadius_, cornerRadius_));
    }
    // On success the system owns the region: it must not be deleted any more.
    if (SetWindowRgn(windowHandle_, region.get(), FALSE)) region.release();
  }
  if (redraw) RebuildAndRedraw();
  return cornerRadius_;
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
  HWND target = hostWindow_ ? hostWindow_ : windowHandle_;
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

bool SkinWindow::SetResizable(std::optional<bool> resizable) { return StoreIfGiven(resizable_, resizable); }

int32_t SkinWindow::ShadowSize() const { return shadowSize_; }

void SkinWindow::SetImageMargins(const Rect& margins) { imageMargins_ = margins; }

uint32_t SkinWindow::SetBackgroundOption(std::optional<uint32_t> value) { return StoreIfGiven(imageLayoutFlags_, value); }

bool SkinWindow::SetMaximiseOnDoubleClick(std::optional<bool> enabled) {
  return StoreIfGiven(maximiseOnDoubleClick_, enabled);
}

void SkinWindow::SetRegion(bool apply) {
  if (cornerRadius_ == 0 || !windowHandle_) return;
  UniqueHRgn region;
  if (apply) region.reset(CreateRoundRectRgn(0, 0, bounds_.width, bounds_.height, cornerRadius_, cornerRadius_));
  if (SetWindowRgn(windowHandle_, region.get(), FALSE)) region.release();  // the system's now
}

bool SkinWindow::SetDragAnywhere(std::optional<bool> enabled) { return StoreIfGiven(dragAnywhere_, enabled); }

int32_t SkinWindow::SetCaptionButtonMargin(std::optional<int32_t> pixels) {
  return StoreIfGiven(captionButtonMargin_, pixels);
}

void SkinWindow::SetMinTrackSize(int32_t width, int32_t height) {
  minTrackWidth_ = width;
  minTrackHeight_ = height;
}

intptr_t SkinWindow::Self(intptr_t value) const { return value; }
