# The native build (preset native): the libraries of pure logic, the ones that include no Windows
# header, built by the host compiler with the address and undefined-behaviour sanitizers, their
# unit tests and the fuzz drivers of their parsers (tests/native). Nothing here runs under Wine;
# a Windows header included by one of these sources fails the build.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(VM_DEPS_DIR "${CMAKE_SOURCE_DIR}/build/deps" CACHE PATH "Where scripts/setup.sh put the fetched sources")
list(APPEND CMAKE_MODULE_PATH "${CMAKE_SOURCE_DIR}/cmake")
include(Embed)

# The same texts as the Windows build (GBK literals from UTF-8 sources) and the same warnings; every
# sanitizer report ends the program (-fno-sanitize-recover) instead of printing and going on.
set(vm_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_library(vm_options INTERFACE)
add_library(vm::options ALIAS vm_options)
target_compile_options(vm_options INTERFACE
  $<$<COMPILE_LANGUAGE:C,CXX>:-finput-charset=UTF-8 -fexec-charset=GBK ${vm_sanitizers}>
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers>)
target_link_options(vm_options INTERFACE ${vm_sanitizers})
target_include_directories(vm_options INTERFACE ${CMAKE_SOURCE_DIR})

# The host's zlib stands in for the mingw one (the rich-edit content inflates jQuery with it).
find_package(ZLIB REQUIRED)
add_library(vm_zlib INTERFACE)
target_link_libraries(vm_zlib INTERFACE ZLIB::ZLIB)
add_library(vm::zlib ALIAS vm_zlib)

foreach(dir toolkit/draw toolkit/skin toolkit/window toolkit/elements toolkit/richedit shell installer)
  add_subdirectory(${dir})
endforeach()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
enable_testing()
add_subdirectory(tests/native)
