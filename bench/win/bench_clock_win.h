#pragma once
// Wall-clock seconds from the performance counter, for the benchmarks that run under Wine.
#include <windows.h>

#include <algorithm>
#include <vector>

inline double Now() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The median of `rounds` timings of f, in milliseconds: one slow round on a noisy machine moves it little.
template <typename F>
double MedianMilliseconds(int rounds, F&& f) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const double start = Now();
    f();
    times.push_back((Now() - start) * 1e3);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}
