#include "velk7/editor/line_edits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recording_messenger.h"

namespace velk7 {
namespace {

using Kind = LineEdit::Kind;
using Lines = std::vector<std::string>;

TEST(LineEdits, EditChangesOnlyItsRecord) {
  struct Case {
    LineEdit edit;
    bool made;
    Lines after;  // of record 1, which holds "A", "B", "C", "D" before
  };
  const Lines before = {"A", "B", "C", "D"};
  const std::vector<Case> cases = {{{Kind::AddPart, 1, "PLAY ACTION SIT\377WAIT"},
                                    true,
                                    {"A", "B", "C", "D", "PLAY ACTION SIT", "WAIT"}},
                                   {{Kind::MoveLine, 1, "", 0, 2}, true, {"B", "A", "C", "D"}},
                                   {{Kind::MoveLine, 1, "", 3, 0}, true, {"D", "A", "B", "C"}},
                                   {{Kind::MoveLine, 1, "", 1, 4}, true, {"A", "C", "D", "B"}},
                                   {{Kind::MoveLine, 1, "", 1, 1}, true, before},
                                   {{Kind::MoveLine, 1, "", 1, 2}, true, before},
                                   {{Kind::DeleteLine, 1, "", 1}, true, {"A", "C", "D"}},
                                   {{}, false, before},
                                   {{Kind::AddPart, 2, "WAIT"}, false, before},
                                   {{Kind::DeleteLine, -1, "", 0}, false, before},
                                   {{Kind::DeleteLine, 1, "", 5}, false, before}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    RcodeProgram program;
    program.records.resize(2);
    program.records[1].lines = before;
    platform::RecordingMessenger messenger;
    EXPECT_EQ(applyLineEdit(program, c.edit, messenger), c.made);
    EXPECT_EQ(program.records[1].lines, c.after);
    EXPECT_TRUE(program.records[0].lines.empty());
    EXPECT_TRUE(messenger.entries().empty());
  }
}

TEST(LineEdits, RefusedMoveShowsTheRearrangeHintOnce) {
  RcodeProgram program;
  program.records.resize(1);
  program.records[0].lines = {"A", "B"};
  platform::RecordingMessenger messenger;
  EXPECT_FALSE(applyLineEdit(program, LineEdit{Kind::MoveLine, 0, "", 0, 3}, messenger));
  EXPECT_EQ(program.records[0].lines, (Lines{"A", "B"}));
  EXPECT_EQ(messenger.texts(), Lines{"To rearrange: drag item on top of item you want it before\n"
                                     "To delete: drag outside of code window"});
}

}  // namespace
}  // namespace velk7
