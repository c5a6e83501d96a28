#pragma once
// Runs an operation once for every file operation it performs, making the 1st, then the 2nd,
// ... of them fail, until a run completes without reaching the failure point.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/recording_messenger.h"

namespace robustness {

// What one run saw: whether the armed failure was reached, and the messages it showed.
struct SweepRun {
  int failurePoint = 0;  // the operation made to fail, counting from 1
  bool failureReached = false;
  bool succeeded = false;
  std::vector<platform::RecordingMessenger::Entry> messages;
};

// OneFailure: only the nth operation fails. Crash: the nth and every later one fail, as if the
// program had been killed there with everything it would have tidied up left behind. Pull: the
// stick is pulled at the nth, and what a FAT stick loses then is lost (FaultInjection::pullAt).
enum class SweepMode { OneFailure, Crash, Pull };

// For n = 1, 2, ...: `prepare` makes fresh inputs, then `attempt` runs the operation under a
// fault armed at the nth file operation and returns its success, and `check` inspects the run.
// Returns the number of failure points covered, and reports it under the name `sweep` on the
// console and in the test's XML output.
int sweepFileFailures(std::string_view sweep, const std::function<void()>& prepare,
                      const std::function<bool(platform::Messenger&)>& attempt,
                      const std::function<void(const SweepRun&)>& check,
                      SweepMode mode = SweepMode::OneFailure);

// The number of file operations of any kind that one run of `attempt` performs.
int countFileOperations(const std::function<bool(platform::Messenger&)>& attempt);

// True when `text` equals one of `exact`, or starts with one of `prefixes`.
bool isOneOf(const std::string& text, const std::vector<std::string>& exact,
             const std::vector<std::string>& prefixes = {});

}  // namespace robustness
