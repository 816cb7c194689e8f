// Hit testing and the translation of window input into element messages (the second stage of the
// toolkit window procedure).
#include <windowsx.h>

#include <algorithm>

#include "toolkit/window/object_registry.h"
#include "toolkit/window/window_geometry.h"
#include "toolkit/window/window_props.h"

namespace {

// Element message codes the window layer sends.
enum : uint32_t {
  kMsgDestroyed = 2,
  kMsgFocusGained = 3,
  kMsgFocusLost = 4,
  kMsgChar = 11,
  kMsgKeyDown = 12,
  kMsgKeyUp = 13,
  kMsgLeftDown = 14,
  kMsgLeftUp = 15,
  kMsgLeftClick = 16,
  kMsgLeftDoubleClick = 17,
  kMsgRightDown = 18,
  kMsgRightUp = 19,
  kMsgRightClick = 20,
  kMsgRightDoubleClick = 21,
  kMsgWheel = 22,
  kMsgMouseMove = 26,
  kMsgMouseEnter = 27,
  kMsgMouseLeave = 28,
  kMsgOtherWindowMessage = 32,
};

// The mouse position relative to the element's absoluteRect, packed.
intptr_t LocalPoint(ObjectId id, Point32 point) {
  ElementNode* element = ElementFromId(id);
  if (!element) return 0;
  return PackPoint(point.x - element->absoluteRect.x, point.y - element->absoluteRect.y);
}

void SendToFocused(HWND window, uint32_t code, intptr_t a, intptr_t b) {
  ObjectId focused = GetIdProp(window, kPropFocus);
  if (focused > 0) SendElementMessage(focused, code, a, b);
}

void ChangeFocusAfterPress(HWND window, ObjectId target) {
  ObjectId old = GetIdProp(window, kPropFocus);
  ElementNode* element = ElementFromId(target);
  if (target == old || !element || !element->focusable) return;
  SetIdProp(window, kPropFocus, target);
  SendElementMessage(target, kMsgFocusGained, old, 0);
  SendElementMessage(old, kMsgFocusLost, target, 0);
}

// Sets or clears the pressed flag of a button; answers whether it was set before.
bool ExchangePressed(ObjectId id, bool left, bool value) {
  ElementNode* element = ElementFromId(id);
  if (!element) return false;
  bool& flag = left ? element->leftPressed : element->rightPressed;
  bool was = flag;
  flag = value;
  return was;
}

// An entry belongs to the destroyed window when its element lives there, or when it no longer
// dereferences at all (the window's own entry, retired by SkinWindow::Destroy, or a stale element).
// Id 0 is no entry: it is what a position reads once removals have vacated it.
bool BelongsToDestroyedWindow(ObjectId id, HWND destroyed) {
  if (id == 0) return false;
  if (id < 0) return WindowFromId(id) == nullptr;
  ElementNode* element = ElementFromId(id);
  return element == nullptr || element->hostWindow == destroyed || element->hostWindow == nullptr;
}

// Every removal shrinks the registry, and every other step advances, so the walk always ends.
// An element's message 2 may remove entries anywhere (not only in front of its own position), so
// the step back is clamped to the front of the registry; after a removal that shrank nothing
// (a handler put entries back) the walk moves on.
void SweepDestroyedWindow(HWND window) {
  for (int position = 1; position <= RegistryCount(); ++position) {
    if (!BelongsToDestroyedWindow(RegistryAt(position), window)) continue;
    int removed = RegistryRemoveWithChildren(position);
    if (removed > 0) position = std::max(position - removed, 0);
  }
}

bool IsMouseButtonMessage(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

void DispatchMouseButton(HWND window, UINT message, Point32 point) {
  ObjectId capture = GetIdProp(window, kPropMouseCapture);
  ObjectId target = capture > 0 ? capture : HitTest(window, POINT{point.x, point.y});
  if (target <= 0) return;
  intptr_t local = LocalPoint(target, point);
  switch (message) {
    case WM_LBUTTONDOWN:
      SendElementMessage(target, kMsgLeftDown, local, 0);
      ExchangePressed(target, true, true);
      ChangeFocusAfterPress(window, target);
      break;
    case WM_LBUTTONUP:
      SendElementMessage(target, kMsgLeftUp, local, 0);
      if (ExchangePressed(target, true, false)) SendElementMessage(target, kMsgLeftClick, local, 0);
      break;
    case WM_LBUTTONDBLCLK:
      SendElementMessage(target, kMsgLeftDoubleClick, local, 0);
      break;
    case WM_RBUTTONDOWN:
      SendElementMessage(target, kMsgRightDown, local, 0);
      ExchangePressed(target, false, true);
      ChangeFocusAfterPress(window, target);
      break;
    case WM_RBUTTONUP:
      SendElementMessage(target, kMsgRightUp, local, 0);
      if (ExchangePressed(target, false, false)) SendElementMessage(target, kMsgRightClick, local, 0);
      break;
    case WM_RBUTTONDBLCLK:
      SendElementMessage(target, kMsgRightDoubleClick, local, 0);
      break;
  }
}

void DispatchMouseMove(HWND window, Point32 point) {
  ObjectId target = GetIdProp(window, kPropMouseCapture);
  if (target <= 0) {
    target = HitTest(window, POINT{point.x, point.y});
    ObjectId previous = GetIdProp(window, kPropMouseOn);
    if (target != previous) {
      SetIdProp(window, kPropMouseOn, target);
      if (target > 0) SendElementMessage(target, kMsgMouseEnter, 0, 0);
      if (previous > 0) SendElementMessage(previous, kMsgMouseLeave, 0, 0);
    }
    if (target <= 0) return;
  }
  SendElementMessage(target, kMsgMouseMove, LocalPoint(target, point), 0);
}

}  // namespace

ObjectId HitTest(HWND window, POINT point) {
  // A disabled window makes every one of its elements count as disabled.
  if (!IsWindowEnabled(window)) return 0;
  const Point32 at{point.x, point.y};
  bool reachedWindow = false;
  for (int position = 1; position <= RegistryCount(); ++position) {
    ObjectId id = RegistryAt(position);
    if (id <= 0) continue;
    ElementNode* element = ElementFromId(id);
    if (!element) continue;
    if (element->hostWindow != window) {
      if (reachedWindow) return 0;
      continue;
    }
    reachedWindow = true;
    if (PointStrictlyInside(element->clipRect, at) && element->IsEffectivelyVisible()) {
      if (element->IsEffectivelyDisabled()) continue;  // transparent to the mouse
      return id;
    }
  }
  return 0;
}

intptr_t SendElementMessage(ObjectId id, uint32_t code, intptr_t a, intptr_t b) {
  ElementNode* element = ElementFromId(id);
  return element ? element->HandleMessage(code, a, b) : 0;
}

void DispatchInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsMouseButtonMessage(message)) {
    DispatchMouseButton(window, message, MousePointFromLParam(lParam));
    return;
  }
  switch (message) {
    case WM_MOUSEMOVE:
      DispatchMouseMove(window, MousePointFromLParam(lParam));
      break;
    case WM_MOUSELEAVE: {
      ObjectId hovered = GetIdProp(window, kPropMouseOn);
      if (hovered > 0) SendElementMessage(hovered, kMsgMouseLeave, 0, 0);
      SetIdProp(window, kPropMouseOn, 0);
      break;
    }
    case WM_MOUSEWHEEL:
      SendToFocused(window, kMsgWheel, WheelSteps(wParam), 0);
      break;
    case WM_KEYDOWN:
      SendToFocused(window, kMsgKeyDown, static_cast<intptr_t>(wParam), 0);
      break;
    case WM_KEYUP:
      SendToFocused(window, kMsgKeyUp, static_cast<intptr_t>(wParam), 0);
      break;
    case WM_CHAR:
      SendToFocused(window, kMsgChar, static_cast<intptr_t>(wParam), lParam);
      break;
    case WM_SETFOCUS:
      SendToFocused(window, kMsgFocusGained, 0, 0);
      break;
    case WM_KILLFOCUS:
      SendToFocused(window, kMsgFocusLost, 0, 0);
      break;
    case WM_DESTROY:
      SweepDestroyedWindow(window);
      break;
    default: {
      // The element reads the message's lParam through the pointer; wParam follows it.
      intptr_t arguments[2] = {lParam, static_cast<intptr_t>(wParam)};
      SendToFocused(window, kMsgOtherWindowMessage, message, reinterpret_cast<intptr_t>(arguments));
      break;
    }
  }
}
