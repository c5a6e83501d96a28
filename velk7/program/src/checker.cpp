#include "velk7/program/checker.h"

#include <algorithm>

#include "platform/ascii_text.h"

namespace velk7::program {

namespace {

std::string prefixed(Rule rule, const std::string& text) {
  return std::string(ruleName(rule)) + ": " + text;
}

bool isUnconditionalJump(const Statement& s) {
  switch (s.op) {
    case Op::Go:
    case Op::Return:
    case Op::Ret:
    case Op::Resume:
    case Op::Exit:
    case Op::Halt:
    case Op::Break:
      return !s.unrunnable;
    default:
      return false;
  }
}

// Lines that end or continue a block are reached from elsewhere, whatever stood before them.
bool continuesBlock(Op op) {
  switch (op) {
    case Op::Else:
    case Op::EndIf:
    case Op::Next:
    case Op::Wend:
    case Op::Until:
    case Op::Loop:
    case Op::End:
    case Op::Edit:
      return true;
    default:
      return false;
  }
}

bool waitsOrCalls(const CompiledProgram& program, std::int32_t from, std::int32_t to) {
  for (std::int32_t index = from; index <= to; ++index) {
    const Statement& s = program.statements[static_cast<std::size_t>(index)];
    if (s.op == Op::Wait || s.op == Op::Call || (s.op == Op::If && s.form == Form::IfCall)) {
      return true;
    }
  }
  return false;
}

bool allCapitals(std::string_view name) {
  bool letter = false;
  for (const char c : name) {
    if (c >= 'a' && c <= 'z') return false;
    letter = letter || (c >= 'A' && c <= 'Z');
  }
  return letter;
}

class Checker {
 public:
  Checker(const CompiledProgram& program, const ActionCatalogue* catalogue, CheckResult& result)
      : program_(program), catalogue_(catalogue), result_(result) {}

  void run() {
    result_.findings = program_.findings;
    lineLengths();
    actions();
    variables();
    unreachable();
    unusedLabels();
    loopsWithoutWait();
    std::stable_sort(result_.findings.begin(), result_.findings.end(),
                     [](const Finding& a, const Finding& b) {
                       if (a.line != b.line) return a.line < b.line;
                       return a.severity() < b.severity();
                     });
  }

 private:
  void add(std::int32_t line, Rule rule, const std::string& text) {
    result_.findings.push_back(Finding{line, rule, prefixed(rule, text)});
  }

  void lineLengths() {
    const auto& lines = program_.source.lines;
    for (std::size_t index = 0; index < lines.size(); ++index) {
      const std::size_t length = lines[index].robotLength();
      if (length <= kRobotLineLimit) continue;
      add(static_cast<std::int32_t>(index + 1), Rule::LineTooLong,
          std::to_string(length) + " bytes with its line end; the robot reads at most " +
              std::to_string(kRobotLineLimit));
    }
  }

  void actions() {
    if (catalogue_ == nullptr) return;
    if (!catalogue_->unreadable.empty()) {
      for (const std::string& file : catalogue_->unreadable) {
        result_.notes.push_back(file + " could not be read; PLAY lines were not checked");
      }
      return;
    }
    if (!catalogue_->anyFile) {
      result_.notes.push_back(
          "no ACTION.CFG, ACTION.EXT or ERS-7.MWC on this stick; PLAY lines were not checked");
      return;
    }
    for (const Statement& s : program_.statements) {
      if (s.op != Op::Play || s.unrunnable) continue;
      const std::string& name = program_.texts[static_cast<std::size_t>(s.text)];
      if (s.form == Form::PlayNumber) {
        if (!catalogue_->knowsNumber(s.operands[0].value)) {
          add(s.line, Rule::ActionNotOnStick,
              "number " + name + " is in none of ACTION.CFG, ACTION.EXT and ERS-7.MWC");
        }
      } else if (catalogue_->find(name) == nullptr && !inConfiguration(name)) {
        add(s.line, Rule::ActionNotOnStick,
            name + " is in none of ACTION.CFG, ACTION.EXT and ERS-7.MWC");
      }
    }
  }

  bool inConfiguration(std::string_view name) const {
    for (const velk_mur::StickAction& action : catalogue_->stick.actions) {
      for (const std::string& entry : action.entryNames) {
        if (platform::equalsIgnoreCase(entry, name)) return true;
      }
    }
    return false;
  }

