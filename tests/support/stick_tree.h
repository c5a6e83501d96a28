#pragma once
// Test memory sticks: the few folders and files a save needs, and small builders for the
// bytes of an action configuration (ERS-7.MWC).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_order.h"

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

}  // namespace testing_support
