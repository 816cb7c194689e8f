// SkinWindow: creation, adoption, destruction, the window procedure and the message table,
// timers and the show and close transitions.
#include "toolkit/window/skin_window.h"

#include "common/bench_marks.h"
#include "toolkit/draw/images.h"
#include "toolkit/draw/wait_pumping.h"
#include "toolkit/window/toolkit.h"
#include "toolkit/window/window_props.h"

namespace {

constexpr DWORD kToolkitWindowStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;  // 0x800A0000
constexpr int32_t kDefaultWidth = 380;
constexpr int32_t kDefaultHeight = 250;

UINT_PTR TransitionTimerId(bool showing) { return static_cast<UINT_PTR>(MAKELONG(kTransitionTimer, showing ? 1 : 0)); }

// The mouse's own messages: what a transition holds back (see WindowProcedure).
bool IsPointerInput(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

}  // namespace

SkinWindow::~SkinWindow() {
  if (windowHandle_) Destroy();
}

// ---- The window procedure -------------------------------------------------------------------------

LRESULT CALLBACK SkinWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    auto* self = static_cast<SkinWindow*>(ReadWindowProp(window, kPropThis));
    // While a transition runs the window shows a moving picture, larger than the window and in
    // another place, while hit testing keeps the elements' home places: a click would reach
    // whatever lies at the same client point, not what the user sees there. The mouse is ignored
    // until the transition ends.
    if (self && self->activity_.transitionRunning && IsPointerInput(message)) {
      auto replaced = reinterpret_cast<WNDPROC>(ReadWindowProp(window, kPropOldProc));
      return replaced ? CallWindowProcW(replaced, window, message, wParam, lParam)
                      : DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result;
    if (self) {
      result = self->HandleMessage(message, wParam, lParam);
    } else {
      auto replaced = reinterpret_cast<WNDPROC>(ReadWindowProp(window, kPropOldProc));
      result = replaced ? CallWindowProcW(replaced, window, message, wParam, lParam)
                        : DefWindowProcW(window, message, wParam, lParam);
    }
    DispatchInput(window, message, wParam, lParam);
    return result;
  } catch (...) {
    return 0;  // nothing may unwind into the system's dispatcher
  }
}

LRESULT SkinWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = windowHandle_;
  if (!window) return 0;
  // Read before handling: WM_DESTROY restores the replaced procedure and clears the property.
  const auto replaced = reinterpret_cast<WNDPROC>(ReadWindowProp(window, kPropOldProc));
  LRESULT result = 0;
  if (behaviour_.beforeMessageHook) {
    MessageHook hook = behaviour_.beforeMessageHook;  // a copy: the hook may replace or clear the hooks
    if (hook(window, message, wParam, lParam, &result)) return result;
  }

  switch (message) {
    case WM_MOVE:
      OnMoveMessage();
      break;
    case WM_SIZE:
      OnSizeMessage(wParam);
      break;
    case WM_PAINT:
      OnPaintMessage();
      break;
    case WM_GETMINMAXINFO:
      if (auto* info = reinterpret_cast<MINMAXINFO*>(lParam)) info->ptMinTrackSize = {behaviour_.minTrackWidth, behaviour_.minTrackHeight};
      break;
    case WM_NCLBUTTONDOWN:
      activity_.nonClientDrag = true;
      break;
    case WM_KEYDOWN:
      Redraw(false);
      break;
    case WM_TIMER:
      OnTimer(wParam);
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(MousePointFromLParam(lParam));
      break;
    case WM_LBUTTONDOWN:
      OnLeftButtonDown(MousePointFromLParam(lParam));
      if (!PopupMenuTracking()) OpenPopupMarker(nullptr);
      break;
    case WM_LBUTTONUP:
      OnLeftButtonUp(MousePointFromLParam(lParam));
      break;
    case WM_LBUTTONDBLCLK:
      OnLeftDoubleClick(MousePointFromLParam(lParam));
      break;
    case WM_MOUSELEAVE:
      HandleCaptionMouse(std::nullopt, WM_MOUSELEAVE);
      activity_.mouseTracked = false;
      break;
    case WM_DESTROY:
      inDestroyMessage_ = true;
      Destroy();
      inDestroyMessage_ = false;
      break;
    case WM_SETFOCUS:
      OnSetFocusMessage();
      break;
    case WM_CLOSE:
      if (!RunCloseTransition()) return 0;
      break;
    case WM_SHOWWINDOW:
      StartShowTransition(wParam != 0);
      break;
    case WM_IME_CHAR:
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_KILLFOCUS:
      if (!PopupMenuTracking()) OpenPopupMarker(nullptr);
      break;
    default:
      if (message != 0 && message == UpdateRectMessage()) {
        // lParam is read only when it is the toolkit's own rectangle (see SendUpdateRect).
        if (const Rect* own = OwnUpdateRect(lParam)) {
          Rect rect = *own;
          Present(rect);
        }
      }
      break;
  }

  bool handledAfter = false;
  if (behaviour_.afterMessageHook) {
    MessageHook hook = behaviour_.afterMessageHook;
    handledAfter = hook(window, message, wParam, lParam, &result);
  }
  if (!handledAfter) {
    result = replaced ? CallWindowProcW(replaced, window, message, wParam, lParam)
                      : DefWindowProcW(window, message, wParam, lParam);
  }
  // A close that did not destroy the window (a hook or the adopted window's own procedure kept
  // it) may run its transition again next time.
  if (message == WM_CLOSE && windowHandle_ == window) activity_.closing = false;
  return result;
}

