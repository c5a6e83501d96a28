#include "velk7/rcode/catalogue.h"

#include <cstdint>
#include <limits>

#include "platform/ascii_text.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "velk7/rcode/program.h"

namespace fs = std::filesystem;

namespace velk7 {

namespace {

// Catalogues are small text files; this only keeps a wrong file from filling memory.
constexpr std::uint64_t kMaxCatalogueSize = std::uint64_t{64} << 20;

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The decimal value as the standard conversion reads it: leading white space, a sign,
// digits up to the first non-digit; no digits give 0. Saturates instead of overflowing.
long long decimalValue(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && isSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  constexpr long long kLimit = std::numeric_limits<int>::max();
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > kLimit) value = kLimit;
  }
  return negative ? -value : value;
}

std::optional<std::string> readFirstLine(const fs::path& path) {
  std::optional<platform::InputFile> file = platform::InputFile::open(path);
  if (!file) return std::nullopt;
  std::string buffer(kMaxLineLength, '\0');
  const std::size_t count = file->readSome(
      std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(buffer.data()), buffer.size()));
  buffer.resize(count);
  return std::string(platform::lineAt(buffer, 0).content);
}

bool appendEntry(std::vector<PaletteEntry>& palette, std::string_view piece, std::string_view verb,
                 const CatalogueFilter& filter) {
  std::string_view cursor = piece;
  const std::optional<std::string_view> name = nextField(cursor);
  const std::optional<std::string_view> number = nextField(cursor);
  const std::optional<std::string_view> flag = nextField(cursor);
  if (!name || !number || !flag) return false;
  if (name->front() == '-' || decimalValue(*number) <= 0 || decimalValue(*flag) != 0) {
    return false;
  }
  std::string label(*name);
  if (filter) {
    std::optional<std::string> filtered = filter(*name);
    if (!filtered) return false;
    label = std::move(*filtered);
  }
  // A part that does not fit the 255-byte limit could not be written back; leave it out.
  std::optional<PartText> part = makePlayPart(verb, *name, cursor);
  if (!part) return false;
  if (label.size() > kMaxLabelLength) label.resize(kMaxLabelLength);
  const LineKind kind = classifyLine(*part);
  palette.push_back(PaletteEntry{std::move(label), kind, std::move(*part)});
  return true;
}

}  // namespace

fs::path companionPath(const fs::path& programPath, std::string_view fileName) {
  return programPath.parent_path() / platform::textToPath(fileName);
}

fs::path mwConfigurationPath(const fs::path& programPath) {
  return programPath.parent_path() / ".." / ".." / ".." / "MW" / "CONF" / "ERS-7.MWC";
}

bool checkInstallation(const fs::path& programPath, platform::Messenger& messenger) {
  const fs::path extPath = companionPath(programPath, "ACTION.EXT");
  const std::optional<std::string> firstLine = readFirstLine(extPath);
  if (!firstLine) {
    messenger.show("ERROR: Missing ACTION.EXT - please reinstall\n" + platform::pathToText(extPath),
                   true);
    return false;
  }
  const std::size_t tag = firstLine->find("ERS-");
  if (tag == std::string::npos) {
    messenger.show("ERROR: Invalid ACTION.EXT (no ERS-??? tag) - please reinstall\n" +
                       platform::pathToText(extPath),
                   true);
    return false;
  }
  if (decimalValue(std::string_view(*firstLine).substr(tag + 4)) != 7) {
    messenger.show("ERROR: Invalid ACTION.EXT (not for ERS-7) - please reinstall\n" +
                       platform::pathToText(extPath),
                   true);
    return false;
  }
  if (!platform::fileExists(mwConfigurationPath(programPath))) {
    messenger.show("ERROR: Invalid ACTION.EXT (does not match MW model number) - please reinstall",
                   true);
    return false;
  }
  return true;
}

bool readCatalogue(std::vector<PaletteEntry>& palette, const fs::path& programPath,
                   std::string_view fileName, std::string_view verb,
                   const CatalogueFilter& filter) {
  const std::optional<std::string> text =
      platform::readWholeText(companionPath(programPath, fileName), kMaxCatalogueSize);
  if (!text) return false;
  bool appended = false;
  for (const platform::TextLine& textLine : platform::splitLines(*text)) {
    std::string_view line = textLine.content;
    // A longer line is read as several pieces of at most 255 characters.
    do {
      const std::string_view piece = line.substr(0, kMaxLineLength);
      line.remove_prefix(piece.size());
      appended = appendEntry(palette, piece, verb, filter) || appended;
    } while (!line.empty());
  }
  return appended;
}

std::optional<std::string_view> nextField(std::string_view& cursor) {
  cursor = platform::trimLeadingBlanks(cursor);
  if (cursor.empty()) return std::nullopt;
  const std::string_view field = cursor.substr(0, cursor.find_first_of(platform::kBlanks));
  cursor = platform::trimLeadingBlanks(cursor.substr(field.size()));
  return field;
}

}  // namespace velk7
