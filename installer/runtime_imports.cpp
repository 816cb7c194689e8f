// Import slots that this program fills itself, so that the language runtime linked into it does
// not import from Windows a function that Windows XP lacks.
//
// The POSIX thread runtime (winpthreads, linked statically) calls GetTickCount64 through its
// import slot __imp_GetTickCount64 (i686: __imp__GetTickCount64@0). Defining that slot here, in an
// object file of the executable itself, satisfies the reference before the linker reaches
// kernel32's import library, so VelmoraSetup.exe carries no import of it; the slot points to
// TickCount64, which uses the system's function where there is one. This file must be a source of
// the executable, not of a library: the linker takes an archive member only for a symbol that is
// still undefined when it reaches the archive.
#include <windows.h>

#include "installer/tick_count.h"

namespace {

ULONGLONG WINAPI TickCount64Slot() { return TickCount64(); }

}  // namespace

#if defined(_WIN64)
extern "C" ULONGLONG(WINAPI* const vm_get_tick_count64_import)() __asm__("__imp_GetTickCount64");
#else
extern "C" ULONGLONG(WINAPI* const vm_get_tick_count64_import)() __asm__("__imp__GetTickCount64@0");
#endif
ULONGLONG(WINAPI* const vm_get_tick_count64_import)() = TickCount64Slot;
