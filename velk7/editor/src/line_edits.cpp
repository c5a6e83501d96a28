#include "line_edits.h"

#include <algorithm>

#include "program_check.h"
#include "velk7/rcode/code_lines.h"

namespace velk7 {

bool applyLineEdit(RcodeProgram& program, const LineEdit& edit, platform::Messenger& messenger) {
  if (edit.kind == LineEdit::Kind::None) return false;
  if (edit.record < 0 || edit.record >= program.recordCount()) return false;
  LineList& lines = program.records[static_cast<std::size_t>(edit.record)].lines;
  switch (edit.kind) {
    case LineEdit::Kind::AddPart: {
      // The editor never writes a line the robot cannot read.
      if (const std::optional<std::string> refusal =
              partTooLong(program.records[static_cast<std::size_t>(edit.record)], edit.part)) {
        messenger.show(*refusal, true);
        return false;
      }
      const std::size_t count = lines.size();
      addPart(lines, edit.part);
      // A part added from the keyboard goes in after the chosen line: the new lines rotate
      // into place.
      if (edit.to >= 0 && static_cast<std::size_t>(edit.to) < count) {
        std::rotate(lines.begin() + edit.to, lines.begin() + static_cast<std::ptrdiff_t>(count),
                    lines.end());
      }
      return true;
    }
    case LineEdit::Kind::MoveLine:
      if (moveLine(lines, edit.from, edit.to)) return true;
      messenger.show(kRearrangeHint, false);
      return false;
    case LineEdit::Kind::DeleteLine:
      return deleteLine(lines, edit.from);
    case LineEdit::Kind::None:
      break;
  }
  return false;
}

}  // namespace velk7
