#include "platform/stick_finder.h"

#include <gtest/gtest.h>

#include "tests/support/fake_volumes.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;
using platform::StickTracker;
using platform::Volume;
using testing_support::FakeVolumes;
using testing_support::TempDir;

namespace {

std::vector<std::string> labels(const std::vector<Volume>& volumes) {
  std::vector<std::string> names;
  for (const Volume& volume : volumes) names.push_back(volume.label);
  return names;
}

using Names = std::vector<std::string>;

// One step of a session at the computer: what the user did, then what the watcher must see.
struct Step {
  const char* action;  // "+name" mounts a stick, "~name" a plain volume, "-name" unmounts,
                       // "^name" mounts a stick spelled in lower case, "" only looks again
  Names arrived;
  Names left;
  Names sticks;
};

TEST(StickTracker, SeesSticksArriveAndLeaveAmongOtherVolumes) {
  const Step steps[] = {
      {"", {}, {}, {}},                              // none mounted
      {"~HOME", {}, {}, {}},                         // a volume without the stick's files
      {"+AIBO", {"AIBO"}, {}, {"AIBO"}},             // plugged in
      {"", {}, {}, {"AIBO"}},                        // a second look changes nothing
      {"^SMALL", {"SMALL"}, {}, {"AIBO", "SMALL"}},  // several, one in lower case
      {"-AIBO", {}, {"AIBO"}, {"SMALL"}},            // pulled out
      {"-SMALL", {}, {"SMALL"}, {}},                 // none again
      {"+AIBO", {"AIBO"}, {}, {"AIBO"}},             // back
  };
  TempDir dir;
  FakeVolumes volumes;
  StickTracker tracker(volumes, platform::kMotionStickMarker);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.action);
    const std::string action = step.action;
    const std::string name = action.empty() ? "" : action.substr(1);
    if (action.starts_with('+')) volumes.mount(dir / name, name, platform::kMotionStickMarker);
    if (action.starts_with('~')) volumes.mount(dir / name, name);
    if (action.starts_with('^')) volumes.mount(dir / name, name, "open-r/mw/conf/ers-7.mwc");
    if (action.starts_with('-')) volumes.unmount(name);
    const platform::StickChange change = tracker.refresh();
    EXPECT_EQ(labels(change.arrived), step.arrived);
    EXPECT_EQ(labels(change.left), step.left);
    EXPECT_EQ(labels(tracker.sticks()), step.sticks);
    EXPECT_EQ(change.any(), !step.arrived.empty() || !step.left.empty());
  }
}

TEST(StickTracker, EachProgramLooksForItsOwnFile) {
  TempDir dir;
  FakeVolumes volumes;
  volumes.mount(dir / "ACTIONS", "ACTIONS", platform::kMotionStickMarker);
  volumes.mount(dir / "PROGRAM", "PROGRAM", platform::kProgramStickMarker);
  StickTracker motion(volumes, platform::kMotionStickMarker);
  StickTracker program(volumes, platform::kProgramStickMarker);
  motion.refresh();
  program.refresh();
  EXPECT_EQ(labels(motion.sticks()), Names{"ACTIONS"});
  EXPECT_EQ(labels(program.sticks()), Names{"PROGRAM"});
}

TEST(PickOneStick, OneIsTakenNoneAndSeveralAreRefusedWithTheList) {
  const struct {
    Names sticks;
    const char* picked;
    std::vector<const char*> problemHas;
  } cases[] = {
      {{"AIBO"}, "AIBO", {}},
      {{}, nullptr, {"No memory stick of the robot is mounted", "OPEN-R/MW/CONF/ERS-7.MWC"}},
      {{"AIBO", "OTHER"}, nullptr, {"Several memory sticks", "AIBO)", "OTHER)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sticks.size());
    TempDir dir;
    FakeVolumes volumes;
    volumes.mount(dir / "PLAIN", "PLAIN");
    for (const std::string& name : c.sticks) {
      volumes.mount(dir / name, name, platform::kMotionStickMarker);
    }
    const platform::StickPick pick = platform::pickOneStick(volumes, platform::kMotionStickMarker);
    EXPECT_EQ(pick.stick.has_value(), c.picked != nullptr);
    if (c.picked != nullptr) {
      EXPECT_EQ(pick.stick->label, c.picked);
      EXPECT_EQ(pick.problem, "");
    }
    for (const char* part : c.problemHas)
      EXPECT_NE(pick.problem.find(part), std::string::npos) << part;
    EXPECT_EQ(pick.problem.find("PLAIN"), std::string::npos);
  }
}

}  // namespace
