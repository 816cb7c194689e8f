// The element model: identity, place in the registry, tree operations, focus, capture, fonts,
// timers, events and queries. Messages are in element_dispatch.cpp, drawing and composition in
// element_composition.cpp.
#include "toolkit/elements/element.h"

#include <algorithm>
#include <vector>

#include "toolkit/elements/element_timers.h"
#include "toolkit/window/window_props.h"

namespace {

int32_t RegistryDepthAt(int position) { return DepthOf(RegistryAt(position)); }

struct RootSearch {
  ObjectId root;
  HWND found;
};

BOOL CALLBACK MatchRootWindow(HWND window, LPARAM search) {
  auto* wanted = reinterpret_cast<RootSearch*>(search);
  if (GetIdProp(window, kPropObjectId) != wanted->root) return TRUE;
  wanted->found = window;
  return FALSE;
}

// The window handle of a window root: the toolkit window of this thread whose "DoDA_OBJID" names
// it. Toolkit windows are top-level windows of the GUI thread.
HWND WindowHandleOfRoot(ObjectId root) {
  RootSearch search{root, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchRootWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The host window of an element's would-be parent: the window itself for a root, else the parent
// element's host window.
HWND HostWindowOfParent(ObjectId parent) {
  if (parent < 0) return WindowHandleOfRoot(parent);
  ElementNode* node = ElementFromId(parent);
  return node ? node->hostWindow : nullptr;
}

}  // namespace

Element* ElementObjectFromId(ObjectId id) { return dynamic_cast<Element*>(ElementFromId(id)); }

Element::~Element() {
  const ObjectId id = objectId;
  Destroy();
  if (id != 0) StopAllElementTimers(id);
}

// ==== Life cycle and tree =====================================================================

bool Element::Initialise(ObjectId parentId, const Rect& rect, FontObject font, bool focusable_,
                         bool visible_, bool disabled_, bool handCursor) {
  if (state_.created) return false;
  objectId = RegisterElementObject(this);
  hostWindow = HostWindowOfParent(parentId);
  parent = parentId;
  state_.rect = rect;
  visible = visible_;
  disabled = disabled_;
  state_.handCursor = handCursor;
  state_.transparency = 0;
  state_.currentSurfaceDc = nullptr;
  SetFont(std::move(font));
  leftPressed = false;
  rightPressed = false;
  depth = DepthOf(parentId) + 1;
  focusable = focusable_;
  state_.eventHandler = nullptr;
  surface_ = WindowSurface::Create(state_.rect.width, state_.rect.height);
  state_.surfaceStale = true;  // nothing has been painted into it yet
  state_.created = true;
  const int parentPosition = RegistryIndexOf(parentId);
  if (parentPosition > 0) {
    RegistryInsertAt(ChildInsertPosition(parentPosition, RegistryDepthAt), objectId);
  }
  state_.currentSurfaceDc = surface_.memoryDc();
  HandleMessage(element_message::kCreated, 0, 0);
  HandleMessage(element_message::kGeometry, 0, 0);
  return true;
}

std::string Element::SetHint(const std::string& text, bool apply) {
  if (apply) {
    hint_.Create(hostWindow, text, clipRect);
  } else {
    hint_.StoreText(text);
  }
  return hint_.Text();
}

ObjectId Element::HolderId() const { return objectId; }

void Element::Destroy() {
  const ObjectId id = objectId;
  if (id == 0) return;
  const int position = RegistryIndexOf(id);
  if (position > 0) {
    RegistryRemoveWithChildren(position);  // message 2 to the block; the ids are retired
  } else {
    // Created under a parent that was not in the registry: nothing else will tell it.
    HandleMessage(element_message::kDestroyed, 0, 0);
    UnregisterObject(id);
  }
  objectId = 0;
}

ObjectId Element::GetParent() {
  return static_cast<ObjectId>(HandleMessage(element_message::kGetParent, 0, 0));
}

void Element::SetParent(ObjectId newParent) {
  if (!state_.created || newParent == objectId) return;
  // The block is found with the old depths, before anything changes.
  const int position = RegistryIndexOf(objectId);
  const int size = position > 0 ? BlockSize(position, RegistryDepthAt) : 0;
  std::vector<ObjectId> block;
  if (position > 0) block = RegistryCutBlock(position - size + 1, size);
  for (ObjectId id : block) {
    if (id == newParent) {  // a descendant cannot become the parent: put everything back
      RegistryInsertBlock(position - size + 1, block);
      return;
    }
  }

  hostWindow = HostWindowOfParent(newParent);
  parent = newParent;
  const int32_t depthChange = DepthOf(newParent) + 1 - depth;
  // Descendants keep their place below the element, so the block stays a block.
  for (ObjectId id : block) {
    if (ElementNode* node = ElementFromId(id)) {
      if (node != this) node->depth += depthChange;
    }
  }
  depth += depthChange;
  for (ObjectId id : block) {
    SendElementMessage(id, element_message::kHostChanged, reinterpret_cast<intptr_t>(hostWindow), 0);
  }
  const int parentPosition = RegistryIndexOf(newParent);
  if (!block.empty() && parentPosition > 0) {
    RegistryInsertBlock(ChildInsertPosition(parentPosition, RegistryDepthAt), block);
  }
  HandleMessage(element_message::kGeometry, 0, 0);
  HandleMessage(element_message::kParentChanged, newParent, 0);
}

void Element::SetZOrder(int32_t request) {
  const int position = RegistryIndexOf(objectId);
  if (position == 0) return;
  const int size = BlockSize(position, RegistryDepthAt);
  std::vector<ObjectId> block = RegistryCutBlock(position - size + 1, size);
  const int parentPosition = RegistryIndexOf(parent);
  const int target = ZOrderInsertPosition(request, parentPosition, RegistryDepthAt);
  RegistryInsertBlock(target > 0 ? target : position - size + 1, block);
  Refresh();
}

void Element::FocusPrevious() {
  if (!state_.created) return;
  // The window's elements in registry order, front-most first. The window's own entry is left
  // out: focus on it would reach no element, and Tab would stop working from there.
  std::vector<ObjectId> elements;
  for (int position = 1; position <= RegistryCount(); ++position) {
    const ObjectId id = RegistryAt(position);
    ElementNode* node = ElementFromId(id);
    if (node && node->hostWindow == hostWindow) elements.push_back(id);
  }
  size_t index = 0;
  while (index < elements.size() && elements[index] != objectId) ++index;
  if (index == elements.size()) return;
  ::SetFocus(hostWindow);
  const ObjectId next = index > 0 ? elements[index - 1] : elements.back();
  const ObjectId self = objectId;
  SetIdProp(hostWindow, kPropFocus, next);
  SendElementMessage(next, element_message::kFocusGained, self, 0);
  HandleMessage(element_message::kFocusLost, next, 0);
}

bool Element::SetFocus() {
  ::SetFocus(hostWindow);
  const ObjectId previous = GetIdProp(hostWindow, kPropFocus);
  if (previous == objectId) return false;
  HandleMessage(element_message::kFocusGained, 0, 0);
  SetIdProp(hostWindow, kPropFocus, objectId);
  SendElementMessage(previous, element_message::kFocusLost, objectId, 0);
  return true;
}

bool Element::Focusable(std::optional<bool> value) {
  if (value) focusable = *value;
  return focusable;
}

// ==== Fonts and auxiliary data ================================================================

void Element::SetFont(FontObject font) {
  state_.font = std::move(font);
  HandleMessage(element_message::kFontChanged, 0, 0);
}

void Element::SetFontFromFamily(const std::string& family) {
  WideText name;
  name.SetText(family);
  SetFont(MakeFont(MakeFontDescription(std::nullopt, name)));
}

void Element::SetFontFromDescription(const FontDescription& description) {
  SetFont(MakeFont(description));
}

FontObject Element::GetFont() const {
  return state_.font ? MakeFont(state_.font.description()) : FontObject();
}

FontDescription Element::GetFontDescription() const { return state_.font.description(); }

float Element::GetFontSize() const { return state_.font.description().size; }

Argb Element::GetFontColour() const { return state_.font.description().colour; }

void Element::SetAux(std::optional<FontObject> object, std::optional<int32_t> value) {
  if (object) auxObject_ = std::move(*object);
  if (value) auxValue_ = *value;
}

std::pair<FontObject, int32_t> Element::GetAux() const {
  return {auxObject_ ? MakeFont(auxObject_.description()) : FontObject(), auxValue_};
}

// ==== Queries =================================================================================

HWND Element::GetHostWindow() const { return hostWindow; }
Rect Element::GetAbsoluteRect() const { return absoluteRect; }
Rect Element::GetClipRect() const { return clipRect; }
int Element::GetRegistryPosition() const { return RegistryIndexOf(objectId); }
Rect Element::GetRect() const { return state_.rect; }
int32_t Element::GetLeft() const { return state_.rect.x; }
int32_t Element::GetTop() const { return state_.rect.y; }
int32_t Element::GetWidth() const { return state_.rect.width; }
int32_t Element::GetHeight() const { return state_.rect.height; }
HDC Element::GetSurfaceDc() const { return surface_.memoryDc(); }
Gdiplus::GpGraphics* Element::GetSurfaceGraphics() const {
  state_.lookCurrent = false;  // whoever draws there changes the look behind the kind's back
  return surface_.graphics();
}
ObjectId Element::GetHandle() const { return objectId; }
bool Element::IsLeftPressed() const { return leftPressed; }
bool Element::IsRightPressed() const { return rightPressed; }

bool Element::IsHovered() const {
  return objectId != 0 && GetIdProp(hostWindow, kPropMouseOn) == objectId;
}

bool Element::HasFocus() const {
  return objectId != 0 && ::GetFocus() == hostWindow && GetIdProp(hostWindow, kPropFocus) == objectId;
}

bool Element::IsEffectivelyVisible() const {
  const ElementNode* node = this;
  while (node) {
    if (!node->visible) return false;
    if (node->parent <= 0) return true;  // the window root counts as visible
    node = ElementFromId(node->parent);
  }
  return true;
}

bool Element::IsEffectivelyDisabled() const {
  const ElementNode* node = this;
  while (node) {
    if (node->disabled) return true;
    if (node->parent <= 0) return !IsWindowEnabled(node->hostWindow);
    node = ElementFromId(node->parent);
  }
  return false;
}

// ==== Timers ==================================================================================

bool Element::SetTimer(int32_t key, int32_t intervalMs, intptr_t value) {
  return StartElementTimer(objectId, key, intervalMs, value);
}
bool Element::SetPreciseTimer(int32_t key, int32_t intervalMs, intptr_t value) {
  return StartPreciseElementTimer(objectId, key, intervalMs, value);
}
bool Element::KillTimer(int32_t key) { return StopElementTimer(objectId, key); }
bool Element::KillPreciseTimer(int32_t key) { return StopPreciseElementTimer(objectId, key); }

// ==== Events, capture =========================================================================

ElementEventHandler Element::SetEventHandler(std::optional<ElementEventHandler> handler) {
  ElementEventHandler current = state_.eventHandler;
  if (handler) state_.eventHandler = *handler;
  return current;
}

intptr_t Element::FireEvent(int32_t code, intptr_t p1, intptr_t p2, intptr_t p3, intptr_t p4,
                            intptr_t p5) {
  if (state_.forwardTarget != 0) {
    EventRecord record{code, p1, p2, p3, p4, p5};
    SendElementMessage(state_.forwardTarget, element_message::kForwardedEvent, objectId,
                       reinterpret_cast<intptr_t>(&record));
  }
  if (state_.eventHandler == nullptr) return 0;
  return state_.eventHandler(hostWindow, objectId, code, p1, p2, p3, p4, p5);
}

void Element::SetForwardTarget(ObjectId target) { state_.forwardTarget = target; }

void Element::CaptureMouse() {
  SetIdProp(hostWindow, kPropMouseCapture, objectId);
  ::SetCapture(hostWindow);
}

void Element::ReleaseMouse() {
  SetIdProp(hostWindow, kPropMouseCapture, 0);
  ::ReleaseCapture();
}

int32_t Element::Transparency(std::optional<int32_t> value, bool present) {
  if (value) {
    state_.transparency = std::clamp<int32_t>(*value, 0, 255);
    if (present) PresentRect();
  }
  return state_.transparency;
}
