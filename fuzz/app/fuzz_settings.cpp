// The settings file's text: set one key, then every key must read as before except the one
// set, which must read as the value written.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/ascii_text.h"
#include "platform/settings.h"

namespace {

constexpr std::string_view kSection = "VELK_MUR";
constexpr std::string_view kSections[] = {"VELK_MUR", "OTHER", "velk_mur2"};
constexpr std::string_view kKeys[] = {"MEMSTICK", "LOCALDATA", "memstick", "Other", "X"};
constexpr std::string_view kAbsent =
    "\x01"
    "absent";

// A value this format stores as given: no line break, no blanks at either end (they are
// trimmed on reading), not wrapped in a pair of quotes (they are removed on reading).
bool storesVerbatim(std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos) return false;
  if (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                         value.back() == '\t')) {
    return false;
  }
  return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front());
}

}  // namespace

// Input: one byte choosing the key, the value up to the first NUL, then the file's text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view key = kKeys[data[0] % std::size(kKeys)];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t split = rest.find('\0');
  const std::string_view value = rest.substr(0, split);
  const std::string_view text = split == std::string_view::npos ? "" : rest.substr(split + 1);

  const platform::ProfileEntry entry{key, value};
  const std::optional<std::string> written =
      platform::withProfileValues(text, kSection, {&entry, 1});
  if (!written) {
    FUZZ_FAIL_IF(value.find_first_of("\r\n") == std::string_view::npos);
    return 0;
  }
  FUZZ_FAIL_IF(storesVerbatim(value) &&
               platform::profileValue(*written, kSection, key, kAbsent) != value);
  for (std::string_view section : kSections) {
    for (std::string_view other : kKeys) {
      const bool isSetKey =
          platform::equalsIgnoreCase(section, kSection) && platform::equalsIgnoreCase(other, key);
      if (isSetKey) continue;
      FUZZ_FAIL_IF(platform::profileValue(*written, section, other, kAbsent) !=
                   platform::profileValue(text, section, other, kAbsent));
    }
  }
  return 0;
}
