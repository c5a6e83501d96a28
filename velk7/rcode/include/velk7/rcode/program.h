#pragma once
// The R-CODE program as read from the stick: the whole file, untouched, plus the VELK
// records found in it. Only the records' code lines are ever edited.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk7 {

inline constexpr int kMaxRecords = 200;
// No line of R-CODE.R, ACTION.EXT or ACTION.CFG may be longer than this.
inline constexpr std::size_t kMaxLineLength = 255;
// Bit of VelkRecord::options: the record starts with a fixed PRE line.
inline constexpr std::uint32_t kPreOption = 1;

struct VelkRecord {
  std::int32_t contentStart = 0;    // offset of the first byte after the start line
  std::int32_t contentLength = -1;  // bytes up to the end line; -1 while still open
  std::string name;
  std::string indent;  // blanks and tabs before "//{", as in the file
  std::uint32_t options = 0;
  std::optional<std::string> preLine;  // PRE records only
  std::vector<std::string> lines;      // code lines without indentation or terminator
  // The "//++" texts that stood inside this record, kept so a save writes them back.
  std::vector<std::string> innerSubroutineLines;

  bool hasPre() const { return (options & kPreOption) != 0; }
};

struct RcodeProgram {
  std::string text;                 // the whole file exactly as read; never changed after loading
  std::vector<VelkRecord> records;  // in file order, at most kMaxRecords
  std::vector<std::string> subroutineLines;

  std::int32_t recordCount() const { return static_cast<std::int32_t>(records.size()); }
};

// The default place of R-CODE.R, relative to a folder one level below the stick's root.
std::filesystem::path defaultProgramPath();

// The program's path from the whole command-line text (empty: the default), made absolute
// against `currentFolder`.
std::filesystem::path locateProgram(std::string_view commandLine,
                                    const std::filesystem::path& currentFolder);

// Reads the whole file into `program.text`. False when it cannot be opened or read, is
// empty, or is too large for the model's 32-bit offsets. Reports nothing.
bool loadProgram(RcodeProgram& program, const std::filesystem::path& path);

// What a parse found wrong: nothing, or the reason and the line it names (counted from 1;
// -1 when the text ended inside a record).
struct ParseResult {
  std::string errorText;
  std::int32_t lineNumber = 0;
  explicit operator bool() const { return errorText.empty(); }
};

// Finds the VELK records in `program.text`; records accepted before a failure stay.
ParseResult parseRecords(RcodeProgram& program);

}  // namespace velk7
