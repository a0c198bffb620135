// What the benchmarks share: the checks that make a run's figures worth printing, the clock,
// medians, and the turns a measurement and its baseline take.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace velmora::bench {

// Collects failed checks; any of them makes the run's figures untrustworthy.
class Checks {
 public:
  void Expect(bool ok, const std::string& what) {
    if (ok)
      return;
    ++failures_;
    if (failures_ <= 20)
      std::printf("WRONG: %s\n", what.c_str());
  }
  int Failures() const { return failures_; }
  // The last line of a run, and its exit code: 1 when any check failed.
  int Verdict() const {
    std::printf("\nchecks: %s (%d failed)\n", failures_ == 0 ? "all passed" : "FAILED", failures_);
    return failures_ == 0 ? 0 : 1;
  }

 private:
  int failures_ = 0;
};

// The steady clock in milliseconds, for timing steps.
inline double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// How long `step` takes, in ms.
template <typename Step>
double TimeMs(Step&& step) {
  const double start = NowMs();
  step();
  return NowMs() - start;
}

inline double Median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Run `run` of a measured step beside its baseline: the baseline goes first on even runs and last
// on odd ones, so that neither gains from the other having warmed the caches.
template <typename Baseline, typename Measured>
void TakeTurns(int run, Baseline baseline, Measured measured) {
  if (run % 2 == 0)
    baseline();
  measured();
  if (run % 2 != 0)
    baseline();
}

// Argument `index` as a count (0 skips what it counts), or `fallback` when it is not given.
inline int ArgOr(int argc, char** argv, int index, int fallback) {
  return argc > index ? std::max(0, std::atoi(argv[index])) : fallback;
}

}  // namespace velmora::bench