// ---- Creation -------------------------------------------------------------------------------------

bool SkinWindow::Create(HWND hostWindow, const FontDescription& titleFont, std::optional<std::string> title,
                        std::optional<Rect> bounds, std::optional<uint32_t> styleFlags,
                        std::optional<bool> themeSource, std::optional<Argb> innerBorderColour,
                        std::optional<Argb> outerBorderColour, std::optional<bool> dragAnywhere,
                        std::optional<std::vector<uint8_t>> backgroundImage,
                        std::optional<uint32_t> backgroundColourOrImageLayout) {
  if (windowHandle_) Destroy();  // one object, one window: a second Create replaces the first

  // 1-2. Defaults and the stored arguments.
  const Rect requested = bounds.value_or(Rect{0, 0, kDefaultWidth, kDefaultHeight});
  const uint32_t style = styleFlags.value_or(DefaultWindowStyle());
  const std::vector<uint8_t>& imageBytes = backgroundImage ? *backgroundImage : DefaultBackgroundImage();
  look_.themeSource = themeSource.value_or(false);
  behaviour_.lastCreationArgument = backgroundColourOrImageLayout.value_or(1);
  look_.innerBorderColour = innerBorderColour.value_or(MakeArgb(96, 255, 255, 255));
  look_.outerBorderColour = outerBorderColour.value_or(MakeArgb(96, 0, 0, 0));
  behaviour_.dragAnywhere = dragAnywhere.value_or(false);
  look_.captionButtonMargin = 10;

  // 3-4. Adopt the host window or make one.
  HWND window = nullptr;
  if (hostWindow && IsWindow(hostWindow)) {
    window = hostWindow;
    behaviour_.hostWindow = hostWindow;
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(kToolkitWindowStyle));
  } else {
    DWORD exStyle = (style & window_style::kToolWindow) ? WS_EX_TOOLWINDOW : 0;
    window = CreateWindowExW(exStyle, kWindowClassName, L"", kToolkitWindowStyle, requested.x, requested.y,
                             requested.width, requested.height, nullptr, nullptr, nullptr, nullptr);
  }
  if (!window) return true;

  // 5-7. Identity, registry, subclassing.
  windowHandle_ = window;
  MirrorWindowProps(window);
  objectId_ = RegisterWindowObject(this);
  SetIdProp(window, kPropObjectId, objectId_);
  RegistryInsertFront(objectId_);
  WriteWindowProp(window, kPropThis, this);
  LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcedure));
  WriteWindowProp(window, kPropOldProc, reinterpret_cast<HANDLE>(previous));

  // 8. The DC every presentation goes to.
  windowDc_ = UniqueWindowDc::Get(window);

  // 9-10. Placement. The moves below need no rebuild: step 16 draws everything once.
  activity_.suspendLayout = true;
  if (style & window_style::kCentre) {
    int32_t width = requested.width, height = requested.height;
    if (!bounds) {
      RECT box{};
      GetWindowRect(window, &box);
      width = box.right - box.left;
      height = box.bottom - box.top;
    }
    Point32 at = CentredPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width, height);
    MoveWindow(window, at.x, at.y, width, height, FALSE);
  } else if (bounds) {
    MoveWindow(window, requested.x, requested.y, requested.width, requested.height, FALSE);
  }
  ReadBoundsFromWindow();

  // 11-12. Caption buttons, title font and title.
  BuildCaptionButtons(style);
  titleFont_ = MakeFont(titleFont, false, false);
  if (title) SetTitle(*title);

  // 13-14. Background: an image, or a colour.
  UniqueGpBitmap image;
  if (!imageBytes.empty()) image = LoadImageFromBytes(imageBytes);
  if (image) {
    backgroundImage_.reset(image.release());
    look_.imageAverageColour = AverageColour(backgroundImage_.get());
    look_.backgroundColour = look_.imageAverageColour;
    look_.imageLayoutFlags = behaviour_.lastCreationArgument;
  } else {
    look_.backgroundColour = backgroundColourOrImageLayout.value_or(MakeArgb(1, 255, 255, 255));
  }

  // 15-17.
  behaviour_.minTrackWidth = 200;
  behaviour_.minTrackHeight = 80;
  activity_.suspendLayout = false;
  LayoutTitleArea();
  RebuildSurfaces();
  TrackMouseLeave();
  activity_.mouseTracked = true;
  SetTitleAreaEnabled(true);
  SetTimer(window, kPresentTimer, kPresentTimerPeriod, nullptr);
  return true;
}

