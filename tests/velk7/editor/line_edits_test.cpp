#include "velk7/editor/line_edits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/messenger.h"

namespace velk7 {
namespace {

using Kind = LineEdit::Kind;
using Lines = std::vector<std::string>;

RcodeProgram programWith(const Lines& lines) {
  RcodeProgram program;
  program.records.resize(2);
  program.records[1].name = "Tricks";
  program.records[1].lines = lines;
  return program;
}

LineEdit move(int from, int to) {
  return LineEdit{Kind::MoveLine, 1, "", from, to};
}

struct MoveCase {
  const char* name;
  int from;
  int to;
  Lines expected;
};

class DroppedLineTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(DroppedLineTest, LandsBeforeTheLineItIsDroppedOn) {
  const MoveCase& c = GetParam();
  RcodeProgram program = programWith({"A", "B", "C", "D"});
  platform::RecordingMessenger messenger;
  EXPECT_TRUE(applyLineEdit(program, move(c.from, c.to), messenger));
  EXPECT_EQ(program.records[1].lines, c.expected);
  EXPECT_TRUE(messenger.entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Moves, DroppedLineTest,
                         ::testing::Values(MoveCase{"FirstOnThird", 0, 2, {"B", "A", "C", "D"}},
                                           MoveCase{"LastOnFirst", 3, 0, {"D", "A", "B", "C"}},
                                           MoveCase{"BelowLastItem", 1, 4, {"A", "C", "D", "B"}},
                                           MoveCase{"OnItself", 1, 1, {"A", "B", "C", "D"}},
                                           MoveCase{"OnLineBelow", 1, 2, {"A", "B", "C", "D"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineEdits, RefusedMoveShowsTheRearrangeHintOnce) {
  RcodeProgram program = programWith({"A", "B"});
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(applyLineEdit(program, move(0, 3), messenger));
  EXPECT_EQ(program.records[1].lines, (Lines{"A", "B"}));
  ASSERT_EQ(messenger.texts().size(), 1u);
  EXPECT_EQ(messenger.texts()[0],
            "To rearrange: drag item on top of item you want it before\n"
            "To delete: drag outside of code window");
}

TEST(LineEdits, PartIsAppendedAfterTheLastLine) {
  RcodeProgram program = programWith({"A", "B", "C"});
  platform::RecordingMessenger messenger;
  EXPECT_TRUE(
      applyLineEdit(program, LineEdit{Kind::AddPart, 1, "PLAY ACTION SIT\xFFWAIT"}, messenger));
  EXPECT_EQ(program.records[1].lines, (Lines{"A", "B", "C", "PLAY ACTION SIT", "WAIT"}));
  EXPECT_TRUE(program.records[0].lines.empty());
}

TEST(LineEdits, DeleteRemovesTheLine) {
  RcodeProgram program = programWith({"A", "B", "C"});
  platform::RecordingMessenger messenger;
  EXPECT_TRUE(applyLineEdit(program, LineEdit{Kind::DeleteLine, 1, "", 1}, messenger));
  EXPECT_EQ(program.records[1].lines, (Lines{"A", "C"}));
}

TEST(LineEdits, DeletingTheOnlyLineLeavesAnEmptyList) {
  RcodeProgram program = programWith({"A"});
  platform::RecordingMessenger messenger;
  EXPECT_TRUE(applyLineEdit(program, LineEdit{Kind::DeleteLine, 1, "", 0}, messenger));
  EXPECT_TRUE(program.records[1].lines.empty());
}

TEST(LineEdits, NoEditAndUnknownRecordChangeNothing) {
  RcodeProgram program = programWith({"A"});
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(applyLineEdit(program, LineEdit{}, messenger));
  EXPECT_FALSE(applyLineEdit(program, LineEdit{Kind::AddPart, 2, "WAIT"}, messenger));
  EXPECT_FALSE(applyLineEdit(program, LineEdit{Kind::DeleteLine, -1, "", 0}, messenger));
  EXPECT_FALSE(applyLineEdit(program, LineEdit{Kind::DeleteLine, 1, "", 5}, messenger));
  EXPECT_EQ(program.records[1].lines, (Lines{"A"}));
  EXPECT_TRUE(messenger.entries().empty());
}

}  // namespace
}  // namespace velk7
