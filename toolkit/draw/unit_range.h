// The byte arithmetic of WideText's character operations, written so that no position or count
// can wrap the offset type, however large. WideText runs it with size_t; the tests also run it
// with uint32_t, the size_t of the shipped 32-bit program, where a count near INT_MAX times two
// plus a start would wrap around to a small end offset.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

// Byte offsets [from, end) into a buffer of UTF-16 code units.
template <typename Offset>
struct ByteRange {
  Offset from;
  Offset end;
  bool operator==(const ByteRange&) const = default;
};

// Index of a 1-based character position (0 or less counts as 1), cut to the `units` there are.
template <typename Offset>
constexpr Offset UnitIndex(Offset units, int32_t position) {
  const Offset index = position < 1 ? 0 : static_cast<Offset>(position - 1);
  return std::min(index, units);
}

// `count` characters from 1-based `start` (all the rest when count is omitted; nothing for a
// count of 0 or less) in a buffer of `units` code units, cut to what is there.
template <typename Offset>
constexpr ByteRange<Offset> MidByteRange(Offset units, int32_t start, std::optional<int32_t> count) {
  const Offset from = UnitIndex(units, start);
  Offset taken = units - from;
  if (count) taken = *count <= 0 ? 0 : std::min(taken, static_cast<Offset>(*count));
  return {static_cast<Offset>(from * 2), static_cast<Offset>((from + taken) * 2)};
}

// The first `count` characters (Left) and the last `count` characters (Right).
template <typename Offset>
constexpr ByteRange<Offset> LeftByteRange(Offset units, int32_t count) {
  return MidByteRange<Offset>(units, 1, count <= 0 ? 0 : count);
}
template <typename Offset>
constexpr ByteRange<Offset> RightByteRange(Offset units, int32_t count) {
  const Offset taken = count <= 0 ? 0 : std::min(units, static_cast<Offset>(count));
  return {static_cast<Offset>((units - taken) * 2), static_cast<Offset>(units * 2)};
}

// Bytes of Reserve(n): (n + 1) × 2, n at least 0. Where that does not fit the offset type, the
// largest value, so that the allocation fails instead of quietly giving a short buffer.
template <typename Offset>
constexpr Offset ReservedByteCount(int32_t characters) {
  const uint64_t bytes = (static_cast<uint64_t>(std::max<int32_t>(characters, 0)) + 1) * 2;
  return bytes > std::numeric_limits<Offset>::max() ? std::numeric_limits<Offset>::max() : static_cast<Offset>(bytes);
}
