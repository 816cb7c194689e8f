// WideText's byte-level operations: positions, removal and in-place edits, and ranges near the
// limits of a 32-bit count. No Windows API: runs natively under sanitizers as well as under Wine
// (the GBK conversions, window titles and the clipboard are in wide_text_test.cpp).
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "toolkit/draw/wide_text.h"

namespace {

WideText W(const std::wstring& text) { return WideTextFromWString(text); }

WideBytes BytesOf(const std::wstring& text) { return W(text).Bytes(); }

TEST(WideText, CharCodeIsOneBased) {
  WideText text = W(L"AB之");
  EXPECT_EQ(text.CharCode(1), L'A');
  EXPECT_EQ(text.CharCode(0), L'A');
  EXPECT_EQ(text.CharCode(2), L'B');
  EXPECT_EQ(text.CharCode(3), 0x4E4B);
  EXPECT_EQ(text.CharCode(4), 0);
}

TEST(WideText, RemovalAndInPlaceEdits) {
  WideText text = W(L"0123456789");
  text.RemoveLeft(2);
  EXPECT_EQ(text.WString(), L"23456789");
  text.RemoveRight(3);
  EXPECT_EQ(text.WString(), L"23456");
  text.RemoveRange(2, 2);
  EXPECT_EQ(text.WString(), L"256");
  text.RemoveRange(0, 1);
  EXPECT_EQ(text.WString(), L"56");
  text.RemoveRange(2, 50);
  EXPECT_EQ(text.WString(), L"5");
  text.RemoveLeft(0);
  text.RemoveRight(-1);
  EXPECT_EQ(text.WString(), L"5");
  EXPECT_TRUE(text.SetCharCode(1, L'Z'));
  EXPECT_FALSE(text.SetCharCode(2, L'Q'));
  EXPECT_EQ(text.WString(), L"Z");
  text.RemoveLeft(5);
  EXPECT_TRUE(text.IsEmpty());
  text.RemoveRight(5);
  EXPECT_TRUE(text.Bytes().empty());
}

// Counts and starts near INT_MAX: the shipped 32-bit program computes byte offsets in a 32-bit
// size_t, where (start - 1 + count) * 2 wraps around. The ranges are checked in that width and in
// 64 bits, and must agree.

TEST(WideTextByteRanges, CountsNearIntMaxDoNotWrapAThirtyTwoBitOffset) {
  struct Case {
    uint32_t units;
    int32_t start;
    std::optional<int32_t> count;
    ByteRange<uint32_t> range;
  } cases[] = {
      {10, 2, INT_MAX, {2, 20}},            // 2 + 0xFFFFFFFE wraps to 0 in 32 bits
      {10, 3, INT_MAX - 1, {4, 20}},        // 4 + 0xFFFFFFFC wraps to 0
      {10, 2, 0x7FFFFFFF, {2, 20}},
      {10, 6, 0x7FFFFFFD, {10, 20}},        // 10 + 0xFFFFFFFA wraps to 4, before the start
      {10, INT_MAX, INT_MAX, {20, 20}},     // a start past the end: nothing
      {10, 1, INT_MAX, {0, 20}},
      {10, 4, 0x40000000, {6, 20}},         // 0x80000000 bytes: no wrap, cut to the text
      {10, 4, 3, {6, 12}},
      {10, 0, 2, {0, 4}},
      {10, 4, std::nullopt, {6, 20}},
      {10, 4, 0, {6, 6}},
      {10, 4, INT_MIN, {6, 6}},
      {0, 2, INT_MAX, {0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MidByteRange<uint32_t>(c.units, c.start, c.count), c.range)
        << c.units << " units, start " << c.start << ", count " << c.count.value_or(-1);
    const ByteRange<uint64_t> wide = MidByteRange<uint64_t>(c.units, c.start, c.count);
    EXPECT_EQ((ByteRange<uint64_t>{c.range.from, c.range.end}), wide) << "start " << c.start;
  }
  EXPECT_EQ(LeftByteRange<uint32_t>(10, INT_MAX), (ByteRange<uint32_t>{0, 20}));
  EXPECT_EQ(RightByteRange<uint32_t>(10, INT_MAX), (ByteRange<uint32_t>{0, 20}));
  EXPECT_EQ(RightByteRange<uint32_t>(10, 3), (ByteRange<uint32_t>{14, 20}));
  EXPECT_EQ(UnitIndex<uint32_t>(10, INT_MAX), 10u);
}

TEST(WideTextByteRanges, ReserveOfIntMaxCharactersDoesNotWrapToAShortBuffer) {
  // (INT_MAX + 1) × 2 is 2^32: in a 32-bit size_t that was 0 bytes, an empty buffer that the
  // caller would then write a window text into.
  EXPECT_EQ(ReservedByteCount<uint32_t>(INT_MAX), UINT32_MAX);
  EXPECT_EQ(ReservedByteCount<uint64_t>(INT_MAX), 0x100000000ull);
  EXPECT_EQ(ReservedByteCount<uint32_t>(INT_MAX - 1), 0xFFFFFFFEu);
  EXPECT_EQ(ReservedByteCount<uint32_t>(256), 514u);
  EXPECT_EQ(ReservedByteCount<uint32_t>(-7), 2u);
}

}  // namespace
