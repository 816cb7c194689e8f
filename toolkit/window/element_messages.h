// The vocabulary between the window layer, elements and the program: element message codes, the
// program's event codes, the event record an element forwards, and the program's event handler.
// The window layer dispatches these (input_dispatch.cpp, the registry, the window's repaints), the
// elements handle and send them, the rich-edit service delivers one, and the program receives the
// events: every one of them names the codes from here, none writes the numbers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/window/object_registry.h"

// Element messages: (code, a, b) delivered to Element::HandleMessage. a and b are pointer-sized.
namespace element_message {
inline constexpr uint32_t kCreated = 1;
inline constexpr uint32_t kDestroyed = 2;
inline constexpr uint32_t kFocusGained = 3;   // a: the element that lost the focus
inline constexpr uint32_t kFocusLost = 4;     // a: the element that gained it
inline constexpr uint32_t kVisibleChanged = 5;  // a: the new visible value
inline constexpr uint32_t kEnabledChanged = 6;  // a: 1 = enabled
inline constexpr uint32_t kCompositeSelf = 7;   // the window's full repaint
inline constexpr uint32_t kMoved = 8;
inline constexpr uint32_t kResized = 9;
inline constexpr uint32_t kTimer = 10;          // a: key, b: value
inline constexpr uint32_t kChar = 11;           // a: character, b: the WM_CHAR lParam
inline constexpr uint32_t kKeyDown = 12;        // a: virtual key
inline constexpr uint32_t kKeyUp = 13;
inline constexpr uint32_t kLeftDown = 14;       // a: packed point (local coordinates)
inline constexpr uint32_t kLeftUp = 15;
inline constexpr uint32_t kClick = 16;
inline constexpr uint32_t kLeftDoubleClick = 17;
inline constexpr uint32_t kRightDown = 18;
inline constexpr uint32_t kRightUp = 19;
inline constexpr uint32_t kRightClick = 20;
inline constexpr uint32_t kRightDoubleClick = 21;
inline constexpr uint32_t kWheel = 22;          // a: wheel delta / 120
inline constexpr uint32_t kGetParent = 23;      // the only message with an answer
inline constexpr uint32_t kParentChanged = 24;  // a: the new parent
inline constexpr uint32_t kMouseMove = 26;
inline constexpr uint32_t kMouseEnter = 27;
inline constexpr uint32_t kMouseLeave = 28;
inline constexpr uint32_t kGeometry = 30;       // recompute geometry and pass it on
inline constexpr uint32_t kOtherMessage = 32;   // a: window message, b: pointer to its lParam
inline constexpr uint32_t kHostChanged = 33;    // a: the new host window handle
inline constexpr uint32_t kRepaintSurface = 34;
inline constexpr uint32_t kFontChanged = 35;
// The system's move or size loop took the button-up: nothing is held or pressed any more.
inline constexpr uint32_t kButtonsReleased = 36;
inline constexpr uint32_t kRichEditContent = 301;  // a: 1 HTML, 2 text; b: pointer to the text
inline constexpr uint32_t kForwardedEvent = 999;   // a: source id, b: pointer to an EventRecord
}  // namespace element_message

// Program events: what an element reports to the program's handler.
enum class ElementEvent : int32_t {
  kClick = 1,
  kLeftDown = 2,
  kLeftUp = 3,
  kLeftDoubleClick = 4,
  kRightClick = 5,
  kRightDown = 6,
  kRightUp = 7,
  kRightDoubleClick = 8,
  kKeyDown = 9,
  kKeyUp = 10,
  kChar = 11,
  kMouseMove = 12,
  kMouseEnter = 13,
  kMouseLeave = 14,
  kWheel = 15,
};

// What element message 999 carries: the event code and its five values.
struct EventRecord {
  int32_t code = 0;
  intptr_t p1 = 0;
  intptr_t p2 = 0;
  intptr_t p3 = 0;
  intptr_t p4 = 0;
  intptr_t p5 = 0;
};

// The program's event handler: (host window, element id, event code, p1..p5) → result. p1 is the
// message's first argument (packed point, virtual key, character or wheel value; 0 for enter and
// leave); p2 to p5 are 0 for the toolkit's own events.
using ElementEventHandler = intptr_t (*)(HWND hostWindow, ObjectId element, int32_t code,
                                         intptr_t p1, intptr_t p2, intptr_t p3, intptr_t p4,
                                         intptr_t p5);
