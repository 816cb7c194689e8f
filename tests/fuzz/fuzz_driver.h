// A fuzz driver: one function that takes one input and checks what the code under test must do
// with it, and the mutation loop of fuzz_main.cpp that feeds it (deterministic: the same seed
// files, random seed and case count give the same inputs). A driver that finds a fault calls
// FuzzFail, which writes the input out and ends the program with a failure; a crash or a sanitizer
// report ends it just as well.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What a driver gives the loop.
struct FuzzTarget {
  const char* name;
  // Checks one input.
  void (*run)(std::span<const uint8_t> input);
  // Inputs longer than this are cut (the loop never makes longer ones).
  size_t maxLength;
  // Byte strings the mutations insert and overwrite with: the format's own tokens.
  std::vector<std::string> dictionary;
};

// Defined once by every driver.
const FuzzTarget& TheFuzzTarget();

// Ends the program with a failure: prints `what`, saves the input as fuzz-crash-<name>.bin in the
// working folder, and aborts.
[[noreturn]] void FuzzFail(const std::string& what);

#define FUZZ_CHECK(condition)                                                         \
  do {                                                                                \
    if (!(condition)) FuzzFail(std::string(__FILE__ ":") + std::to_string(__LINE__) + \
                               ": check failed: " #condition);                        \
  } while (false)

inline std::string_view TextOf(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The input cut into parts at every zero byte (a driver that takes several texts).
std::vector<std::string> SplitAtZeroBytes(std::span<const uint8_t> input);
