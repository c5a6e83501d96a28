#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velk7/rcode/code_lines.h"

namespace velk7 {
namespace {

TEST(ClassifyLine, KindsFollowTheLineBeginning) {
  struct Case {
    const char* text;
    LineKind kind;
  };
  const std::vector<Case> cases = {
      {"WAIT", LineKind::Wait},
      {"WAITING", LineKind::Wait},
      {"WAIT 250 // Wait 1/4 second", LineKind::Wait},
      {"PLAY ACTION TURN 90 // Turn Left", LineKind::Move},
      {"PLAY ACTION WALK 0 100", LineKind::Move},
      {"PLAY ACTION MOVE.HEAD.X", LineKind::Move},
      {"PLAY ACTION STOP_WALK", LineKind::Move},
      {"PLAY ACTION CONTACT.X", LineKind::Move},
      {"PLAY ACTION L_CONTACT.X", LineKind::Sys},
      {"PLAY ACTION SIT", LineKind::Sys},
      {"PLAY ACTION STOP  // Stop playing", LineKind::Sys},
      {"PLAY ACTION ", LineKind::Sys},
      {"PLAY ACTION+ HELLO", LineKind::User},
      {"PLAY ACTION+ WALK", LineKind::User},
      {"PLAY ACTION+X", LineKind::Other},
      {"PLAY ACTION", LineKind::Other},
      {"play action sit", LineKind::Other},
      {"SET Head_x 1", LineKind::Other},
      {"SET x 1", LineKind::Led},
      {"SET", LineKind::Other},
      {"CALL :A", LineKind::Call},
      {"PUSH 1", LineKind::Call},
      {"CALL", LineKind::Other},
      {" WAIT", LineKind::Other},
      {"", LineKind::Other},
      {"PLAY ACTION SIT\xFF"
       "WAIT",
       LineKind::Sys},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(classifyLine(c.text), c.kind) << c.text;
  }
}

TEST(KindCaption, EachKindHasItsCaption) {
  const std::vector<std::string> expected = {"wait", "move", "sys", "user", "led", "call", "????"};
  for (int kind = 0; kind < kLineKindCount; ++kind) {
    EXPECT_EQ(kindCaption(static_cast<LineKind>(kind)), expected[static_cast<std::size_t>(kind)]);
  }
}

TEST(MakePlayPart, ComposesPlayCommentAndWait) {
  struct Case {
    const char* verb;
    const char* name;
    const char* remainder;
    std::string part;
  };
  const std::vector<Case> cases = {
      {"ACTION+", "HELLO", "; hello.WAV",
       "PLAY ACTION+ HELLO // hello.WAV\xFF"
       "WAIT"},
      {"ACTION+", "HELLO_NOWAIT", "", "PLAY ACTION+ HELLO_NOWAIT"},
      {"ACTION", "SIT", "",
       "PLAY ACTION SIT\xFF"
       "WAIT"},
      {"ACTION", "SIT", " ; ;  ",
       "PLAY ACTION SIT\xFF"
       "WAIT"},
      {"ACTION", "SIT", "\tnote",
       "PLAY ACTION SIT // \tnote\xFF"
       "WAIT"},
      {"ACTION", "X_NOWAIT_Y", "a;b", "PLAY ACTION X_NOWAIT_Y // a;b"},
      {"ACTION", "X_nowait", "",
       "PLAY ACTION X_nowait\xFF"
       "WAIT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<PartText> part = makePlayPart(c.verb, c.name, c.remainder);
    ASSERT_TRUE(part.has_value());
    EXPECT_EQ(*part, c.part);
  }
}

TEST(MakePlayPart, ResultOverTheLimitIsRefused) {
  // "PLAY ACTION+ " is 13 bytes and the wait 5 more, so a name of 237 fits exactly.
  EXPECT_EQ(makePlayPart("ACTION+", std::string(237, 'N'), "")->size(), 255u);
  EXPECT_FALSE(makePlayPart("ACTION+", std::string(238, 'N'), "").has_value());
  EXPECT_FALSE(makePlayPart("ACTION", "X", std::string(250, 'c')).has_value());
}

TEST(PartDescription, TextAfterFirstCommentCutAtFirstLine) {
  struct Case {
    std::string part;
    const char* description;
  };
  const std::vector<Case> cases = {
      {"WAIT 250 // Wait 1/4 second", " Wait 1/4 second"},
      {"PLAY ACTION SIT\xFF"
       "WAIT",
       "PLAY ACTION SIT"},
      {"PLAY ACTION TURN 90 // Turn Left\xFF"
       "WAIT",
       " Turn Left"},
      {"A // b // c", " b // c"},
      {"A\xFF"
       "B // c",
       " c"},
      {"//", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(partDescription(c.part), c.description) << c.part;
}

TEST(AddPart, SplitsAtEachSeparator) {
  struct Case {
    std::string part;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"A\xFF"
       "B",
       {"A", "B"}},
      {"A\xFF", {"A"}},
      {"\xFF"
       "B",
       {"", "B"}},
      {"A\xFF\xFF"
       "B",
       {"A", "", "B"}},
      {"", {}},
      {"WAIT", {"WAIT"}},
  };
  for (const Case& c : cases) {
    LineList lines{"first"};
    addPart(lines, c.part);
    std::vector<std::string> expected{"first"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(lines, expected) << c.part;
  }
}

TEST(MoveLine, PutsTheLineBeforeTheTarget) {
  struct Case {
    int from;
    int to;
    bool ok;
    std::vector<std::string> order;
  };
  const std::vector<Case> cases = {
      {0, 2, true, {"1", "0", "2", "3"}},   {3, 0, true, {"3", "0", "1", "2"}},
      {1, 4, true, {"0", "2", "3", "1"}},   {1, 1, true, {"0", "1", "2", "3"}},
      {1, 2, true, {"0", "1", "2", "3"}},   {1, 5, false, {"0", "1", "2", "3"}},
      {4, 0, false, {"0", "1", "2", "3"}},  {-1, 0, false, {"0", "1", "2", "3"}},
      {0, -1, false, {"0", "1", "2", "3"}}, {2, 0, true, {"2", "0", "1", "3"}},
  };
  for (const Case& c : cases) {
    LineList lines{"0", "1", "2", "3"};
    EXPECT_EQ(moveLine(lines, c.from, c.to), c.ok) << c.from << " to " << c.to;
    EXPECT_EQ(lines, c.order) << c.from << " to " << c.to;
  }
}

TEST(DeleteLine, RemovesOnlyExistingLines) {
  LineList lines{"A", "B", "C"};
  EXPECT_FALSE(deleteLine(lines, 3));
  EXPECT_FALSE(deleteLine(lines, -1));
  EXPECT_TRUE(deleteLine(lines, 1));
  EXPECT_EQ(lines, (LineList{"A", "C"}));
  EXPECT_TRUE(deleteLine(lines, 0));
  EXPECT_TRUE(deleteLine(lines, 0));
  EXPECT_TRUE(lines.empty());
}

TEST(LineList, AppendAndClear) {
  LineList lines;
  std::string text = "PLAY ACTION SIT";
  appendLine(lines, text);
  text = "changed";
  appendLine(lines, "");
  EXPECT_EQ(lines, (LineList{"PLAY ACTION SIT", ""}));
  clearLines(lines);
  EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace velk7
