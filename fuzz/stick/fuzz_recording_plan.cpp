// Recording naming and the save's plan for arbitrary listed file names (one per line): numbers
// from 24001 in listing order, lower-case names, and configuration blocks whose record count
// matches what was written.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/ascii_text.h"
#include "platform/byte_order.h"
#include "platform/byte_sink.h"
#include "velk_mur/generate/naming.h"
#include "velk_mur/stick/save_to_stick.h"
#include "velk_mur/stick/src/action_catalogue.h"
#include "velk_mur/stick/src/mwc_update.h"
#include "velk_mur/stick/src/save_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> listed(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      listed.emplace_back();
    } else {
      listed.back() += static_cast<char>(data[i]);
    }
  }
  // An empty folder of its own: the replay of every corpus shares one scratch folder.
  const std::filesystem::path folder =
      fuzz_support::scratchFolder("fuzz_recording_plan") / "voices";
  std::filesystem::create_directories(folder);
  const std::vector<velk_mur::RecordingPlan> plans = velk_mur::planRecordings(folder, listed);
  FUZZ_FAIL_IF(plans.size() != listed.size());
  for (std::size_t i = 0; i < plans.size(); ++i) {
    const velk_mur::RecordingPlan& plan = plans[i];
    FUZZ_FAIL_IF(plan.number != velk_mur::kFirstOwnedAction + static_cast<std::int32_t>(i));
    const std::string name = velk_mur::recordingName(listed[i]);
    FUZZ_FAIL_IF(name.size() + 4 != listed[i].size() && !(listed[i].size() <= 4 && name.empty()));
    FUZZ_FAIL_IF(plan.name != platform::toLowerAscii(name));
    FUZZ_FAIL_IF(plan.audioOnly != velk_mur::isAudioOnlyName(plan.name));
    FUZZ_FAIL_IF(plan.hasFullBodyMotion());  // the scratch folder holds no motions
    velk_mur::actionCatalogueLine(plan.name, plan.number, plan.audioOnly);
    platform::MemorySink block;
    const int count =
        velk_mur::writeActionBlock(block, plan.number, plan.name, false, plan.audioOnly);
    // A name too long for its records is refused whole (the save's name check comes first).
    if (count == 0) {
      FUZZ_FAIL_IF(!block.bytes().empty());
      continue;
    }
    FUZZ_FAIL_IF(block.bytes().size() < velk_mur::kBlockHeadSize);
    FUZZ_FAIL_IF(platform::getLe32(block.bytes().data() + 8) != static_cast<std::uint32_t>(count));
  }
  return 0;
}
