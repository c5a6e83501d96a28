// Code lines and line edits driven by arbitrary input: each byte picks an edit of a record's
// lines. Every edit keeps the lines it does not remove, and a refused edit changes nothing.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/support/recording_messenger.h"
#include "velk7/editor/src/line_edits.h"
#include "velk7/rcode/code_lines.h"

namespace {

std::vector<std::string> sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velk7::RcodeProgram program;
  program.records.resize(2);
  platform::RecordingMessenger messenger;
  std::size_t at = 0;
  while (at + 3 <= size) {
    const std::uint8_t op = data[at];
    const int a = static_cast<signed char>(data[at + 1]);
    const int b = static_cast<signed char>(data[at + 2]);
    at += 3;
    velk7::LineEdit edit;
    edit.record = op & 1;
    std::vector<std::string>& lines = program.records[static_cast<std::size_t>(edit.record)].lines;
    const std::vector<std::string> before = lines;
    switch ((op >> 1) % 4) {
      case 0: {
        // A part: the next bytes up to a zero, at most one part's length.
        std::string part;
        while (at < size && data[at] != 0 && part.size() < velk7::kMaxPartLength) {
          part += static_cast<char>(data[at++]);
        }
        ++at;
        FUZZ_FAIL_IF(static_cast<int>(velk7::classifyLine(part)) >= velk7::kLineKindCount);
        velk7::partDescription(part);
        edit.kind = velk7::LineEdit::Kind::AddPart;
        edit.part = part;
        if (!velk7::applyLineEdit(program, edit, messenger)) break;
        FUZZ_FAIL_IF(lines.size() < before.size() ||
                     !std::equal(before.begin(), before.end(), lines.begin()));
        break;
      }
      case 1:
        edit.kind = velk7::LineEdit::Kind::MoveLine;
        edit.from = a;
        edit.to = b;
        velk7::applyLineEdit(program, edit, messenger);
        FUZZ_FAIL_IF(sorted(lines) != sorted(before));
        break;
      case 2: {
        edit.kind = velk7::LineEdit::Kind::DeleteLine;
        edit.from = a;
        const bool deleted = velk7::applyLineEdit(program, edit, messenger);
        FUZZ_FAIL_IF(lines.size() + (deleted ? 1 : 0) != before.size());
        break;
      }
      default: {
        const std::string name(
            reinterpret_cast<const char*>(data + at),
            std::min<std::size_t>(size - at, static_cast<std::size_t>(b & 0x7F)));
        const auto part = velk7::makePlayPart("ACTION", name, "");
        FUZZ_FAIL_IF(part && part->size() > velk7::kMaxPartLength);
        break;
      }
    }
  }
  return 0;
}
