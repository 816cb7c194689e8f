// Byte-array constants built into the program at build time (see cmake/Embed.cmake): a 32-bit
// count that is always 1, a 32-bit length in bytes, then the bytes themselves.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct ByteArrayConstant {
  uint32_t count;   // always 1
  uint32_t length;  // number of bytes that follow
};

inline std::span<const uint8_t> BytesOf(const ByteArrayConstant& constant) {
  return {reinterpret_cast<const uint8_t*>(&constant + 1), constant.length};
}

inline std::string_view TextOf(const ByteArrayConstant& constant) {
  return {reinterpret_cast<const char*>(&constant + 1), constant.length};
}

// Declares an embedded constant: VM_DECLARE_BYTE_ARRAY(vm_payload_archive);
#define VM_DECLARE_BYTE_ARRAY(symbol) extern "C" const ByteArrayConstant symbol
