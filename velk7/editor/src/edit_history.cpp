#include "edit_history.h"

namespace velk7 {

void EditHistory::add(int record, LineList before, LineList after) {
  steps_.resize(done_);
  steps_.push_back({record, std::move(before), std::move(after)});
  done_ = steps_.size();
}

std::optional<int> EditHistory::undo(RcodeProgram& program) {
  if (!canUndo()) return std::nullopt;
  const Step& step = steps_[--done_];
  program.records[static_cast<std::size_t>(step.record)].lines = step.before;
  return step.record;
}

std::optional<int> EditHistory::redo(RcodeProgram& program) {
  if (!canRedo()) return std::nullopt;
  const Step& step = steps_[done_++];
  program.records[static_cast<std::size_t>(step.record)].lines = step.after;
  return step.record;
}

}  // namespace velk7
