#pragma once
// Test memory sticks: the few folders and files a save needs, builders for the bytes of an
// action configuration (ERS-7.MWC) and of an archive, and audio folders whose recordings have
// (or lack) their motion files.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_order.h"
#include "tests/support/gen_wav_maker.h"
#include "tests/support/temp_tree.h"
#include "velk_mur/app/commands/include/velk_mur/commands/app_settings.h"

namespace testing_support {

// A CMAC record as the generator writes it: tag, kind, 1, eight zeros, 16-bit 1, two zeros,
// then a one-byte length and the name.
platform::Bytes cmacRecord(std::uint32_t kindCode, std::string_view name);

// An MCID block: tag, number, the number of records, then the records as given.
platform::Bytes mcidBlock(std::int32_t number, const std::vector<platform::Bytes>& records);

// The 16-byte header: magic, version, block count, CMAC total.
platform::Bytes mwcHeader(std::int32_t mcidCount, std::int32_t cmacTotal, std::uint32_t version = 1,
                          std::string_view magic = "MWCM");

// A whole configuration: a header whose counts match `blocks`, then the blocks.
struct MwcBlock {
  std::int32_t number = 0;
  std::vector<platform::Bytes> records;
};
platform::Bytes mwcFile(const std::vector<MwcBlock>& blocks);

// Where a test stick keeps its files; the names are spelled as on disk.
struct StickTree {
  std::filesystem::path root;
  std::filesystem::path actionCatalogue;  // OPEN-R/APP/PC/AMS/ACTION.CFG
  std::filesystem::path configuration;    // OPEN-R/MW/CONF/ERS-7.MWC
  std::filesystem::path dataFolder;       // OPEN-R/MW/DATA/P (created empty)
};

enum class StickNameCase { Upper, Lower };

// Creates the stick tree under `root` with ERS-7.MWC holding `mwcBytes` and ACTION.CFG holding
// `actionCatalogue`. With StickNameCase::Lower every folder and file name is in lower case, as on
// a stick copied to a case-sensitive file system.
StickTree makeStickTree(const std::filesystem::path& root, const platform::Bytes& mwcBytes,
                        std::string_view actionCatalogue = "",
                        StickNameCase nameCase = StickNameCase::Upper);

// A stick with an empty ACTION.CFG and an ERS-7.MWC without blocks.
StickTree makeValidStick(const std::filesystem::path& root);

// `size` bytes repeating `text`, recognisable in a failing comparison.
platform::Bytes fileBytes(std::string_view text, std::size_t size);

platform::Bytes concat(std::initializer_list<platform::Bytes> parts);

struct OdaEntry {
  std::string tag;  // four bytes
  std::string name;
  platform::Bytes data;
};

// An archive laid out independently of the writer: header, slots, then the data.
platform::Bytes expectedArchive(std::uint32_t slots, const std::vector<OdaEntry>& entries);

// A recording of `soundBytes` silent samples.
void writeRecording(const std::filesystem::path& folder, std::string_view name,
                    std::size_t soundBytes);

// A user-supplied full-body motion and a generated LED file: with them a recording is ready
// for the check without running the generators over it.
void writeReadyCompanions(const std::filesystem::path& folder, std::string_view name);

// An environment whose current folder and home are inside `dir`.
inline velk_mur::AppEnvironment environmentIn(const TempDir& dir) {
  std::filesystem::create_directories(dir / "work");
  return {dir / "work", dir / "home", dir / "backups"};
}

}  // namespace testing_support
