# Host-side build tools (package builder, skin database builder, ...) are built natively from
# tools/ into their own build folder. Each tool's path is VM_HOST_TOOL_<name>; build steps that run
# a tool depend on the target vm_host_tools, which rebuilds the tools when their sources change.
set(VM_HOST_BUILD_DIR "${CMAKE_BINARY_DIR}/host-tools")
set(VM_HOST_TOOLS "")
file(STRINGS "${CMAKE_SOURCE_DIR}/tools/TOOLS" VM_HOST_TOOLS REGEX "^[a-z_]+$")

execute_process(
  COMMAND ${CMAKE_COMMAND} -S "${CMAKE_SOURCE_DIR}/tools" -B "${VM_HOST_BUILD_DIR}" -G Ninja
          -DCMAKE_BUILD_TYPE=Release "-DVM_DEPS_DIR=${VM_DEPS_DIR}"
          -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
  RESULT_VARIABLE host_result OUTPUT_QUIET)
if(NOT host_result EQUAL 0)
  message(FATAL_ERROR "Configuring the host tools failed")
endif()

set(host_tool_paths "")
foreach(tool IN LISTS VM_HOST_TOOLS)
  set(VM_HOST_TOOL_${tool} "${VM_HOST_BUILD_DIR}/bin/${tool}")
  list(APPEND host_tool_paths "${VM_HOST_BUILD_DIR}/bin/${tool}")
endforeach()
add_custom_target(vm_host_tools
  COMMAND ${CMAKE_COMMAND} --build "${VM_HOST_BUILD_DIR}"
  BYPRODUCTS ${host_tool_paths}
  COMMENT "Building host tools")
