// WideText's byte operations driven by a program read from the input (one operation a step, its
// arguments from the bytes after it) and compared after every step with a model: a plain vector of
// code units that applies the rules as the header states them (1-based positions, a start of 0 or
// less counting as 1, counts cut to what is there, negative counts giving nothing, odd byte counts
// losing their last byte).
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "tests/fuzz/fuzz_driver.h"
#include "toolkit/draw/wide_text.h"

namespace {

using Units = std::vector<uint16_t>;

class Program {
 public:
  explicit Program(std::span<const uint8_t> input) : input_(input) {}
  bool AtEnd() const { return at_ >= input_.size(); }
  uint8_t Byte() { return at_ < input_.size() ? input_[at_++] : 0; }
  // Positions and counts: mostly small, sometimes at the edges of a 32-bit count.
  int32_t Number() {
    uint8_t b = Byte();
    switch (b >> 5) {
      case 0: return INT32_MAX - (b & 3);
      case 1: return INT32_MIN + (b & 3);
      case 2: return -static_cast<int32_t>(b & 7);
      default: return b & 0x1F;
    }
  }
  std::vector<uint8_t> Bytes() {
    const size_t wanted = Byte() % 12;
    size_t count = std::min<size_t>(wanted, input_.size() - std::min(at_, input_.size()));
    std::vector<uint8_t> bytes(input_.begin() + at_, input_.begin() + at_ + count);
    at_ += count;
    return bytes;
  }

