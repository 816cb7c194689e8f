// Identity and front-to-back order of every toolkit object (windows and elements), and the
// translation of window input into element messages.
//
// An ObjectId is a signed 32-bit value: negative for windows, positive for elements, 0 for none.
// Ids come from counters and are never reused within a process, so an id held after its object is
// gone dereferences to null instead of to freed or reused memory (this also keeps ids 32-bit with
// 64-bit pointers).
//
// The ObjectRegistry is one process-wide ordered list of ids, 1-based, position 1 the front-most.
// The entries of one window are contiguous and end with the window's own entry; an element always
// stands in front of its parent. Everything here runs on the GUI thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "toolkit/draw/geometry.h"  // Rect

using ObjectId = int32_t;


class SkinWindow;

// What the window layer reads from, and sets on, every element, with the values of an element
// that is not created (the element resets it to these by assignment when it is destroyed).
struct ElementNodeState {
  ObjectId objectId = 0;
  HWND hostWindow = nullptr;
  ObjectId parent = 0;  // negative: the window root
  bool visible = false;
  bool disabled = false;
  bool leftPressed = false;
  bool rightPressed = false;
  bool focusable = false;
  int32_t depth = 0;  // 1 for a child of the window root
  Rect absoluteRect;  // window coordinates; origin of the element's local coordinates
  Rect clipRect;      // visible part of absoluteRect, window coordinates
};

// The element as the window layer sees it. The element model derives from it.
class ElementNode : public ElementNodeState {
 public:
  virtual ~ElementNode() = default;
  // The element message handler: (code, a, b) → answer; the codes are element_message's
  // (element_messages.h). a and b are pointer-sized because some messages carry a pointer
  // (kOtherMessage: to the window message's arguments; kRichEditContent: to a text).
  virtual intptr_t HandleMessage(uint32_t code, intptr_t a, intptr_t b) = 0;
  // Shown: visible and every element ancestor visible.
  virtual bool IsEffectivelyVisible() const = 0;
  // Disabled: it or an element ancestor disabled, or its window disabled.
  virtual bool IsEffectivelyDisabled() const = 0;
};

// ---- Identity ---------------------------------------------------------------------------------
ObjectId RegisterWindowObject(SkinWindow* window);     // a new negative id
ObjectId RegisterElementObject(ElementNode* element);  // a new positive id
void UnregisterObject(ObjectId id);                    // the id dereferences to null from now on
SkinWindow* WindowFromId(ObjectId id);                 // null for a stale, positive or zero id
ElementNode* ElementFromId(ObjectId id);               // null for a stale, negative or zero id
int32_t DepthOf(ObjectId id);                          // 0 for windows and unknown ids

// ---- Order ------------------------------------------------------------------------------------
int RegistryCount();
int RegistryIndexOf(ObjectId id);  // 1-based position, 0 when absent
ObjectId RegistryAt(int position);  // 0 outside 1..count
void RegistryInsertFront(ObjectId id);
void RegistryInsertAt(int position, ObjectId id);  // the new entry stands at `position`
// Removes the entry at `position` and the entries just in front of it that are deeper (its
// descendants), sending element message kDestroyed to each, front-most first; the removed element ids are
// then retired (they dereference to null; an element created again gets a new id). Answers how
// many entries disappeared (0 for a position outside the registry). Tolerates elements that remove
// entries themselves while handling kDestroyed.
int RegistryRemoveWithChildren(int position);
// Takes `count` entries starting at `position` out of the list without sending anything, and puts
// such a block back at `position` (used to re-parent and re-order a block).
std::vector<ObjectId> RegistryCutBlock(int position, int count);
void RegistryInsertBlock(int position, const std::vector<ObjectId>& block);

// ---- Input ------------------------------------------------------------------------------------
// The front-most shown, enabled element of `window` whose clipRect strictly contains `point`
// (window coordinates), or 0. Every element of a disabled window counts as disabled.
ObjectId HitTest(HWND window, POINT point);
// Calls the element's HandleMessage; 0 when id <= 0 or it no longer names an element.
intptr_t SendElementMessage(ObjectId id, uint32_t code, intptr_t a, intptr_t b);
// Second stage of the toolkit window procedure: turns mouse, keyboard and focus messages into
// element messages, and sweeps the registry on WM_DESTROY. Element message kOtherMessage (any
// other window message, to the focused element) carries a = the message number and b = a pointer to two
// intptr_t values {lParam, wParam}, valid only during the call.
void DispatchInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
