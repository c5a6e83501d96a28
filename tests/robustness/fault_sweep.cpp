#include "tests/robustness/fault_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <limits>
#include <optional>

#include "platform/src/file_faults.h"

namespace robustness {

int sweepFileFailures(const std::function<void()>& prepare,
                      const std::function<bool(platform::Messenger&)>& attempt,
                      const std::function<void(const SweepRun&)>& check, SweepMode mode,
                      int limit) {
  int covered = 0;
  for (int n = 1; n <= limit; ++n) {
    SCOPED_TRACE("failing file operation " + std::to_string(n));
    prepare();
    platform::RecordingMessenger messenger;
    SweepRun run;
    run.failurePoint = n;
    {
      std::optional<platform::ScopedFault> fault;
      if (mode == SweepMode::Crash) {
        fault.emplace(platform::ScopedFault::From{n});
      } else {
        fault.emplace(n);
      }
      run.succeeded = attempt(messenger);
      run.failureReached = platform::FaultInjection::failureReached();
    }
    run.messages = messenger.entries();
    check(run);
    if (!run.failureReached) return covered;
    ++covered;
    if (::testing::Test::HasFatalFailure()) return covered;
  }
  ADD_FAILURE() << "the operation still reached its failure point after " << limit << " runs";
  return covered;
}

int countFileOperations(const std::function<bool(platform::Messenger&)>& attempt) {
  platform::RecordingMessenger messenger;
  platform::ScopedFault never(std::numeric_limits<int>::max());
  attempt(messenger);
  return platform::FaultInjection::operationsSeen();
}

void recordFailurePoints(std::string_view sweep, int count) {
  std::cout << "[ sweep    ] " << sweep << ": " << count << " failure points covered\n";
  ::testing::Test::RecordProperty("failure_points", count);
}

bool isOneOf(const std::string& text, const std::vector<std::string>& exact,
             const std::vector<std::string>& prefixes) {
  if (std::find(exact.begin(), exact.end(), text) != exact.end()) return true;
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [&](const std::string& prefix) { return text.rfind(prefix, 0) == 0; });
}

}  // namespace robustness
