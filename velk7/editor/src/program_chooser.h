#pragma once
// The Open dialog shown when velk7 finds no R-CODE.R where it looks: the user picks the
// file itself or the stick's folder.
#include <filesystem>
#include <optional>

class QWidget;

namespace velk7 {

// The program file chosen, none when the user cancels. A folder holding
// OPEN-R/APP/PC/AMS/R-CODE.R is taken as the stick and gives that file.
std::optional<std::filesystem::path> chooseProgramFile(QWidget* parent = nullptr);

// The stick's program file below `folder`.
std::filesystem::path programBelow(const std::filesystem::path& folder);

}  // namespace velk7
