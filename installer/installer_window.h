// The installer's window: the layout of installer_layout.h built with the installer's own images
// (installer_elements.h), its event handler, and the ProgressDisplay the install job reports to.
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
