#pragma once
// Settings files in the private-profile (INI) format: "[section]" headings followed by
// "key=value" lines. Section and key names match without regard to ASCII case. Writing
// changes only the lines it must and keeps every other section, key, comment and their order.
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct ProfileEntry {
  std::string_view key;
  std::string_view value;
};

// The value of `key` in the first section named `section` of the text (surrounding blanks
// removed, and one pair of matching quotes around it), or `defaultValue` when absent.
std::string profileValue(std::string_view fileText, std::string_view section, std::string_view key,
                         std::string_view defaultValue);

// The text with each entry set in `section`: an existing key line is rewritten in place
// (keeping its name's spelling and line end), a new key goes after the section's last line,
// and a missing section is appended. New lines end in CR LF. Nothing when a name or value
// cannot be written in this format (empty key, a line break, '=' in a key, ']' in a section).
std::optional<std::string> withProfileValues(std::string_view fileText, std::string_view section,
                                             std::span<const ProfileEntry> entries);

// Reads a key from a settings file; a missing or unreadable file gives the default.
std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue);

// Sets keys in a settings file, creating it when absent. The new contents go to a temporary
// file that then replaces the old one, so a failed write leaves the old file as it was.
// False when the file exists but cannot be read, or cannot be replaced.
bool writeProfileStrings(const std::filesystem::path& file, std::string_view section,
                         std::span<const ProfileEntry> entries);

}  // namespace platform
