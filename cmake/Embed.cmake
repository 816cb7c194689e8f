# vm_embed(<target> <symbol> <file>): builds <file> into <target> as a byte-array constant named
# <symbol>: a 32-bit count (1), a 32-bit length in bytes, the bytes, then one zero byte that is not
# counted (so embedded texts can also be read as C strings). Read it through common/byte_array.h.
# The bytes are included by the assembler, so even a large package costs no compile time.
function(vm_embed target symbol file)
  set(asm "${CMAKE_CURRENT_BINARY_DIR}/embed_${symbol}.S")
  # The read-only data section: ".rdata" in a PE image, ".rodata" in the native build's ELF.
  # The ELF object also says that it needs no executable stack.
  if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    set(section [=[.rdata,"dr"]=])
    set(trailer "")
  else()
    set(section [=[.rodata,"a"]=])
    set(trailer [=[.section .note.GNU-stack,"",@progbits]=])
  endif()
  file(WRITE "${asm}.in" [=[
#define VM_CONCAT2(a, b) a##b
#define VM_CONCAT(a, b) VM_CONCAT2(a, b)
#define VM_SYMBOL VM_CONCAT(__USER_LABEL_PREFIX__, @symbol@)
    .section @section@
    .p2align 4
    .globl VM_SYMBOL
VM_SYMBOL:
    .long 1
    .long 2f - 1f
1:
    .incbin "@file@"
2:
    .byte 0
    @trailer@
]=])
  configure_file("${asm}.in" "${asm}" @ONLY)
  set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${file}" GENERATED TRUE)
  target_sources(${target} PRIVATE "${asm}")
endfunction()
