#include "platform/messenger.h"

#include <chrono>
#include <istream>
#include <ostream>

namespace platform {

namespace {

constexpr long long kProgressDelayMs = 500;

long long nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

TerminalMessenger::TerminalMessenger(std::ostream& out, std::ostream& err, std::istream& in,
                                     AnswerPolicy policy)
    : out_(out), err_(err), in_(in), policy_(policy) {}

void TerminalMessenger::show(std::string_view text, bool isError) {
  if (progressShown_) {
    err_ << '\n';
    progressShown_ = false;
  }
  std::ostream& stream = isError ? err_ : out_;
  stream << text << '\n';
  stream.flush();
}

bool TerminalMessenger::ask(std::string_view question) {
  out_ << question << '\n';
  switch (policy_) {
    case AnswerPolicy::AlwaysYes:
      out_ << "[Yes]" << std::endl;
      return true;
    case AnswerPolicy::AlwaysNo:
      out_ << "[No]" << std::endl;
      return false;
    case AnswerPolicy::AskOnTerminal:
      break;
  }
  for (;;) {
    out_ << "(y/n) " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) return false;
    if (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") return true;
    if (answer == "n" || answer == "N" || answer == "no" || answer == "No") return false;
  }
}

void TerminalMessenger::progress(std::string_view what, int done, int total) {
  const long long now = nowMs();
  if (done == 0 || progressStartMs_ < 0) progressStartMs_ = now;
  if (now - progressStartMs_ < kProgressDelayMs) return;
  err_ << '\r' << what << ' ' << done << '/' << total << std::flush;
  progressShown_ = true;
  if (done >= total) {
    err_ << '\n';
    progressShown_ = false;
    progressStartMs_ = -1;
  }
}

}  // namespace platform
