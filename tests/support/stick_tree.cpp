#include "tests/support/stick_tree.h"

#include "platform/ascii_text.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;

namespace testing_support {

namespace {

void putText(platform::Bytes& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

fs::path spelled(std::string_view relative, StickNameCase nameCase) {
  return nameCase == StickNameCase::Lower ? fs::path(platform::toLowerAscii(relative))
                                          : fs::path(std::string(relative));
}

}  // namespace

platform::Bytes cmacRecord(std::uint32_t kindCode, std::string_view name) {
  platform::Bytes bytes;
  putText(bytes, "CMAC");
  platform::putLe32(bytes, kindCode);
  platform::putLe32(bytes, 1);
  bytes.resize(bytes.size() + 8, 0);
  platform::putLe16(bytes, 1);
  platform::putLe16(bytes, 0);
  bytes.push_back(static_cast<std::uint8_t>(name.size()));
  putText(bytes, name);
  return bytes;
}

platform::Bytes mcidBlock(std::int32_t number, const std::vector<platform::Bytes>& records) {
  platform::Bytes bytes;
  putText(bytes, "MCID");
  platform::putLe32(bytes, static_cast<std::uint32_t>(number));
  platform::putLe32(bytes, static_cast<std::uint32_t>(records.size()));
  for (const platform::Bytes& record : records)
    bytes.insert(bytes.end(), record.begin(), record.end());
  return bytes;
}

platform::Bytes mwcHeader(std::int32_t mcidCount, std::int32_t cmacTotal, std::uint32_t version,
                          std::string_view magic) {
  platform::Bytes bytes;
  putText(bytes, magic);
  platform::putLe32(bytes, version);
  platform::putLe32(bytes, static_cast<std::uint32_t>(mcidCount));
  platform::putLe32(bytes, static_cast<std::uint32_t>(cmacTotal));
  return bytes;
}

platform::Bytes mwcFile(const std::vector<MwcBlock>& blocks) {
  std::int32_t cmacTotal = 0;
  for (const MwcBlock& block : blocks) cmacTotal += static_cast<std::int32_t>(block.records.size());
  platform::Bytes bytes = mwcHeader(static_cast<std::int32_t>(blocks.size()), cmacTotal);
  for (const MwcBlock& block : blocks) {
    const platform::Bytes blockBytes = mcidBlock(block.number, block.records);
    bytes.insert(bytes.end(), blockBytes.begin(), blockBytes.end());
  }
  return bytes;
}

StickTree makeStickTree(const fs::path& root, const platform::Bytes& mwcBytes,
                        std::string_view actionCatalogue, StickNameCase nameCase) {
  StickTree tree;
  tree.root = root;
  tree.actionCatalogue = root / spelled("OPEN-R/APP/PC/AMS/ACTION.CFG", nameCase);
  tree.configuration = root / spelled("OPEN-R/MW/CONF/ERS-7.MWC", nameCase);
  tree.dataFolder = root / spelled("OPEN-R/MW/DATA/P", nameCase);
  writeTextFile(tree.actionCatalogue, actionCatalogue);
  writeFile(tree.configuration, mwcBytes);
  fs::create_directories(tree.dataFolder);
  return tree;
}

}  // namespace testing_support
