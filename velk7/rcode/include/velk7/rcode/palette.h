#pragma once
// What the parts palette offers: its categories and the entries of each, the built-in parts
// or ACTION.EXT split into categories by name prefixes.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messenger.h"
#include "velk7/rcode/catalogue.h"
#include "velk7/rcode/program.h"

namespace velk7 {

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

// The entries of a category, reading ACTION.CFG or ACTION.EXT beside `programPath` each
// time. Shows kNoUserActionsMessage when "User Actions" yields nothing. An index outside
// the categories gives no entries.
std::vector<PaletteEntry> paletteEntries(int categoryIndex, const RcodeProgram& program,
                                         const std::filesystem::path& programPath,
                                         platform::Messenger& messenger);

}  // namespace velk7
