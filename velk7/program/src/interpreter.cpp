#include "velk7/program/interpreter.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "platform/ascii_text.h"

namespace velk7::program {

namespace {

constexpr std::size_t kCallDepthLimit = 1000;
constexpr std::size_t kStackLimit = 100000;

std::int32_t wrap(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::int64_t ticksFor(double seconds) {
  return std::max<std::int64_t>(
      1, static_cast<std::int64_t>(std::ceil(seconds / kTickSeconds - 1e-9)));
}

std::string seconds3(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

}  // namespace

std::string formatTraceLine(const TraceLine& line) {
  return seconds3(static_cast<double>(line.tick) * kTickSeconds) + " line " +
         std::to_string(line.line) + ": " + line.text;
}

Interpreter::Interpreter(const CompiledProgram& program, const ActionCatalogue* catalogue,
                         RunOptions options)
    : program_(program), catalogue_(catalogue), options_(options), random_(options.seed) {
  values_.assign(program.variables.size(), 0);
  const auto systems = systemVariables();
  for (std::size_t index = 0; index < systems.size(); ++index)
    values_[index] = systems[index].initial;
  values_[3] = static_cast<std::int32_t>(options.seed);  // Seed
  contextIndex_ = *program.variableIndex("Context");
  waitIndex_ = *program.variableIndex("Wait");
  clockIndex_ = *program.variableIndex("Clock");
  if (options_.linesPerTick < 1) options_.linesPerTick = 1;
}

std::int32_t Interpreter::currentLine() const {
  if (wait_.kind != WaitKind::None || state_ != RunState::Running) return lastLine_;
  if (pc_ >= 0 && static_cast<std::size_t>(pc_) < program_.statements.size()) {
    return program_.statements[static_cast<std::size_t>(pc_)].line;
  }
  return lastLine_;
}

std::optional<std::int32_t> Interpreter::value(std::string_view name) const {
  const std::optional<std::int32_t> index = program_.variableIndex(name);
  if (!index) return std::nullopt;
  return values_[static_cast<std::size_t>(*index)];
}

bool Interpreter::setFromOutside(std::string_view name, std::int32_t value) {
  const std::optional<std::int32_t> index = program_.variableIndex(name);
  if (!index) return false;
  values_[static_cast<std::size_t>(*index)] = value;
  note(currentLine(), program_.variables[static_cast<std::size_t>(*index)].name + " = " +
                          std::to_string(value) + " (from outside)");
  return true;
}

void Interpreter::note(std::int32_t line, std::string text) {
  lastWaitRepeats_ = false;
  trace_.push_back(TraceLine{tick_, line, std::move(text)});
}

void Interpreter::fail(const Statement& s, const std::string& why) {
  note(s.line, "run-time error: " + why);
  state_ = RunState::RuntimeError;
}

void Interpreter::runUntil(std::int64_t tick) {
  while (state_ == RunState::Running && tick_ < tick) step();
}

void Interpreter::playback() {
  while (!queue_.empty()) {
    QueuedAction& playing = queue_.front();
    if (playing.startedAt < 0) playing.startedAt = tick_;
    if (tick_ < playing.startedAt + playing.ticks) break;
    queue_.pop_front();
  }
  if (!queue_.empty() && queue_.front().startedAt < 0) queue_.front().startedAt = tick_;
  values_[static_cast<std::size_t>(waitIndex_)] = static_cast<std::int32_t>(queue_.size());
  values_[static_cast<std::size_t>(clockIndex_)] = wrap(tick_);
}

bool Interpreter::stillWaiting() {
  switch (wait_.kind) {
    case WaitKind::None:
      return false;
    case WaitKind::Queue:
      if (!queue_.empty()) return true;
      break;
    case WaitKind::Until:
      if (tick_ < wait_.untilTick) return true;
      break;
  }
  wait_.kind = WaitKind::None;
  return false;
}

void Interpreter::step() {
  if (state_ != RunState::Running) return;
  playback();
  const auto count = static_cast<std::int32_t>(program_.statements.size());
  for (int line = 0; line < options_.linesPerTick && state_ == RunState::Running; ++line) {
    if (stillWaiting()) {
      // The robot keeps testing its interrupts while the program waits.
      if (!checkInterrupts()) break;
      continue;
    }
    if (pc_ >= count) {
      note(lastLine_, "the program ends");
      state_ = RunState::Ended;
      break;
    }
    if (linesRun_ >= options_.stepBudget) {
      note(currentLine(), "stopped after " + std::to_string(linesRun_) +
                              " lines: the program seems to run away (a loop without WAIT?)");
      state_ = RunState::Runaway;
      break;
    }
    const Statement& s = program_.statements[static_cast<std::size_t>(pc_)];
    lastLine_ = s.line;
    ++pc_;
    ++linesRun_;
    execute(s);
    if (s.op != Op::Cset) csetDone_ = false;
    if (state_ == RunState::Running) checkInterrupts();
  }
  ++tick_;
}

std::int32_t Interpreter::get(const Operand& operand) const {
  return operand.kind == Operand::Kind::Variable ? values_[static_cast<std::size_t>(operand.value)]
                                                 : operand.value;
}

void Interpreter::put(const Operand& operand, std::int32_t value) {
  values_[static_cast<std::size_t>(operand.value)] = value;
}

bool Interpreter::holds(const Condition& condition) const {
  const std::int32_t a = get(condition.left);
  const std::int32_t b = get(condition.right);
  switch (condition.compare) {
    case Compare::Equal:
      return a == b;
    case Compare::NotEqual:
      return a != b;
    case Compare::Less:
      return a < b;
    case Compare::LessEqual:
      return a <= b;
    case Compare::Greater:
      return a > b;
    case Compare::GreaterEqual:
      return a >= b;
    case Compare::BitAnd:
      return (a & b) != 0;
    case Compare::BitOr:
      return (a | b) != 0;
    case Compare::BitXor:
      return (a ^ b) != 0;
    case Compare::BothSet:
      return a != 0 && b != 0;
    case Compare::EitherSet:
      return a != 0 || b != 0;
    case Compare::None:
      return false;
  }
  return false;
}

bool Interpreter::jumpTo(const Statement& s, std::int32_t label) {
  const Label& target = program_.labels[static_cast<std::size_t>(label)];
  if (target.line == 0) {
    fail(s, "there is no label :" + target.name);
    return false;
  }
  pc_ = target.statement;
  return true;
}

void Interpreter::call(const Statement& s, std::int32_t label, std::int32_t count) {
  if (frames_.size() >= kCallDepthLimit) {
    fail(s, "more than " + std::to_string(kCallDepthLimit) + " CALLs without RETURN");
    return;
  }
  if (static_cast<std::size_t>(count) > stack_.size()) {
    fail(s, "stack underflow: CALL passes " + std::to_string(count) + " values but " +
                std::to_string(stack_.size()) + " are pushed");
    return;
  }
  const Label& target = program_.labels[static_cast<std::size_t>(label)];
  Frame frame{pc_,
              values_[static_cast<std::size_t>(contextIndex_)],
              stack_.size() - static_cast<std::size_t>(count),
              static_cast<std::size_t>(count),
              0,
              locals_.size()};
  if (!jumpTo(s, label)) return;
  frames_.push_back(frame);
  note(s.line, "CALL " + target.name);
}

void Interpreter::leaveFrame(const Statement& s, std::optional<std::int32_t> result,
                             bool setContext, std::int32_t contextValue) {
  if (frames_.empty()) {
    fail(s, std::string(s.op == Op::Ret ? "RET" : "RETURN") + " without CALL");
    return;
  }
  const Frame frame = frames_.back();
  frames_.pop_back();
  while (locals_.size() > frame.localsStart) {
    values_[static_cast<std::size_t>(locals_.back().variable)] = locals_.back().value;
    locals_.pop_back();
  }
  if (frame.argBase <= stack_.size()) {
    stack_.erase(stack_.begin() + static_cast<std::ptrdiff_t>(frame.argBase),
                 stack_.begin() + static_cast<std::ptrdiff_t>(
                                      std::min(stack_.size(), frame.argBase + frame.argCount)));
  }
  if (result) stack_.push_back(*result);
  if (setContext) {
    values_[static_cast<std::size_t>(contextIndex_)] =
        contextValue != 0 ? contextValue : frame.context;
    caseMatched_ = false;
  }
  // Interrupts registered inside the subroutine lapse with it.
  std::erase_if(registrations_, [this](const Registration& r) { return r.depth > frames_.size(); });
  pc_ = frame.returnTo;
}

bool Interpreter::pop(const Statement& s, std::int32_t& value) {
  if (stack_.empty()) {
    fail(s, "stack underflow: nothing was pushed");
    return false;
  }
  value = stack_.back();
  stack_.pop_back();
  return true;
}

void Interpreter::arithmetic(const Statement& s) {
  std::int32_t a = 0;
  std::int32_t b = 0;
  const bool unary = s.op == Op::Not || s.op == Op::Lnot;
  if (s.form == Form::OnVariable) {
    a = get(s.operands[0]);
    if (!unary) b = get(s.operands[1]);
  } else {
    if (!unary && !pop(s, b)) return;
    if (!pop(s, a)) return;
  }
  std::int64_t result = 0;
  switch (s.op) {
    case Op::Add:
      result = std::int64_t{a} + b;
      break;
    case Op::Sub:
      result = std::int64_t{a} - b;
      break;
    case Op::Mul:
      result = std::int64_t{a} * b;
      break;
    case Op::Div:
    case Op::Mod:
      if (b == 0) {
        fail(s, "division by zero");
        return;
      }
      if (a == INT32_MIN && b == -1) {
        result = s.op == Op::Div ? a : 0;
      } else {
        result = s.op == Op::Div ? a / b : a % b;
      }
      break;
    case Op::And:
      result = a & b;
      break;
    case Op::Ior:
      result = a | b;
      break;
    case Op::Xor:
      result = a ^ b;
      break;
    case Op::Land:
      result = (a != 0 && b != 0) ? 1 : 0;
      break;
    case Op::Lior:
      result = (a != 0 || b != 0) ? 1 : 0;
      break;
    case Op::Not:
      result = ~a;
      break;
    case Op::Lnot:
      result = a == 0 ? 1 : 0;
      break;
    case Op::Eq:
      result = a == b;
      break;
    case Op::Ne:
      result = a != b;
      break;
    case Op::Lt:
      result = a < b;
      break;
    case Op::Le:
      result = a <= b;
      break;
    case Op::Gt:
      result = a > b;
      break;
    case Op::Ge:
      result = a >= b;
      break;
    default:
      break;
  }
  if (s.form == Form::OnVariable) {
    put(s.operands[0], wrap(result));
  } else {
    stack_.push_back(wrap(result));
  }
}

std::string Interpreter::lineText(const Statement& s) const {
  const ProgramLine& line = program_.source.lines[static_cast<std::size_t>(s.line - 1)];
  std::string text;
  const auto words = program_.source.wordsOf(line);
  // A CASE's command is shown without the CASE and its value.
  const std::size_t first = s.nested ? 2 : 0;
  for (std::size_t index = first; index < words.size(); ++index) {
    if (index > first) text += ' ';
    text += program_.source.wordText(words[index]);
  }
  return text;
}

void Interpreter::play(const Statement& s) {
  const std::string& name = program_.texts[static_cast<std::size_t>(s.text)];
  ActionLength length;
  if (catalogue_ != nullptr) {
    length = s.form == Form::PlayNumber ? catalogue_->lengthOfNumber(s.operands[0].value)
                                        : catalogue_->lengthOf(name);
  }
  QueuedAction action{lineText(s), ticksFor(length.seconds), length, -1};
  note(s.line, action.text + " (" + seconds3(length.seconds) + " s" +
                   (length.assumed ? ", assumed)" : ")"));
  if (queue_.size() >= kStackLimit) {
    fail(s, "more than " + std::to_string(kStackLimit) + " actions queued");
    return;
  }
  queue_.push_back(std::move(action));
  if (queue_.size() == 1) queue_.front().startedAt = tick_;
  values_[static_cast<std::size_t>(waitIndex_)] = static_cast<std::int32_t>(queue_.size());
}

void Interpreter::wait(const Statement& s) {
  if (s.form == Form::WaitTime) {
    const std::int32_t milliseconds = get(s.operands[0]);
    if (milliseconds < 1 || milliseconds > 30000) {
      fail(s, "WAIT " + std::to_string(milliseconds) + " is outside 1 to 30000 milliseconds");
      return;
    }
    const std::int64_t ticks = (milliseconds + 31) / 32;
    // A polling loop's WAIT is shown once until something else happens.
    const std::string text = "WAIT " + std::to_string(milliseconds) + " ms";
    if (!lastWaitRepeats_ || lastWaitLine_ != s.line || lastWaitMilliseconds_ != milliseconds) {
      note(s.line, text);
    }
    lastWaitRepeats_ = true;
    lastWaitLine_ = s.line;
    lastWaitMilliseconds_ = milliseconds;
    wait_ = WaitState{WaitKind::Until, tick_ + ticks};
    return;
  }
  const std::string what = s.form == Form::WaitPart
                               ? "WAIT until " + program_.texts[static_cast<std::size_t>(s.text)] +
                                     " is done (the queue is empty)"
                               : std::string("WAIT until the queue is empty");
  note(s.line, what);
  wait_ = WaitState{WaitKind::Queue, 0};
}

void Interpreter::print(const Statement& s) {
  const std::string& format = program_.texts[static_cast<std::size_t>(s.text)];
  std::string text;
  std::int32_t next = 0;
  for (std::size_t at = 0; at < format.size(); ++at) {
    const char c = format[at];
    if (c == '%' && at + 1 < format.size() && format[at + 1] == '%') {
      text += '%';
      ++at;
    } else if (c == '%' && at + 1 < format.size() &&
               (format[at + 1] == 'd' || format[at + 1] == 'x') && next < s.count) {
      const std::int32_t shown = get(program_.printValues[static_cast<std::size_t>(s.partner) +
                                                          static_cast<std::size_t>(next++)]);
      char number[16];
      if (format[at + 1] == 'd') {
        std::snprintf(number, sizeof number, "%" PRId32, shown);
      } else {
        std::snprintf(number, sizeof number, "%" PRIX32, static_cast<std::uint32_t>(shown));
      }
      text += number;
      ++at;
    } else {
      text += c;
    }
  }
  note(s.line, "PRINT: " + text);
}

void Interpreter::dropRegistrationsAfter(std::size_t index) {
  if (index + 1 < registrations_.size()) registrations_.resize(index + 1);
}

bool Interpreter::checkInterrupts() {
  if (interrupt_ || registrations_.empty()) return false;
  for (std::size_t index = 0; index < registrations_.size(); ++index) {
    const Registration& r = registrations_[index];
    if (!holds(r.condition)) continue;
    const std::int32_t interruptedAt = currentLine();
    interrupt_ = Interrupt{pc_, wait_, index};
    wait_ = WaitState{};
    const Label& routine = program_.labels[static_cast<std::size_t>(r.routine)];
    const Statement& written = program_.statements[static_cast<std::size_t>(r.written)];
    if (routine.line == 0) {
      fail(written, "there is no label :" + routine.name);
      return false;
    }
    note(interruptedAt,
         "interrupt: ONCALL of line " + std::to_string(written.line) + " goes to " + routine.name);
    pc_ = routine.statement;
    return true;
  }
  return false;
}

void Interpreter::resume(const Statement& s) {
  if (!interrupt_) {
    fail(s, "RESUME outside an interrupt routine");
    return;
  }
  const Interrupt from = *interrupt_;
  interrupt_.reset();
  const Registration r = registrations_.size() > from.registration
                             ? registrations_[from.registration]
                             : Registration{};
  note(s.line, "RESUME");
  switch (r.type) {
    case 0:
      pc_ = from.returnTo;
      wait_ = from.wait;
      return;
    case 1:
      jumpTo(s, r.resumeTo);
      return;
    case 2:
      dropRegistrationsAfter(from.registration);
      pc_ = r.written + 1;
      return;
    case 3:
      dropRegistrationsAfter(from.registration);
      jumpTo(s, r.resumeTo);
      return;
    default:
      dropRegistrationsAfter(from.registration);
      stack_.clear();
      frames_.clear();
      locals_.clear();
      if (r.type == 4) {
        pc_ = 0;
      } else {
        jumpTo(s, r.resumeTo);
      }
      return;
  }
}

void Interpreter::execute(const Statement& s) {
  if (s.unrunnable) {
    const auto finding = std::find_if(
        program_.findings.begin(), program_.findings.end(),
        [&s](const Finding& f) { return f.line == s.line && f.severity() == Severity::Error; });
    fail(s, finding != program_.findings.end() ? finding->text
                                               : std::string("the robot cannot run this line"));
    return;
  }
  std::int32_t a = 0;
  switch (s.op) {
    case Op::Play:
      play(s);
      return;
    case Op::Wait:
      wait(s);
      return;
    case Op::Stop:
      note(s.line, "STOP: " + std::to_string(queue_.empty() ? 0 : queue_.size() - 1) +
                       " queued actions dropped");
      if (!queue_.empty()) queue_.resize(1);
      return;
    case Op::Quit:
      note(s.line, "QUIT: playback cut off");
      queue_.clear();
      values_[static_cast<std::size_t>(waitIndex_)] = 0;
      return;
    case Op::Print:
      print(s);
      return;
    case Op::Vdump:
      note(s.line,
           "VDUMP: " + program_.variables[static_cast<std::size_t>(s.operands[0].value)].name +
               " = " + std::to_string(get(s.operands[0])));
      return;
    case Op::Go:
      jumpTo(s, s.label);
      return;
    case Op::If: {
      const bool yes = holds(s.condition);
      switch (s.form) {
        case Form::IfThen:
          if (!yes) pc_ = s.target;
          return;
        case Form::IfCall:
          if (yes) call(s, s.label, s.count);
          return;
        case Form::IfBreak:
          if (yes) pc_ = s.target;
          return;
        case Form::IfGo:
          if (yes) jumpTo(s, s.label);
          return;
        default:
          jumpTo(s, yes ? s.label : s.label2);
          return;
      }
    }
    case Op::Else:
      pc_ = s.target;
      return;
    case Op::Switch:
      values_[static_cast<std::size_t>(contextIndex_)] = get(s.operands[0]);
      caseMatched_ = false;
      return;
    case Op::Cset:
      if (csetDone_) return;
      if (holds(s.condition)) {
        values_[static_cast<std::size_t>(contextIndex_)] = get(s.operands[0]);
        caseMatched_ = false;
        csetDone_ = true;
      }
      return;
    case Op::Case: {
      const bool runs =
          s.form == Form::CaseElse
              ? !caseMatched_
              : values_[static_cast<std::size_t>(contextIndex_)] == get(s.operands[0]);
      pc_ = s.inner + 1;
      if (!runs) return;
      caseMatched_ = true;
      execute(program_.statements[static_cast<std::size_t>(s.inner)]);
      return;
    }
    case Op::For:
      put(s.operands[0], get(s.operands[1]));
      {
        const std::int32_t step = s.count == 1 ? 1 : get(s.condition.right);
        const std::int32_t now = get(s.operands[0]);
        const std::int32_t end = get(s.operands[2]);
        if (step >= 0 ? now > end : now < end) pc_ = s.target;
      }
      return;
    case Op::Next: {
      const Statement& loop = program_.statements[static_cast<std::size_t>(s.partner)];
      const std::int32_t step = loop.count == 1 ? 1 : get(loop.condition.right);
      const std::int32_t now = wrap(std::int64_t{get(loop.operands[0])} + step);
      put(loop.operands[0], now);
      const std::int32_t end = get(loop.operands[2]);
      if (step >= 0 ? now <= end : now >= end) pc_ = s.target;
      return;
    }
    case Op::While:
      if (!holds(s.condition)) pc_ = s.target;
      return;
    case Op::Wend:
      pc_ = s.target;
      return;
    case Op::Until:
      if (!holds(s.condition)) pc_ = s.target;
      return;
    case Op::Do:
      if (s.form == Form::TestWhile && !holds(s.condition)) pc_ = s.target;
      if (s.form == Form::TestUntil && holds(s.condition)) pc_ = s.target;
      return;
    case Op::Loop:
      if (s.form == Form::Plain || (s.form == Form::TestWhile && holds(s.condition)) ||
          (s.form == Form::TestUntil && !holds(s.condition))) {
        pc_ = s.partner;
      }
      return;
    case Op::Break:
      // A BREAK given as another command's part (CASE ELSE BREAK) has no loop of its own.
      if (s.target < 0) {
        fail(s, "BREAK outside a loop: no loop is open here");
        return;
      }
      pc_ = s.target;
      return;
    case Op::Call:
      call(s, s.label, s.count);
      return;
    case Op::Arg: {
      if (frames_.empty() || frames_.back().argsTaken >= frames_.back().argCount) {
        fail(s, "stack underflow: ARG but the CALL passed no more values");
        return;
      }
      Frame& frame = frames_.back();
      put(s.operands[0], stack_[frame.argBase + frame.argsTaken++]);
      return;
    }
    case Op::Return:
      leaveFrame(s, s.form == Form::OnVariable ? std::optional(get(s.operands[0])) : std::nullopt,
                 false, 0);
      return;
    case Op::Ret:
      leaveFrame(s, std::nullopt, true, s.form == Form::OnVariable ? get(s.operands[0]) : 0);
      return;
    case Op::OnCall:
      if (s.form == Form::OnCallCancel) {
        registrations_.resize(registrations_.size() -
                              std::min(registrations_.size(), static_cast<std::size_t>(s.count)));
        return;
      }
      registrations_.push_back(
          Registration{s.condition, s.label, s.label2, s.count,
                       static_cast<std::int32_t>(&s - program_.statements.data()), frames_.size()});
      return;
    case Op::Resume:
      resume(s);
      return;
    case Op::Global:
      put(s.operands[0], s.count == 2 ? get(s.operands[1]) : 0);
      return;
    case Op::Local:
      if (!frames_.empty()) {
        locals_.push_back(SavedLocal{s.operands[0].value, get(s.operands[0])});
      }
      put(s.operands[0], s.count == 2 ? get(s.operands[1]) : 0);
      return;
    case Op::Let:
    case Op::Set:
      put(s.operands[0], get(s.operands[1]));
      return;
    case Op::Clr:
      for (std::size_t index = 0; index < program_.variables.size(); ++index) {
        if (program_.variables[index].kind == VariableKind::SensorFlag) values_[index] = 0;
      }
      return;
    case Op::Vsave: {
      const std::string& name =
          program_.variables[static_cast<std::size_t>(s.operands[0].value)].name;
      saved_[platform::toUpperAscii(name)] = get(s.operands[0]);
      note(s.line, "VSAVE: " + name + " = " + std::to_string(get(s.operands[0])));
      return;
    }
    case Op::Vload: {
      const std::string& name =
          program_.variables[static_cast<std::size_t>(s.operands[0].value)].name;
      const auto found = saved_.find(platform::toUpperAscii(name));
      if (found != saved_.end()) put(s.operands[0], found->second);
      note(s.line, "VLOAD: " + name + " = " + std::to_string(get(s.operands[0])) +
                       (found == saved_.end() ? " (nothing saved yet)" : ""));
      return;
    }
    case Op::Push:
      if (stack_.size() >= kStackLimit) {
        fail(s, "more than " + std::to_string(kStackLimit) + " values pushed");
        return;
      }
      stack_.push_back(get(s.operands[0]));
      return;
    case Op::Pop:
      if (!pop(s, a)) return;
      if (s.form == Form::OnVariable) put(s.operands[0], a);
      return;
    case Op::Dup:
      if (stack_.empty()) {
        fail(s, "stack underflow: nothing was pushed");
        return;
      }
      stack_.push_back(stack_.back());
      return;
    case Op::Jt:
    case Op::Jf:
      if (!pop(s, a)) return;
      if ((a != 0) == (s.op == Op::Jt)) jumpTo(s, s.label);
      return;
    case Op::Rnd: {
      std::int32_t low = get(s.operands[1]);
      std::int32_t high = get(s.operands[2]);
      if (low > high) std::swap(low, high);
      const std::int32_t drawn = std::uniform_int_distribution<std::int32_t>(low, high)(random_);
      if (s.form == Form::OnVariable) {
        put(s.operands[0], drawn);
      } else {
        stack_.push_back(drawn);
      }
      return;
    }
    case Op::Exit:
    case Op::Halt:
      note(s.line, std::string(s.op == Op::Exit ? "EXIT" : "HALT") + ": the program ends");
      state_ = RunState::Ended;
      return;
    case Op::Init:
      if (s.count == 2) {
        const auto systems = systemVariables();
        for (std::size_t index = systems.size(); index < values_.size(); ++index)
          values_[index] = 0;
        note(s.line, "INIT 2: variables cleared");
      } else {
        note(s.line, "INIT 9: the robot restarts");
        state_ = RunState::Ended;
      }
      return;
    case Op::Repeat:
    case Op::EndIf:
    case Op::Edit:
    case Op::End:
    case Op::Run:
      return;
    default:
      arithmetic(s);
      return;
  }
}

}  // namespace velk7::program
