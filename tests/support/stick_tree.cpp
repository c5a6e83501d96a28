#include "tests/support/stick_tree.h"

#include <algorithm>

#include "platform/ascii_text.h"

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

StickTree makeValidStick(const fs::path& root) {
  return makeStickTree(root, mwcFile({}));
}

platform::Bytes fileBytes(std::string_view text, std::size_t size) {
  platform::Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(text[i % text.size()]);
  return bytes;
}

platform::Bytes concat(std::initializer_list<platform::Bytes> parts) {
  platform::Bytes all;
  for (const platform::Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

platform::Bytes expectedArchive(std::uint32_t slots, const std::vector<OdaEntry>& entries) {
  platform::Bytes archive{'O', 'D', 'A', 'R', 0, 0, 3, 0};
  platform::putLe32(archive, slots);
  platform::putLe32(archive, 144);
  archive.resize(64 + slots * 144, 0);
  std::uint32_t offset = 64 + slots * 144;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::uint8_t* slot = archive.data() + 64 + i * 144;
    std::copy(entries[i].tag.begin(), entries[i].tag.end(), slot);
    std::copy(entries[i].name.begin(), entries[i].name.end(), slot + 4);
    platform::Bytes numbers;
    platform::putLe32(numbers, offset);
    platform::putLe32(numbers, static_cast<std::uint32_t>(entries[i].data.size()));
    std::copy(numbers.begin(), numbers.end(), slot + 132);
    offset += static_cast<std::uint32_t>(entries[i].data.size());
  }
  for (const OdaEntry& entry : entries)
    archive.insert(archive.end(), entry.data.begin(), entry.data.end());
  return archive;
}

void writeRecording(const fs::path& folder, std::string_view name, std::size_t soundBytes) {
  writeWav(folder / (std::string(name) + ".wav"), silence(soundBytes));
}

void writeReadyCompanions(const fs::path& folder, std::string_view name) {
  writeTextFile(folder / (std::string(name) + ".mtn"), "OMTN");
  // The smallest MIDI file of the generator's shape: one track holding only its end.
  writeFile(folder / "GEN" / (std::string(name) + ".led"),
            {'M',  'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
             0x78, 'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0});
}

}  // namespace testing_support
