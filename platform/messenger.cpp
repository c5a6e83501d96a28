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

bool TerminalMessenger::progress(std::string_view what, int done, int total) {
  const long long now = nowMs();
  if (done == 0 || progressStartMs_ < 0) progressStartMs_ = now;
  if (now - progressStartMs_ < kProgressDelayMs) return true;
  err_ << '\r' << what << ' ' << done << '/' << total << std::flush;
  progressShown_ = true;
  if (done >= total) {
    err_ << '\n';
    progressShown_ = false;
    progressStartMs_ = -1;
  }
  return true;
}

void RecordingMessenger::show(std::string_view text, bool isError) {
  entries_.push_back({false, isError, std::string(text)});
}

bool RecordingMessenger::ask(std::string_view question) {
  entries_.push_back({true, false, std::string(question)});
  if (answers_.empty()) return defaultAnswer_;
  const bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

bool RecordingMessenger::progress(std::string_view what, int done, int total) {
  progressSteps_.push_back(std::string(what) + " " + std::to_string(done) + "/" +
                           std::to_string(total));
  return true;
}

std::vector<std::string> RecordingMessenger::texts() const {
  std::vector<std::string> result;
  result.reserve(entries_.size());
  for (const Entry& entry : entries_) result.push_back(entry.text);
  return result;
}

}  // namespace platform
