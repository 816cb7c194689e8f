// The application package embedded in the installer at build time (a ZIP archive).
#pragma once

#include <cstdint>
#include <span>

#include "common/byte_array.h"

VM_DECLARE_BYTE_ARRAY(vm_payload_archive);

inline std::span<const uint8_t> PayloadArchive() { return BytesOf(vm_payload_archive); }
