#pragma once
// Speed targets as ratios: each round times the code and its plain baseline one after the
// other, alternating which goes first so that neither always finds the other's freed memory,
// and the median of the rounds' ratios is printed beside its target.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench_support {

inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// `measured` and `baseline` each return the seconds they took. Returns the median ratio.
inline double reportPairedRatio(const char* what, const char* baselineName, double target,
                                const std::function<double()>& measured,
                                const std::function<double()>& baseline, int rounds = 7) {
  std::vector<double> ratios;
  for (int round = 0; round < rounds; ++round) {
    const bool measuredFirst = round % 2 == 0;
    const double first = measuredFirst ? measured() : baseline();
    const double second = measuredFirst ? baseline() : measured();
    const double code = measuredFirst ? first : second;
    const double plain = measuredFirst ? second : first;
    ratios.push_back(code / plain);
    std::printf("  round %d: %.4f s against %.4f s, ratio %.2f\n", round + 1, code, plain,
                ratios.back());
  }
  std::sort(ratios.begin(), ratios.end());
  const std::size_t middle = ratios.size() / 2;
  const double ratio =
      ratios.size() % 2 == 1 ? ratios[middle] : (ratios[middle - 1] + ratios[middle]) / 2;
  std::printf("%s / %s: median ratio %.2f (target at most %.1fx) %s\n", what, baselineName, ratio,
              target, ratio <= target ? "MET" : "MISSED");
  return ratio;
}

}  // namespace bench_support
