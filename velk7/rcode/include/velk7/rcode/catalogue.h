#pragma once
// The installation checks made at start, and the action catalogues ACTION.EXT and
// ACTION.CFG that sit beside R-CODE.R.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messenger.h"
#include "velk7/rcode/code_lines.h"

namespace velk7 {

inline constexpr std::size_t kMaxLabelLength = 63;

struct PaletteEntry {
  std::string label;
  LineKind kind = LineKind::Other;
  PartText part;
  bool operator==(const PaletteEntry&) const = default;
};

// Refuses an action (none) or accepts it and gives its label.
using CatalogueFilter = std::function<std::optional<std::string>(std::string_view actionName)>;

// A file in the folder of R-CODE.R.
std::filesystem::path companionPath(const std::filesystem::path& programPath,
                                    std::string_view fileName);
// ERS-7.MWC, three folders up from R-CODE.R under MW/CONF.
std::filesystem::path mwConfigurationPath(const std::filesystem::path& programPath);

// ACTION.EXT present and tagged for the ERS-7, ERS-7.MWC present. Shows the first failing
// check's message and returns false.
bool checkInstallation(const std::filesystem::path& programPath, platform::Messenger& messenger);

// Appends one entry per acceptable line of the catalogue `fileName` beside R-CODE.R; true
// when at least one was appended. A missing file appends nothing and shows nothing.
bool readCatalogue(std::vector<PaletteEntry>& palette, const std::filesystem::path& programPath,
                   std::string_view fileName, std::string_view verb,
                   const CatalogueFilter& filter = {});

// The next field of a line separated by blanks or tabs; the cursor moves past it and the
// separators after it. None when only separators are left.
std::optional<std::string_view> nextField(std::string_view& cursor);

}  // namespace velk7
