// The mutation loop shared by the fuzz drivers.
//
//   <driver> --seeds DIR [--cases N] [--seconds S] [--seed K] [--input FILE]
//
// Reads every file of DIR as a seed input, runs each seed once, then runs mutated inputs until N
// cases (default 10000) have run or S seconds have passed, whichever comes first (S alone: cases
// without bound). Each case picks an input from the pool (the seeds, and every 8th mutated input so
// far, up to 4096), applies one to five mutations (bit flips, interesting bytes and 32-bit numbers,
// inserted, removed, repeated or spliced ranges, dictionary tokens) and hands the result to the
// driver. --input FILE runs that one file only (to replay a saved failure). Prints the number of
// cases, the time and the rate.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <time.h>  // clock_gettime: <chrono> holds texts the GBK execution character set cannot take

#include "tests/fuzz/fuzz_driver.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes* g_current = nullptr;

// xorshift64*: the same sequence on every machine.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  size_t Below(size_t bound) { return bound == 0 ? 0 : static_cast<size_t>(Next() % bound); }

 private:
  uint64_t state_;
};

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Mutate(Bytes& data, Random& random, const std::vector<Bytes>& pool, const FuzzTarget& target) {
  static const uint8_t kInterestingBytes[] = {0, 1, 0x7F, 0x80, 0x81, 0xFE, 0xFF, '\\', '/', '.', ':',
                                              ' ', '\r', '\n', '=', ';', '%', 0x5C, 0x40, 0xA1};
  static const int64_t kInterestingNumbers[] = {0, 1, -1, 16, 17, 255, 256, 0x7FFF, 0x8000, 0xFFFF,
                                                std::numeric_limits<int32_t>::max(),
                                                std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max() - 12};
  switch (random.Below(data.empty() ? 3 : 10)) {
    case 0: {  // insert random bytes
      size_t count = 1 + random.Below(8);
      size_t at = random.Below(data.size() + 1);
      Bytes bytes(count);
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(random.Next());
      data.insert(data.begin() + at, bytes.begin(), bytes.end());
      break;
    }
    case 1: {  // insert a dictionary token
      if (target.dictionary.empty()) break;
      const std::string& token = target.dictionary[random.Below(target.dictionary.size())];
      data.insert(data.begin() + random.Below(data.size() + 1), token.begin(), token.end());
      break;
    }
    case 2: {  // splice: a range of another pool input
      const Bytes& other = pool[random.Below(pool.size())];
      if (other.empty()) break;
      size_t from = random.Below(other.size());
      size_t count = 1 + random.Below(other.size() - from);
      data.insert(data.begin() + random.Below(data.size() + 1), other.begin() + from, other.begin() + from + count);
      break;
    }
    case 3:  // flip a bit
      data[random.Below(data.size())] ^= static_cast<uint8_t>(1u << random.Below(8));
      break;
    case 4:  // an interesting byte
      data[random.Below(data.size())] = kInterestingBytes[random.Below(std::size(kInterestingBytes))];
      break;
    case 5:  // a random byte
      data[random.Below(data.size())] = static_cast<uint8_t>(random.Next());
      break;
    case 6: {  // remove a range
      size_t at = random.Below(data.size());
      size_t count = 1 + random.Below(std::min<size_t>(data.size() - at, 16));
      data.erase(data.begin() + at, data.begin() + at + count);
      break;
    }
    case 7: {  // repeat a range
      size_t at = random.Below(data.size());
      size_t count = 1 + random.Below(std::min<size_t>(data.size() - at, 16));
      Bytes range(data.begin() + at, data.begin() + at + count);
      data.insert(data.begin() + random.Below(data.size() + 1), range.begin(), range.end());
      break;
    }
    case 8: {  // an interesting 32-bit little-endian number, or one near the input's length
      if (data.size() < 4) break;
      int64_t value = random.Below(3) == 0 ? static_cast<int64_t>(data.size()) - 8 + static_cast<int64_t>(random.Below(16))
                                           : kInterestingNumbers[random.Below(std::size(kInterestingNumbers))];
      size_t at = random.Below(data.size() - 3);
      for (int i = 0; i < 4; ++i) data[at + i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
      break;
    }
    default: {  // overwrite with a dictionary token
      if (target.dictionary.empty()) break;
      const std::string& token = target.dictionary[random.Below(target.dictionary.size())];
      size_t at = random.Below(data.size());
      for (size_t i = 0; i < token.size() && at + i < data.size(); ++i) data[at + i] = static_cast<uint8_t>(token[i]);
      break;
    }
  }
  if (data.size() > target.maxLength) data.resize(target.maxLength);
}

// The input in a block of exactly its size, so that a read past its end is a sanitizer report.
void RunOne(const FuzzTarget& target, const Bytes& input) {
  g_current = &input;
  std::unique_ptr<uint8_t[]> exact(new uint8_t[input.size()]);
  if (!input.empty()) std::memcpy(exact.get(), input.data(), input.size());
  target.run({exact.get(), input.size()});
  g_current = nullptr;
}

[[noreturn]] void Usage() {
  std::fprintf(stderr, "usage: %s --seeds DIR [--cases N] [--seconds S] [--seed K] [--input FILE]\n",
               TheFuzzTarget().name);
  std::exit(2);
}

}  // namespace

