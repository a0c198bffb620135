// What the benchmarks share: the checks that make a run's figures worth printing, and medians.
#pragma once

#include <algorithm>
#include <cstdio>
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

 private:
  int failures_ = 0;
};

inline double Median(std::vector<double> values) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace velmora::bench
