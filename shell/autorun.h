// Autorun entries: values of HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run.
#pragma once

#include <string>

// Result codes of AddAutorun.
inline constexpr int kAutorunWritten = 1;          // the value was missing and has been written
inline constexpr int kAutorunUnchanged = 0;        // the value already held exactly this command
inline constexpr int kAutorunReplaced = 2;         // the value held another command; overwritten
inline constexpr int kAutorunFilled = 3;           // the value existed with empty data; written
inline constexpr int kAutorunWriteFailed = -1;     // writing failed (value missing or different)
inline constexpr int kAutorunFillFailed = -2;      // writing failed (value existed, empty)
inline constexpr int kAutorunKeyUnavailable = -3;  // the Run key failed to open

// Makes value `valueName` of the Run key hold the command: the program path in quotes, followed by
// the arguments when `appendArguments` (minor_text.h's AutorunCommand). Answers a code above.
int AddAutorun(const std::string& programPath, const std::string& arguments, bool appendArguments,
               const std::string& valueName);

// Deletes value `valueName` of the Run key: 0 when deleted, -1 when it could not be (missing),
// -2 when the key failed to open.
int RemoveAutorun(const std::string& valueName);