 private:
  std::span<const uint8_t> input_;
  size_t at_ = 0;
};

Units UnitsOf(const std::vector<uint8_t>& bytes) {
  Units units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) units.push_back(static_cast<uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return units;
}

size_t IndexOf(const Units& units, int32_t position) {
  if (position <= 1) return 0;
  return std::min<size_t>(static_cast<size_t>(position) - 1, units.size());
}

size_t Cut(const Units& units, size_t from, int32_t count) {
  if (count <= 0) return 0;
  return std::min<size_t>(static_cast<size_t>(count), units.size() - from);
}

Units Slice(const Units& units, size_t from, size_t count) {
  return Units(units.begin() + static_cast<ptrdiff_t>(from), units.begin() + static_cast<ptrdiff_t>(from + count));
}

int32_t ModelReplace(Units& units, const Units& find, const Units& replacement, int32_t start, std::optional<int32_t> count) {
  if (find.empty()) return 0;
  int32_t done = 0;
  size_t i = IndexOf(units, start);
  const bool all = !count || *count < 0;
  while ((all || done < *count) && i + find.size() <= units.size()) {
    if (std::equal(find.begin(), find.end(), units.begin() + static_cast<ptrdiff_t>(i))) {
      units.erase(units.begin() + static_cast<ptrdiff_t>(i), units.begin() + static_cast<ptrdiff_t>(i + find.size()));
      units.insert(units.begin() + static_cast<ptrdiff_t>(i), replacement.begin(), replacement.end());
      i += replacement.size();
      ++done;
    } else {
      ++i;
    }
  }
  return done;
}

void Run(std::span<const uint8_t> input) {
  Program program(input);
  WideText text;
  Units model;
  int steps = 0;
  while (!program.AtEnd() && ++steps < 64) {
    const uint8_t op = program.Byte() % 16;
    switch (op) {
      case 0: {
        std::vector<uint8_t> bytes = program.Bytes();
        text.SetBytes(bytes);
        model = UnitsOf(bytes);
        break;
      }
      case 1: {
        int32_t position = program.Number();
        std::vector<uint8_t> bytes = program.Bytes();
        text.InsertBytes(position, bytes);
        Units units = UnitsOf(bytes);
        model.insert(model.begin() + static_cast<ptrdiff_t>(IndexOf(model, position)), units.begin(), units.end());
        break;
      }
      case 2: {
        int32_t position = program.Number();
        uint16_t code = static_cast<uint16_t>(program.Byte() | (program.Byte() << 8));
        text.InsertChar(position, code);
        model.insert(model.begin() + static_cast<ptrdiff_t>(IndexOf(model, position)), code);
        break;
      }
      case 3: {
        std::vector<uint8_t> bytes = program.Bytes();
        text.AppendBytes(bytes);
        Units units = UnitsOf(bytes);
        model.insert(model.end(), units.begin(), units.end());
        break;
      }
      case 4: {
        uint16_t code = static_cast<uint16_t>(program.Byte() | (program.Byte() << 8));
        text.AppendChar(code);
        model.push_back(code);
        break;
      }
      case 5: {
        int32_t count = program.Number();
        text.RemoveLeft(count);
        model.erase(model.begin(), model.begin() + static_cast<ptrdiff_t>(Cut(model, 0, count)));
        break;
      }
      case 6: {
        int32_t count = program.Number();
        text.RemoveRight(count);
        model.resize(model.size() - Cut(model, 0, count));
        break;
      }
      case 7: {
        int32_t start = program.Number();
        int32_t count = program.Number();
        text.RemoveRange(start, count);
        size_t from = IndexOf(model, start);
        model.erase(model.begin() + static_cast<ptrdiff_t>(from),
                    model.begin() + static_cast<ptrdiff_t>(from + Cut(model, from, count)));
        break;
      }
      case 8: {
        int32_t position = program.Number();
        uint16_t code = static_cast<uint16_t>(program.Byte() | (program.Byte() << 8));
        const bool set = text.SetCharCode(position, code);
        const size_t index = IndexOf(model, position);
        FUZZ_CHECK(set == (index < model.size() && position <= static_cast<int64_t>(model.size())));
        if (set) model[index] = code;
        break;
      }
      case 9: {
        int32_t count = program.Number();
        FUZZ_CHECK(UnitsOf(text.Left(count)) == Slice(model, 0, Cut(model, 0, count)));
        FUZZ_CHECK(text.LeftWide(count).Bytes() == text.Left(count));
        break;
      }
      case 10: {
        int32_t count = program.Number();
        const size_t n = Cut(model, 0, count);
        FUZZ_CHECK(UnitsOf(text.Right(count)) == Slice(model, model.size() - n, n));
        FUZZ_CHECK(text.RightWide(count).Bytes() == text.Right(count));
        break;
      }
      case 11: {
        int32_t start = program.Number();
        const size_t from = IndexOf(model, start);
        if (program.Byte() & 1) {
          int32_t count = program.Number();
          FUZZ_CHECK(UnitsOf(text.Mid(start, count)) == Slice(model, from, Cut(model, from, count)));
        } else {
          FUZZ_CHECK(UnitsOf(text.Mid(start)) == Slice(model, from, model.size() - from));
        }
        break;
      }
      case 12: {
        int32_t position = program.Number();
        const size_t index = IndexOf(model, position);
        const bool inside = index < model.size() && position <= static_cast<int64_t>(model.size());
        FUZZ_CHECK(text.CharCode(position) == (inside ? model[index] : 0));
        break;
      }
      case 13: {
        std::vector<uint8_t> find = program.Bytes();
        std::vector<uint8_t> replacement = program.Bytes();
        int32_t start = program.Number();
        std::optional<int32_t> count;
        if (program.Byte() & 1) count = program.Number();
        const int32_t replaced = text.ReplaceBytes(find, replacement, start, count);
        FUZZ_CHECK(replaced == ModelReplace(model, UnitsOf(find), UnitsOf(replacement), start, count));
        break;
      }
      case 14: {
        int32_t characters = program.Byte() % 40;
        text.Reserve(characters);
        model.assign(static_cast<size_t>(characters) + 1, 0);
        break;
      }
      default: {  // the text put into itself, and a copy that stays as it was
        const WideText copy = text;
        const Units before = model;
        if (program.Byte() & 1) {
          int32_t position = program.Number();
          text.InsertWide(position, text);
          model.insert(model.begin() + static_cast<ptrdiff_t>(IndexOf(model, position)), before.begin(), before.end());
        } else {
          text.AppendWide(text);
          model.insert(model.end(), before.begin(), before.end());
        }
        FUZZ_CHECK(UnitsOf(copy.Bytes()) == before);
        break;
      }
    }
    FUZZ_CHECK(text.Bytes().size() % 2 == 0);
    FUZZ_CHECK(UnitsOf(text.Bytes()) == model);
    const size_t zero = std::find(model.begin(), model.end(), 0) - model.begin();
    FUZZ_CHECK(text.Length() == static_cast<int32_t>(zero));
    FUZZ_CHECK(text.IsEmpty() == (zero == 0));
    FUZZ_CHECK(text.Terminated(true).size() == zero * 2 + 2);
  }
}

}  // namespace

const FuzzTarget& TheFuzzTarget() {
  static const FuzzTarget target{"wide_text", Run, 1024, {std::string("\x7F\xFF\xFF\x7F", 4), std::string("\0\0", 2)}};
  return target;
}
