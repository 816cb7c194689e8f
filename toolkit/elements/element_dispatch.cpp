// Element messages: what HandleMessage does with each code, the cursor rules and message 2.
#include <windows.h>

#include "toolkit/elements/element.h"
#include "toolkit/window/window_props.h"

namespace {

bool& CustomCursorFlag() {
  static bool set = false;
  return set;
}

// System cursors by number (IDC_HAND and IDC_ARROW are narrow in a non-Unicode build).
const LPCWSTR kHandCursor = MAKEINTRESOURCEW(32649);
const LPCWSTR kArrowCursor = MAKEINTRESOURCEW(32512);

void ShowSystemCursor(LPCWSTR which) { ::SetCursor(LoadCursorW(nullptr, which)); }

}  // namespace

bool CustomCursorSet(std::optional<bool> value) {
  if (value) CustomCursorFlag() = *value;
  return CustomCursorFlag();
}

void Element::SetCursorForButton() {
  if (state_.handCursor) ShowSystemCursor(kHandCursor);
}

intptr_t Element::HandleMessage(uint32_t code, intptr_t a, intptr_t b) {
  namespace msg = element_message;
  // Mouse and keyboard messages report an event first; the program may destroy the element from
  // its handler, and then the element's own hooks must not run on what is left.
  auto fire = [&](ElementEvent event, intptr_t p1) {
    FireEvent(static_cast<int32_t>(event), p1);
    return state_.created;
  };
  const PackedPoint point = UnpackPoint(a);

  switch (code) {
    case msg::kCreated:
      OnCreated();
      break;
    case msg::kDestroyed:
      HandleDestroyed();
      break;
    case msg::kFocusGained:
      OnFocusGained(static_cast<ObjectId>(a));
      break;
    case msg::kFocusLost:
      OnFocusLost(static_cast<ObjectId>(a));
      break;
    case msg::kVisibleChanged:
      OnVisibleChanged(a == 1);
      break;
    case msg::kEnabledChanged:
      OnEnabledChanged(a == 1);
      break;
    case msg::kCompositeSelf:
      if (IsEffectivelyVisible()) {
        if (state_.currentSurfaceDc == surface_.memoryDc()) EnsureSurfaceCurrent();
        BlendSelf(MainDc(), state_.currentSurfaceDc);
      }
      break;
    case msg::kMoved:
      OnMoved(a);
      break;
    case msg::kResized:
      OnResized();
      break;
    case msg::kTimer:
      if (a == kFadeInTimerKey) FadeInFrame(b);
      if (a == kFadeOutTimerKey) FadeOutFrame(b);
      OnTimer(static_cast<int32_t>(a), b);
      break;
    case msg::kChar:
      if (!fire(ElementEvent::kChar, a)) break;
      OnCharMessage(a, b);
      OnChar(a);
      break;
    case msg::kKeyDown:
      if (!fire(ElementEvent::kKeyDown, a)) break;
      if (a == VK_TAB) {
        FocusPrevious();
        Refresh();
      } else {
        OnKeyDown(a);
      }
      break;
    case msg::kKeyUp:
      if (!fire(ElementEvent::kKeyUp, a)) break;
      OnKeyUp(a);
      break;
    case msg::kLeftDown:
      if (!fire(ElementEvent::kLeftDown, a)) break;
      state_.buttonHeld = true;
      SetCursorForButton();
      OnLeftDown(point);
      if (state_.created) ::SetFocus(hostWindow);
      break;
    case msg::kLeftUp:
      if (!fire(ElementEvent::kLeftUp, a)) break;
      state_.buttonHeld = false;
      SetCursorForButton();
      OnLeftUp(point);
      break;
    case msg::kClick:
      if (!fire(ElementEvent::kClick, a)) break;
      SetCursorForButton();
      OnClick(point);
      break;
    case msg::kLeftDoubleClick:
      if (!fire(ElementEvent::kLeftDoubleClick, a)) break;
      SetCursorForButton();
      OnLeftDoubleClick(point);
      break;
    case msg::kRightDown:
      if (!fire(ElementEvent::kRightDown, a)) break;
      SetCursorForButton();
      OnRightDown(point);
      break;
    case msg::kRightUp:
      if (!fire(ElementEvent::kRightUp, a)) break;
      SetCursorForButton();
      OnRightUp(point);
      break;
    case msg::kRightClick:
      if (!fire(ElementEvent::kRightClick, a)) break;
      SetCursorForButton();
      OnRightClick(point);
      break;
    case msg::kRightDoubleClick:
      if (!fire(ElementEvent::kRightDoubleClick, a)) break;
      SetCursorForButton();
      OnRightDoubleClick(point);
      break;
    case msg::kWheel:
      if (!fire(ElementEvent::kWheel, a)) break;
      OnWheel(a);
      break;
    case msg::kGetParent:
      return parent;
    case msg::kParentChanged:
      OnParentChanged(static_cast<ObjectId>(a));
      break;
    case msg::kMouseMove:
      if (!fire(ElementEvent::kMouseMove, a)) break;
      if (state_.buttonHeld && !CustomCursorFlag()) ShowSystemCursor(kArrowCursor);
      if (state_.handCursor) ShowSystemCursor(kHandCursor);
      OnMouseMove(point);
      break;
    case msg::kMouseEnter:
      if (!fire(ElementEvent::kMouseEnter, 0)) break;
      if (!CustomCursorFlag()) ShowSystemCursor(kHandCursor);
      OnMouseEnter();
      break;
    case msg::kMouseLeave:
      if (!fire(ElementEvent::kMouseLeave, 0)) break;
      if (!CustomCursorFlag()) {
        // From now on the window's class cursor is the arrow and only hand-cursor elements change it.
        auto arrow = reinterpret_cast<ULONG_PTR>(LoadCursorW(nullptr, kArrowCursor));
        if (GetClassLongPtrW(hostWindow, GCLP_HCURSOR) != arrow) {
          SetClassLongPtrW(hostWindow, GCLP_HCURSOR, static_cast<LONG_PTR>(arrow));
        }
        CustomCursorFlag() = true;
      }
      OnMouseLeave();
      break;
    case msg::kGeometry:
      RecomputeGeometry();
      break;
    case msg::kOtherMessage:
      // b points to the window message's (lParam, wParam) pair.
      if (b != 0) {
        const auto* pair = reinterpret_cast<const intptr_t*>(b);
        OnOtherMessage(a, pair[1], pair[0]);
      }
      break;
    case msg::kHostChanged:
      hostWindow = reinterpret_cast<HWND>(a);
      break;
    case msg::kRepaintSurface:
      Repaint(false, true);
      break;
    case msg::kFontChanged:
      OnFontChanged();
      break;
    case msg::kButtonsReleased:
      state_.buttonHeld = false;
      leftPressed = false;
      rightPressed = false;
      break;
    case msg::kRichEditContent:
      OnRichEditContent(a, b);
      break;
    case msg::kForwardedEvent:
      if (b != 0) {
        const EventRecord copy = *reinterpret_cast<const EventRecord*>(b);
        OnForwardedEvent(static_cast<ObjectId>(a), copy);
      }
      break;
    default:
      break;
  }
  return 0;
}

