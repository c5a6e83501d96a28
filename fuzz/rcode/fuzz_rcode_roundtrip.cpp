// R-CODE.R read, written back and read again: both models must agree, and every byte outside
// the records must come back unchanged.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/byte_sink.h"
#include "velk7/rcode/program.h"
#include "velk7/rcode/program_writer.h"

namespace {

// The file's bytes outside the records' contents, record by record.
std::string outsideText(const velk7::RcodeProgram& program) {
  std::string outside;
  std::size_t position = 0;
  for (const velk7::VelkRecord& record : program.records) {
    const auto start = static_cast<std::size_t>(record.contentStart);
    FUZZ_FAIL_IF(start < position || record.contentLength < 0);
    outside.append(program.text, position, start - position);
    outside += '\0';  // keeps the records' places apart
    position = start + static_cast<std::size_t>(record.contentLength);
  }
  FUZZ_FAIL_IF(position > program.text.size());
  outside.append(program.text, position);
  return outside;
}

bool sameRecord(const velk7::VelkRecord& a, const velk7::VelkRecord& b) {
  return a.name == b.name && a.indent == b.indent && a.options == b.options &&
         a.preLine == b.preLine && a.lines == b.lines &&
         a.innerSubroutineLines == b.innerSubroutineLines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velk7::RcodeProgram first;
  first.text.assign(reinterpret_cast<const char*>(data), size);
  if (!velk7::parseRecords(first)) return 0;

  platform::MemorySink sink;
  // A model with a line the reader could not take back is refused before any byte is written.
  if (!velk7::writeProgram(first, sink)) {
    FUZZ_FAIL_IF(!velk7::findUnwritableLine(first) || !sink.bytes().empty());
    return 0;
  }

  velk7::RcodeProgram second;
  second.text.assign(sink.bytes().begin(), sink.bytes().end());
  FUZZ_FAIL_IF(!velk7::parseRecords(second));
  FUZZ_FAIL_IF(second.records.size() != first.records.size());
  for (std::size_t i = 0; i < first.records.size(); ++i) {
    FUZZ_FAIL_IF(!sameRecord(first.records[i], second.records[i]));
  }
  FUZZ_FAIL_IF(second.subroutineLines != first.subroutineLines);
  FUZZ_FAIL_IF(outsideText(second) != outsideText(first));
  return 0;
}
