// The performance counter as a clock for the benchmarks.
#pragma once

#include <windows.h>

inline double SecondsNow() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

inline double MillisecondsNow() { return SecondsNow() * 1000.0; }
