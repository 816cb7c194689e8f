// SkinWindow: surfaces, painting (background, shadow, frame lines, icon, title), presentation,
// layered mode, blur-behind, effects and the background image.
#include <dwmapi.h>

#include "common/bench_marks.h"
#include "common/system_library.h"
#include "toolkit/draw/images.h"
#include "toolkit/draw/shapes.h"
#include "toolkit/draw/text_drawing.h"
#include "toolkit/window/element_messages.h"
#include "toolkit/window/skin_window.h"
#include "toolkit/window/toolkit.h"
#include "toolkit/window/window_props.h"

namespace {

namespace gdip = Gdiplus::DllExports;

constexpr int32_t kDefaultImageMargin = 26;
constexpr int32_t kDefaultEffectInterval = 16;

// The six strokes of the drop shadow, from wide and faint to narrow and dense.
struct ShadowStroke {
  float width;
  uint8_t alpha;
};
constexpr ShadowStroke kShadowStrokes[] = {{12, 5}, {10, 15}, {8, 30}, {6, 45}, {4, 60}, {2, 70}};

void SetHandleProp(HWND window, const char* name, const void* value) {
  WriteWindowProp(window, name, const_cast<HANDLE>(static_cast<const void*>(value)));
}

GridMargins MarginsOf(const Rect& margins) { return {margins.x, margins.y, margins.width, margins.height}; }

}  // namespace

// ---- Surfaces ---------------------------------------------------------------------------------

void SkinWindow::RebuildSurfaces() {
  const HWND window = windowHandle_;
  mainSurface_.Release();
  backgroundSurface_.Release();
  if (!window) return;
  mainSurface_ = WindowSurface::Create(layout_.bounds.width, layout_.bounds.height);
  backgroundSurface_ = WindowSurface::Create(layout_.bounds.width, layout_.bounds.height);
  SetHandleProp(window, kPropMainDc, mainSurface_.memoryDc());
  SetHandleProp(window, kPropBackgroundDc, backgroundSurface_.memoryDc());
  SetHandleProp(window, kPropMainGraphics, mainSurface_.graphics());
  SetHandleProp(window, kPropBackgroundGraphics, backgroundSurface_.graphics());
  if (!mainSurface_ || !backgroundSurface_) return;  // zero-sized window: nothing to paint
  // The background is painted once, into the background surface, and copied into the main one:
  // the same pixels as painting it twice, at half the cost (the shadow's strokes are the dear part).
  PaintBackground(backgroundSurface_.graphics(), backgroundSurface_.memoryDc());
  Gdiplus::DllExports::GdipFlush(backgroundSurface_.graphics(), Gdiplus::FlushIntentionSync);
  BitBlt(mainSurface_.memoryDc(), 0, 0, layout_.bounds.width, layout_.bounds.height, backgroundSurface_.memoryDc(), 0, 0, SRCCOPY);
  DrawCaptionButtons(mainSurface_.graphics());
  PaintElements(mainSurface_.graphics());
}

void SkinWindow::PaintFrame(Gdiplus::GpGraphics* graphics, HDC dc) {
  PaintBackground(graphics, dc);
  DrawCaptionButtons(graphics);
}

void SkinWindow::PaintElements(Gdiplus::GpGraphics*) { ForEachElement(element_message::kCompositeSelf); }

// Elements of this window, oldest first: from the window's own entry towards the front, until the
// first entry of another window.
void SkinWindow::ForEachElement(uint32_t code) {
  const HWND window = windowHandle_;
  for (int position = RegistryIndexOf(objectId_) - 1; position >= 1; --position) {
    ObjectId id = RegistryAt(position);
    ElementNode* element = ElementFromId(id);
    if (!element || element->hostWindow != window) break;
    SendElementMessage(id, code, 0, 0);
  }
}

// ---- Painting the background ----------------------------------------------------------------------

void SkinWindow::PaintBackground(Gdiplus::GpGraphics* graphics, HDC dc) {
  if (!graphics) return;
  const bool framed = look_.shadowEnabled && look_.layered;
  if (framed) PaintShadow(graphics, layout_.bounds.width, layout_.bounds.height);
  PaintBackgroundFill(graphics, dc);
  PaintIconAndTitle(graphics);
  PaintBackgroundExtra(graphics);
  if (framed && (look_.innerBorderColour != 0 || look_.outerBorderColour != 0)) PaintFrameLines(graphics);
}

