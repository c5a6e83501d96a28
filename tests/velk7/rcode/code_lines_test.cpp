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
      {LineKind::Sys, {"PLAY ACTION STOP  // Stop playing", "PLAY ACTION "}},
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
  // "PLAY ACTION+ " is 13 bytes and the wait 5 more, so a name of 237 fits exactly.
  const std::string n237(237, 'N');
  const std::tuple<const char*, std::string, std::string, std::optional<std::string>> cases[] = {
      {"ACTION", "SIT", "\tnote", "PLAY ACTION SIT // \tnote\377WAIT"},
      {"ACTION", "X_NOWAIT_Y", "a;b", "PLAY ACTION X_NOWAIT_Y // a;b"},
      {"ACTION+", n237, "", "PLAY ACTION+ " + n237 + "\377WAIT"},
      {"ACTION+", n237 + "N", "", std::nullopt},
      {"ACTION", "X", std::string(250, 'c'), std::nullopt},
  };
  for (const auto& [verb, name, remainder, part] : cases) {
    EXPECT_EQ(makePlayPart(verb, name, remainder), part) << name << remainder;
  }
}

TEST(PartDescription, TextAfterFirstCommentCutAtFirstLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"A // b // c", " b // c"},
      {"A\377B // c", " c"},
  };
  for (const auto& [part, description] : cases) EXPECT_EQ(partDescription(part), description);
}

// Deleting is moving to kDelete; fuzz_line_edits shows that every move keeps the lines.
TEST(MoveLine, PutsTheLineBeforeTheTargetAndDeleteRemovesItOrBothRefuseBadIndexes) {
  constexpr int kDelete = -2;
  const std::tuple<int, int, bool, const char*> cases[] = {
      // from, to, done, lines in order
      {0, 2, true, "1023"},        {3, 0, true, "3012"},      {1, 4, true, "0231"},
      {1, 2, true, "0123"},        {1, 5, false, "0123"},     {4, 0, false, "0123"},
      {-1, 0, false, "0123"},      {3, kDelete, true, "012"}, {4, kDelete, false, "0123"},
      {-1, kDelete, false, "0123"}};
  for (const auto& [from, to, done, order] : cases) {
    LineList lines{"0", "1", "2", "3"};
    EXPECT_EQ(to == kDelete ? deleteLine(lines, from) : moveLine(lines, from, to), done)
        << from << " to " << to;
    std::string joined;
    for (const std::string& line : lines) joined += line;
    EXPECT_EQ(joined, order) << from << " to " << to;
  }
}

}  // namespace
}  // namespace velk7