// ---- Destruction ----------------------------------------------------------------------------------

void SkinWindow::Destroy() {
  const HWND window = windowHandle_;
  mainSurface_.Release();
  backgroundSurface_.Release();
  derivedImage_.reset();
  backgroundImage_.reset();
  titleFont_ = FontObject();
  if (window) {
    auto replaced = reinterpret_cast<WNDPROC>(ReadWindowProp(window, kPropOldProc));
    // Only undo our own subclassing: someone who subclassed after us keeps their procedure.
    if (replaced && GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowProcedure)) {
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replaced));
    }
    // Every property goes, the background surface's too: its DC and graphics no longer exist.
    for (const char* name : kToolkitWindowProperties) RemovePropA(window, name);
    ForgetWindowProps(window);
    RemovePropW(window, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(kPresentPendingAtom)));
    KillTimer(window, kPresentTimer);
    KillTimer(window, TransitionTimerId(true));
    KillTimer(window, TransitionTimerId(false));
    for (size_t i = 0; i < captionButtons_.size(); ++i) {
      KillTimer(window, static_cast<UINT_PTR>(MAKELONG(kCaptionFadeTimer, i + 1)));
    }
  }
  windowDc_.reset();  // ReleaseDC
  captionButtons_.clear();
  ResetSettings();
  transitionEngine_.Reset();
  if (objectId_ != 0) UnregisterObject(objectId_);  // the window's entry now reads as gone
  objectId_ = 0;
  windowHandle_ = nullptr;

  if (window && !inDestroyMessage_) {
    // Called directly: the restored procedure will see WM_DESTROY, so the registry sweep that the
    // toolkit procedure runs on WM_DESTROY happens here.
    DispatchInput(window, WM_DESTROY, 0, 0);
    DestroyWindow(window);
  }
}

void SkinWindow::ResetSettings() {
  layout_ = Layout();
  look_ = Look();
  icon_ = TitleIcon();  // frees an icon image of its own and a loaded icon
  behaviour_ = Behaviour();
  activity_ = Activity();
}

// ---- Message handlers -----------------------------------------------------------------------------

