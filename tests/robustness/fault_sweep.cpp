#include "tests/robustness/fault_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>

#include "tests/support/file_faults.h"

namespace robustness {

namespace {
#ifndef _WIN32
// The sweeps check what the programs leave on the disk, not the disk itself: a file system in
// memory spares them the waits of thousands of flushes.
const bool kTemporaryFilesInMemory = [] {
  std::error_code error;
  return std::filesystem::is_directory("/dev/shm", error) && ::setenv("TMPDIR", "/dev/shm", 0) == 0;
}();
#endif
}  // namespace

int sweepFileFailures(std::string_view sweep, const std::function<void()>& prepare,
                      const std::function<bool(platform::Messenger&)>& attempt,
                      const std::function<void(const SweepRun&)>& check, SweepMode mode) {
  constexpr int kLimit = 100000;  // a guard against an operation that never stops failing
  int covered = 0;
  for (; covered < kLimit && !::testing::Test::HasFatalFailure(); ++covered) {
    SCOPED_TRACE(std::string(sweep) + ": failing file operation " + std::to_string(covered + 1));
    prepare();
    platform::RecordingMessenger messenger;
    SweepRun run;
    run.failurePoint = covered + 1;
    if (mode == SweepMode::Pull) {
      platform::FaultInjection::pullAt(run.failurePoint);
      run.succeeded = attempt(messenger);
      run.failureReached = platform::FaultInjection::failureReached();
      platform::FaultInjection::applyPull();
      platform::FaultInjection::reset();
    } else {
      const platform::ScopedFault fault =
          mode == SweepMode::Crash
              ? platform::ScopedFault(platform::ScopedFault::From{run.failurePoint})
              : platform::ScopedFault(run.failurePoint);
      run.succeeded = attempt(messenger);
      run.failureReached = platform::FaultInjection::failureReached();
    }
    run.messages = messenger.entries();
    check(run);
    if (!run.failureReached) break;
  }
  if (covered == kLimit) ADD_FAILURE() << "still reaching its failure point after " << kLimit;
  std::cout << "[ sweep    ] " << sweep << ": " << covered << " failure points covered\n";
  ::testing::Test::RecordProperty("failure_points", covered);
  return covered;
}

int countFileOperations(const std::function<bool(platform::Messenger&)>& attempt) {
  platform::RecordingMessenger messenger;
  platform::ScopedFault never(std::numeric_limits<int>::max());
  attempt(messenger);
  return platform::FaultInjection::operationsSeen();
}

bool isOneOf(const std::string& text, const std::vector<std::string>& exact,
             const std::vector<std::string>& prefixes) {
  if (std::find(exact.begin(), exact.end(), text) != exact.end()) return true;
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [&](const std::string& prefix) { return text.rfind(prefix, 0) == 0; });
}

}  // namespace robustness
