// SkinWindow: what a system frame would give a window: caption buttons, the title area, moving by
// the title (or anywhere empty), resizing by the borders, maximising and restoring.
#include "toolkit/draw/images.h"
#include "toolkit/draw/text_drawing.h"
#include "toolkit/skin/skin_images.h"
#include "toolkit/window/element_messages.h"
#include "toolkit/window/skin_window.h"
#include "toolkit/window/toolkit.h"

namespace {

namespace gdip = Gdiplus::DllExports;

constexpr int32_t kFadeStep = 8;
constexpr int32_t kIconTitleShift = 21;

Size32 ImageSize(Gdiplus::GpImage* image) {
  if (!image) return {};
  UINT width = 0, height = 0;
  gdip::GdipGetImageWidth(image, &width);
  gdip::GdipGetImageHeight(image, &height);
  return {static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

void DrawCaptionButton(Gdiplus::GpGraphics* graphics, const CaptionButton& button) {
  if (!button.visible) return;
  CaptionImageNames names = CaptionImagesFor(button.kind);
  const Rect& b = button.bounds;
  switch (FaceOf(button)) {
    case CaptionFace::kPressed:
      if (auto* image = SkinImageByName(names.pressed)) DrawImage(image, graphics, b.x, b.y, b.width, b.height);
      break;
    case CaptionFace::kHot:
      // The hot face fades in over the normal one while fadeLevel runs down from 100.
      if (button.fadeLevel > 0) {
        if (auto* image = SkinImageByName(names.normal)) DrawImage(image, graphics, b.x, b.y, b.width, b.height);
      }
      if (auto* image = SkinImageByName(names.hot)) {
        DrawImage(image, graphics, b.x, b.y, b.width, b.height, 0, 0, std::nullopt, std::nullopt, button.fadeLevel);
      }
      break;
    case CaptionFace::kNormal:
      if (auto* image = SkinImageByName(names.normal)) DrawImage(image, graphics, b.x, b.y, b.width, b.height);
      break;
  }
}

// System cursor ids (IDC_*), spelled as numbers because the IDC_ macros follow the ANSI/wide
// setting of the build.
constexpr WORD kArrowCursor = 32512;
constexpr WORD kSizeNwseCursor = 32642;
constexpr WORD kSizeNeswCursor = 32643;
constexpr WORD kSizeWeCursor = 32644;
constexpr WORD kSizeNsCursor = 32645;

void SetSystemCursor(WORD id) { SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(id))); }
void SetArrowCursor() { SetSystemCursor(kArrowCursor); }

WORD CursorOfZone(BorderZone zone) {
  switch (zone) {
    case kBorderLeft:
    case kBorderRight:
      return kSizeWeCursor;
    case kBorderTop:
    case kBorderBottom:
      return kSizeNsCursor;
    case kBorderTopLeft:
    case kBorderBottomRight:
      return kSizeNwseCursor;
    case kBorderTopRight:
    case kBorderBottomLeft:
      return kSizeNeswCursor;
    default:
      return kArrowCursor;
  }
}

// The cursor's screen position, as the system move and size loops expect it in lParam.
LPARAM CursorParam() {
  POINT cursor{};
  GetCursorPos(&cursor);
  return MAKELPARAM(cursor.x, cursor.y);
}

}  // namespace

// ---- Caption buttons ----------------------------------------------------------------------------

void SkinWindow::BuildCaptionButtons(uint32_t styleFlags) {
  captionButtons_.clear();
  for (int32_t kind : CaptionKindsForStyle(styleFlags)) {
    CaptionButton button;
    button.kind = kind;
    captionButtons_.push_back(button);
  }
  LayoutCaptionButtons();
}

void SkinWindow::LayoutCaptionButtons(std::optional<int32_t> width) {
  std::vector<Size32> sizes;
  for (const CaptionButton& button : captionButtons_) {
    sizes.push_back(ImageSize(SkinImageByName(CaptionImagesFor(button.kind).normal)));
  }
  std::vector<Rect> placed = LayoutCaptionRow(width.value_or(layout_.bounds.width), look_.shadowSize, look_.captionButtonMargin, sizes);
  for (size_t i = 0; i < captionButtons_.size(); ++i) captionButtons_[i].bounds = placed[i];
  layout_.captionButtonStrip = ComputeCaptionStrip();
}

int32_t SkinWindow::CaptionStripWidth() const {
  int32_t width = 0;
  for (const CaptionButton& button : captionButtons_) width += button.bounds.width;
  return width;
}

Rect SkinWindow::ComputeCaptionStrip() const {
  std::vector<Rect> rects;
  for (const CaptionButton& button : captionButtons_) rects.push_back(button.bounds);
  return UnionOfRects(rects);
}

void SkinWindow::DrawCaptionButtons(Gdiplus::GpGraphics* graphics) {
  if (!graphics) return;
  for (const CaptionButton& button : captionButtons_) DrawCaptionButton(graphics, button);
}

