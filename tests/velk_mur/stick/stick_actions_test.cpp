// What the stick tells about its numbered actions: the entries each ERS-7.MWC block names,
// how long their sounds and motions last and whether they talk, read from the example stick;
// and what a stick without its files answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "tests/support/temp_tree.h"
#include "velk_mur/stick/stick_actions.h"

namespace velk_mur {
namespace {

const std::filesystem::path kExampleStick =
    std::filesystem::path(VELK_SOURCE_DIR) / "examples/stick";

TEST(StickActions, LengthsAndTalkingComeFromTheArchives) {
  const StickActions actions = readStickActions(kExampleStick);
  ASSERT_TRUE(actions.configurationRead) << actions.problem;
  struct Case {
    std::int32_t number;
    std::optional<double> sound;
    bool moves;
    bool talks;
  };
  // HELLO talks; BARK_SND has only its sound; GROWL talks as well.
  const std::vector<Case> cases{
      {24001, 0.5, true, true}, {24002, 0.3, false, false}, {24003, std::nullopt, true, true}};
  for (const Case& c : cases) {
    const StickAction* action = actions.find(c.number);
    ASSERT_NE(action, nullptr) << c.number;
    if (c.sound) {
      ASSERT_TRUE(action->soundSeconds) << c.number;
      EXPECT_DOUBLE_EQ(*action->soundSeconds, *c.sound) << c.number;
    }
    EXPECT_EQ(action->motionSeconds.has_value(), c.moves) << c.number;
    EXPECT_EQ(action->talks, c.talks) << c.number;
    ASSERT_TRUE(action->seconds()) << c.number;
    EXPECT_GE(*action->seconds(), action->soundSeconds.value_or(0)) << c.number;
  }
  EXPECT_EQ(actions.find(99999), nullptr);
}

TEST(StickActions, AStickWithoutItsFilesSaysWhichIsMissing) {
  testing_support::TempDir empty;
  const StickActions actions = readStickActions(empty.path());
  EXPECT_FALSE(actions.configurationRead);
  EXPECT_TRUE(actions.actions.empty());
  EXPECT_TRUE(actions.problem.ends_with("ERS-7.MWC does not exist")) << actions.problem;
  const PreviewLoad missing = loadStickActionPreview(kExampleStick, 99999);
  EXPECT_FALSE(missing.preview);
  EXPECT_EQ(missing.problem, "ERS-7.MWC has no action 99999");
  const PreviewLoad hello = loadStickActionPreview(kExampleStick, 24001);
  ASSERT_TRUE(hello.preview) << hello.problem;
  EXPECT_TRUE(hello.preview->mouth.has_value());
  EXPECT_EQ(hello.preview->samples.size(), 4000U);
}

}  // namespace
}  // namespace velk_mur