void SkinWindow::PaintShadow(Gdiplus::GpGraphics* graphics, int32_t width, int32_t height) {
  const int32_t radius = look_.cornerRadius + 1;
  Gdiplus::SmoothingMode previousMode = Gdiplus::SmoothingModeDefault;
  gdip::GdipGetSmoothingMode(graphics, &previousMode);
  gdip::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);

  // The shadow may only fall on the ring outside the window body.
  UniqueGpPath ring;
  gdip::GdipCreatePath(Gdiplus::FillModeAlternate, ring.put());
  UniqueGpPath outer = RoundedRectPath(0, 0, width, height, radius + 1);
  UniqueGpPath inner = RoundedRectPath(5, 5, width - 11, height - 11, radius + 1);
  gdip::GdipAddPathPath(ring.get(), outer.get(), FALSE);
  gdip::GdipAddPathPath(ring.get(), inner.get(), FALSE);
  gdip::GdipSetClipPath(graphics, ring.get(), Gdiplus::CombineModeReplace);

  UniqueGpPath stroke = RoundedRectPath(5, 5, radius >= 4 ? width - 12 : width - 11, height - 11, radius + 1);
  for (const ShadowStroke& s : kShadowStrokes) {
    UniqueGpPen pen = MakePen(ArgbFromColorRef(look_.shadowColour, s.alpha), s.width);
    gdip::GdipDrawPath(graphics, pen.get(), stroke.get());
  }
  gdip::GdipResetClip(graphics);
  gdip::GdipSetSmoothingMode(graphics, previousMode);
}

void SkinWindow::PaintFrameLines(Gdiplus::GpGraphics* graphics) {
  const int32_t s = look_.shadowSize, w = layout_.bounds.width, h = layout_.bounds.height;
  OutlineRoundedRect(graphics, MakeArgb(50, 128, 128, 128), s - 1, s - 1, w - 2 * s + 1, h - 2 * s + 1, look_.cornerRadius);
  OutlineRoundedRect(graphics, look_.outerBorderColour, s, s, w - 2 * s - 1, h - 2 * s - 1, look_.cornerRadius - 1);
  OutlineRoundedRect(graphics, look_.innerBorderColour, s + 1, s + 1, w - 2 * s - 3, h - 2 * s - 3, look_.cornerRadius - 2);
}

void SkinWindow::PaintBackgroundFill(Gdiplus::GpGraphics* graphics, HDC) {
  const int32_t s = look_.shadowSize;
  const int32_t x = s, y = s, w = layout_.bounds.width - 2 * s, h = layout_.bounds.height - 2 * s;
  if (!(look_.imageLayoutFlags & 4)) {
    if (look_.imageLayoutFlags & 8) {
      // A gentle vertical gradient from the colour to a darker shade of it.
      Argb darker = MakeArgb(AlphaOf(look_.backgroundColour), RedOf(look_.backgroundColour) * 3 / 4,
                             GreenOf(look_.backgroundColour) * 3 / 4, BlueOf(look_.backgroundColour) * 3 / 4);
      GradientFill(graphics, x, y, w, h, look_.backgroundColour, darker, true);
    } else {
      FillRoundedRect(graphics, look_.backgroundColour, x, y, w, h, look_.cornerRadius - 2);
    }
  }
  PaintBackgroundImages(graphics);
  if (look_.themeSource && ToolkitAccentColour() != 0) {
    FillRoundedRect(graphics, (ToolkitAccentColour() & 0x00FFFFFFu) | 0x20000000u, x, y, w, h, look_.cornerRadius - 2);
  }
}

void SkinWindow::PaintBackgroundImages(Gdiplus::GpGraphics* graphics) {
  if (!backgroundImage_ && !derivedImage_) return;
  if (look_.imageMargins.width == 0 && !(look_.imageLayoutFlags & 1)) {
    // No margins yet: the default ones serve from this paint on (every surface of a rebuild must
    // show the same picture, so the first paint draws with them too).
    look_.imageMargins = {kDefaultImageMargin, kDefaultImageMargin, kDefaultImageMargin, kDefaultImageMargin};
  }
  for (Gdiplus::GpImage* image : {backgroundImage_.get(), derivedImage_.get()}) {
    if (!image) continue;
    if (look_.imageMargins.width != 0) {
      NineGridImage(graphics, image, 0, 0, layout_.bounds.width, layout_.bounds.height, MarginsOf(look_.imageMargins));
    } else {
      DrawImage(image, graphics, look_.shadowSize, look_.shadowSize);
    }
  }
}

