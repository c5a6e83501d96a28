#include "velk7/rcode/palette.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "record_syntax.h"

namespace velk7 {

namespace {

struct StandardPart {
  std::string_view label;
  std::string_view part;  // a PartText
};

// Two blanks before "//" in "Stop playing" belong to the part.
const std::array<StandardPart, 17> standardParts{{
    {"Sit Down",
     "PLAY ACTION SIT\xFF"
     "WAIT"},
    {"Stand Up",
     "PLAY ACTION STAND\xFF"
     "WAIT"},
    {"Lie Down",
     "PLAY ACTION LIE\xFF"
     "WAIT"},
    {"Turn Left",
     "PLAY ACTION TURN 90 // Turn Left\xFF"
     "WAIT"},
    {"Turn Right",
     "PLAY ACTION TURN -90 // Turn Right\xFF"
     "WAIT"},
    {"Turn Around",
     "PLAY ACTION TURN 180 // Turn Around\xFF"
     "WAIT"},
    {"Kick Left",
     "PLAY ACTION KICK 30 1000 // Kick Left\xFF"
     "WAIT"},
    {"Kick Right",
     "PLAY ACTION KICK -30 1000 // Kick Right\xFF"
     "WAIT"},
    {"Walk .1 metre",
     "PLAY ACTION WALK 0 100\xFF"
     "WAIT"},
    {"Walk .5 metre",
     "PLAY ACTION WALK 0 500\xFF"
     "WAIT"},
    {"Walk 1 inches",
     "PLAY ACTION WALK 0 1000\xFF"
     "WAIT"},
    {"Wait 1/4 sec", "WAIT 250 // Wait 1/4 second"},
    {"Wait 1/2 sec", "WAIT 500 // Wait 1/2 second"},
    {"Wait 1 sec", "WAIT 1000 // Wait 1 second"},
    {"Wait 2 sec", "WAIT 2000 // Wait 2 seconds"},
    {"WAIT to finish", "WAIT"},
    {"Stop playing", "PLAY ACTION STOP  // Stop playing"},
}};

// One category of system actions: up to three name prefixes (unused ones empty).
struct SystemCategory {
  std::array<std::string_view, 3> prefixes;
  std::string_view label;

  std::span<const std::string_view> prefixList() const;
};

const std::array<SystemCategory, 15> systemCategories{{
    {{"L_EDSP."}, "Moods (EDSP)"},
    {{"L_FDSP."}, "Moods (FDSP)"},
    {{"L_PALONE."}, "Dances etc"},
    {{"L_CONTACT."}, "Contact/touch"},
    {{"L_PHUMAN."}, "Human appeals"},
    {{"L_CHGPOS.", "E_MOVEPOS."}, "Postures"},
    {{"L_PHYSI."}, "Physiological"},
    {{"L_POBJ."}, "Bone"},
    {{"L_REFLEX."}, "Reflexes"},
    {{"L_INTENT."}, "Intent, Requests"},
    {{"E_CLINIC.", "E_NEWSTG", "E_REGIST"}, "Clinic, NewStage, Regist"},
    {{"L_MOVE.", "L_FDOWN."}, "Move, FallDown"},
    {{"E_USRIF."}, "User IF"},
    {{"L_SMESS."}, "Special messages"},
    {{"E_LEDSP."}, "LED Only"},
}};

std::span<const std::string_view> SystemCategory::prefixList() const {
  std::size_t count = 0;
  while (count < prefixes.size() && !prefixes[count].empty()) ++count;
  return std::span<const std::string_view>(prefixes.data(), count);
}

// Accepts a name that begins with one of the category's prefixes; the label is the rest.
std::optional<std::string> categoryFilter(const SystemCategory& category, std::string_view name) {
  for (std::string_view prefix : category.prefixList()) {
    if (name.starts_with(prefix)) return std::string(name.substr(prefix.size()));
  }
  return std::nullopt;
}

// Accepts a name that no prefix of any category begins; the label is the whole name.
std::optional<std::string> otherFilter(std::string_view name) {
  for (const SystemCategory& category : systemCategories) {
    if (categoryFilter(category, name)) return std::nullopt;
  }
  return std::string(name);
}

// The label of a "Subroutines" entry: the text after the last "/", without leading blanks.
std::string subroutineLabel(std::string_view text) {
  std::size_t labelStart = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '/') {
      labelStart = at + 1;
    } else if (text[at] != ' ' && text[labelStart] == ' ') {
      labelStart = at;
    }
  }
  if (labelStart == text.size()) return std::string(text);
  return std::string(text.substr(labelStart));
}

void appendStandardParts(std::vector<PaletteEntry>& entries) {
  for (const StandardPart& standard : standardParts) {
    entries.push_back(PaletteEntry{std::string(standard.label), classifyLine(standard.part),
                                   std::string(standard.part)});
  }
}

void appendSubroutines(std::vector<PaletteEntry>& entries, const RcodeProgram& program) {
  for (const std::string& text : program.subroutineLines) {
    // Dropped into a record, such a text would read back as a marker and split the record.
    if (looksLikeMarker(text)) continue;
    entries.push_back(PaletteEntry{subroutineLabel(text), classifyLine(text), text});
  }
}

}  // namespace

std::vector<std::string> categoryNames() {
  std::vector<std::string> names{"Standard", "User Actions"};
  for (const SystemCategory& category : systemCategories) {
    names.push_back("System: " + std::string(category.label));
  }
  names.emplace_back("System: (other)");
  names.emplace_back("Subroutines");
  return names;
}

std::vector<PaletteEntry> paletteEntries(int categoryIndex, const RcodeProgram& program,
                                         const std::filesystem::path& programPath,
                                         platform::Messenger& messenger) {
  std::vector<PaletteEntry> entries;
  if (categoryIndex == kStandardCategory) {
    appendStandardParts(entries);
  } else if (categoryIndex == kUserCategory) {
    if (!readCatalogue(entries, programPath, "ACTION.CFG", "ACTION+")) {
      messenger.show(kNoUserActionsMessage, false);
    }
  } else if (categoryIndex >= kFirstSystemCategory && categoryIndex < kOtherCategory) {
    const SystemCategory& category =
        systemCategories[static_cast<std::size_t>(categoryIndex - kFirstSystemCategory)];
    readCatalogue(entries, programPath, "ACTION.EXT", "ACTION",
                  [&category](std::string_view name) { return categoryFilter(category, name); });
  } else if (categoryIndex == kOtherCategory) {
    readCatalogue(entries, programPath, "ACTION.EXT", "ACTION", otherFilter);
  } else if (categoryIndex == kSubroutineCategory) {
    appendSubroutines(entries, program);
  }
  return entries;
}

}  // namespace velk7
