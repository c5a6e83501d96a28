#pragma once
// Writes the edited program: bytes outside the records copied, records regenerated.
#include <optional>
#include <string>

#include "platform/byte_sink.h"
#include "velk7/rcode/program.h"

namespace velk7 {

// A regenerated line that the reader would not take back: longer than 255 bytes once
// indented, or read as a marker line ("//{", "//}", "//++" after blanks and tabs).
struct UnwritableLine {
  int record = 0;
  std::string line;  // as it would be written, without CR LF
};

std::optional<UnwritableLine> findUnwritableLine(const RcodeProgram& program);

// Writes the whole new file from its first byte. False as soon as a write fails, and
// before writing anything when findUnwritableLine finds a line (the file would not load).
bool writeProgram(const RcodeProgram& program, platform::ByteSink& sink);

}  // namespace velk7