void FuzzFail(const std::string& what) {
  const FuzzTarget& target = TheFuzzTarget();
  std::fprintf(stderr, "fuzz %s: %s\n", target.name, what.c_str());
  if (g_current) {
    std::string file = std::string("fuzz-crash-") + target.name + ".bin";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(g_current->data()),
                                                 static_cast<std::streamsize>(g_current->size()));
    std::fprintf(stderr, "fuzz %s: input (%zu bytes) saved as %s\n", target.name, g_current->size(), file.c_str());
  }
  std::abort();
}

std::vector<std::string> SplitAtZeroBytes(std::span<const uint8_t> input) {
  std::vector<std::string> parts(1);
  for (uint8_t b : input) {
    if (b == 0) {
      parts.emplace_back();
    } else {
      parts.back().push_back(static_cast<char>(b));
    }
  }
  return parts;
}

int main(int argc, char** argv) {
  const FuzzTarget& target = TheFuzzTarget();
  std::string seeds;
  std::string single;
  uint64_t cases = 10000;
  bool casesGiven = false;
  double seconds = 0;
  uint64_t seed = 1;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) Usage();
    std::string value = argv[++i];
    if (arg == "--seeds") {
      seeds = value;
    } else if (arg == "--cases") {
      cases = std::stoull(value);
      casesGiven = true;
    } else if (arg == "--seconds") {
      seconds = std::stod(value);
    } else if (arg == "--seed") {
      seed = std::stoull(value);
    } else if (arg == "--input") {
      single = value;
    } else {
      Usage();
    }
  }
  if (!single.empty()) {
    RunOne(target, ReadFile(single));
    std::printf("fuzz %s: %s passed\n", target.name, single.c_str());
    return 0;
  }
  if (seeds.empty()) Usage();
  if (seconds > 0 && !casesGiven) cases = std::numeric_limits<uint64_t>::max();

  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(seeds)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());  // the same order on every machine
  std::vector<Bytes> pool;
  for (const auto& file : files) {
    Bytes bytes = ReadFile(file);
    if (bytes.size() > target.maxLength) bytes.resize(target.maxLength);
    pool.push_back(std::move(bytes));
  }
  if (pool.empty()) {
    std::fprintf(stderr, "fuzz %s: no seed inputs in %s\n", target.name, seeds.c_str());
    return 2;
  }
  const size_t seedCount = pool.size();

  const auto now = [] {
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
  };
  const double start = now();
  const auto elapsed = [&] { return now() - start; };
  for (const Bytes& input : pool) RunOne(target, input);
  Random random(seed);
  uint64_t done = 0;
  while (done < cases && !(seconds > 0 && (done & 63) == 0 && elapsed() >= seconds)) {
    Bytes input = pool[random.Below(pool.size())];
    for (size_t n = 1 + random.Below(5); n > 0; --n) Mutate(input, random, pool, target);
    RunOne(target, input);
    ++done;
    if (done % 8 == 0) {
      if (pool.size() < 4096) {
        pool.push_back(std::move(input));
      } else {
        pool[seedCount + random.Below(pool.size() - seedCount)] = std::move(input);
      }
    }
  }
  const double time = elapsed();
  std::printf("fuzz %s: %llu cases (+%zu seeds) in %.2f s, %.0f cases/s, no fault\n", target.name,
              static_cast<unsigned long long>(done), seedCount, time, time > 0 ? done / time : 0.0);
  return 0;
}
