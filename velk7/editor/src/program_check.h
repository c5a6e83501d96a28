#pragma once
// The editor's use of the program checks: the program checked as a save would write it, the
// question put before saving a program the robot cannot run, the Check command's report, and
// the refusal of a part that would give a line the robot cannot read.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/messenger.h"
#include "velk7/program/checker.h"
#include "velk7/rcode/program.h"

namespace velk7 {

inline constexpr std::string_view kSaveAnywayQuestion = "Save anyway?";
inline constexpr std::size_t kErrorsShownAtMost = 12;

// The text a save would write; none when the program cannot be written (the save itself
// then reports why).
std::optional<std::string> textToSave(const RcodeProgram& program);

// Checks that text with the catalogues beside `programPath`.
program::CheckResult checkText(const std::string& text, const std::filesystem::path& programPath);

// True when the save may go on: at once when the check found no error, else when the user
// answers Yes to the question that lists the errors with their lines.
bool confirmSave(const program::CheckResult& result, platform::Messenger& messenger);

// The Check command's message: every finding with its line, or that there is none.
std::string checkReport(const program::CheckResult& result);

// Why `part` cannot go into `record`: one of its lines, indented as the save writes it,
// would be longer than the robot reads. None when every line fits.
std::optional<std::string> partTooLong(const VelkRecord& record, std::string_view part);

}  // namespace velk7
