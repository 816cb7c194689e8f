// The embedded application package: writing it to disk and extracting it with minizip.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// Results of ExtractArchive.
inline constexpr int kExtractSucceeded = 1;  // every entry written, or stopped on request
inline constexpr int kExtractFailed = 0;
inline constexpr int kExtractNothingDone = -1;  // a path was empty or the archive does not exist

// Receives (percentage 0..100, path of the entry just handled); answers true to stop extracting.
using ExtractProgressSink = std::function<bool(int percentage, const std::string& entryPath)>;

// Creates or truncates `path` (no sharing) and writes all of `bytes`; false when it cannot.
bool WriteBytesToFile(const std::string& path, std::span<const uint8_t> bytes);

// Extracts every entry of the ZIP archive at `archivePath` into `destFolder` (ANSI paths), reporting
// after every entry and 100 at the end. Entries whose names would land outside destFolder are
// refused and fail the extraction; so does an entry whose data is cut short or fails its CRC.
int ExtractArchive(const std::string& archivePath, const std::string& destFolder,
                   const ExtractProgressSink& progressSink = nullptr);
