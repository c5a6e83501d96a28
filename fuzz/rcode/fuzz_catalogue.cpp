// The action catalogues beside R-CODE.R: the input serves as ACTION.EXT and ACTION.CFG, read
// as every palette category reads them, and its lines are split into fields.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/support/recording_messenger.h"
#include "velk7/rcode/catalogue.h"
#include "velk7/rcode/palette.h"

namespace {

void checkEntries(const std::vector<velk7::PaletteEntry>& palette) {
  for (const velk7::PaletteEntry& entry : palette) {
    FUZZ_FAIL_IF(entry.label.size() > velk7::kMaxLabelLength);
  }
}

// Fields are non-empty, hold no separators, and the cursor only moves forward.
void splitFields(std::string_view line) {
  std::string_view cursor = line;
  while (true) {
    const std::size_t before = cursor.size();
    const std::optional<std::string_view> field = velk7::nextField(cursor);
    if (!field) {
      FUZZ_FAIL_IF(!cursor.empty());
      return;
    }
    FUZZ_FAIL_IF(field->empty() || field->find_first_of(" \t") != std::string_view::npos);
    FUZZ_FAIL_IF(cursor.size() >= before);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path& folder = fuzz_support::scratchFolder("fuzz_catalogue");
  const std::filesystem::path program = folder / "R-CODE.R";
  static const bool programWritten = fuzz_support::writeInput(program, nullptr, 0);
  if (!programWritten) return 0;
  if (!fuzz_support::writeInput(folder / "ACTION.EXT", data, size)) return 0;
  if (!fuzz_support::writeInput(folder / "ACTION.CFG", data, size)) return 0;

  // Every category that reads a catalogue, with its own filter.
  const velk7::RcodeProgram model;
  platform::RecordingMessenger messenger;
  for (int category = velk7::kUserCategory; category <= velk7::kOtherCategory; ++category) {
    checkEntries(velk7::paletteEntries(category, model, program, messenger));
  }
  std::vector<velk7::PaletteEntry> palette;
  velk7::readCatalogue(palette, program, "ACTION.EXT", "ACTION");
  checkEntries(palette);

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    splitFields(text.substr(start, end - start));
    start = end + 1;
  }
  return 0;
}
