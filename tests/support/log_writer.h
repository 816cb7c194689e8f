// The append-only logs through which helper programs tell a test what happened to them. Each line
// is written with one call and the file is closed again at once, because a helper may be ended
// by TerminateProcess at any moment and the test reads the log while others still write to it.
#pragma once

#include <string>

// Appends `line` and "\r\n" to the file at `path` (created when missing).
void AppendLogLine(const std::string& path, const std::string& line);
