#pragma once
// The code-line vocabulary: what kind a line is, parts made of lines, and the edits of a
// record's line list.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk7 {

// The value is the index of the line's image.
enum class LineKind : int { Wait = 0, Move = 1, Sys = 2, User = 3, Led = 4, Call = 5, Other = 6 };
inline constexpr int kLineKindCount = 7;

// The image caption of a kind: "wait", "move", "sys", "user", "led", "call", "????".
std::string_view kindCaption(LineKind kind);

// Action-name prefixes that make a played action a movement, tested in this order.
inline constexpr std::array<std::string_view, 13> movementNames{
    "WALK",   "STOP_WALK", "TURN",       "KICK",       "TOUCH",      "MOVE_HEAD", "TRACK_HEAD",
    "SEARCH", "PALONE.",   "MOVE.HEAD.", "MOVE.TURN.", "MOVE.MOVE.", "CONTACT."};

// One or more code lines joined by the byte 0xFF, at most kMaxPartLength bytes.
using PartText = std::string;
inline constexpr char kPartSeparator = '\xFF';
inline constexpr std::size_t kMaxPartLength = 255;

using LineList = std::vector<std::string>;

LineKind classifyLine(std::string_view text);

// "PLAY verb name", then " // rest" (rest without leading blanks and semicolons) when
// anything is left, then 0xFF "WAIT" unless the name contains "_NOWAIT". None when the
// result would be longer than kMaxPartLength.
std::optional<PartText> makePlayPart(std::string_view verb, std::string_view actionName,
                                     std::string_view remainder);

// The text after the first "//" (or the whole part), cut at the first 0xFF.
std::string partDescription(std::string_view part);

void appendLine(LineList& lines, std::string_view text);
// Appends each line of the part; a trailing 0xFF adds no empty line.
void addPart(LineList& lines, std::string_view part);
// False, and nothing changes, when `index` names no line.
bool deleteLine(LineList& lines, int index);
// Puts the line at `from` just before the line that stood at `to`; `to` equal to the
// count means after the last line. False, and nothing changes, for indexes out of range.
bool moveLine(LineList& lines, int from, int to);

}  // namespace velk7
