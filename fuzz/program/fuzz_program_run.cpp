// Any bytes as a program, run on the virtual clock with a small step budget: the run never
// takes more lines than its budget, ends or keeps the clock moving, and never touches memory
// outside the program (the sanitizers watch that).
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "velk7/program/interpreter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const velk7::program::CompiledProgram program =
      velk7::program::compileProgram(velk7::program::readProgramText(text));
  velk7::program::RunOptions options;
  options.stepBudget = 5000;
  velk7::program::Interpreter interpreter(program, nullptr, options);
  constexpr std::int64_t kTicks = 400;
  for (std::int64_t tick = 0; tick < kTicks; ++tick) {
    if (tick == 10) interpreter.setFromOutside("Head_ON", 1);
    if (tick == 20) interpreter.setFromOutside("Pink_Ball", 1);
    interpreter.step();
    FUZZ_FAIL_IF(interpreter.linesRun() > options.stepBudget);
    if (interpreter.state() != velk7::program::RunState::Running) break;
    FUZZ_FAIL_IF(interpreter.tick() != tick + 1);
  }
  return 0;
}