// Puts one button's current face on the main surface and the screen.
void SkinWindow::RedrawCaptionButton(size_t index) {
  if (index >= captionButtons_.size() || !mainSurface_ || !backgroundSurface_) return;
  const Rect& b = captionButtons_[index].bounds;
  if (b.width < 1 || b.height < 1) return;
  BitBlt(mainSurface_.memoryDc(), b.x, b.y, b.width, b.height, backgroundSurface_.memoryDc(), b.x, b.y, SRCCOPY);
  DrawCaptionButton(mainSurface_.graphics(), captionButtons_[index]);
  Present(b);
}

void SkinWindow::HandleCaptionMouse(std::optional<Point32> point, UINT message) {
  const HWND window = windowHandle_;
  if (!window) return;
  if (!point) {  // the mouse left the window
    for (size_t i = 0; i < captionButtons_.size(); ++i) {
      CaptionButton& button = captionButtons_[i];
      if (!button.hot && !button.pressed) continue;
      button.hot = button.pressed = false;
      button.fadeLevel = 0;
      RedrawCaptionButton(i);
    }
    return;
  }
  const Point32 p = *point;
  const bool inStrip = PointStrictlyInside(layout_.captionButtonStrip, p);
  const int32_t under = inStrip ? CaptionButtonAt(captionButtons_, p.x, p.y) : -1;
  switch (message) {
    case WM_LBUTTONDOWN:
      if (inStrip) {
        if (under >= 0 && captionButtons_[under].enabled) {
          captionButtons_[under].pressed = true;
          activity_.pressedCaptionButton = under + 1;
          SetCapture(window);
          RedrawCaptionButton(static_cast<size_t>(under));
        }
      } else if (behaviour_.dragAnywhere && HitTest(window, POINT{p.x, p.y}) == 0) {
        StartSystemMove();
      }
      break;
    case WM_LBUTTONUP: {
      if (activity_.pressedCaptionButton == 0) break;
      const auto index = static_cast<size_t>(activity_.pressedCaptionButton - 1);
      activity_.pressedCaptionButton = 0;
      ReleaseCapture();
      if (index >= captionButtons_.size()) break;
      const bool overPressed = under == static_cast<int32_t>(index);
      captionButtons_[index].pressed = false;
      RedrawCaptionButton(index);
      if (overPressed) DoCaptionCommand(captionButtons_[index].kind);  // may close the window: last
      break;
    }
    case WM_MOUSEMOVE:
      for (size_t i = 0; i < captionButtons_.size(); ++i) {
        CaptionButton& button = captionButtons_[i];
        const bool hot = static_cast<int32_t>(i) == under;
        if (hot == button.hot) continue;
        button.hot = hot;
        if (hot) {
          button.fadeLevel = 100;
          StartCaptionFade(i);
        }
        RedrawCaptionButton(i);
      }
      break;
    default:
      break;
  }
}

void SkinWindow::StartCaptionFade(size_t index) {
  SetTimer(windowHandle_, static_cast<UINT_PTR>(MAKELONG(kCaptionFadeTimer, index + 1)), kCaptionFadePeriod, nullptr);
}

void SkinWindow::OnCaptionFadeTick(WPARAM timerId) {
  const size_t position = HIWORD(timerId);
  if (position == 0 || position > captionButtons_.size()) {
    KillTimer(windowHandle_, timerId);
    return;
  }
  CaptionButton& button = captionButtons_[position - 1];
  button.fadeLevel -= kFadeStep;
  if (button.fadeLevel <= 0) {
    button.fadeLevel = 0;
    KillTimer(windowHandle_, timerId);
  }
  RedrawCaptionButton(position - 1);
}

bool SkinWindow::NotifyCaptionButton(int32_t kind) {
  if (!behaviour_.captionButtonHandler) return false;
  CaptionButtonHandler handler = behaviour_.captionButtonHandler;
  return handler(windowHandle_, kind);
}

void SkinWindow::DoCaptionCommand(int32_t kind) {
  const HWND window = windowHandle_;
  if (!window || NotifyCaptionButton(kind)) return;
  switch (kind) {
    case caption_kind::kClose:
      SendMessageW(window, WM_CLOSE, 0, 0);
      break;
    case caption_kind::kMaximise: {
      for (CaptionButton& button : captionButtons_) {
        if (button.kind == caption_kind::kMaximise) button.kind = caption_kind::kRestore;
      }
      RECT desktop{};
      GetWindowRect(GetDesktopWindow(), &desktop);
      PlaceMaximised({desktop.left, desktop.top, desktop.right - desktop.left, desktop.bottom - desktop.top});
      activity_.maximised = true;
      break;
    }
    case caption_kind::kRestore:
      activity_.maximised = false;
      for (CaptionButton& button : captionButtons_) {
        if (button.kind == caption_kind::kRestore) button.kind = caption_kind::kMaximise;
      }
      ShowWindow(window, SW_RESTORE);
      RebuildAndRedraw();  // the button's face changed even if the size did not
      break;
    case caption_kind::kMinimise:
      CloseWindow(window);
      break;
    default:  // menu, help and skin are the program's alone
      break;
  }
}

