// Runs on the virtual clock: a program, what the sensors do over time, and the trace it must
// give; then run-time errors and runaway programs, which must end the run.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"
#include "velk7/program/interpreter.h"
#include "velk7/program/program_commands.h"

namespace velk7::program {
namespace {

struct Input {
  std::int64_t tick;
  std::string variable;
  std::int32_t value;
};

struct RunResult {
  std::vector<std::string> trace;
  RunState state;
};

RunResult run(const std::string& text, const std::vector<Input>& inputs, std::int64_t ticks,
              const ActionCatalogue* catalogue = nullptr, RunOptions options = {}) {
  const CompiledProgram program = compileProgram(readProgramText(text));
  Interpreter interpreter(program, catalogue, options);
  std::size_t next = 0;
  while (interpreter.state() == RunState::Running && interpreter.tick() < ticks) {
    while (next < inputs.size() && inputs[next].tick <= interpreter.tick()) {
      EXPECT_TRUE(interpreter.setFromOutside(inputs[next].variable, inputs[next].value));
      ++next;
    }
    interpreter.step();
  }
  RunResult result{{}, interpreter.state()};
  for (const TraceLine& line : interpreter.trace()) result.trace.push_back(formatTraceLine(line));
  return result;
}

struct TraceCase {
  std::string program;
  std::vector<Input> inputs;
  std::int64_t ticks;
  std::vector<std::string> trace;
};

TEST(Interpreter, TracesWhatTheProgramDoesOverTime) {
  const std::vector<TraceCase> cases{
      // The queue plays one action after the other; WAIT waits for the last.
      {"PLAY ACTION SIT\nPLAY:ACTION:STAND\nWAIT\nPRINT \"up\"\n",
       {},
       200,
       {"0.000 line 1: PLAY ACTION SIT (2.000 s, assumed)",
        "0.000 line 2: PLAY ACTION STAND (2.000 s, assumed)",
        "0.000 line 3: WAIT until the queue is empty", "4.032 line 4: PRINT: up",
        "4.032 line 4: the program ends"}},
      // STOP keeps the playing action and drops the rest; WAIT 100 is four ticks.
      {"PLAY ACTION SIT\nPLAY ACTION LIE\nSTOP\nWAIT 100\nVDUMP Wait\n",
       {},
       10,
       {"0.000 line 1: PLAY ACTION SIT (2.000 s, assumed)",
        "0.000 line 2: PLAY ACTION LIE (2.000 s, assumed)",
        "0.000 line 3: STOP: 1 queued actions dropped", "0.000 line 4: WAIT 100 ms",
        "0.128 line 5: VDUMP: Wait = 1", "0.128 line 5: the program ends"}},
      // A sensor set from outside stays set until the program clears it.
      {":Main\nIF Head_ON = 1 CALL Pat\nWAIT 64\nGO Main\n:Pat\nPRINT \"pat %d\" Head_ON\n"
       "SET Head_ON 0\nRETURN\n",
       {{5, "Head_ON", 1}},
       12,
       {"0.000 line 3: WAIT 64 ms", "0.160 line 3: Head_ON = 1 (from outside)",
        "0.192 line 2: CALL Pat", "0.192 line 6: PRINT: pat 1", "0.192 line 3: WAIT 64 ms"}},
      // Loops, arithmetic, the stack and arguments in push order.
      {"FOR i 1 3\nPUSH i\nNEXT\nADD\nMUL\nPOP r\nVDUMP r\nPUSH 7\nPUSH 5\nCALL Sub2 2\nPOP d\n"
       "PRINT \"d=%d%%\" d\nEXIT\n:Sub2\nARG a\nARG b\nSUB a b\nRETURN a\n",
       {},
       5,
       {"0.000 line 7: VDUMP: r = 5", "0.000 line 10: CALL Sub2", "0.000 line 12: PRINT: d=2%",
        "0.000 line 13: EXIT: the program ends"}},
      // CASE runs its command for the matching Context; RET sets Context for the caller.
      {"CALL Pick\nCASE 1 PRINT \"one\"\nCASE 2 PRINT \"two\"\nCASE ELSE PRINT \"else\"\nEXIT\n"
       ":Pick\nRET 2\n",
       {},
       5,
       {"0.000 line 1: CALL Pick", "0.000 line 3: PRINT: two",
        "0.000 line 5: EXIT: the program ends"}},
      // An interrupt fires after the line that made its condition true, and RESUME returns.
      {"ONCALL Back_ON = 1 Back\n:Main\nWAIT 32\nGO Main\n:Back\nSET Back_ON 0\nPRINT \"back\"\n"
       "RESUME\n",
       {{3, "Back_ON", 1}},
       6,
       {"0.000 line 3: WAIT 32 ms", "0.096 line 3: Back_ON = 1 (from outside)",
        "0.096 line 3: interrupt: ONCALL of line 1 goes to Back", "0.096 line 7: PRINT: back",
        "0.096 line 8: RESUME", "0.096 line 3: WAIT 32 ms"}},
      // WHILE, DO ... LOOP, IF ... THEN ... ELSE, BREAK and REPEAT; 32 lines fill a tick.
      {"SET n 0\nWHILE n < 3\nADD n 1\nWEND\nDO\nIF n > 4 THEN\nBREAK\nELSE\nADD n 1\nENDIF\n"
       "LOOP\nVDUMP n\nREPEAT\nSUB n 2\nUNTIL n <= 0\nVDUMP n\n",
       {},
       5,
       {"0.000 line 12: VDUMP: n = 5", "0.032 line 16: VDUMP: n = -1",
        "0.032 line 16: the program ends"}},
      // Numbers in four bases; a FOR whose step passes its end stops after passing it.
      {"SET a 0x1F\nSET b 0o17\nSET c 0b101\nSET d -0x10\nPRINT \"%d %d %d %d %x\" a b c d a\n"
       "FOR i 1 10 4\nVDUMP i\nNEXT\n",
       {},
       1,
       {"0.000 line 5: PRINT: 31 15 5 -16 1F", "0.000 line 7: VDUMP: i = 1",
        "0.000 line 7: VDUMP: i = 5", "0.000 line 7: VDUMP: i = 9",
        "0.000 line 8: the program ends"}},
      // LOCAL gives the value back on RETURN; after a CSET that matched the next is skipped.
      {"SET x 1\nCALL S\nVDUMP x\nCSET 1 = 1 10\nCSET 2 = 2 20\nVDUMP Context\nEXIT\n:S\n"
       "LOCAL x 5\nVDUMP x\nRETURN\n",
       {},
       1,
       {"0.000 line 2: CALL S", "0.000 line 10: VDUMP: x = 5", "0.000 line 3: VDUMP: x = 1",
        "0.000 line 6: VDUMP: Context = 10", "0.000 line 7: EXIT: the program ends"}},
      // JT and JF take their value from the stack; VSAVE and VLOAD keep a value by name.
      {"PUSH 3\nPUSH 4\nLT\nJT Less\nPRINT \"not less\"\n:Less\nPUSH 0\nJF Zero\nEXIT\n:Zero\n"
       "SET v 7\nVSAVE v\nSET v 0\nVLOAD v\nVLOAD w\n",
       {},
       1,
       {"0.000 line 12: VSAVE: v = 7", "0.000 line 14: VLOAD: v = 7",
        "0.000 line 15: VLOAD: w = 0 (nothing saved yet)", "0.000 line 15: the program ends"}},
      // QUIT empties the queue at once; BREAK 2 leaves two loops; DO WHILE and LOOP WHILE.
      {"PLAY ACTION SIT\nQUIT\nVDUMP Wait\nDO\nFOR i 1 5\nIF i = 3 THEN\nBREAK 2\nENDIF\nNEXT\n"
       "LOOP\nVDUMP i\nSET n 0\nDO WHILE n < 2\nADD n 1\nLOOP WHILE n < 9\nVDUMP n\n",
       {},
       2,
       {"0.000 line 1: PLAY ACTION SIT (2.000 s, assumed)", "0.000 line 2: QUIT: playback cut off",
        "0.000 line 3: VDUMP: Wait = 0", "0.000 line 11: VDUMP: i = 3",
        "0.000 line 16: VDUMP: n = 2", "0.000 line 16: the program ends"}},
      // An interrupt during a WAIT: after RESUME the program goes on waiting for the rest;
      // type 2 returns to the line after its ONCALL and drops later registrations.
      {"ONCALL Back_ON = 1 Back\nWAIT 320\nPRINT \"waited\"\nONCALL Head_ON = 1 Head 2\n"
       "PRINT \"ready\"\n:Idle\nWAIT 32\nGO Idle\n:Back\nSET Back_ON 0\nRESUME\n:Head\n"
       "SET Head_ON 0\nPRINT \"head\"\nRESUME\n",
       {{2, "Back_ON", 1}, {14, "Head_ON", 1}},
       16,
       {"0.000 line 2: WAIT 320 ms", "0.064 line 2: Back_ON = 1 (from outside)",
        "0.064 line 2: interrupt: ONCALL of line 1 goes to Back", "0.064 line 11: RESUME",
        "0.320 line 3: PRINT: waited", "0.320 line 5: PRINT: ready", "0.320 line 7: WAIT 32 ms",
        "0.448 line 7: Head_ON = 1 (from outside)",
        "0.448 line 7: interrupt: ONCALL of line 4 goes to Head", "0.448 line 14: PRINT: head",
        "0.448 line 15: RESUME", "0.448 line 5: PRINT: ready", "0.448 line 7: WAIT 32 ms"}},
  };
  for (const TraceCase& c : cases) {
    EXPECT_EQ(run(c.program, c.inputs, c.ticks).trace, c.trace) << c.program;
  }
}

TEST(Interpreter, RunTimeErrorsEndTheRunNamingTheLine) {
  struct Case {
    std::string program;
    std::string last;
  };
  const std::vector<Case> cases{
      {"POP x\n", "0.000 line 1: run-time error: stack underflow: nothing was pushed"},
      {"RETURN\n", "0.000 line 1: run-time error: RETURN without CALL"},
      {"WAIT\nGO Away\n", "0.000 line 2: run-time error: there is no label :Away"},
      {"SET x 0\nDIV x 0\n", "0.000 line 2: run-time error: division by zero"},
      {"CALL Sub 1\n:Sub\nRETURN\n",
       "0.000 line 1: run-time error: stack underflow: CALL passes 1 values but 0 are pushed"},
      {"RESUME\n", "0.000 line 1: run-time error: RESUME outside an interrupt routine"},
      {"WAIT\nSIT\n",
       "0.000 line 2: run-time error: unknown command: SIT is not an R-CODE command"},
  };
  for (const Case& c : cases) {
    const RunResult result = run(c.program, {}, 10);
    EXPECT_EQ(result.state, RunState::RuntimeError) << c.program;
    ASSERT_FALSE(result.trace.empty()) << c.program;
    EXPECT_EQ(result.trace.back(), c.last) << c.program;
  }
}

TEST(Interpreter, RunawayProgramStopsAtItsStepBudget) {
  RunOptions options;
  options.stepBudget = 1000;
  const RunResult result = run(":Spin\nADD x 1\nGO Spin\n", {}, 1'000'000, nullptr, options);
  EXPECT_EQ(result.state, RunState::Runaway);
  ASSERT_EQ(result.trace.size(), 1U);
  EXPECT_EQ(result.trace.back(),
            "0.992 line 2: stopped after 1000 lines: the program seems to run away (a loop "
            "without WAIT?)");
}

TEST(Interpreter, SeedChoosesTheRandomNumbers) {
  const std::string program = "RND a 1 1000000\nRND b 1 1000000\nVDUMP a\nVDUMP b\n";
  RunOptions one;
  RunOptions two;
  two.seed = 2;
  EXPECT_EQ(run(program, {}, 2, nullptr, one).trace, run(program, {}, 2, nullptr, one).trace);
  EXPECT_NE(run(program, {}, 2, nullptr, one).trace, run(program, {}, 2, nullptr, two).trace);
}

TEST(Interpreter, ActionLengthsComeFromTheStick) {
  const std::filesystem::path program =
      std::filesystem::path(VELK_SOURCE_DIR) / "examples/stick/OPEN-R/APP/PC/AMS/R-CODE.R";
  const ActionCatalogue catalogue = readActionCatalogue(program);
  const RunResult result =
      run("PLAY ACTION+ HELLO\nPLAY ACTION BARK_SND\nPLAY ACTION SIT\n", {}, 1, &catalogue);
  EXPECT_EQ(result.trace,
            (std::vector<std::string>{"0.000 line 1: PLAY ACTION+ HELLO (0.500 s)",
                                      "0.000 line 2: PLAY ACTION BARK_SND (0.300 s)",
                                      "0.000 line 3: PLAY ACTION SIT (2.000 s, assumed)",
                                      "0.000 line 3: the program ends"}));
  // A recording with a mouth motion talks; an audio-only one and a system action do not.
  EXPECT_TRUE(catalogue.lengthOf("HELLO").talks);
  EXPECT_FALSE(catalogue.lengthOf("BARK_SND").talks);
  EXPECT_FALSE(catalogue.lengthOf("SIT").talks);
}

TEST(RunCommand, PrintsTheTraceAndExitsByHowTheRunEnded) {
  testing_support::TempDir folder;
  const std::filesystem::path program = folder / "R-CODE.R";
  struct Case {
    std::string text;
    std::vector<std::string> options;
    int exit;
    std::string out;
  };
  const std::vector<Case> cases{
      {":Main\nIF Back_ON = 1 Done\nWAIT 500\nGO Main\n:Done\nPRINT \"done\"\n",
       {"--for", "1.5", "--at", "0.7:Back_ON=1"},
       0,
       "0.000 line 3: WAIT 500 ms\n0.704 line 3: Back_ON = 1 (from outside)\n"
       "1.024 line 6: PRINT: done\n1.024 line 6: the program ends\n"},
      {"WAIT 500\n",
       {"--for", "0.1"},
       0,
       "0.000 line 1: WAIT 500 ms\n0.128 line 1: the time is up\n"},
      {"POP x\n", {}, 1, "0.000 line 1: run-time error: stack underflow: nothing was pushed\n"},
      {"WAIT\n", {"--at", "1:Nobody=1"}, 2, ""},
      {"WAIT\n", {"--at", "1:Head_ON"}, 2, ""},
      {"WAIT\n", {"--for", "-1"}, 2, ""},
      {"WAIT\n", {"--seed"}, 2, ""},
  };
  for (const Case& c : cases) {
    testing_support::writeTextFile(program, c.text);
    std::vector<std::string> arguments{program.string()};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runRunCommand(arguments, folder.path(), out, err), c.exit) << c.text;
    EXPECT_EQ(out.str(), c.out) << c.text;
  }
}

}  // namespace
}  // namespace velk7::program
