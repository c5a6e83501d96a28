#pragma once
// Reads the action configuration ERS-7.MWC back: its blocks and their records. Counts and
// name lengths from the file are checked against the bytes at hand before they are used; the
// rules are those the save's copy applies, so a file read here is one a save accepts.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velk_mur {

struct MwcRecord {
  std::uint32_t kind = 0;
  std::string name;
};

struct MwcBlock {
  std::int32_t number = 0;
  std::vector<MwcRecord> records;
};

struct MwcContents {
  std::uint32_t version = 0;
  std::int32_t declaredBlocks = 0;
  std::int32_t declaredRecords = 0;  // the header's total, which a save does not check
  std::vector<MwcBlock> blocks;      // complete blocks, up to any problem
  std::uint64_t trailingBytes = 0;   // after the last declared block; a save drops them
};

struct MwcReadResult {
  MwcContents configuration;
  std::string problem;  // empty when the file was read; otherwise why it was refused
  bool ok() const { return problem.empty(); }
};

MwcReadResult readMwcFile(std::span<const std::uint8_t> bytes);

// Words for a record's kind ("sound", "head motion", ...), or its hexadecimal code.
std::string mwcKindName(std::uint32_t kind);

}  // namespace velk_mur