void SkinWindow::PlaceMaximised(const Rect& target) {
  const HWND window = windowHandle_;
  if (!window) return;
  activity_.placingMaximised = true;
  activity_.suspendLayout = true;
  ShowWindow(window, SW_MAXIMIZE);
  activity_.suspendLayout = false;
  // The work area of the window's monitor keeps the taskbar visible.
  Rect work = target;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    const RECT& r = monitor.rcWork;
    work = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  Rect placed = MaximisedPlacement(target, work, look_.shadowSize);
  MoveWindow(window, placed.x, placed.y, placed.width, placed.height, TRUE);
  activity_.placingMaximised = false;
}

void SkinWindow::TrackMouseLeave() {
  if (!windowHandle_) return;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = windowHandle_;
  TrackMouseEvent(&track);
}

// ---- Title area ------------------------------------------------------------------------------------

void SkinWindow::LayoutTitleArea() {
  // The title row is as high as the title's text; an empty title measures as a blank line.
  Gdiplus::SizeF size = MeasureText(titleFont_, layout_.title.IsEmpty() ? WideTextFromWString(L" ") : layout_.title);
  layout_.titleArea = TitleAreaRect(layout_.bounds.width, CaptionStripWidth(), look_.captionButtonMargin, look_.shadowSize,
                             static_cast<int32_t>(size.Height));
  layout_.titleTextRect = layout_.titleArea;
  if (icon_.image || icon_.windowIcon) layout_.titleTextRect.width -= kIconTitleShift;
}

// ---- Mouse --------------------------------------------------------------------------------------------

void SkinWindow::OnMouseMove(Point32 point) {
  DeferredPresentation(look_.layered && look_.shadowEnabled);
  if (!activity_.leftButtonDown) SetArrowCursor();
  if (!activity_.mouseTracked) {
    TrackMouseLeave();
    activity_.mouseTracked = true;
  }
  if (behaviour_.resizable && !activity_.maximised && BorderCursor(point.x, point.y)) return;
  HandleCaptionMouse(point, WM_MOUSEMOVE);
  if (PointStrictlyInside(layout_.titleArea, point) && !ToolkitMouseButtonHeld()) SetArrowCursor();
}

void SkinWindow::OnLeftButtonDown(Point32 point) {
  activity_.leftButtonDown = true;
  ToolkitMouseButtonHeld(true);
  const Rect drag = TitleDragRect(layout_.titleArea, layout_.bounds.width, CaptionStripWidth(), look_.captionButtonMargin, look_.shadowSize);
  if (layout_.hasTitleArea && PointStrictlyInside(drag, point)) {
    if (BeginBorderResize(point.x, point.y) == 0 && !activity_.maximised && !behaviour_.moveLocked &&
        HitTest(windowHandle_, POINT{point.x, point.y}) == 0) {
      StartSystemMove();
    }
  } else if (BeginBorderResize(point.x, point.y) == 0) {
    HandleCaptionMouse(point, WM_LBUTTONDOWN);
  }
}

void SkinWindow::OnLeftButtonUp(Point32 point) {
  activity_.leftButtonDown = false;
  ToolkitMouseButtonHeld(false);
  HandleCaptionMouse(point, WM_LBUTTONUP);
}

void SkinWindow::OnLeftDoubleClick(Point32 point) {
  if (!behaviour_.maximiseOnDoubleClick || !behaviour_.resizable || !layout_.hasTitleArea) return;
  if (!PointStrictlyInside(layout_.titleArea, {point.x + 10, point.y - 1})) return;
  DoCaptionCommand(activity_.maximised ? caption_kind::kRestore : caption_kind::kMaximise);
}

void SkinWindow::StartSystemMove() {
  const HWND window = windowHandle_;
  ReleaseCapture();
  SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, CursorParam());
  AfterSystemLoop();
}

// The system's move and size loops swallow the button-up: whatever it would have cleared is
// cleared here once the loop has returned, the elements' held and pressed buttons too (else the
// next release over the pressed element would count as its click).
void SkinWindow::AfterSystemLoop() {
  activity_.leftButtonDown = false;
  ToolkitMouseButtonHeld(false);
  ForEachElement(element_message::kButtonsReleased);
  if (activity_.nonClientDrag) {
    activity_.nonClientDrag = false;
    SetArrowCursor();
  }
}

bool SkinWindow::BorderCursor(int32_t x, int32_t y) {
  if (!behaviour_.resizable || activity_.maximised) return false;
  BorderZone zone = BorderZoneAt({x, y}, layout_.bounds.width, layout_.bounds.height, look_.shadowSize);
  if (zone == kNoBorder) return false;
  SetSystemCursor(CursorOfZone(zone));
  return true;
}

int32_t SkinWindow::BeginBorderResize(int32_t x, int32_t y) {
  if (!behaviour_.resizable || activity_.maximised || !windowHandle_) return 0;
  BorderZone zone = BorderZoneAt({x, y}, layout_.bounds.width, layout_.bounds.height, look_.shadowSize);
  if (zone == kNoBorder) return 0;
  SetSystemCursor(CursorOfZone(zone));
  ReleaseCapture();
  SendMessageW(windowHandle_, WM_SYSCOMMAND, SC_SIZE + zone, CursorParam());
  AfterSystemLoop();
  return zone;
}
