// The system version as the install job tells versions apart, read from the process environment
// block rather than through a system call.
#pragma once

// 1..3 on the Windows 9x family, 4 for NT 4 and older, 5 for 2000, 6 for XP, 7 for 5.2 (XP x64,
// Server 2003), 8 for Vista, 9 for Windows 7; 0 for every later (or unknown) version.
int GetSystemVersionCode();

// Answers whether the system is Windows XP (code 6).
bool IsWindowsXp();
