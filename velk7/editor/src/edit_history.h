#pragma once
// Every edit since the program was loaded, as the record's lines before and after it, so
// the edits can be undone and redone in turn.
#include <optional>
#include <vector>

#include "velk7/rcode/code_lines.h"
#include "velk7/rcode/program.h"

namespace velk7 {

class EditHistory {
 public:
  // An edit was made on `record`; the edits undone before it can no longer be redone.
  void add(int record, LineList before, LineList after);

  // Puts the record of the last edit back as it was, or as it was made again; returns the
  // record concerned, none when there is nothing to undo or redo.
  std::optional<int> undo(RcodeProgram& program);
  std::optional<int> redo(RcodeProgram& program);

  bool canUndo() const { return done_ > 0; }
  bool canRedo() const { return done_ < steps_.size(); }

 private:
  struct Step {
    int record;
    LineList before;
    LineList after;
  };
  std::vector<Step> steps_;
  std::size_t done_ = 0;  // the steps before this index are in effect
};

}  // namespace velk7
