#pragma once
// Every operation reports through a Messenger: a message with an OK button, or a
// Yes/No question. The dialogs show message boxes and the command line prints.
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

  // Progress of a long pass or save; `done` of `total` steps. Silent by default.
  virtual void progress(std::string_view /*what*/, int /*done*/, int /*total*/) {}
};

// How a terminal answers questions.
enum class AnswerPolicy { AlwaysYes, AlwaysNo, AskOnTerminal };

// Prints errors to the error stream and everything else to the output stream, one line
// per line of the text. Progress goes to the error stream once a pass lasts half a second.
class TerminalMessenger : public Messenger {
 public:
  TerminalMessenger(std::ostream& out, std::ostream& err, std::istream& in, AnswerPolicy policy);

  void show(std::string_view text, bool isError) override;
  bool ask(std::string_view question) override;
  void progress(std::string_view what, int done, int total) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::istream& in_;
  AnswerPolicy policy_;
  long long progressStartMs_ = -1;
  bool progressShown_ = false;
};

}  // namespace platform
