# Compile and link settings shared by every target of the project (link vm::options).
add_library(vm_options INTERFACE)
add_library(vm::options ALIAS vm_options)
target_compile_definitions(vm_options INTERFACE
  NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800 STRICT)
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
