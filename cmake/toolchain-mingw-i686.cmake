# Cross-compiles for Windows with Debian's mingw-w64, posix thread model: GoogleTest needs std::mutex,
# which the win32 model's runtime lacks. The program starts its own threads with CreateThread; the
# one function of Vista that the thread runtime imports is answered in installer/runtime_imports.cpp.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VM_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${VM_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VM_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${VM_TRIPLET}-windres)
set(CMAKE_ASM_COMPILER ${VM_TRIPLET}-gcc-posix)
set(CMAKE_FIND_ROOT_PATH /usr/${VM_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
