#pragma once
// The program's commands understood: each command line becomes a statement with its operands
// resolved (numbers, variables by index, labels, the statements a block's ends jump to), and
// whatever cannot be understood becomes a finding. The checker and the interpreter share it.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "velk7/program/program_text.h"

namespace velk7::program {

enum class Severity : std::uint8_t { Error, Warning };

// Each rule in words an owner understands; the finding's text starts with it.
enum class Rule : std::uint8_t {
  UnknownCommand,
  WrongWords,
  LabelNotFound,
  LabelTwice,
  BlocksDoNotNest,
  BreakOutsideLoop,
  ActionNotOnStick,
  WaitOutOfRange,
  LineTooLong,
  ReadButNeverSet,
  UserVariableInCapitals,
  SensorFlagNeverCleared,
  UnreachableCode,
  LabelNeverUsed,
  LoopWithoutWait,
};
std::string_view ruleName(Rule rule);
Severity severityOf(Rule rule);

struct Finding {
  std::int32_t line = 0;  // from 1
  Rule rule = Rule::UnknownCommand;
  std::string text;  // starts with the rule's name
  Severity severity() const { return severityOf(rule); }
  bool operator==(const Finding&) const = default;
};

enum class Op : std::uint8_t {
  Play,
  Wait,
  Stop,
  Quit,
  Print,
  Vdump,
  Go,
  If,
  Switch,
  Cset,
  Case,
  For,
  Next,
  While,
  Wend,
  Repeat,
  Until,
  Do,
  Loop,
  Break,
  Call,
  Arg,
  Return,
  Ret,
  OnCall,
  Resume,
  Global,
  Local,
  Let,
  Set,
  Clr,
  Vsave,
  Vload,
  Push,
  Pop,
  Dup,
  Jt,
  Jf,
  Add,
  Sub,
  Mul,
  Div,
  Mod,
  And,
  Ior,
  Xor,
  Not,
  Land,
  Lior,
  Lnot,
  Eq,
  Ne,
  Lt,
  Le,
  Gt,
  Ge,
  Rnd,
  Edit,
  End,
  Run,
  Exit,
  Halt,
  Init,
  Else,
  EndIf,
};

enum class Compare : std::uint8_t {
  Equal,
  NotEqual,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  BitAnd,
  BitOr,
  BitXor,
  BothSet,
  EitherSet,
  None,
};

struct Operand {
  enum class Kind : std::uint8_t { None, Number, Variable } kind = Kind::None;
  std::int32_t value = 0;  // the number, or the variable's index
};

struct Condition {
  Operand left;
  Compare compare = Compare::None;
  Operand right;
};

// How a statement is spelled when it has more than one form.
enum class Form : std::uint8_t {
  Plain,
  // IF
  IfThen,
  IfCall,
  IfBreak,
  IfGo,
  IfGoElse,
  // WAIT
  WaitQueue,
  WaitTime,
  WaitPart,
  // PLAY
  PlayAction,
  PlayNumber,
  // DO / LOOP
  TestWhile,
  TestUntil,
  // stack or variable forms of the operators, RETURN/RET/POP with or without operand
  OnStack,
  OnVariable,
  // CASE
  CaseValue,
  CaseElse,
  // ONCALL
  OnCallCancel,
  // CLR
  ClearSensors,
};

inline constexpr std::int32_t kNoTarget = -1;

struct Statement {
  Op op = Op::End;
  Form form = Form::Plain;
  std::int32_t line = 0;  // from 1
  std::array<Operand, 3> operands{};
  Condition condition;
  std::int32_t label = kNoTarget;    // label index used (GO, CALL, IF jumps, JT, JF, ONCALL)
  std::int32_t label2 = kNoTarget;   // the second label (IF's else label, ONCALL's resume label)
  std::int32_t target = kNoTarget;   // statement a block end or BREAK goes to
  std::int32_t partner = kNoTarget;  // FOR of a NEXT, DO of a LOOP
  std::int32_t inner = kNoTarget;    // CASE: the statement it runs
  std::int32_t text = kNoTarget;     // PRINT's format, PLAY's action name, WAIT's part
  std::int32_t count = 0;            // CALL's argument count, BREAK's depth, ONCALL type
  bool nested = false;               // a CASE's command; runs only through its CASE
  bool unrunnable = false;           // the line could not be understood
};

struct Label {
  std::string name;
  std::int32_t line = 0;
  std::int32_t statement = 0;  // the first statement after the label
  bool used = false;
};

enum class VariableKind : std::uint8_t { User, System, SensorFlag };

struct Variable {
  std::string name;  // as first written
  VariableKind kind = VariableKind::User;
  std::int32_t firstRead = 0;   // line, 0 when never read
  std::int32_t firstWrite = 0;  // line, 0 when the program never writes it
  std::int32_t firstSeen = 0;
};

struct CompiledProgram {
  ProgramText source;
  std::vector<Statement> statements;  // in line order; CASE commands follow their CASE
  std::vector<Label> labels;
  std::vector<Variable> variables;  // the system variables first
  std::vector<std::string> texts;
  std::vector<Operand> printValues;  // PRINT's values: `count` of them from its `partner`
  std::vector<Finding> findings;     // what the compile found, in line order per rule
  bool clearsSensors = false;        // CLR SENSORS somewhere

  std::optional<std::int32_t> variableIndex(std::string_view name) const;
  std::optional<std::int32_t> labelIndex(std::string_view name) const;

  std::unordered_map<std::string, std::int32_t> variableByName;  // names folded to upper case
  std::unordered_map<std::string, std::int32_t> labelByName;
};

// The system variables in their index order, and which of them stay set until cleared.
struct SystemVariable {
  std::string_view name;
  VariableKind kind;
  std::int32_t initial;
};
std::span<const SystemVariable> systemVariables();

// Builds the statements; findings for unknown commands, wrong words, labels, nesting, BREAK
// and WAIT ranges. The text must outlive the result.
CompiledProgram compileProgram(ProgramText source);

}  // namespace velk7::program
