// Named properties the toolkit keeps on every window it manages. Elements reach their window's
// state only through these. Values are handle-sized.
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/window/object_registry.h"

inline constexpr char kPropThis[] = "DoDA_THIS";                   // the SkinWindow object
inline constexpr char kPropOldProc[] = "DoDA_OLDPROC";             // replaced window procedure
inline constexpr char kPropObjectId[] = "DoDA_OBJID";              // the window's ObjectId
inline constexpr char kPropFocus[] = "DoDA_FUCOS";                 // element with keyboard focus
inline constexpr char kPropMouseOn[] = "DoDA_MOUSEON";             // element under the mouse
inline constexpr char kPropMouseCapture[] = "DoDA_MOUSECAPTURE";   // element that captured the mouse
inline constexpr char kPropMainDc[] = "DoDA_MDC";                  // main surface DC
inline constexpr char kPropMainGraphics[] = "DoDA_MDC_GP";         // main surface GDI+ graphics
inline constexpr char kPropBackgroundDc[] = "DoDA_MDC_BKG";        // background surface DC
inline constexpr char kPropBackgroundGraphics[] = "DoDA_MDC_BKG_GP";  // background surface graphics
// Integer atom of the present-pending flag: 1 asks for a presentation within 30 ms.
inline constexpr ATOM kPresentPendingAtom = 0x131;

inline ObjectId GetIdProp(HWND window, const char* name) {
  return static_cast<ObjectId>(reinterpret_cast<intptr_t>(GetPropA(window, name)));
}
inline void SetIdProp(HWND window, const char* name, ObjectId id) {
  SetPropA(window, name, reinterpret_cast<HANDLE>(static_cast<intptr_t>(id)));
}
