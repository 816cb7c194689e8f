// The byte-level half of WideText: everything that needs no code-page conversion and no window.
#include "toolkit/draw/wide_text.h"

#include <algorithm>
#include <cstring>

namespace {

std::span<const uint8_t> EvenBytes(std::span<const uint8_t> bytes) {
  return bytes.first(bytes.size() & ~static_cast<size_t>(1));
}

WideBytes CodeUnitBytes(uint16_t code) {
  return {static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8)};
}

}  // namespace

size_t WideText::OffsetOf(int32_t position) const { return UnitIndex(UnitCount(), position) * 2; }

void WideText::SetBytes(std::span<const uint8_t> bytes) {
  bytes = EvenBytes(bytes);
  bytes_.assign(bytes.begin(), bytes.end());
}

void WideText::Reserve(std::optional<int32_t> characters) {
  // A size beyond what the address space can hold throws as vector does, rather than wrapping
  // around to a short buffer.
  bytes_.assign(ReservedByteCount<size_t>(characters.value_or(256)), 0);
}

void WideText::Clear() { bytes_.clear(); }

void WideText::InsertBytes(int32_t position, std::span<const uint8_t> bytes) {
  bytes = EvenBytes(bytes);
  bytes_.insert(bytes_.begin() + static_cast<ptrdiff_t>(OffsetOf(position)), bytes.begin(),
                bytes.end());
}

void WideText::InsertChar(int32_t position, uint16_t code) {
  InsertBytes(position, CodeUnitBytes(code));
}

void WideText::InsertWide(int32_t position, const WideText& other) {
  WideBytes copy = other.bytes_;  // `other` may be this object
  InsertBytes(position, copy);
}

void WideText::AppendBytes(std::span<const uint8_t> bytes) {
  bytes = EvenBytes(bytes);
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void WideText::AppendChar(uint16_t code) { AppendBytes(CodeUnitBytes(code)); }

void WideText::AppendWide(const WideText& other) {
  WideBytes copy = other.bytes_;
  AppendBytes(copy);
}

void WideText::RemoveLeft(int32_t count) {
  if (count <= 0) return;
  bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<ptrdiff_t>(LeftByteRange(UnitCount(), count).end));
}

void WideText::RemoveRight(int32_t count) {
  if (count <= 0) return;
  bytes_.resize(RightByteRange(UnitCount(), count).from);
}

void WideText::RemoveRange(int32_t start, int32_t count) {
  if (count <= 0) return;
  const ByteRange<size_t> range = MidByteRange(UnitCount(), start, count);
  bytes_.erase(bytes_.begin() + static_cast<ptrdiff_t>(range.from),
               bytes_.begin() + static_cast<ptrdiff_t>(range.end));
}

bool WideText::SetCharCode(int32_t position, uint16_t code) {
  size_t offset = OffsetOf(position);
  if (offset >= bytes_.size()) return false;
  bytes_[offset] = static_cast<uint8_t>(code & 0xFF);
  bytes_[offset + 1] = static_cast<uint8_t>(code >> 8);
  return true;
}

WideBytes WideText::Terminated(bool withZero) const {
  WideBytes result(bytes_.begin(), bytes_.begin() + static_cast<ptrdiff_t>(Length()) * 2);
  if (withZero) result.insert(result.end(), {0, 0});
  return result;
}

WideBytes WideText::BytesIn(ByteRange<size_t> range) const {
  return WideBytes(bytes_.begin() + static_cast<ptrdiff_t>(range.from),
                   bytes_.begin() + static_cast<ptrdiff_t>(range.end));
}

WideBytes WideText::Left(int32_t count) const { return BytesIn(LeftByteRange(UnitCount(), count)); }

WideText WideText::LeftWide(int32_t count) const { return MakeWideText(Left(count)); }

WideBytes WideText::Right(int32_t count) const { return BytesIn(RightByteRange(UnitCount(), count)); }

WideText WideText::RightWide(int32_t count) const { return MakeWideText(Right(count)); }

WideBytes WideText::Mid(int32_t start, std::optional<int32_t> count) const {
  return BytesIn(MidByteRange(UnitCount(), start, count));
}

WideText WideText::MidWide(int32_t start, std::optional<int32_t> count) const {
  return MakeWideText(Mid(start, count));
}

uint16_t WideText::CharCode(int32_t position) const {
  size_t offset = OffsetOf(position);
  if (offset + 1 >= bytes_.size()) return 0;
  return static_cast<uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

int32_t WideText::ReplaceBytes(std::span<const uint8_t> find, std::span<const uint8_t> replacement,
                               int32_t start, std::optional<int32_t> count) {
  find = EvenBytes(find);
  replacement = EvenBytes(replacement);
  if (find.empty()) return 0;
  const int64_t limit = (count && *count >= 0) ? *count : INT64_MAX;
  // Work on a copy of the arguments: they may point into this object's own buffer.
  const WideBytes needle(find.begin(), find.end());
  const WideBytes putIn(replacement.begin(), replacement.end());

  int32_t replaced = 0;
  size_t offset = OffsetOf(start);
  while (replaced < limit && offset + needle.size() <= UnitCount() * 2) {
    if (std::memcmp(bytes_.data() + offset, needle.data(), needle.size()) == 0) {
      auto at = bytes_.begin() + static_cast<ptrdiff_t>(offset);
      bytes_.erase(at, at + static_cast<ptrdiff_t>(needle.size()));
      bytes_.insert(bytes_.begin() + static_cast<ptrdiff_t>(offset), putIn.begin(), putIn.end());
      offset += putIn.size();
      ++replaced;
    } else {
      offset += 2;  // whole code units only: a match across two characters is no match
    }
  }
  return replaced;
}

int32_t WideText::ReplaceWide(const WideText& find, const WideText& replacement, int32_t start,
                              std::optional<int32_t> count) {
  return ReplaceBytes(find.bytes_, replacement.bytes_, start, count);
}

void WideText::SetFromWide(const WideText& other) {
  if (this != &other) bytes_ = other.bytes_;
}

void WideText::CopyTo(WideText& target) {
  if (this == &target) return;
  target.bytes_ = std::move(bytes_);
  bytes_.clear();
}

bool WideText::IsEmpty() const { return Length() == 0; }

bool WideText::Equals(const WideText& other) const { return bytes_ == other.bytes_; }

int32_t WideText::Length() const {
  size_t units = UnitCount();
  for (size_t i = 0; i < units; ++i) {
    if (bytes_[2 * i] == 0 && bytes_[2 * i + 1] == 0) return static_cast<int32_t>(i);
  }
  return static_cast<int32_t>(units);
}

std::wstring WideText::WString() const {
  std::wstring result;
  int32_t length = Length();
  result.reserve(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i) {
    result.push_back(static_cast<wchar_t>(bytes_[2 * i] | (bytes_[2 * i + 1] << 8)));
  }
  return result;
}

WideText MakeWideText(std::span<const uint8_t> bytes) { return WideText(bytes); }

WideText WideTextFromWString(const std::wstring& text) {
  WideBytes bytes;
  bytes.reserve(text.size() * 2);
  for (wchar_t c : text) {
    uint16_t unit = static_cast<uint16_t>(c);
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return WideText(bytes);
}
