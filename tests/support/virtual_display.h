// Windows of a test program on the virtual X display.
#pragma once

// No window manager runs on the virtual display, so Wine, treating windows as managed, would wait
// two seconds for each hidden window to be withdrawn. This makes the running program's windows
// unmanaged (a per-program Wine setting, read when the program's first window is made): call it
// before the first window.
void UseUnmanagedWindows();
