#pragma once
// Reads an OPEN-R data archive ("ODAR") back: its directory and where each entry's data lie.
// Offsets and sizes from the file are checked against the file before an entry is listed.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "oda_writer.h"

namespace velk_mur {

struct OdaEntry {
  std::uint32_t slot = 0;
  platform::FourCC tag{};
  std::string name;
  std::uint32_t offset = 0;  // from the start of the archive
  std::uint32_t size = 0;
};

struct OdaArchiveContents {
  std::uint32_t slotCount = 0;
  std::uint32_t emptySlots = 0;
  std::vector<OdaEntry> entries;  // the filled slots in slot order, up to any problem
};

struct OdaReadResult {
  OdaArchiveContents archive;
  std::string problem;  // empty when the archive was read; otherwise why it was refused
  bool ok() const { return problem.empty(); }
};

OdaReadResult readOdaArchive(std::span<const std::uint8_t> bytes);

// An entry's data inside the archive it was read from.
std::span<const std::uint8_t> odaEntryData(std::span<const std::uint8_t> archive,
                                           const OdaEntry& entry);

// The tag as text: "WAVE", "OMTN", "LED", other bytes as \xNN.
std::string odaTagText(const platform::FourCC& tag);

}  // namespace velk_mur
