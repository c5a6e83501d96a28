#pragma once
// Makes the edits that drags and the Delete key decide on the selected record's lines.
#include "drag_controller.h"
#include "platform/messenger.h"
#include "velk7/rcode/program.h"

namespace velk7 {

// Applies `edit` to its record through the line operations. True when the edit was made
// (also a move that leaves the order as it was): the caller marks the program changed and
// shows the record again. A move refused for its indexes shows the rearrange hint and
// changes nothing.
bool applyLineEdit(RcodeProgram& program, const LineEdit& edit, platform::Messenger& messenger);

}  // namespace velk7
