#include "velk7/program/action_catalogue.h"

#include <algorithm>

#include "platform/ascii_text.h"
#include "platform/case_path.h"
#include "platform/files.h"
#include "velk7/rcode/catalogue.h"

namespace velk7::program {

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kLargestCatalogue = std::uint64_t{64} << 20;

std::optional<std::int32_t> positiveNumber(std::string_view text) {
  std::int64_t value = 0;
  if (text.empty()) return std::nullopt;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min<std::int64_t>(value * 10 + (c - '0'), INT32_MAX);
  }
  if (value <= 0) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

const std::vector<std::string_view>& builtInActions() {
  static const std::vector<std::string_view> names{"SIT",    "STAND",      "LIE",   "WALK",
                                                   "TURN",   "KICK",       "TOUCH", "MOVE_HEAD",
                                                   "SEARCH", "TRACK_HEAD", "STOP"};
  return names;
}

const CatalogueAction* ActionCatalogue::find(std::string_view name) const {
  const auto found = byName.find(platform::toUpperAscii(name));
  if (found != byName.end()) return &found->second;
  return nullptr;
}

bool ActionCatalogue::knowsNumber(std::int32_t number) const {
  if (stick.find(number) != nullptr) return true;
  return std::any_of(byName.begin(), byName.end(),
                     [number](const auto& entry) { return entry.second.number == number; });
}

ActionLength ActionCatalogue::lengthOfNumber(std::int32_t number) const {
  ActionLength length;
  length.number = number;
  const velk_mur::StickAction* action = stick.find(number);
  if (action == nullptr) return length;
  if (const std::optional<double> seconds = action->seconds()) {
    length.seconds = *seconds;
    length.assumed = false;
  }
  length.talks = action->talks;
  return length;
}

ActionLength ActionCatalogue::lengthOf(std::string_view name) const {
  const CatalogueAction* action = find(name);
  if (action == nullptr || action->number == 0) return ActionLength{};
  return lengthOfNumber(action->number);
}

void addCatalogueText(ActionCatalogue& catalogue, std::string_view text, std::string_view file) {
  for (const platform::TextLine& line : platform::splitLines(text)) {
    std::string_view cursor = line.content;
    const std::optional<std::string_view> name = velk7::nextField(cursor);
    const std::optional<std::string_view> number = velk7::nextField(cursor);
    if (!name || !number || name->front() == '-') continue;
    const std::optional<std::int32_t> value = positiveNumber(*number);
    if (!value) continue;
    catalogue.byName.try_emplace(platform::toUpperAscii(*name),
                                 CatalogueAction{std::string(*name), *value, std::string(file)});
  }
}

fs::path stickRootOf(const fs::path& programPath) {
  return programPath.parent_path() / ".." / ".." / ".." / "..";
}

ActionCatalogue readActionCatalogue(const fs::path& programPath) {
  ActionCatalogue catalogue;
  for (const std::string_view name : builtInActions()) {
    catalogue.byName.emplace(std::string(name), CatalogueAction{std::string(name), 0, "built in"});
  }
  for (const std::string_view file : {"ACTION.CFG", "ACTION.EXT"}) {
    const fs::path path = platform::resolveCase(velk7::companionPath(programPath, file));
    platform::FileReadResult read = platform::readFileIfPresent(path, kLargestCatalogue);
    if (read.status == platform::FileReadStatus::Unreadable) {
      catalogue.unreadable.emplace_back(file);
    }
    if (read.status != platform::FileReadStatus::Read) continue;
    catalogue.anyFile = true;
    addCatalogueText(
        catalogue,
        std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()),
        file);
  }
  catalogue.stick = velk_mur::readStickActions(stickRootOf(programPath));
  if (catalogue.stick.configurationRead) {
    catalogue.anyFile = true;
  } else if (platform::fileState(platform::resolveCase(velk7::mwConfigurationPath(programPath))) ==
             platform::FileState::Present) {
    catalogue.unreadable.emplace_back("ERS-7.MWC");
  }
  return catalogue;
}

}  // namespace velk7::program
