// velk_show_stick STICK_ROOT: prints what a save left on a stick (or a copy of its tree):
// the user action catalogue, the entries of the three data archives and the blocks of the
// action configuration. Exit status 0 when everything could be read, 1 when a file is
// missing or malformed, 2 for a wrong command line.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "examples/show_stick/stick_contents.h"
#include "platform/case_path.h"
#include "platform/files.h"

namespace {

// Far more than any real stick file; keeps a wrong path (a disk image, say) from being
// read whole.
constexpr std::uint64_t kLargestFileRead = std::uint64_t{256} << 20;

struct StickFile {
  std::filesystem::path path;
  std::optional<platform::Bytes> bytes;
};

StickFile readStickFile(const std::filesystem::path& root, const char* relativePath) {
  StickFile file;
  file.path = platform::resolveCase(root / relativePath);
  file.bytes = platform::readWholeFile(file.path, kLargestFileRead);
  return file;
}

void printHeading(const std::string& title, const std::filesystem::path& path) {
  std::cout << "\n== " << title << "  (" << path.string() << ")\n";
}

bool showCatalogue(const std::filesystem::path& root) {
  const StickFile file = readStickFile(root, "OPEN-R/APP/PC/AMS/ACTION.CFG");
  printHeading("ACTION.CFG", file.path);
  if (!file.bytes) {
    std::cout << "  missing or unreadable\n";
    return false;
  }
  const auto lines = stick_contents::catalogueLines(*file.bytes);
  std::cout << "  " << lines.size() << (lines.size() == 1 ? " line" : " lines") << "\n";
  for (const auto& line : lines) std::cout << "  | " << line << "\n";
  return true;
}

bool showArchive(const std::filesystem::path& root, const char* title, const char* relativePath) {
  const StickFile file = readStickFile(root, relativePath);
  printHeading(title, file.path);
  if (!file.bytes) {
    std::cout << "  missing or unreadable\n";
    return false;
  }
  const auto listing = stick_contents::readArchive(*file.bytes);
  if (listing.problem.empty()) {
    std::cout << "  " << listing.slotCount << " slots: " << listing.entries.size() << " filled, "
              << listing.emptySlots << " empty; " << file.bytes->size() << " bytes\n";
  } else if (listing.slotCount != 0) {
    std::cout << "  " << listing.slotCount << " slots declared\n";
  }
  for (const auto& entry : listing.entries) {
    char line[200];
    std::snprintf(line, sizeof line, "  %-4s  %-28s %8u bytes at %u\n", entry.tag.c_str(),
                  entry.name.c_str(), static_cast<unsigned>(entry.size),
                  static_cast<unsigned>(entry.offset));
    std::cout << line;
  }
  if (!listing.problem.empty()) {
    std::cout << "  malformed: " << listing.problem << "\n";
    return false;
  }
  return true;
}

bool showConfiguration(const std::filesystem::path& root) {
  const StickFile file = readStickFile(root, "OPEN-R/MW/CONF/ERS-7.MWC");
  printHeading("ERS-7.MWC", file.path);
  if (!file.bytes) {
    std::cout << "  missing or unreadable\n";
    return false;
  }
  const auto listing = stick_contents::readConfiguration(*file.bytes);
  if (listing.version != 0) {
    std::cout << "  version " << listing.version << ", " << listing.declaredBlocks << " blocks and "
              << listing.declaredRecords << " records declared\n";
  }
  std::size_t records = 0;
  for (const auto& block : listing.blocks) {
    records += block.records.size();
    char head[80];
    std::snprintf(head, sizeof head, "  %s block %6d, %zu %s:",
                  stick_contents::isGeneratedNumber(block.number) ? "*" : " ",
                  static_cast<int>(block.number), block.records.size(),
                  block.records.size() == 1 ? "record " : "records");
    std::cout << head;
    for (const auto& record : block.records) {
      std::cout << " " << record.name << " (" << stick_contents::kindName(record.kind) << ")";
    }
    std::cout << "\n";
  }
  std::cout << "  (* = action numbers " << stick_contents::kLowestGeneratedNumber << " to "
            << stick_contents::kHighestGeneratedNumber << ", rewritten by every save)\n";
  if (!listing.problem.empty()) {
    std::cout << "  malformed: " << listing.problem << "\n";
    return false;
  }
  if (records != static_cast<std::size_t>(listing.declaredRecords)) {
    std::cout << "  note: the header declares " << listing.declaredRecords
              << " records, the blocks hold " << records << "\n";
  }
  if (listing.trailingBytes != 0) {
    std::cout << "  note: " << listing.trailingBytes
              << " bytes after the last block (a save does not keep them)\n";
  }
  if (platform::fileExists(platform::resolveCase(root / "OPEN-R/MW/CONF/ERS-7.NEW"))) {
    std::cout << "  note: ERS-7.NEW is present, left by a save that did not finish\n";
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: velk_show_stick STICK_ROOT\n"
                 "  prints ACTION.CFG, the entries of AUDIO.ODA, MOTION.ODA and LED.ODA and\n"
                 "  the blocks of ERS-7.MWC of the stick (or stick copy) at STICK_ROOT\n";
    return 2;
  }
  const std::filesystem::path root = argv[1];
  std::cout << "Stick: " << root.string() << "\n";
  bool good = showCatalogue(root);
  good = showArchive(root, "AUDIO.ODA", "OPEN-R/MW/DATA/P/AUDIO.ODA") && good;
  good = showArchive(root, "MOTION.ODA", "OPEN-R/MW/DATA/P/MOTION.ODA") && good;
  good = showArchive(root, "LED.ODA", "OPEN-R/MW/DATA/P/LED.ODA") && good;
  good = showConfiguration(root) && good;
  return good ? 0 : 1;
}
