#pragma once
// Every operation reports through a Messenger: a message with an OK button, or a
// Yes/No question. The dialogs show message boxes and the command line prints.
#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace platform {

class Messenger {
 public:
  virtual ~Messenger() = default;

  // A report with only an OK button.
  virtual void show(std::string_view text, bool isError) = 0;

  // A question with Yes and No buttons; true means Yes.
  virtual bool ask(std::string_view question) = 0;

  // Progress of a long pass or save; `done` of `total` steps. Returns whether to go on: false
  // when the user asked to cancel, and the pass then stops without a message.
  virtual bool progress(std::string_view /*what*/, int /*done*/, int /*total*/) { return true; }
};

// How a terminal answers questions.
enum class AnswerPolicy { AlwaysYes, AlwaysNo, AskOnTerminal };

// Prints results to the output stream and errors, questions and progress to the error
// stream, one line per line of the text. Progress is shown only when `showProgress` (the
// error stream is a terminal) and only once a pass has lasted half a second by `clock`.
class TerminalMessenger : public Messenger {
 public:
  using Clock = std::function<std::chrono::milliseconds()>;

  TerminalMessenger(std::ostream& out, std::ostream& err, std::istream& in, AnswerPolicy policy,
                    bool showProgress = false, Clock clock = {});

  void show(std::string_view text, bool isError) override;
  bool ask(std::string_view question) override;
  bool progress(std::string_view what, int done, int total) override;

 private:
  void endProgressLine();

  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  AnswerPolicy policy_;
  bool showProgress_;
  Clock clock_;
  std::chrono::milliseconds progressStart_{-1};
  bool progressShown_ = false;
};

}  // namespace platform
