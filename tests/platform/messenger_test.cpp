#include "tests/support/recording_messenger.h"

#include <sstream>

#include <gtest/gtest.h>

namespace {

TEST(TerminalMessenger, ErrorsGoToTheErrorStreamAndLineBreaksStay) {
  std::ostringstream out, err;
  std::istringstream in;
  platform::TerminalMessenger messenger(out, err, in, platform::AnswerPolicy::AlwaysNo);
  messenger.show("Regenerated 2 motion files\nReady", false);
  messenger.show("Bad WAV file\n/x/a.WAV", true);
  EXPECT_EQ(out.str(), "Regenerated 2 motion files\nReady\n");
  EXPECT_EQ(err.str(), "Bad WAV file\n/x/a.WAV\n");
}

TEST(TerminalMessenger, AnswersByPolicyOrFromTheTerminal) {
  std::ostringstream out, err;
  std::istringstream none;
  platform::TerminalMessenger yes(out, err, none, platform::AnswerPolicy::AlwaysYes);
  EXPECT_TRUE(yes.ask("Continue?"));
  platform::TerminalMessenger no(out, err, none, platform::AnswerPolicy::AlwaysNo);
  EXPECT_FALSE(no.ask("Continue?"));

  std::istringstream typed("maybe\ny\n");
  platform::TerminalMessenger asking(out, err, typed, platform::AnswerPolicy::AskOnTerminal);
  EXPECT_TRUE(asking.ask("Continue?"));
  // End of input counts as No.
  EXPECT_FALSE(asking.ask("Continue?"));
}

TEST(RecordingMessenger, RecordsInOrderAndAnswersFromTheQueue) {
  platform::RecordingMessenger messenger;
  messenger.queueAnswer(true);
  messenger.show("one", false);
  EXPECT_TRUE(messenger.ask("two"));
  EXPECT_FALSE(messenger.ask("three"));
  const std::vector<platform::RecordingMessenger::Entry> expected = {
      {false, false, "one"}, {true, false, "two"}, {true, false, "three"}};
  EXPECT_EQ(messenger.entries(), expected);
}

}  // namespace
