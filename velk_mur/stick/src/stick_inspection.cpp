#include "velk_mur/stick/stick_inspection.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "mwc_reader.h"
#include "mwc_update.h"
#include "oda_reader.h"
#include "platform/ascii_text.h"
#include "platform/byte_order.h"
#include "platform/case_path.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "save_files.h"
#include "stick_file.h"
#include "velk_mur/generate/led_reader.h"
#include "velk_mur/generate/motion_reader.h"
#include "velk_mur/generate/naming.h"

namespace velk_mur {

namespace {

// Far more than any real stick file; keeps a wrong path (a disk image, say) from being read.
constexpr std::uint64_t kLargestFileRead = std::uint64_t{1} << 30;

struct FileOnStick {
  std::string title;  // "AUDIO.ODA"
  std::filesystem::path path;
  std::optional<platform::Bytes> bytes;
};

// Reads a stick file; a missing file and one that could not be read are different problems.
FileOnStick readOnStick(const std::filesystem::path& root, std::string_view name,
                        std::string_view extension, StickInspection& inspection) {
  FileOnStick file;
  file.path = platform::resolveCase(stickFilePath(root, name, extension));
  file.title = platform::pathToText(file.path.filename());
  inspection.listing.push_back("");
  inspection.listing.push_back("== " + file.title + "  (" + platform::pathToText(file.path) + ")");
  platform::FileReadResult read = platform::readFileIfPresent(file.path, kLargestFileRead);
  if (read.status == platform::FileReadStatus::Read) {
    file.bytes = std::move(read.bytes);
  } else {
    inspection.problems.push_back(file.title + (read.status == platform::FileReadStatus::Missing
                                                    ? " does not exist"
                                                    : " could not be read"));
  }
  if (!file.bytes) inspection.listing.push_back("  (not read)");
  return file;
}

struct CatalogueAction {
  std::string name;
  long number = 0;
  std::size_t line = 0;
};

// A catalogue line is the action name, blanks or a tab, and its number; other lines carry no
// action.
std::optional<CatalogueAction> catalogueAction(const std::string& line, std::size_t lineNumber) {
  const std::size_t nameEnd = line.find_first_of(" \t");
  if (nameEnd == 0 || nameEnd == std::string::npos) return std::nullopt;
  const std::size_t numberStart = line.find_first_not_of(" \t", nameEnd);
  if (numberStart == std::string::npos) return std::nullopt;
  CatalogueAction action{line.substr(0, nameEnd), 0, lineNumber};
  std::size_t digits = numberStart;
  while (digits < line.size() && digits - numberStart < 9 && line[digits] >= '0' &&
         line[digits] <= '9') {
    action.number = action.number * 10 + (line[digits] - '0');
    ++digits;
  }
  if (digits == numberStart) return std::nullopt;
  return action;
}

enum class Archive { Audio, Motion, Led };

constexpr std::array<std::string_view, 3> kArchiveNames = {kAudioArchiveName, kMotionArchiveName,
                                                           kLedArchiveName};
constexpr std::array<platform::FourCC, 3> kArchiveTags = {kWaveTag, kMotionTag, kLedTag};

std::optional<Archive> archiveOfKind(std::uint32_t kind) {
  switch (kind) {
    case kFullBodyMotionRecord:
    case kHeadMotionRecord:
    case kMouthMotionRecord:
      return Archive::Motion;
    case kSoundRecord:
      return Archive::Audio;
    case kLedRecord:
      return Archive::Led;
    default:
      return std::nullopt;
  }
}

// A WAVE entry is a RIFF/WAVE file whose chunks lie inside it and that has a format and a
// data chunk; the sound's own format is the robot's business.
std::string waveProblem(std::span<const std::uint8_t> data) {
  constexpr std::size_t kRiffHeader = 12;
  if (data.size() < kRiffHeader || !std::equal(data.begin(), data.begin() + 4, "RIFF") ||
      !std::equal(data.begin() + 8, data.begin() + 12, "WAVE")) {
    return "not a RIFF/WAVE file";
  }
  bool hasFormat = false;
  for (std::size_t at = kRiffHeader; data.size() - at >= 8;) {
    const std::string_view id(reinterpret_cast<const char*>(&data[at]), 4);
    const std::uint32_t size = platform::getLe32(&data[at + 4]);
    if (size > data.size() - at - 8) return "chunk \"" + std::string(id) + "\" runs past the end";
    if (id == "fmt ") hasFormat = true;
    if (id == "data") return hasFormat ? "" : "sound data before the format chunk";
    at += 8 + size + (size & 1);
    if (at > data.size()) break;
  }
  return "no sound data chunk";
}

std::string entryProblem(const platform::FourCC& tag, std::span<const std::uint8_t> data) {
  if (tag == kWaveTag) return waveProblem(data);
  if (tag == kMotionTag) return readMotionFile(data).problem;
  if (tag == kLedTag) return readLedFile(data).problem;
  return "unknown tag \"" + odaTagText(tag) + "\"";
}

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

struct ArchiveNames {
  std::string title;
  std::unordered_set<std::string> names;  // lower case
  bool read = false;  // names of an archive that could not be read are not checked
};

// Lists and checks one archive; returns the names of its entries.
ArchiveNames inspectArchive(const std::filesystem::path& root, Archive which,
                            StickInspection& inspection) {
  const auto index = static_cast<std::size_t>(which);
  const FileOnStick file = readOnStick(root, kArchiveNames[index], kArchiveExtension, inspection);
  ArchiveNames result{file.title, {}};
  std::unordered_set<std::string>& names = result.names;
  if (!file.bytes) return result;
  result.read = true;
  const OdaReadResult read = readOdaArchive(*file.bytes);
  const OdaArchiveContents& archive = read.archive;
  if (read.ok()) {
    inspection.listing.push_back("  " + std::to_string(archive.slotCount) +
                                 " slots: " + std::to_string(archive.entries.size()) + " filled, " +
                                 std::to_string(archive.emptySlots) + " empty; " +
                                 std::to_string(file.bytes->size()) + " bytes");
  }
  for (const OdaEntry& entry : archive.entries) {
    char place[64];
    std::snprintf(place, sizeof place, "%8u bytes at %u", static_cast<unsigned>(entry.size),
                  static_cast<unsigned>(entry.offset));
    inspection.listing.push_back("  " + padded(odaTagText(entry.tag), 4) + "  " +
                                 padded(entry.name, 28) + " " + place);
    names.insert(platform::toLowerAscii(entry.name));
    const std::string where = file.title + " entry " + entry.name;
    if (entry.tag != kArchiveTags[index]) {
      inspection.problems.push_back(where + " is tagged \"" + odaTagText(entry.tag) + "\", not \"" +
                                    odaTagText(kArchiveTags[index]) + "\"");
      continue;
    }
    const std::string problem = entryProblem(entry.tag, odaEntryData(*file.bytes, entry));
    if (problem.empty()) continue;
    std::string line = where;
    line.append(": ").append(problem);
    inspection.problems.push_back(std::move(line));
  }
  if (!read.ok()) inspection.problems.push_back(file.title + ": " + read.problem);
  return result;
}

std::string blockLine(const MwcBlock& block) {
  const bool owned = block.number >= kFirstOwnedAction && block.number <= kLastOwnedAction;
  char head[80];
  std::snprintf(head, sizeof head, "  %s block %6d, %zu %s:", owned ? "*" : " ",
                static_cast<int>(block.number), block.records.size(),
                block.records.size() == 1 ? "record " : "records");
  std::string line = head;
  for (const MwcRecord& record : block.records) {
    line += " " + record.name + " (" + mwcKindName(record.kind) + ")";
  }
  return line;
}

// Lists the catalogue line by line and gathers the actions it names.
std::vector<CatalogueAction> inspectCatalogue(const FileOnStick& catalogue,
                                              StickInspection& inspection) {
  std::vector<CatalogueAction> actions;
  if (!catalogue.bytes) return actions;
  const std::string_view text(reinterpret_cast<const char*>(catalogue.bytes->data()),
                              catalogue.bytes->size());
  const std::vector<platform::TextLine> lines = platform::splitLines(text);
  inspection.listing.push_back("  " + std::to_string(lines.size()) +
                               (lines.size() == 1 ? " line" : " lines"));
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::string line(lines[index].content);
    inspection.listing.push_back("  | " + line);
    if (auto action = catalogueAction(line, index + 1)) actions.push_back(*action);
  }
  return actions;
}

// Each record of a generator's own block must be in the archive of its kind; elsewhere a
// missing one is only worth a note.
void checkBlockRecords(const MwcBlock& block, const std::string& title,
                       const std::array<ArchiveNames, 3>& archives, StickInspection& inspection) {
  const bool owned = block.number >= kFirstOwnedAction && block.number <= kLastOwnedAction;
  for (const MwcRecord& record : block.records) {
    const std::optional<Archive> archive = archiveOfKind(record.kind);
    if (!archive) continue;
    const auto index = static_cast<std::size_t>(*archive);
    if (!archives[index].read) {
      std::vector<std::string>& missing = inspection.missing;
      if (owned &&
          std::find(missing.begin(), missing.end(), archives[index].title) == missing.end()) {
        missing.push_back(archives[index].title);
      }
      continue;
    }
    if (archives[index].names.contains(platform::toLowerAscii(record.name))) continue;
    const std::string missing = title + " block " + std::to_string(block.number) + ": " +
                                record.name + " (" + mwcKindName(record.kind) + ") is not in " +
                                archives[index].title;
    if (owned) {
      inspection.problems.push_back(missing);
    } else {
      inspection.notes.push_back(missing + " (it may live elsewhere on the robot)");
    }
  }
}

// The header's counts against the blocks, and every catalogue action against its block.
void checkConfigurationCounts(const MwcContents& configuration, std::size_t records,
                              const std::unordered_set<long>& numbers, const std::string& title,
                              const std::vector<CatalogueAction>& actions,
                              const std::string& catalogueTitle, StickInspection& inspection) {
  if (records != static_cast<std::size_t>(configuration.declaredRecords)) {
    inspection.notes.push_back(title + ": the header declares " +
                               std::to_string(configuration.declaredRecords) +
                               " records, the blocks hold " + std::to_string(records));
  }
  if (configuration.trailingBytes != 0) {
    inspection.notes.push_back(title + ": " + std::to_string(configuration.trailingBytes) +
                               " bytes after the last block (a save does not keep them)");
  }
  for (const CatalogueAction& action : actions) {
    if (numbers.contains(action.number)) continue;
    std::string problem = catalogueTitle;
    problem.append(" line ").append(std::to_string(action.line)).append(": action ");
    problem.append(std::to_string(action.number)).append(" (").append(action.name);
    inspection.problems.push_back(problem.append(") has no block in ").append(title));
  }
}

// Lists the configuration's blocks and checks them against the archives and the catalogue.
void inspectConfiguration(const std::filesystem::path& stickRoot,
                          const std::vector<CatalogueAction>& actions,
                          const std::string& catalogueTitle,
                          const std::array<ArchiveNames, 3>& archives,
                          StickInspection& inspection) {
  const FileOnStick file =
      readOnStick(stickRoot, kConfigurationName, kConfigurationExtension, inspection);
  if (!file.bytes) {
    inspection.missing.push_back(file.title);
    return;
  }
  const MwcReadResult read = readMwcFile(*file.bytes);
  const MwcContents& configuration = read.configuration;
  if (configuration.version != 0) {
    inspection.listing.push_back("  version " + std::to_string(configuration.version) + ", " +
                                 std::to_string(configuration.declaredBlocks) + " blocks and " +
                                 std::to_string(configuration.declaredRecords) +
                                 " records declared");
  }
  std::size_t records = 0;
  std::unordered_set<long> numbers;
  for (const MwcBlock& block : configuration.blocks) {
    inspection.listing.push_back(blockLine(block));
    records += block.records.size();
    numbers.insert(block.number);
    checkBlockRecords(block, file.title, archives, inspection);
  }
  inspection.listing.push_back("  (* = action numbers " + std::to_string(kFirstOwnedAction) +
                               " to " + std::to_string(kLastOwnedAction) +
                               ", rewritten by every save)");
  if (!read.ok()) {
    inspection.problems.push_back(file.title + ": " + read.problem);
    return;
  }
  checkConfigurationCounts(configuration, records, numbers, file.title, actions, catalogueTitle,
                           inspection);
}

}  // namespace

StickInspection inspectStick(const std::filesystem::path& stickRoot) {
  StickInspection inspection;
  inspection.listing.push_back("Stick: " + platform::pathToText(stickRoot));
  const FileOnStick catalogue =
      readOnStick(stickRoot, kActionCatalogueName, kActionCatalogueExtension, inspection);
  if (!catalogue.bytes) inspection.missing.push_back(catalogue.title);
  const std::vector<CatalogueAction> actions = inspectCatalogue(catalogue, inspection);
  std::array<ArchiveNames, 3> archives;
  for (Archive which : {Archive::Audio, Archive::Motion, Archive::Led}) {
    archives[static_cast<std::size_t>(which)] = inspectArchive(stickRoot, which, inspection);
  }
  inspectConfiguration(stickRoot, actions, catalogue.title, archives, inspection);
  for (const NewFileKind& kind : kNewFiles) {
    const std::filesystem::path left = stickFilePath(stickRoot, kind.stickName, kNewFileExtension);
    if (platform::fileState(left) == platform::FileState::Absent) continue;
    inspection.notes.push_back(platform::pathToText(platform::resolveCase(left).filename()) +
                               " is present, left by a save that did not finish");
  }
  return inspection;
}

}  // namespace velk_mur
