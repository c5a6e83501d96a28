#pragma once
// The actions a program may play, as the stick lists them: ACTION.CFG (the stick's own
// actions), ACTION.EXT (the installation's system actions) and the numbered blocks of
// ERS-7.MWC, with how long each plays when the archives tell.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "velk_mur/stick/stick_actions.h"

namespace velk7::program {

struct CatalogueAction {
  std::string name;         // as the catalogue writes it
  std::int32_t number = 0;  // its MWC number; 0 for the robot's own parametric actions
  std::string file;         // "ACTION.CFG", "ACTION.EXT" or "built in"
};

// What a run assumes for an action whose length nothing on the stick gives.
inline constexpr double kAssumedActionSeconds = 2.0;

struct ActionLength {
  double seconds = kAssumedActionSeconds;
  bool assumed = true;
  bool talks = false;  // a sound with a mouth motion: the run's window shows the head
  std::int32_t number = 0;
};

struct ActionCatalogue {
  std::unordered_map<std::string, CatalogueAction> byName;  // names in upper case
  velk_mur::StickActions stick;
  std::vector<std::string> unreadable;  // files that are there but could not be read
  bool anyFile = false;                 // at least one of the three files was read

  const CatalogueAction* find(std::string_view name) const;
  bool knowsNumber(std::int32_t number) const;
  ActionLength lengthOf(std::string_view name) const;
  ActionLength lengthOfNumber(std::int32_t number) const;
};

// The walking, turning and looking actions every source names; they carry parameters and
// are played by name.
const std::vector<std::string_view>& builtInActions();

// Adds the lines of a catalogue's text (name, number, code, comment; a name starting with "-"
// and a number that is not positive make no action).
void addCatalogueText(ActionCatalogue& catalogue, std::string_view text, std::string_view file);

// The catalogues beside R-CODE.R and the stick's ERS-7.MWC and archives.
ActionCatalogue readActionCatalogue(const std::filesystem::path& programPath);

// The folder holding OPEN-R, four levels above R-CODE.R.
std::filesystem::path stickRootOf(const std::filesystem::path& programPath);

}  // namespace velk7::program
