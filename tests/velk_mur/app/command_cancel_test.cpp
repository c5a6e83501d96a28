#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/messenger.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/stick_tree.h"
#include "velk_mur/app/src/commands.h"

namespace fs = std::filesystem;
using velk_mur::CommandResult;
using velk_mur::PathTexts;

namespace {

// Says "stop" at one progress step, as the user's Cancel does.
class CancellingMessenger : public platform::RecordingMessenger {
 public:
  explicit CancellingMessenger(std::string step) : step_(std::move(step)) {}
  bool progress(std::string_view what, int done, int total) override {
    RecordingMessenger::progress(what, done, total);
    return progressSteps().back() != step_;
  }

 private:
  std::string step_;
};

TEST(Cancel, EndsTheCommandQuietlyWithCompleteFilesAndTheStickAsItWas) {
  using Command = std::function<CommandResult(const PathTexts&, const velk_mur::AppEnvironment&,
                                              platform::Messenger&)>;
  const Command generate = velk_mur::runGenerate;
  const Command test = velk_mur::runTest;
  const Command save = [](const auto& paths, const auto& environment, auto& messenger) {
    return velk_mur::runSaveToStick(paths, environment, messenger);
  };
  struct Case {
    const char* step;
    Command command;
    long filesInGen;  // three LED files, plus the head and mouth motions generated
  };
  for (const auto& [step, command, filesInGen] :
       {Case{"Generating 1/3", generate, 5}, Case{"Checking 2/3", test, 3},
        Case{"Saving 3/3", save, 3}}) {
    SCOPED_TRACE(step);
    const testing_support::TempDir dir;
    testing_support::makeValidStick(dir / "stick");
    for (const char* name : {"one", "two", "six"}) {
      testing_support::writeRecording(dir / "voices", name, 800);
      testing_support::writeReadyCompanions(dir / "voices", name);
    }
    const auto stickBefore = testing_support::snapshotTree(dir / "stick");
    CancellingMessenger messenger(step);
    const CommandResult result = command({(dir / "stick").string(), (dir / "voices").string()},
                                         testing_support::environmentIn(dir), messenger);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.closeDialog);
    EXPECT_TRUE(messenger.entries().empty());
    ASSERT_FALSE(messenger.progressSteps().empty());
    EXPECT_EQ(messenger.progressSteps().back(), step);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "voices/GEN"), fs::directory_iterator()),
              filesInGen);
    EXPECT_EQ(testing_support::snapshotTree(dir / "stick"), stickBefore);
  }
}

}  // namespace
