// How the extractor's ZIP reader (minizip) reads the archive file: through a 16 KB read buffer on
// a Win32 file handle. minizip parses every directory record and local header a byte at a time
// (one read call per byte); without a buffer each byte is a ReadFile, a system call, and reading
// the directory of a package of a few hundred entries costs tens of thousands of them. Reads of
// 16 KB or more (the entries' compressed data) go to the file directly.
#pragma once

#include <ioapi.h>

// Fills `functions` for unzOpen2_64: the file name is an ANSI path (code page of the system), the
// file is opened for reading only (other openers may read it too); writing is refused.
void FillBufferedReadFileFunctions(zlib_filefunc64_def* functions);
