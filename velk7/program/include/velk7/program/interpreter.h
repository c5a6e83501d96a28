#pragma once
// Runs a program on a virtual clock of 32 ms ticks, without waiting in real time: the action
// queue that PLAY fills, WAIT, calls and their stack, loops, CASE, interrupts, variables and
// the console, with sensor values set from outside at given moments. Every event is a trace
// line; a run-time error or a runaway program ends the run with a line that says why.
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "velk7/program/action_catalogue.h"
#include "velk7/program/statements.h"

namespace velk7::program {

inline constexpr double kTickSeconds = 0.032;

struct RunOptions {
  std::uint32_t seed = 1;
  // Lines run in one tick when the program does not wait: how fast the robot reads is not
  // known, so about one line per millisecond is assumed.
  int linesPerTick = 32;
  std::int64_t stepBudget = 20'000'000;  // lines in the whole run before it is stopped
};

struct TraceLine {
  std::int64_t tick = 0;
  std::int32_t line = 0;
  std::string text;
};
// "1.024 line 12: PLAY ACTION SIT (2.000 s, assumed)"
std::string formatTraceLine(const TraceLine& line);

enum class RunState { Running, Ended, RuntimeError, Runaway };

struct QueuedAction {
  std::string text;  // as written on its PLAY line
  std::int64_t ticks = 0;
  ActionLength length;
  std::int64_t startedAt = -1;  // the tick it started playing; -1 while queued
};

class Interpreter {
 public:
  Interpreter(const CompiledProgram& program, const ActionCatalogue* catalogue,
              RunOptions options = {});

  // Runs ticks until the clock reaches `tick` or the run ends.
  void runUntil(std::int64_t tick);
  // One tick: playback, then the program's lines.
  void step();

  // Sets a variable from outside (a sensor); traced. False when the name is unknown.
  bool setFromOutside(std::string_view name, std::int32_t value);

  RunState state() const { return state_; }
  std::int64_t tick() const { return tick_; }
  std::int64_t linesRun() const { return linesRun_; }
  std::int32_t currentLine() const;
  const std::deque<QueuedAction>& queue() const { return queue_; }
  std::vector<TraceLine>& trace() { return trace_; }
  std::optional<std::int32_t> value(std::string_view name) const;

 private:
  enum class WaitKind { None, Queue, Until };
  struct WaitState {
    WaitKind kind = WaitKind::None;
    std::int64_t untilTick = 0;
  };
  struct Frame {
    std::int32_t returnTo = 0;
    std::int32_t context = 0;
    std::size_t argBase = 0;
    std::size_t argCount = 0;
    std::size_t argsTaken = 0;
    std::size_t localsStart = 0;
  };
  struct SavedLocal {
    std::int32_t variable;
    std::int32_t value;
  };
  struct Registration {
    Condition condition;
    std::int32_t routine = 0;
    std::int32_t resumeTo = kNoTarget;
    std::int32_t type = 0;
    std::int32_t written = 0;  // the ONCALL statement
    std::size_t depth = 0;     // the call depth it was made at
  };
  struct Interrupt {
    std::int32_t returnTo = 0;
    WaitState wait;
    std::size_t registration = 0;
  };

  void playback();
  bool stillWaiting();
  void execute(const Statement& s);
  bool checkInterrupts();
  void fail(const Statement& s, const std::string& why);
  void note(std::int32_t line, std::string text);
  std::int32_t get(const Operand& operand) const;
  void put(const Operand& operand, std::int32_t value);
  bool holds(const Condition& condition) const;
  bool jumpTo(const Statement& s, std::int32_t label);
  void call(const Statement& s, std::int32_t label, std::int32_t count);
  void leaveFrame(const Statement& s, std::optional<std::int32_t> result, bool setContext,
                  std::int32_t contextValue);
  bool pop(const Statement& s, std::int32_t& value);
  void arithmetic(const Statement& s);
  void play(const Statement& s);
  void wait(const Statement& s);
  void print(const Statement& s);
  std::string lineText(const Statement& s) const;
  void dropRegistrationsAfter(std::size_t index);
  void resume(const Statement& s);

  const CompiledProgram& program_;
  const ActionCatalogue* catalogue_;
  RunOptions options_;
  std::vector<std::int32_t> values_;
  std::vector<std::int32_t> stack_;
  std::vector<Frame> frames_;
  std::vector<SavedLocal> locals_;
  std::vector<Registration> registrations_;
  std::optional<Interrupt> interrupt_;
  std::deque<QueuedAction> queue_;
  std::unordered_map<std::string, std::int32_t> saved_;  // VSAVE's files
  std::vector<TraceLine> trace_;
  std::mt19937 random_;
  WaitState wait_;
  RunState state_ = RunState::Running;
  std::int64_t tick_ = 0;
  std::int64_t linesRun_ = 0;
  std::int32_t pc_ = 0;
  std::int32_t lastLine_ = 0;
  std::int32_t contextIndex_ = 0;
  std::int32_t waitIndex_ = 0;
  std::int32_t clockIndex_ = 0;
  bool caseMatched_ = false;
  bool csetDone_ = false;
  bool lastWaitRepeats_ = false;  // the last trace line is a timed WAIT
  std::int32_t lastWaitLine_ = 0;
  std::int32_t lastWaitMilliseconds_ = 0;
};

}  // namespace velk7::program
