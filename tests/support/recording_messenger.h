#pragma once
// A messenger for tests: records everything shown, and each progress step as
// "what done/total", and answers questions from a queue (No when the queue is empty).
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messenger.h"

namespace platform {

class RecordingMessenger : public Messenger {
 public:
  struct Entry {
    bool isQuestion = false;
    bool isError = false;
    std::string text;
    bool operator==(const Entry&) const = default;
  };

  void show(std::string_view text, bool isError) override {
    entries_.push_back({false, isError, std::string(text)});
  }
  bool ask(std::string_view question) override;
  // Always goes on; a test that cancels overrides this.
  bool progress(std::string_view what, int done, int total) override {
    progressSteps_.push_back(std::string(what) + " " + std::to_string(done) + "/" +
                             std::to_string(total));
    return true;
  }

  void queueAnswer(bool yes) { answers_.push_back(yes); }
  void setDefaultAnswer(bool yes) { defaultAnswer_ = yes; }

  const std::vector<Entry>& entries() const { return entries_; }
  std::vector<std::string> texts() const;
  const std::vector<std::string>& progressSteps() const { return progressSteps_; }
  void clear() {
    entries_.clear();
    progressSteps_.clear();
  }

 private:
  std::vector<Entry> entries_;
  std::vector<std::string> progressSteps_;
  std::deque<bool> answers_;
  bool defaultAnswer_ = false;
};

inline bool RecordingMessenger::ask(std::string_view question) {
  entries_.push_back({true, false, std::string(question)});
  if (answers_.empty()) return defaultAnswer_;
  const bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

inline std::vector<std::string> RecordingMessenger::texts() const {
  std::vector<std::string> result;
  for (const Entry& entry : entries_) result.push_back(entry.text);
  return result;
}

}  // namespace platform