void Element::HandleDestroyed() {
  OnDestroying();
  surface_.Release();
  transitionNew_.Release();
  transitionMix_.Release();
  hint_.Destroy();
  if (hostWindow != nullptr && objectId != 0) {
    if (GetIdProp(hostWindow, kPropFocus) == objectId) SetIdProp(hostWindow, kPropFocus, 0);
    if (GetIdProp(hostWindow, kPropMouseOn) == objectId) SetIdProp(hostWindow, kPropMouseOn, 0);
    if (GetIdProp(hostWindow, kPropMouseCapture) == objectId) {
      SetIdProp(hostWindow, kPropMouseCapture, 0);
      // The window would otherwise keep the mouse for an element that no longer exists.
      if (::GetCapture() == hostWindow) ::ReleaseCapture();
    }
  }
  static_cast<ElementNodeState&>(*this) = ElementNodeState();
  state_ = State();
}

void Element::RecomputeGeometry() {
  ParentGeometry parentGeometry;
  if (parent > 0) {
    if (const ElementNode* node = ElementFromId(parent)) {
      parentGeometry.isWindowRoot = false;
      parentGeometry.absoluteRect = node->absoluteRect;
      parentGeometry.clipRect = node->clipRect;
    }
  }
  const ElementGeometry geometry = ComputeGeometry(state_.rect, parentGeometry);
  absoluteRect = geometry.absoluteRect;
  clipRect = geometry.clipRect;
  state_.clipOrigin = geometry.clipOrigin;

  // Each child recomputes and passes it on to its own block, so telling the children is enough.
  const int position = RegistryIndexOf(objectId);
  if (position == 0) return;
  for (int at = position - 1; at >= 1; --at) {
    const ObjectId id = RegistryAt(at);
    const int32_t entryDepth = DepthOf(id);
    if (entryDepth <= depth) break;
    if (entryDepth == depth + 1) SendElementMessage(id, element_message::kGeometry, 0, 0);
  }
}
