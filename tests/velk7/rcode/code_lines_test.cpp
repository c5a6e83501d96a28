#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velk7/rcode/code_lines.h"

namespace velk7 {
namespace {

// In these tables "\377" is the part separator 0xFF.

TEST(ClassifyLine, KindsFollowTheLineBeginning) {
  const std::vector<std::pair<LineKind, std::vector<std::string>>> cases = {
      {LineKind::Wait, {"WAITING", "WAIT 250 // Wait 1/4 second"}},
      {LineKind::Move, {"PLAY ACTION TURN 90 // Turn Left", "PLAY ACTION STOP_WALK"}},
      {LineKind::Sys,
       {"PLAY ACTION STOP  // Stop playing", "PLAY ACTION ", "PLAY ACTION SIT\377WAIT"}},
      {LineKind::User, {"PLAY ACTION+ HELLO", "PLAY ACTION+ WALK"}},
      {LineKind::Led, {"SET x 1"}},
      {LineKind::Call, {"CALL :A", "PUSH 1"}},
      {LineKind::Other,
       {"PLAY ACTION+X", "PLAY ACTION", "play action sit", "SET Head_x 1", "SET", " WAIT", ""}}};
  for (const auto& [kind, texts] : cases) {
    for (const std::string& text : texts) EXPECT_EQ(classifyLine(text), kind) << text;
  }
}

TEST(MakePlayPart, ComposesPlayCommentAndWaitWithinTheLimit) {
  struct Case {
    const char* verb;
    std::string name;
    std::string remainder;
    std::optional<std::string> part;
  };
  // "PLAY ACTION+ " is 13 bytes and the wait 5 more, so a name of 237 fits exactly.
  const std::vector<Case> cases = {
      {"ACTION+", "HELLO", "; hello.WAV", "PLAY ACTION+ HELLO // hello.WAV\377WAIT"},
      {"ACTION", "SIT", "\tnote", "PLAY ACTION SIT // \tnote\377WAIT"},
      {"ACTION", "X_NOWAIT_Y", "a;b", "PLAY ACTION X_NOWAIT_Y // a;b"},
      {"ACTION+", std::string(237, 'N'), "", "PLAY ACTION+ " + std::string(237, 'N') + "\377WAIT"},
      {"ACTION+", std::string(238, 'N'), "", std::nullopt},
      {"ACTION", "X", std::string(250, 'c'), std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(makePlayPart(c.verb, c.name, c.remainder), c.part) << c.name << c.remainder;
  }
}

TEST(PartDescription, TextAfterFirstCommentCutAtFirstLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"WAIT 250 // Wait 1/4 second", " Wait 1/4 second"},
      {"PLAY ACTION TURN 90 // Turn Left\377WAIT", " Turn Left"},
      {"A // b // c", " b // c"},
      {"A\377B // c", " c"},
      {"", ""},
  };
  for (const auto& [part, description] : cases) EXPECT_EQ(partDescription(part), description);
}

TEST(AddPart, AppendsALineForEachSeparatedPiece) {
  LineList lines{"first"};
  addPart(lines, "");
  addPart(lines, "\377A\377\377B");
  EXPECT_EQ(lines, (LineList{"first", "", "A", "", "B"}));
}

TEST(MoveLine, PutsTheLineBeforeTheTargetAndDeleteRemovesItOrBothRefuseBadIndexes) {
  constexpr int kDelete = -2;  // as `to`: delete the line instead
  struct Case {
    int from;
    int to;
    bool ok;
    const char* order;  // one character a line
  };
  const std::vector<Case> cases = {{0, 2, true, "1023"},        {3, 0, true, "3012"},
                                   {1, 4, true, "0231"},        {1, 2, true, "0123"},
                                   {1, 5, false, "0123"},       {4, 0, false, "0123"},
                                   {-1, 0, false, "0123"},      {3, kDelete, true, "012"},
                                   {4, kDelete, false, "0123"}, {-1, kDelete, false, "0123"}};
  for (const Case& c : cases) {
    LineList lines{"0", "1", "2", "3"};
    EXPECT_EQ(c.to == kDelete ? deleteLine(lines, c.from) : moveLine(lines, c.from, c.to), c.ok)
        << c.from << " to " << c.to;
    std::string order;
    for (const std::string& line : lines) order += line;
    EXPECT_EQ(order, c.order) << c.from << " to " << c.to;
  }
}

}  // namespace
}  // namespace velk7
