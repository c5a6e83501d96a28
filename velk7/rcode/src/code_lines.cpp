#include "velk7/rcode/code_lines.h"

#include <array>

namespace velk7 {

std::string_view kindCaption(LineKind kind) {
  static constexpr std::array<std::string_view, kLineKindCount> captions{
      "wait", "move", "sys", "user", "led", "call", "????"};
  const int index = static_cast<int>(kind);
  if (index < 0 || index >= kLineKindCount) return captions.back();
  return captions[static_cast<std::size_t>(index)];
}

LineKind classifyLine(std::string_view text) {
  static constexpr std::string_view kPlayAction = "PLAY ACTION ";
  if (text.starts_with("WAIT")) return LineKind::Wait;
  if (text.starts_with(kPlayAction)) {
    const std::string_view action = text.substr(kPlayAction.size());
    for (std::string_view movement : movementNames) {
      if (action.starts_with(movement)) return LineKind::Move;
    }
    return LineKind::Sys;
  }
  if (text.starts_with("PLAY ACTION+ ")) return LineKind::User;
  if (text.starts_with("SET Head")) return LineKind::Other;
  if (text.starts_with("SET ")) return LineKind::Led;
  if (text.starts_with("CALL ") || text.starts_with("PUSH ")) return LineKind::Call;
  return LineKind::Other;
}

std::optional<PartText> makePlayPart(std::string_view verb, std::string_view actionName,
                                     std::string_view remainder) {
  PartText part = "PLAY ";
  part.append(verb);
  part.push_back(' ');
  part.append(actionName);
  const std::size_t commentStart = remainder.find_first_not_of(" ;");
  if (commentStart != std::string_view::npos) {
    part.append(" // ");
    part.append(remainder.substr(commentStart));
  }
  if (actionName.find("_NOWAIT") == std::string_view::npos) {
    part.push_back(kPartSeparator);
    part.append("WAIT");
  }
  if (part.size() > kMaxPartLength) return std::nullopt;
  return part;
}

std::string partDescription(std::string_view part) {
  const std::size_t comment = part.find("//");
  std::string_view description =
      comment == std::string_view::npos ? part : part.substr(comment + 2);
  description = description.substr(0, description.find(kPartSeparator));
  return std::string(description);
}

void appendLine(LineList& lines, std::string_view text) {
  lines.emplace_back(text);
}

void addPart(LineList& lines, std::string_view part) {
  while (!part.empty()) {
    const std::size_t separator = part.find(kPartSeparator);
    if (separator == std::string_view::npos) {
      appendLine(lines, part);
      return;
    }
    appendLine(lines, part.substr(0, separator));
    part.remove_prefix(separator + 1);
  }
}

bool deleteLine(LineList& lines, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) return false;
  lines.erase(lines.begin() + index);
  return true;
}

bool moveLine(LineList& lines, int from, int to) {
  const auto count = static_cast<int>(lines.size());
  if (from < 0 || from >= count || to < 0 || to > count) return false;
  if (to == from || to == from + 1) return true;
  std::string moved = std::move(lines[static_cast<std::size_t>(from)]);
  lines.erase(lines.begin() + from);
  const int target = to < from ? to : to - 1;
  lines.insert(lines.begin() + target, std::move(moved));
  return true;
}

}  // namespace velk7
