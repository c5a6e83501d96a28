#include "platform/settings.h"

#include <system_error>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/case_path.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace platform {

namespace {

constexpr std::string_view kNewLine = "\r\n";
constexpr std::string_view kTemporaryExtension = "tmp";

// As every text file's lines, except that a lone carriage return also ends the last line.
std::vector<TextLine> profileLines(std::string_view text) {
  std::vector<TextLine> lines = splitLines(text);
  if (!lines.empty() && text.back() != '\n' && lines.back().content.ends_with('\r')) {
    lines.back().content.remove_suffix(1);
  }
  return lines;
}

std::size_t contentEnd(const TextLine& line) {
  return line.start + line.content.size();
}

// The section name of a "[name]" line, if it is one.
std::optional<std::string_view> sectionName(std::string_view content) {
  const std::string_view trimmed = trimBlanks(content);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  std::string_view name = trimmed.substr(1);
  const std::size_t close = name.find(']');
  if (close != std::string_view::npos) name = name.substr(0, close);
  return trimBlanks(name);
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

// The key and value of a "key=value" line; comments and lines without '=' are none.
std::optional<KeyLine> keyLine(std::string_view content) {
  const std::string_view trimmed = trimBlanks(content);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{trimBlanks(trimmed.substr(0, equals)), trimBlanks(trimmed.substr(equals + 1))};
}

std::string_view withoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The lines of the first section with the name: [first, last) indexes, the heading excluded.
struct SectionRange {
  std::size_t heading = 0;
  std::size_t first = 0;
  std::size_t last = 0;
};

std::optional<SectionRange> findSection(const std::vector<TextLine>& lines,
                                        std::string_view section) {
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const auto name = sectionName(lines[index].content);
    if (!name || !equalsIgnoreCase(*name, section)) continue;
    std::size_t last = index + 1;
    while (last < lines.size() && !sectionName(lines[last].content)) ++last;
    return SectionRange{index, index + 1, last};
  }
  return std::nullopt;
}

bool hasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != text.npos;
}

bool isWritable(std::string_view section, std::span<const ProfileEntry> entries) {
  if (hasLineBreak(section) || section.find(']') != section.npos) return false;
  for (const ProfileEntry& entry : entries) {
    const std::string_view key = trimBlanks(entry.key);
    if (key.empty() || key != entry.key || hasLineBreak(key) || key.find('=') != key.npos ||
        key.front() == ';' || key.front() == '[' || hasLineBreak(entry.value)) {
      return false;
    }
  }
  return true;
}

// Ends the text's last line before a line is added. A last line ending in a lone CR only
// needs its LF: another CR LF would leave that CR in the line, and none would join the lines.
void endLastLine(std::string& text) {
  if (text.empty() || text.back() == '\n') return;
  text += text.back() == '\r' ? std::string_view("\n") : kNewLine;
}

// Sets one key in the text; the text is known to be writable.
std::string withProfileValue(std::string_view text, std::string_view section,
                             const ProfileEntry& entry) {
  const std::vector<TextLine> lines = profileLines(text);
  const std::string newKeyLine = std::string(entry.key) + "=" + std::string(entry.value);
  const std::optional<SectionRange> range = findSection(lines, section);
  if (!range) {
    std::string result(text);
    endLastLine(result);
    result += "[" + std::string(section) + "]";
    result += kNewLine;
    result += newKeyLine;
    result += kNewLine;
    return result;
  }
  for (std::size_t index = range->first; index < range->last; ++index) {
    const auto found = keyLine(lines[index].content);
    if (!found || !equalsIgnoreCase(found->key, entry.key)) continue;
    // Rewritten in place: the name keeps the file's spelling, the line keeps its end.
    std::string result(text.substr(0, lines[index].start));
    result += std::string(found->key) + "=" + std::string(entry.value);
    result += text.substr(contentEnd(lines[index]));
    return result;
  }
  // A new key goes after the section's last non-blank line, before any blank separators.
  std::size_t after = range->heading;
  for (std::size_t index = range->first; index < range->last; ++index) {
    if (!trimBlanks(lines[index].content).empty()) after = index;
  }
  const TextLine& line = lines[after];
  std::string result(text.substr(0, line.end));
  endLastLine(result);
  result += newKeyLine;
  result += kNewLine;
  result += text.substr(line.end);
  return result;
}

}  // namespace

std::string profileValue(std::string_view fileText, std::string_view section, std::string_view key,
                         std::string_view defaultValue) {
  const std::vector<TextLine> lines = profileLines(fileText);
  const std::optional<SectionRange> range = findSection(lines, section);
  if (!range) return std::string(defaultValue);
  for (std::size_t index = range->first; index < range->last; ++index) {
    const auto found = keyLine(lines[index].content);
    if (found && equalsIgnoreCase(found->key, key)) return std::string(withoutQuotes(found->value));
  }
  return std::string(defaultValue);
}

std::optional<std::string> withProfileValues(std::string_view fileText, std::string_view section,
                                             std::span<const ProfileEntry> entries) {
  if (!isWritable(section, entries)) return std::nullopt;
  std::string text(fileText);
  for (const ProfileEntry& entry : entries) text = withProfileValue(text, section, entry);
  return text;
}

std::string readProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
  const std::optional<std::string> text = readWholeText(file);
  if (!text) return std::string(defaultValue);
  return profileValue(*text, section, key, defaultValue);
}

bool writeProfileStrings(const fs::path& file, std::string_view section,
                         std::span<const ProfileEntry> entries) {
  const fs::path target = resolveCase(file);
  const FileState state = fileState(target);
  if (state == FileState::Unknown) return false;
  const bool exists = state == FileState::Present;
  std::string oldText;
  if (exists) {
    // A file that is there but cannot be read must not be replaced by our few lines.
    std::optional<std::string> text = readWholeText(target);
    if (!text) return false;
    oldText = std::move(*text);
  }
  const std::optional<std::string> newText = withProfileValues(oldText, section, entries);
  if (!newText) return false;
  if (exists && *newText == oldText) return true;

  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(newText->data()),
                                            newText->size());
  return static_cast<bool>(replaceFile(target, bytes, kTemporaryExtension));
}

}  // namespace platform
