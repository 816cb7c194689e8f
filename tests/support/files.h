// Whole files, byte for byte, and the paths the build's Unix side and Wine's Windows side give the
// same file.
#pragma once

#include <string>

#include "common/code_page.h"  // WideFromAnsi, AnsiFromWide

// Reads the whole file; false when it cannot be opened or read. Other processes may have it open
// for writing (a helper's log).
bool ReadWholeFile(const std::wstring& path, std::string& bytes);
bool ReadWholeFileAnsi(const std::string& path, std::string& bytes);
// The whole file, or empty when it is missing or unreadable.
std::string ReadTextFile(const std::string& path);
// Creates or replaces the file with exactly `bytes`.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);

// "/work/x" becomes "Z:\work\x": Wine maps the Unix root to drive Z.
std::wstring WinePathOf(const std::wstring& unixPath);
std::string WinePathOf(const std::string& unixPath);
// The Unix path Wine gives a Windows path; empty when not running under Wine.
std::string UnixPathOf(const std::string& windowsPath);
