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
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

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

// The language runtime's default terminate handler prints the active exception's demangled type
// name to the standard error stream, which a GUI program does not have, and brings the whole C++
// demangler (about 46 KB) into the program for that. An uncaught exception is a fault of this
// program either way; defining the handler here (same rule as above: an object of the executable
// satisfies the reference before the runtime's archive is searched) ends the process the same way,
// by abort, without the demangler.
namespace __gnu_cxx {
void __verbose_terminate_handler() { abort(); }
}  // namespace __gnu_cxx

// The runtime's string classes report a bad position, a length beyond their maximum or an
// exhausted heap through these functions. The runtime's own versions construct std::logic_error
// and its relatives, whose message is a reference-counted string of the runtime's older ABI: they
// bring a second complete string implementation (about 50 KB) into the program. Nothing here
// catches those types: every callback of the program ends an exception with catch (...). These
// versions throw the allocation and cast failures as before and every other fault as a
// RuntimeFault, which catch (...) ends the same way.
namespace {

struct RuntimeFault {
  const char* what;
};

}  // namespace

namespace std {
[[noreturn]] void __throw_bad_alloc() { throw bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw bad_array_new_length(); }
[[noreturn]] void __throw_bad_cast() { throw bad_cast(); }
[[noreturn]] void __throw_bad_typeid() { throw bad_typeid(); }
[[noreturn]] void __throw_bad_exception() { throw bad_exception(); }
[[noreturn]] void __throw_logic_error(const char* what) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_domain_error(const char* what) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_invalid_argument(const char* what) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_length_error(const char* what) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_out_of_range(const char* what) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_out_of_range_fmt(const char* what, ...) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_runtime_error(const char* what) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_range_error(const char* what) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_overflow_error(const char* what) { throw RuntimeFault{what}; }
[[noreturn]] void __throw_underflow_error(const char* what) { throw RuntimeFault{what}; }
}  // namespace std