void SkinWindow::PaintIconAndTitle(Gdiplus::GpGraphics* graphics) {
  const int32_t s = look_.shadowSize;
  if (!icon_.image && !icon_.windowIcon && !icon_.removed && windowHandle_) {
    icon_.windowIcon = reinterpret_cast<HICON>(SendMessageW(windowHandle_, WM_GETICON, ICON_SMALL, 0));
  }
  const bool hasIcon = icon_.image || icon_.windowIcon;
  if (icon_.image) {
    DrawImage(icon_.image.get(), graphics, s + 7, s + 6, 16, 16);
  } else if (icon_.windowIcon) {
    DrawIcon(graphics, icon_.windowIcon, s + 7, s + 6);
  }
  if (layout_.title.IsEmpty() || !titleFont_) return;
  Gdiplus::RectF layout(static_cast<float>(s + (hasIcon ? 28 : 5)), static_cast<float>(s + 5),
                        static_cast<float>(layout_.titleTextRect.width), static_cast<float>(layout_.titleTextRect.height));
  DrawText(graphics, titleFont_, layout_.title, layout);
}

void SkinWindow::PaintBackgroundExtra(Gdiplus::GpGraphics* graphics, std::optional<FontDescription> font) {
  if (look_.extraText.empty()) return;
  FontObject ownFont;
  if (font) ownFont = MakeFont(*font, true, false);
  const FontObject& used = font ? ownFont : titleFont_;
  if (!used) return;
  Gdiplus::SizeF size = MeasureText(used, look_.extraText);
  float right = static_cast<float>(layout_.captionButtonStrip.width > 0 ? layout_.captionButtonStrip.x
                                                                 : layout_.bounds.width - look_.shadowSize - look_.captionButtonMargin);
  float x = right - static_cast<float>(look_.extraValue) - size.Width;
  DrawText(graphics, used, look_.extraText, Gdiplus::RectF(x, static_cast<float>(look_.shadowSize + 5), size.Width, size.Height));
}

// ---- Presentation -----------------------------------------------------------------------------------

void SkinWindow::Present(std::optional<Rect> rect) {
  if (activity_.transitionRunning || !windowHandle_ || !mainSurface_) return;
  if (look_.layered) {
    POINT position{layout_.bounds.x, layout_.bounds.y};
    SIZE size{layout_.bounds.width, layout_.bounds.height};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, look_.constantAlpha, AC_SRC_ALPHA};
    UpdateLayeredWindow(windowHandle_, windowDc_.get(), &position, &size, mainSurface_.memoryDc(), &origin, 0, &blend,
                        ULW_ALPHA);
    VM_BENCH_MARK("present: window");
  } else {
    Rect r = rect.value_or(Rect{0, 0, layout_.bounds.width, layout_.bounds.height});
    BitBlt(windowDc_.get(), r.x, r.y, r.width, r.height, mainSurface_.memoryDc(), r.x, r.y, SRCCOPY);
  }
  ++presentationCount_;
}

void SkinWindow::Redraw(bool now) {
  if (!windowHandle_) return;
  if (look_.layered) {
    Present();
    return;
  }
  InvalidateRect(windowHandle_, nullptr, TRUE);
  if (now) UpdateWindow(windowHandle_);
}

bool SkinWindow::SetLayered(std::optional<bool> enable, bool shadow, bool redraw) {
  const HWND window = windowHandle_;
  if (enable && window) {
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    exStyle = *enable ? (exStyle | WS_EX_LAYERED) : (exStyle & ~WS_EX_LAYERED);
    SetWindowLongA(window, GWL_EXSTYLE, exStyle);
    look_.layered = *enable;
    if (redraw) Present();
  }
  look_.shadowEnabled = shadow;
  look_.shadowSize = look_.shadowEnabled && look_.layered ? 5 : 0;
  LayoutCaptionButtons();
  LayoutTitleArea();
  RebuildSurfaces();
  return look_.layered;
}

bool SkinWindow::SetBlurBehind(bool enable, int32_t radius) {
  if (SystemMajorVersion() != 6 || !windowHandle_) return false;
  using EnableBlurBehind = HRESULT(WINAPI*)(HWND, const DWM_BLURBEHIND*);
  UniqueModule dwm(LoadSystemLibrary(L"dwmapi.dll"));
  auto enableBlur = dwm ? reinterpret_cast<EnableBlurBehind>(GetProcAddress(dwm.get(), "DwmEnableBlurBehindWindow"))
                        : nullptr;
  if (!enableBlur) return false;
  const int32_t s = look_.shadowSize;
  // The caller keeps the region: DWM copies it.
  UniqueHRgn region(CreateRoundRectRgn(s, s, layout_.bounds.width - s, layout_.bounds.height - s, radius, radius));
  DWM_BLURBEHIND blur{};
  blur.dwFlags = DWM_BB_ENABLE | DWM_BB_BLURREGION;
  blur.fEnable = enable;
  blur.hRgnBlur = region.get();
  blur.fTransitionOnMaximized = FALSE;
  enableBlur(windowHandle_, &blur);
  return true;
}

