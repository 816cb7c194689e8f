# Cross-compiles the shipped 32-bit installer with Debian's mingw-w64, win32 thread model. The
# program starts its own threads with CreateThread and uses no std::thread or std::mutex, so it
# needs no POSIX thread runtime (winpthreads, about 30 KB of the installer). The tests' build
# (x86_64) keeps the posix model, which GoogleTest needs for std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VM_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${VM_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VM_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER  ${VM_TRIPLET}-windres)
set(CMAKE_ASM_COMPILER ${VM_TRIPLET}-gcc-win32)
set(CMAKE_FIND_ROOT_PATH /usr/${VM_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
