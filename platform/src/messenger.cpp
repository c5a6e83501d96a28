#include "platform/messenger.h"

#include <chrono>
#include <istream>
#include <ostream>

namespace platform {

namespace {

constexpr std::chrono::milliseconds kProgressDelay{500};

std::chrono::milliseconds steadyNow() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch());
}

}  // namespace

TerminalMessenger::TerminalMessenger(std::ostream& out, std::ostream& err, std::istream& in,
                                     AnswerPolicy policy, bool showProgress, Clock clock)
    : out_(out),
      err_(err),
      in_(in),
      policy_(policy),
      showProgress_(showProgress),
      clock_(clock ? std::move(clock) : Clock(steadyNow)) {}

void TerminalMessenger::endProgressLine() {
  if (!progressShown_) return;
  err_ << '\n';
  progressShown_ = false;
}

void TerminalMessenger::show(std::string_view text, bool isError) {
  endProgressLine();
  std::ostream& stream = isError ? err_ : out_;
  stream << text << '\n';
  stream.flush();
}

bool TerminalMessenger::ask(std::string_view question) {
  endProgressLine();
  err_ << question << '\n';
  switch (policy_) {
    case AnswerPolicy::AlwaysYes:
      err_ << "[Yes]" << std::endl;
      return true;
    case AnswerPolicy::AlwaysNo:
      err_ << "[No]" << std::endl;
      return false;
    case AnswerPolicy::AskOnTerminal:
      break;
  }
  for (;;) {
    err_ << "(y/n) " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) return false;
    if (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") return true;
    if (answer == "n" || answer == "N" || answer == "no" || answer == "No") return false;
  }
}

bool TerminalMessenger::progress(std::string_view what, int done, int total) {
  if (!showProgress_) return true;
  const std::chrono::milliseconds now = clock_();
  if (done == 0 || progressStart_.count() < 0) progressStart_ = now;
  if (now - progressStart_ < kProgressDelay) return true;
  err_ << '\r' << what << ' ' << done << '/' << total << std::flush;
  progressShown_ = true;
  if (done >= total) {
    endProgressLine();
    progressStart_ = std::chrono::milliseconds{-1};
  }
  return true;
}

}  // namespace platform
