# Compile and link settings shared by every target of the project (link vm::options).
add_library(vm_options INTERFACE)
add_library(vm::options ALIAS vm_options)
# Windows XP SP3 is the oldest system the installer supports: with _WIN32_WINNT and WINVER at 0x0501
# the headers hide the functions of later systems, so a use of one fails to compile instead of
# keeping the program from starting on XP. What later systems add is looked up at run time.
# A target may ask for a later system with the property VM_WINDOWS_VERSION: the test programs do,
# for functions of Vista and 7 that they use themselves (they run under Wine's Windows 7). The code
# under test is compiled in its own libraries, at the XP level.
set(vm_windows_version "$<IF:$<BOOL:$<TARGET_PROPERTY:VM_WINDOWS_VERSION>>,$<TARGET_PROPERTY:VM_WINDOWS_VERSION>,0x0501>")
target_compile_definitions(vm_options INTERFACE
  NOMINMAX _WIN32_WINNT=${vm_windows_version} WINVER=${vm_windows_version} _WIN32_IE=0x0800 STRICT)
# System functions are declared without dllimport, so that every call goes through the import
# library's thunk. The 32-bit linker drops the thunk of a delay-import library member whose thunk
# nobody calls by name, and then the member's address-table slot, which must point to that thunk
# until the first call loads the DLL, stays 0: a dllimport call through it jumps to nowhere.
# (tests/installer/shipped_executable_test.cpp checks every such slot of the shipped program.)
target_compile_definitions(vm_options INTERFACE DECLSPEC_IMPORT=)
target_compile_options(vm_options INTERFACE
  # Narrow literals are texts of the system ANSI code page (GBK); sources are UTF-8.
  $<$<COMPILE_LANGUAGE:C,CXX>:-finput-charset=UTF-8 -fexec-charset=GBK>
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers -Wno-cast-function-type>)
# One self-contained executable: no mingw runtime DLL travels with it.
target_link_options(vm_options INTERFACE -static -static-libgcc -static-libstdc++)
# The linker would write its clock into every program's header; the installer gets its time stamp
# from VM_SOURCE_DATE_EPOCH instead (installer/CMakeLists.txt).
target_link_options(vm_options INTERFACE -Wl,--no-insert-timestamp)
target_include_directories(vm_options INTERFACE ${CMAKE_SOURCE_DIR})
# The header fields name the oldest Windows the program runs on: XP (5.1) for the shipped 32-bit
# build, and for the 64-bit build the first 64-bit Windows (XP x64 and Server 2003, 5.2). The
# 64-bit build compiles against the XP headers too, so both builds see the same functions.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VM_OLDEST_WINDOWS_MINOR 1)
else()
  set(VM_OLDEST_WINDOWS_MINOR 2)
endif()
target_link_options(vm_options INTERFACE
  -Wl,--major-os-version,5,--minor-os-version,${VM_OLDEST_WINDOWS_MINOR}
  -Wl,--major-subsystem-version,5,--minor-subsystem-version,${VM_OLDEST_WINDOWS_MINOR})

# The shipped build is optimised for size (the installer's own bytes travel with every download):
# -Os, every function and object in a section of its own, link-time optimisation, and the linker
# drops the sections nothing refers to (unused GUIDs of libuuid, unused members of libstdc++'s
# string instantiations). It is set for the whole build, so minizip and zlib's callers get it too.
# The tests' build keeps -O3 without link-time optimisation.
# The link-time step runs as one partition: Debian's mingw-w64 GCC 12 stops with an internal
# compiler error (binds_to_current_def_p) when it splits this program into several.
option(VM_OPTIMISE_FOR_SIZE "Optimise for size and drop unreferenced sections (the shipped build)" OFF)
if(VM_OPTIMISE_FOR_SIZE)
  foreach(language C CXX)
    set(CMAKE_${language}_FLAGS_RELEASE "-Os -DNDEBUG -ffunction-sections -fdata-sections")
  endforeach()
  # Archives of link-time objects need the compiler's archiver, which CMake uses for this.
  set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
  target_link_options(vm_options INTERFACE $<$<CONFIG:Release>:-Wl,--gc-sections -flto-partition=one>)
endif()

# The benchmark build (preset x64-bench): time stamps at every stage of start-up and of the install
# job (common/bench_marks.h), read by scripts/bench-installer.sh. Never in the shipped program.
option(VM_BENCH_MARKS "Record the stages' time stamps (benchmark build only)" OFF)
if(VM_BENCH_MARKS)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4 OR VM_OPTIMISE_FOR_SIZE)
    message(FATAL_ERROR "VM_BENCH_MARKS is for the benchmark build (preset x64-bench), never the shipped one")
  endif()
  target_compile_definitions(vm_options INTERFACE VM_BENCH_MARKS)
endif()
