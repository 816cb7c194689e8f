// COM streams over bytes in memory, for decoders that read from an IStream (GDI+ images).
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <span>

#include "common/win_handle.h"

// A stream holding a copy of `bytes`, positioned at its start; empty when no stream could be made
// or the bytes do not fit a 32-bit length. It is the shell's light-weight memory stream where the
// shell library has one, else a stream on a global memory block (CreateGlobalMemoryStream).
ComPtr<IStream> CreateMemoryStream(std::span<const uint8_t> bytes);

// The shell's memory-stream constructor, looked up in shlwapi.dll by its ordinal 12: Windows 2000
// and XP export it only by that number, the name SHCreateMemStream came with Vista, and an import
// by name would keep the program from starting on XP. Null where shlwapi has no such export.
using ShellMemoryStreamFunction = IStream*(WINAPI*)(const BYTE* bytes, UINT size);
ShellMemoryStreamFunction ShellMemoryStreamConstructor();

// The same stream on a movable global memory block that the stream frees when it goes
// (CreateStreamOnHGlobal, present on every Windows version).
ComPtr<IStream> CreateGlobalMemoryStream(std::span<const uint8_t> bytes);
