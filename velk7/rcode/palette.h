#pragma once
// What the parts palette offers: its categories, the built-in parts, the filters that
// split ACTION.EXT into categories, and the entries of each category.
#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messenger.h"
#include "velk7/rcode/catalogue.h"
#include "velk7/rcode/program.h"

namespace velk7 {

struct StandardPart {
  std::string_view label;
  std::string_view part;  // a PartText
};

// One category of system actions: up to three name prefixes (unused ones empty).
struct SystemCategory {
  std::array<std::string_view, 3> prefixes;
  std::string_view label;

  std::span<const std::string_view> prefixList() const;
};

extern const std::array<StandardPart, 17> standardParts;
extern const std::array<SystemCategory, 15> systemCategories;

inline constexpr int kCategoryCount = 19;
inline constexpr int kStandardCategory = 0;
inline constexpr int kUserCategory = 1;
inline constexpr int kFirstSystemCategory = 2;  // up to kFirstSystemCategory + 14
inline constexpr int kOtherCategory = 17;
inline constexpr int kSubroutineCategory = 18;

inline constexpr std::string_view kNoUserActionsMessage =
    "This RCODE stick does not contain any USER actions";
inline constexpr std::string_view kSelectActionHint = "(please select an action)";

// The texts of the category box, in order.
std::vector<std::string> categoryNames();

// Accepts a name that begins with one of the category's prefixes; the label is the rest.
std::optional<std::string> categoryFilter(const SystemCategory& category, std::string_view name);
// Accepts a name that no prefix of any category begins; the label is the whole name.
std::optional<std::string> otherFilter(std::string_view name);

// The label of a "Subroutines" entry: the text after the last "/", without leading blanks.
std::string subroutineLabel(std::string_view text);

// The entries of a category, reading ACTION.CFG or ACTION.EXT beside `programPath` each
// time. Shows kNoUserActionsMessage when "User Actions" yields nothing. An index outside
// the categories gives no entries.
std::vector<PaletteEntry> paletteEntries(int categoryIndex, const RcodeProgram& program,
                                         const std::filesystem::path& programPath,
                                         platform::Messenger& messenger);

}  // namespace velk7
