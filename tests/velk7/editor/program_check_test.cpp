// The editor's use of the program checks: a part that would give a line the robot cannot
// read is refused, naming the action; a save asks first when the robot cannot run the
// program, and asks nothing when it can.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_messenger.h"
#include "velk7/editor/src/line_edits.h"
#include "velk7/editor/src/program_check.h"

namespace velk7 {
namespace {

TEST(PartTooLong, RefusesALineOverTheRobotsLimitNamingItsAction) {
  struct Case {
    std::string indent;
    std::string part;
    std::string refusal;  // empty: accepted
  };
  // The record's indentation plus two blanks, the line and its line end count.
  const std::string fits(127 - 2 - 1, 'x');
  const std::string name59(59, 'N');
  const std::vector<Case> cases{
      {"", fits, ""},
      {"", fits + "x", "Cannot add " + fits + "x: its line would be 128 bytes long"},
      {"  ", fits, "Cannot add " + fits + ": its line would be 129 bytes long"},
      {"", "PLAY ACTION+ " + name59 + " // " + name59 + ".WAV + motion + leds\xFFWAIT",
       "Cannot add " + name59 + ": its line would be 158 bytes long"},
      {"", "WAIT\xFFPLAY ACTION " + std::string(110, 'L') + " // long",
       "Cannot add " + std::string(110, 'L') + ": its line would be 133 bytes long"},
  };
  for (const Case& c : cases) {
    VelkRecord record;
    record.indent = c.indent;
    const std::optional<std::string> refusal = partTooLong(record, c.part);
    if (c.refusal.empty()) {
      EXPECT_FALSE(refusal) << *refusal;
    } else {
      ASSERT_TRUE(refusal) << c.part;
      EXPECT_TRUE(refusal->starts_with(c.refusal)) << *refusal;
    }
  }
}

TEST(PartTooLong, AnEditAddingSuchAPartChangesNothingAndSaysWhy) {
  RcodeProgram program;
  program.records.emplace_back().lines = {"WAIT"};
  platform::RecordingMessenger messenger;
  const std::string name(60, 'N');
  LineEdit edit{LineEdit::Kind::AddPart, 0,
                "PLAY ACTION+ " + name + " // " + name + ".WAV + motion + leds\xFFWAIT"};
  EXPECT_FALSE(applyLineEdit(program, edit, messenger));
  EXPECT_EQ(program.records[0].lines, std::vector<std::string>{"WAIT"});
  ASSERT_EQ(messenger.entries().size(), 1U);
  EXPECT_TRUE(messenger.entries()[0].isError);
  EXPECT_TRUE(messenger.texts()[0].starts_with("Cannot add " + name + ":"));
  edit.part = "PLAY ACTION+ HELLO // HELLO.WAV + motion + leds\xFFWAIT";
  EXPECT_TRUE(applyLineEdit(program, edit, messenger));
  EXPECT_EQ(program.records[0].lines.size(), 3U);
}

TEST(ConfirmSave, AsksOnlyWhenTheRobotCannotRunTheProgram) {
  struct Case {
    std::string program;
    std::vector<bool> answers;
    bool goesOn;
    std::vector<std::string> texts;
  };
  const std::vector<Case> cases{
      {"WAIT\n:Unused\n", {}, true, {}},  // a warning alone asks nothing
      {"WAIT\nGO Nowhere\n",
       {},
       false,
       {"The robot cannot run this program (1 error):\nLine 2: label not found: no line "
        ":Nowhere\n\nSave anyway?"}},
      {"SIT\nWAIT 0\n",
       {true},
       true,
       {"The robot cannot run this program (2 errors):\nLine 1: unknown command: SIT is not an "
        "R-CODE command\nLine 2: WAIT out of range: 0 ms; WAIT takes 1 to 30000 "
        "milliseconds\n\nSave anyway?"}},
  };
  for (const Case& c : cases) {
    const program::CompiledProgram compiled =
        program::compileProgram(program::readProgramText(c.program));
    platform::RecordingMessenger messenger;
    for (const bool answer : c.answers) messenger.queueAnswer(answer);
    EXPECT_EQ(confirmSave(program::checkProgram(compiled, nullptr), messenger), c.goesOn)
        << c.program;
    EXPECT_EQ(messenger.texts(), c.texts) << c.program;
  }
}

}  // namespace
}  // namespace velk7