  void variables() {
    for (const Variable& v : program_.variables) {
      if (v.kind == VariableKind::User) {
        if (v.firstRead != 0 && v.firstWrite == 0) {
          add(v.firstRead, Rule::ReadButNeverSet,
              v.name + " is read here but no line sets it, so it is always 0");
        }
        if (v.firstSeen != 0 && allCapitals(v.name)) {
          add(v.firstSeen, Rule::UserVariableInCapitals,
              v.name + " is written in capitals, which the robot keeps for its own names");
        }
      } else if (v.kind == VariableKind::SensorFlag && v.firstRead != 0 && v.firstWrite == 0 &&
                 !program_.clearsSensors) {
        add(v.firstRead, Rule::SensorFlagNeverCleared,
            v.name + " stays set once the robot sets it; clear it with SET " + v.name +
                " 0 or CLR SENSORS");
      }
    }
  }

  void unreachable() {
    const auto& lines = program_.source.lines;
    std::size_t next = 0;
    bool dead = false;
    for (std::size_t index = 0; index < lines.size(); ++index) {
      if (lines[index].type == LineType::Label) dead = false;
      if (lines[index].type != LineType::Command) continue;
      while (next < program_.statements.size() && program_.statements[next].nested) ++next;
      if (next >= program_.statements.size()) return;
      const Statement& s = program_.statements[next++];
      if (continuesBlock(s.op)) {
        dead = false;
      } else if (dead) {
        add(s.line, Rule::UnreachableCode, "no label or block leads here after the jump before it");
        dead = false;
      }
      if (isUnconditionalJump(s)) dead = true;
    }
  }

  void unusedLabels() {
    for (const Label& label : program_.labels) {
      if (label.line != 0 && !label.used) {
        add(label.line, Rule::LabelNeverUsed, ":" + label.name + " is never jumped to or called");
      }
    }
  }

  void loopsWithoutWait() {
    const auto count = static_cast<std::int32_t>(program_.statements.size());
    for (std::int32_t index = 0; index < count; ++index) {
      const Statement& s = program_.statements[static_cast<std::size_t>(index)];
      if (s.unrunnable) continue;
      std::int32_t start = kNoTarget;
      std::string what;
      if (s.op == Op::Wend || s.op == Op::Loop || s.op == Op::Until) {
        start = s.op == Op::Wend ? s.target : s.target - 1;
        what = "the loop";
      } else if (s.op == Op::Go || s.op == Op::Jt || s.op == Op::Jf ||
                 (s.op == Op::If && (s.form == Form::IfGo || s.form == Form::IfGoElse))) {
        const Label& label = program_.labels[static_cast<std::size_t>(s.label)];
        if (label.line == 0 || label.statement > index) continue;
        start = label.statement;
        what = "the jump back to :" + label.name;
      }
      if (start == kNoTarget || waitsOrCalls(program_, start, index)) continue;
      const std::int32_t line = s.op == Op::Wend || s.op == Op::Loop || s.op == Op::Until
                                    ? program_.statements[static_cast<std::size_t>(start)].line
                                    : s.line;
      add(line, Rule::LoopWithoutWait,
          what + " repeats without a WAIT, so the robot does nothing else meanwhile");
    }
  }

  const CompiledProgram& program_;
  const ActionCatalogue* catalogue_;
  CheckResult& result_;
};

}  // namespace

int CheckResult::errors() const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
    return f.severity() == Severity::Error;
  }));
}

int CheckResult::warnings() const {
  return static_cast<int>(findings.size()) - errors();
}

CheckResult checkProgram(const CompiledProgram& program, const ActionCatalogue* catalogue) {
  CheckResult result;
  Checker(program, catalogue, result).run();
  return result;
}

std::string describeErrors(const CheckResult& result, std::size_t atMost) {
  std::string text;
  std::size_t shown = 0;
  for (const Finding& finding : result.findings) {
    if (finding.severity() != Severity::Error) continue;
    if (shown == atMost) {
      text += "...\n";
      break;
    }
    text += "Line " + std::to_string(finding.line) + ": " + finding.text + "\n";
    ++shown;
  }
  return text;
}

}  // namespace velk7::program
