# Cross-compiles for Windows with Debian's mingw-w64, posix thread model: GoogleTest needs std::mutex,
# which the win32 model's runtime lacks. The program starts its own threads with CreateThread; the
# one function of Vista that the thread runtime imports is answered in installer/runtime_imports.cpp.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VM_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${VM_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VM_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${VM_TRIPLET}-windres)
set(CMAKE_ASM_COMPILER ${VM_TRIPLET}-gcc-posix)
set(CMAKE_FIND_ROOT_PATH /usr/${VM_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The tests run this build under Wine (64-bit: this kernel cannot run 32-bit code).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