void SkinWindow::ReadBoundsFromWindow() {
  RECT box{};
  if (GetWindowRect(windowHandle_, &box)) layout_.bounds = {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

void SkinWindow::OnMoveMessage() {
  // A running transition may present a larger picture around the window; the window's own
  // bounds stay what they were.
  if (activity_.transitionRunning) return;
  ReadBoundsFromWindow();
  if (activity_.nonClientDrag && !ToolkitMouseButtonHeld()) {
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
    activity_.nonClientDrag = false;
  }
}

void SkinWindow::OnSizeMessage(WPARAM kind) {
  if (activity_.transitionRunning) return;  // see OnMoveMessage
  if (kind != SIZE_RESTORED && kind != SIZE_MAXIMIZED) return;
  if (activity_.maximised && !activity_.placingMaximised) {
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    PlaceMaximised({desktop.left, desktop.top, desktop.right - desktop.left, desktop.bottom - desktop.top});
  } else {
    ReadBoundsFromWindow();
  }
  if (!activity_.suspendLayout) {
    LayoutCaptionButtons();
    LayoutTitleArea();
    RebuildSurfaces();
    Redraw(false);
  }
  if (look_.cornerRadius >= 1 && !activity_.transitionRunning) SetRegion(true);
}

void SkinWindow::OnPaintMessage() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(windowHandle_, &paint);
  if (dc && mainSurface_) BitBlt(dc, 0, 0, layout_.bounds.width, layout_.bounds.height, mainSurface_.memoryDc(), 0, 0, SRCCOPY);
  EndPaint(windowHandle_, &paint);
}

void SkinWindow::OnSetFocusMessage() {
  if (!look_.themeSource) return;
  // The accent is the window's own colour made opaque. (Reading the ARGB value as a COLORREF, as
  // one could, would swap red and blue.)
  Argb colour = backgroundImage_ ? look_.imageAverageColour : look_.backgroundColour;
  ToolkitAccentColour(colour | 0xFF000000u);
}

void SkinWindow::OnTimer(WPARAM timerId) {
  const HWND window = windowHandle_;
  if (!window) return;
  switch (LOWORD(timerId)) {
    case kPresentTimer:
      if (TakePresentPending(window)) Present();
      break;
    case kCaptionFadeTimer:
      OnCaptionFadeTick(timerId);
      break;
    case kTransitionTimer: {
      const bool showing = HIWORD(timerId) == 1;
      bool finished = true;  // no effect left to run: end the transition
      if (behaviour_.showEffect >= 1 && behaviour_.showEffect <= 10) {
        finished = transitionEngine_.RunFrame(behaviour_.showEffect, showing, activity_.transitionProgress, activity_.transitionDirection);
      } else if (behaviour_.closeEffect >= 1 && behaviour_.closeEffect <= 10) {
        finished = transitionEngine_.RunFrame(behaviour_.closeEffect, false, activity_.transitionProgress, activity_.transitionDirection);
      }
      if (finished) {
        KillTimer(window, timerId);
        activity_.transitionRunning = false;
        SetRegion(true);
        VM_BENCH_MARK("transition: finished");
      }
      break;
    }
    default:
      break;
  }
}

// ---- Transitions ---------------------------------------------------------------------------------

bool SkinWindow::RunCloseTransition() {
  if (activity_.closing) return false;  // a close is already running its transition: it will close
  if (behaviour_.closeEffect == 0 && behaviour_.showEffect == 0) return true;
  const HWND window = windowHandle_;
  activity_.closing = true;
  KillTimer(window, TransitionTimerId(true));  // a show still running gives way
  activity_.transitionProgress = 0;
  activity_.transitionDirection = 0;
  activity_.transitionRunning = true;
  transitionEngine_.Begin(window, mainSurface_.memoryDc(), look_.constantAlpha, layout_.bounds);
  SetRegion(false);
  // The show effect's out-frames run when there is one; else the close effect's frames.
  UINT interval = static_cast<UINT>(behaviour_.showEffect != 0 ? behaviour_.showInterval : behaviour_.closeInterval);
  if (!SetTimer(window, TransitionTimerId(false), interval, nullptr)) activity_.transitionRunning = false;

  while (activity_.transitionRunning && IsWindow(window) && windowHandle_ == window) {
    if (!PumpPendingMessages()) {  // WM_QUIT: nobody will run the frames any more
      KillTimer(window, TransitionTimerId(false));
      activity_.transitionRunning = false;
      break;
    }
    if (activity_.transitionRunning) MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  // Destroyed meanwhile: nothing is left to close. Otherwise activity_.closing stays set while the replaced
  // procedure destroys the window, so its hiding starts no show transition.
  return IsWindow(window) && windowHandle_ == window;
}

void SkinWindow::StartShowTransition(bool showing) {
  if (behaviour_.showEffect == 0 || activity_.closing) return;
  const HWND window = windowHandle_;
  KillTimer(window, TransitionTimerId(!showing));
  activity_.transitionProgress = 0;
  activity_.transitionDirection = 0;
  activity_.transitionRunning = true;
  transitionEngine_.Begin(window, mainSurface_.memoryDc(), look_.constantAlpha, layout_.bounds);
  SetRegion(false);
  if (!SetTimer(window, TransitionTimerId(showing), static_cast<UINT>(behaviour_.showInterval), nullptr)) {
    activity_.transitionRunning = false;
    SetRegion(true);
  }
}
