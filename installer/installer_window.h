// The installer's window: a borderless 500 × 200 layered toolkit window with a logo, an install
// button and a close button; the progress track, its fill, the percentage marker, the status line
// and the busy indicator appear once the install starts. It is also the ProgressDisplay the install
// job reports to.
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/window/object_registry.h"

// Builds the installer window and runs the message loop; returns when the loop receives WM_QUIT
// (the installer normally ends the process before that).
void BuildInstallerWindow();

// GetMessageW/TranslateMessage/DispatchMessageW until GetMessageW answers 0 (-1 counts as not 0);
// answers the final message's wParam.
int RunMessageLoop();

// The program event handler of the drag area, the close button and the install button.
intptr_t OnElementEvent(HWND hostWindow, ObjectId objectId, int32_t eventCode, intptr_t, intptr_t, intptr_t,
                        intptr_t, intptr_t);

// Where the percentage marker's left edge goes for a fill `fillWidth` pixels wide: 7 pixels left
// of the fill's end, which centres the 34-pixel box 2 pixels left of the end (the fill lies in the
// track at x = 12, the marker is placed in window coordinates).
inline int32_t MarkerLeftForFill(int32_t fillWidth) { return fillWidth - 7; }

// The fill width for `percentage` of a track `trackWidth` pixels wide: trackWidth / 100 × percentage
// in floating point, truncated (476: 50 → 238, 99 → 471, 100 → 476).
inline int32_t FillWidthForPercentage(int32_t trackWidth, int percentage) {
  return static_cast<int32_t>(static_cast<double>(trackWidth) / 100.0 * percentage);
}
