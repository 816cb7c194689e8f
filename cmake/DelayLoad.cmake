# vm_delay_load(<target> <library>...): <target> loads these DLLs when it first calls into them
# instead of at process start.
#
# Windows looks for a DLL named in a program's import table beside the program first, before any
# of the program's code runs, unless the DLL is one of the system's known DLLs. An installer is
# started from a downloads folder, where anybody can have left a "msimg32.dll". A delay-loaded DLL
# is loaded by LoadLibrary on first use, after HardenDllSearch has restricted the search to the
# system folder.
#
# For each library a delay-import library with the same name (lib<library>.a) is made from the
# function list of the toolchain's import library (nm, dlltool --output-delaylib) into a folder
# that <target> searches first; the helper __delayLoadHelper2 comes with mingw-w64's runtime.
# Data exports cannot be delay-loaded and are left out: a use of one fails to link.
function(vm_delay_load target)
  set(dir "${CMAKE_BINARY_DIR}/delay-imports")
  file(MAKE_DIRECTORY "${dir}")
  find_program(VM_DLLTOOL NAMES ${VM_TRIPLET}-dlltool REQUIRED)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(kill_at --kill-at)  # import stdcall functions by their undecorated names
  else()
    set(kill_at "")
  endif()
  foreach(library IN LISTS ARGN)
    set(delay_lib "${dir}/lib${library}.a")
    if(EXISTS "${delay_lib}")
      continue()
    endif()
    find_file(import_lib_${library} NAMES lib${library}.a PATHS /usr/${VM_TRIPLET}/lib NO_DEFAULT_PATH REQUIRED)
    execute_process(COMMAND ${CMAKE_NM} -g "${import_lib_${library}}" OUTPUT_VARIABLE symbols
                    RESULT_VARIABLE nm_result)
    if(NOT nm_result EQUAL 0)
      message(FATAL_ERROR "vm_delay_load: cannot list ${import_lib_${library}}")
    endif()
    # Every function has a code thunk: "<address> T <symbol>".
    string(REGEX MATCHALL "[0-9a-f]+ T [^\n]+" thunks "${symbols}")
    set(def "LIBRARY ${library}.dll\nEXPORTS\n")
    foreach(thunk IN LISTS thunks)
      string(REGEX REPLACE "^[0-9a-f]+ T " "" symbol "${thunk}")
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        string(REGEX REPLACE "^_" "" symbol "${symbol}")  # i686 symbols carry a leading underscore
      endif()
      string(APPEND def "${symbol}\n")
    endforeach()
    file(WRITE "${dir}/${library}.def" "${def}")
    execute_process(
      COMMAND "${VM_DLLTOOL}" --input-def "${dir}/${library}.def" --dllname ${library}.dll ${kill_at}
              --output-delaylib "${delay_lib}"
      RESULT_VARIABLE dlltool_result)
    if(NOT dlltool_result EQUAL 0)
      file(REMOVE "${delay_lib}")
      message(FATAL_ERROR "vm_delay_load: dlltool failed for ${library}")
    endif()
  endforeach()
  target_link_directories(${target} BEFORE PRIVATE "${dir}")
endfunction()