uint8_t SkinWindow::SetConstantAlpha(std::optional<int32_t> alpha, bool redraw) {
  if (alpha) {
    look_.constantAlpha = static_cast<uint8_t>(*alpha & 0xFF);
    if (redraw) Redraw(false);
  }
  return look_.constantAlpha;
}

int32_t SkinWindow::SetShowEffect(std::optional<int32_t> effect, std::optional<int32_t> interval) {
  if (!effect) return behaviour_.showEffect;
  behaviour_.showEffect = *effect;
  behaviour_.showInterval = interval.value_or(0) > 0 ? *interval : kDefaultEffectInterval;
  return *effect;
}

int32_t SkinWindow::SetCloseEffect(std::optional<int32_t> effect, std::optional<int32_t> interval) {
  if (!effect) return behaviour_.closeEffect;
  behaviour_.closeEffect = *effect;
  behaviour_.closeInterval = interval.value_or(0) > 0 ? *interval : kDefaultEffectInterval;
  return *effect;
}

void SkinWindow::StopTransition(bool redraw) {
  if (windowHandle_) {
    KillTimer(windowHandle_, static_cast<UINT_PTR>(MAKELONG(kTransitionTimer, 1)));
    KillTimer(windowHandle_, static_cast<UINT_PTR>(MAKELONG(kTransitionTimer, 0)));
  }
  transitionEngine_.Reset();
  const bool wasRunning = activity_.transitionRunning;
  activity_.transitionRunning = false;
  activity_.transitionProgress = 0;
  activity_.transitionDirection = 0;
  if (wasRunning) SetRegion(true);
  if (redraw) Present();
}

bool SkinWindow::TransitionRunning() const { return activity_.transitionRunning; }

// ---- Images --------------------------------------------------------------------------------------

void SkinWindow::SetBackgroundImage(std::span<const uint8_t> imageBytes, std::optional<uint32_t> layoutFlags) {
  UniqueGpBitmap image = LoadImageFromBytes(imageBytes);
  if (!image) return;
  UINT width = 0, height = 0;
  gdip::GdipGetImageWidth(image.get(), &width);
  gdip::GdipGetImageHeight(image.get(), &height);
  backgroundImage_.reset(image.release());
  look_.imageAverageColour = AverageColour(backgroundImage_.get());
  look_.backgroundColour = look_.imageAverageColour;
  if (layoutFlags) look_.imageLayoutFlags = *layoutFlags;
  // The derived image: a shade that darkens the picture towards its bottom edge, so text laid on
  // the lower part of a bright picture keeps its contrast.
  UniqueGpBitmap shade = CreateArgbBitmap(static_cast<int32_t>(width), static_cast<int32_t>(height));
  if (shade) {
    UniqueGpGraphics shadeGraphics = GraphicsForImage(shade.get());
    GradientFill(shadeGraphics.get(), 0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height), 0x00000000u,
                 0x40000000u, true);
  }
  derivedImage_.reset(shade.release());
  RebuildAndRedraw();
}

void SkinWindow::SetIconImage(std::span<const uint8_t> imageBytes) {
  UniqueGpBitmap image = LoadImageFromBytes(imageBytes);
  icon_.image.reset(image.release());
  icon_.removed = false;
  LayoutTitleArea();
  RebuildAndRedraw();
}

bool SkinWindow::SetIconFile(const std::string& path) {
  if (!windowHandle_) return false;
  UniqueHIcon icon(static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
  if (!icon) return false;
  SendMessageW(windowHandle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
  SendMessageW(windowHandle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
  icon_.windowIcon = icon.get();
  icon_.fromFile = std::move(icon);  // the window no longer shows the previous one
  icon_.image.reset();
  icon_.removed = false;
  LayoutTitleArea();
  RebuildAndRedraw();
  return true;
}

void SkinWindow::RemoveIcon() {
  icon_.image.reset();
  icon_.windowIcon = nullptr;
  icon_.removed = true;
  LayoutTitleArea();
  RebuildAndRedraw();
}
