// The installer's window: built once by StartUp, then its message loop runs until the process ends.
#pragma once

// Builds the installer window and runs the message loop; returns when the loop receives WM_QUIT.
void BuildInstallerWindow();

// GetMessageW/TranslateMessage/DispatchMessageW until GetMessageW answers 0 (-1 counts as not 0);
// answers the final message's wParam.
int RunMessageLoop();
