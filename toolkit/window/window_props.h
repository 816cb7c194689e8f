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

// Every named property the toolkit keeps on a window; all go when the window is destroyed.
inline constexpr const char* kToolkitWindowProperties[] = {
    kPropThis,  kPropOldProc,  kPropObjectId,      kPropFocus,        kPropMouseOn,
    kPropMouseCapture, kPropMainDc, kPropMainGraphics, kPropBackgroundDc, kPropBackgroundGraphics};

// Reading and writing the named properties above. A window the toolkit manages (between
// MirrorWindowProps and ForgetWindowProps, which SkinWindow::Create and Destroy call) also keeps
// a copy of them in this process, and reads are answered from that copy: on some systems every
// GetProp is a round trip to the window server, and elements read several for each drawing. The
// window's own properties are still written every time, so other readers see the same values;
// what SetProp writes behind the toolkit's back on a managed window is not seen here. On any
// other window (a host an element was placed on directly) reads ask the system.
HANDLE ReadWindowProp(HWND window, const char* name);
void WriteWindowProp(HWND window, const char* name, HANDLE value);
// Starts the copy from the window's current properties; ForgetWindowProps drops it (the
// window's properties stay as they are).
void MirrorWindowProps(HWND window);
void ForgetWindowProps(HWND window);

// The present-pending flag (integer atom kPresentPendingAtom). On a managed window the toolkit
// remembers that it has set the flag, so a second request before the window's presentation timer
// has taken it writes nothing; the timer takes it with TakePresentPending, which reads the
// window's own property too (another program may set it) and answers whether either asked.
void SetPresentPending(HWND window);
bool TakePresentPending(HWND window);

inline ObjectId GetIdProp(HWND window, const char* name) {
  return static_cast<ObjectId>(reinterpret_cast<intptr_t>(ReadWindowProp(window, name)));
}
inline void SetIdProp(HWND window, const char* name, ObjectId id) {
  WriteWindowProp(window, name, reinterpret_cast<HANDLE>(static_cast<intptr_t>(id)));
}
