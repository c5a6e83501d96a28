#include "velk7/program/statements.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "platform/ascii_text.h"

namespace velk7::program {

namespace {

struct CommandName {
  std::string_view name;
  Op op;
};

// Every command the robot's R-CODE knows, and ELSE and ENDIF,
// which end blocks.
constexpr CommandName kCommands[] = {
    {"ADD", Op::Add},       {"AND", Op::And},       {"ARG", Op::Arg},       {"BREAK", Op::Break},
    {"CALL", Op::Call},     {"CASE", Op::Case},     {"CLR", Op::Clr},       {"CSET", Op::Cset},
    {"DIV", Op::Div},       {"DO", Op::Do},         {"DUP", Op::Dup},       {"EDIT", Op::Edit},
    {"ELSE", Op::Else},     {"END", Op::End},       {"ENDIF", Op::EndIf},   {"EQ", Op::Eq},
    {"EXIT", Op::Exit},     {"FOR", Op::For},       {"GE", Op::Ge},         {"GLOBAL", Op::Global},
    {"GO", Op::Go},         {"GT", Op::Gt},         {"HALT", Op::Halt},     {"IF", Op::If},
    {"INIT", Op::Init},     {"IOR", Op::Ior},       {"JF", Op::Jf},         {"JT", Op::Jt},
    {"LAND", Op::Land},     {"LE", Op::Le},         {"LET", Op::Let},       {"LIOR", Op::Lior},
    {"LNOT", Op::Lnot},     {"LOCAL", Op::Local},   {"LOOP", Op::Loop},     {"LT", Op::Lt},
    {"MOD", Op::Mod},       {"MUL", Op::Mul},       {"NE", Op::Ne},         {"NEXT", Op::Next},
    {"NOT", Op::Not},       {"ONCALL", Op::OnCall}, {"PLAY", Op::Play},     {"POP", Op::Pop},
    {"PRINT", Op::Print},   {"PUSH", Op::Push},     {"QUIT", Op::Quit},     {"REPEAT", Op::Repeat},
    {"RESUME", Op::Resume}, {"RET", Op::Ret},       {"RETURN", Op::Return}, {"RND", Op::Rnd},
    {"RUN", Op::Run},       {"SET", Op::Set},       {"STOP", Op::Stop},     {"SUB", Op::Sub},
    {"SWITCH", Op::Switch}, {"UNTIL", Op::Until},   {"VDUMP", Op::Vdump},   {"VLOAD", Op::Vload},
    {"VSAVE", Op::Vsave},   {"WAIT", Op::Wait},     {"WEND", Op::Wend},     {"WHILE", Op::While},
    {"XOR", Op::Xor},
};

// How each command is written, for the finding that says it was not.
std::string_view usageOf(Op op) {
  switch (op) {
    case Op::Play:
      return "PLAY takes ACTION or ACTION+ and an action name with up to three values, or MWCID "
             "and a number (PLAY ACTION SIT)";
    case Op::Wait:
      return "WAIT takes nothing, a time in milliseconds or a part (WAIT 500)";
    case Op::Print:
      return "PRINT takes a quoted text and the values for its %d and %x (PRINT \"x=%d\" x)";
    case Op::Vdump:
    case Op::Arg:
    case Op::Vsave:
    case Op::Vload:
      return "it takes one variable";
    case Op::Go:
    case Op::Jt:
    case Op::Jf:
      return "it takes one label";
    case Op::If:
      return "IF takes VALUE OPERATOR VALUE, then THEN (closed by ENDIF on a later line), a "
             "label, two labels, CALL and a label, or BREAK (IF Head_ON = 1 THEN)";
    case Op::Switch:
    case Op::Push:
      return "it takes one value";
    case Op::Cset:
      return "CSET takes VALUE OPERATOR VALUE and the value for Context";
    case Op::Case:
      return "CASE takes a value or ELSE, then a command that is not a block (CASE 1 GO Here)";
    case Op::For:
      return "FOR takes a variable, a start, an end and perhaps a step (FOR i 1 5)";
    case Op::While:
    case Op::Until:
      return "it takes VALUE OPERATOR VALUE";
    case Op::Do:
    case Op::Loop:
      return "it takes nothing, or WHILE or UNTIL and VALUE OPERATOR VALUE";
    case Op::Break:
      return "BREAK takes nothing or how many loops to leave";
    case Op::Call:
      return "CALL takes a label and perhaps the number of values pushed for it";
    case Op::Return:
    case Op::Ret:
      return "it takes nothing or one value";
    case Op::OnCall:
      return "ONCALL takes VALUE OPERATOR VALUE and a label, perhaps a resume type 0 to 5 and "
             "a resume label (types 1, 3 and 5 need it), or a negative number to cancel";
    case Op::Global:
    case Op::Local:
      return "it takes a variable and perhaps its first value";
    case Op::Let:
    case Op::Set:
      return "it takes a variable and a value (SET count 5)";
    case Op::Clr:
      return "CLR takes SENSORS";
    case Op::Pop:
      return "POP takes nothing or a variable";
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
    case Op::Mod:
    case Op::And:
    case Op::Ior:
    case Op::Xor:
    case Op::Land:
    case Op::Lior:
      return "it takes nothing (on the stack) or a variable and a value";
    case Op::Not:
    case Op::Lnot:
      return "it takes nothing (on the stack) or a variable";
    case Op::Rnd:
      return "RND takes a variable, a lowest and a highest value, or on the stack a lowest and "
             "a highest value, or a highest value";
    case Op::Init:
      return "INIT takes 2 or 9";
    default:
      return "it takes nothing after it";
  }
}

constexpr std::array<std::string_view, 12> kWaitParts{
    "MOTION_ALL", "MOTION_HEAD", "MOTION_LEG", "MOTION_TAIL", "MOTION_MOUTH", "MOTION_EAR",
    "SOUND_ALL",  "SOUND_SPK",   "LED_ALL",    "LED_FACE",    "LED_MODE",     "LED_TAIL"};

const std::array<SystemVariable, 72> kSystemVariables{{
    {"Context", VariableKind::System, 0},
    {"Wait", VariableKind::System, 0},
    {"Clock", VariableKind::System, 0},
    {"Seed", VariableKind::System, 1},
    {"AiboId", VariableKind::System, 0},
    {"AiboType", VariableKind::System, 7},
    {"Year", VariableKind::System, 2026},
    {"Month", VariableKind::System, 1},
    {"Day", VariableKind::System, 1},
    {"Hour", VariableKind::System, 12},
    {"Min", VariableKind::System, 0},
    {"Sec", VariableKind::System, 0},
    {"Dow", VariableKind::System, 4},
    {"Status", VariableKind::System, 0},
    {"Brightness", VariableKind::System, 128},
    {"Temp_Hi", VariableKind::System, 0},
    {"Batt_Rest", VariableKind::System, 100},
    {"Batt_Temp", VariableKind::System, 30},
    {"Body_Temp", VariableKind::System, 30},
    {"Distance", VariableKind::System, 1000},
    {"Head_ON", VariableKind::SensorFlag, 0},
    {"Head_OFF", VariableKind::SensorFlag, 0},
    {"Head_LONG", VariableKind::SensorFlag, 0},
    {"Head_Pat", VariableKind::SensorFlag, 0},
    {"Head_Hit", VariableKind::SensorFlag, 0},
    {"Back_ON", VariableKind::SensorFlag, 0},
    {"Back_OFF", VariableKind::SensorFlag, 0},
    {"Back_LONG", VariableKind::SensorFlag, 0},
    {"Jaw_ON", VariableKind::SensorFlag, 0},
    {"Jaw_OFF", VariableKind::SensorFlag, 0},
    {"Jaw_LONG", VariableKind::SensorFlag, 0},
    {"RFLeg_ON", VariableKind::SensorFlag, 0},
    {"RFLeg_OFF", VariableKind::SensorFlag, 0},
    {"LFLeg_ON", VariableKind::SensorFlag, 0},
    {"LFLeg_OFF", VariableKind::SensorFlag, 0},
    {"RRLeg_ON", VariableKind::SensorFlag, 0},
    {"RRLeg_OFF", VariableKind::SensorFlag, 0},
    {"LRLeg_ON", VariableKind::SensorFlag, 0},
    {"LRLeg_OFF", VariableKind::SensorFlag, 0},
    {"AU_Voice", VariableKind::SensorFlag, 0},
    {"AU_AiboSound", VariableKind::SensorFlag, 0},
    {"AU_AiboTone", VariableKind::SensorFlag, 0},
    {"Pink_Ball", VariableKind::SensorFlag, 0},
    {"AU_Voice_ID", VariableKind::System, 0},
    {"AU_AiboSound_ID", VariableKind::System, 0},
    {"AU_AiboTone_ID", VariableKind::System, 0},
    {"Pink_Ball_H", VariableKind::System, 0},
    {"Pink_Ball_V", VariableKind::System, 0},
    {"Pink_Ball_D", VariableKind::System, 0},
    {"Head_Tilt", VariableKind::System, 0},
    {"Head_Pan", VariableKind::System, 0},
    {"Head_Roll", VariableKind::System, 0},
    {"Head_Tilt_2", VariableKind::System, 0},
    {"Mouth", VariableKind::System, 0},
    {"Tail_Pan", VariableKind::System, 0},
    {"Tail_Tilt", VariableKind::System, 0},
    {"LFLeg_1", VariableKind::System, 0},
    {"LFLeg_2", VariableKind::System, 0},
    {"LFLeg_3", VariableKind::System, 0},
    {"RFLeg_1", VariableKind::System, 0},
    {"RFLeg_2", VariableKind::System, 0},
    {"RFLeg_3", VariableKind::System, 0},
    {"LRLeg_1", VariableKind::System, 0},
    {"LRLeg_2", VariableKind::System, 0},
    {"LRLeg_3", VariableKind::System, 0},
    {"RRLeg_1", VariableKind::System, 0},
    {"RRLeg_2", VariableKind::System, 0},
    {"RRLeg_3", VariableKind::System, 0},
    {"Head_Nod", VariableKind::System, 0},
    {"Tail_Roll", VariableKind::System, 0},
    {"Ear_L", VariableKind::System, 0},
    {"Ear_R", VariableKind::System, 0},
}};

bool equalsUpper(std::string_view word, std::string_view upper) {
  if (word.size() != upper.size()) return false;
  for (std::size_t index = 0; index < word.size(); ++index) {
    if (platform::toUpperAscii(word[index]) != upper[index]) return false;
  }
  return true;
}

std::optional<Op> findCommand(std::string_view word) {
  static const std::unordered_map<std::string_view, Op> byName = [] {
    std::unordered_map<std::string_view, Op> names;
    for (const CommandName& command : kCommands) names.emplace(command.name, command.op);
    return names;
  }();
  if (word.empty() || word.size() > 6) return std::nullopt;
  char upper[8] = {};
  for (std::size_t index = 0; index < word.size(); ++index) {
    upper[index] = platform::toUpperAscii(word[index]);
  }
  const auto found = byName.find(std::string_view(upper, word.size()));
  if (found == byName.end()) return std::nullopt;
  return found->second;
}

std::optional<Compare> findCompare(std::string_view word) {
  static constexpr std::array<std::pair<std::string_view, Compare>, 13> kCompares{{
      {"=", Compare::Equal},
      {"==", Compare::Equal},
      {"<>", Compare::NotEqual},
      {"!=", Compare::NotEqual},
      {"<", Compare::Less},
      {"<=", Compare::LessEqual},
      {">", Compare::Greater},
      {">=", Compare::GreaterEqual},
      {"&", Compare::BitAnd},
      {"|", Compare::BitOr},
      {"^", Compare::BitXor},
      {"&&", Compare::BothSet},
      {"||", Compare::EitherSet},
  }};
  for (const auto& [text, compare] : kCompares) {
    if (text == word) return compare;
  }
  return std::nullopt;
}

bool looksNumeric(std::string_view word) {
  return !word.empty() && (word[0] == '+' || word[0] == '-' || (word[0] >= '0' && word[0] <= '9'));
}

// Decimal, or 0x, 0o, 0b with their digits; values wrap to 32 bits as on the robot.
std::optional<std::int32_t> parseNumber(std::string_view word) {
  if (!looksNumeric(word)) return std::nullopt;
  bool negative = false;
  if (word[0] == '+' || word[0] == '-') {
    negative = word[0] == '-';
    word.remove_prefix(1);
  }
  unsigned base = 10;
  if (word.size() > 2 && word[0] == '0') {
    const char prefix = platform::toLowerAscii(word[1]);
    if (prefix == 'x') base = 16;
    if (prefix == 'o') base = 8;
    if (prefix == 'b') base = 2;
    if (base != 10) word.remove_prefix(2);
  }
  if (word.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : word) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (platform::toLowerAscii(c) >= 'a' && platform::toLowerAscii(c) <= 'f') {
      digit = static_cast<unsigned>(platform::toLowerAscii(c) - 'a' + 10);
    } else {
      return std::nullopt;
    }
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
  }
  if (negative) value = 0U - value;
  return static_cast<std::int32_t>(value);
}

bool isQuoted(std::string_view word) {
  return word.size() >= 2 && word.front() == '"' && word.back() == '"';
}

struct OpenBlock {
  Op op;
  std::int32_t statement;
  std::int32_t line;
  std::int32_t elseStatement = kNoTarget;
};

struct BreakFixup {
  std::int32_t statement;
  std::size_t block;  // index in the open-block stack of the loop it leaves
};

class Compiler {
 public:
  explicit Compiler(CompiledProgram& program) : program_(program) {
    for (const SystemVariable& system : kSystemVariables) {
      const std::int32_t index = intern(system.name);
      program_.variables[static_cast<std::size_t>(index)].kind = system.kind;
    }
  }

  void run() {
    const ProgramText& source = program_.source;
    program_.statements.reserve(source.lines.size());
    for (std::size_t index = 0; index < source.lines.size(); ++index) {
      const ProgramLine& line = source.lines[index];
      line_ = static_cast<std::int32_t>(index + 1);
      if (line.type == LineType::Label) {
        defineLabel(line);
      } else if (line.type == LineType::Command) {
        words_.clear();
        for (const Word& word : source.wordsOf(line)) words_.push_back(source.wordText(word));
        compile(std::span<const std::string_view>(words_), false);
      }
    }
    closeRemainingBlocks();
    resolveLabels();
  }

 private:
  // ---- names ----
  // Names are looked up as written first; only a spelling not seen before is folded.
  std::int32_t intern(std::string_view name) {
    if (const auto seen = variableSpelling_.find(name); seen != variableSpelling_.end()) {
      return seen->second;
    }
    folded_.assign(name);
    for (char& c : folded_) c = platform::toUpperAscii(c);
    const auto [found, inserted] = program_.variableByName.try_emplace(
        folded_, static_cast<std::int32_t>(program_.variables.size()));
    if (inserted) program_.variables.push_back(Variable{std::string(name)});
    variableSpelling_.emplace(name, found->second);
    return found->second;
  }

  std::int32_t labelReference(std::string_view name) {
    std::int32_t index = 0;
    if (const auto seen = labelSpelling_.find(name); seen != labelSpelling_.end()) {
      index = seen->second;
    } else {
      folded_.assign(name);
      for (char& c : folded_) c = platform::toUpperAscii(c);
      const auto [found, inserted] = program_.labelByName.try_emplace(
          folded_, static_cast<std::int32_t>(program_.labels.size()));
      if (inserted) program_.labels.push_back(Label{std::string(name), 0, 0, false});
      labelSpelling_.emplace(name, found->second);
      index = found->second;
    }
    references_.push_back({index, line_});
    return index;
  }

  void defineLabel(const ProgramLine& line) {
    if (line.wordCount == 0) {
      report(Rule::WrongWords, std::string(ruleName(Rule::WrongWords)) +
                                   ": a label line needs a name after its colon");
      return;
    }
    const std::string_view name = program_.source.wordText(program_.source.wordsOf(line)[0]);
    folded_.assign(name);
    for (char& c : folded_) c = platform::toUpperAscii(c);
    const auto [found, inserted] = program_.labelByName.try_emplace(
        folded_, static_cast<std::int32_t>(program_.labels.size()));
    if (inserted) program_.labels.push_back(Label{std::string(name), 0, 0, false});
    Label& label = program_.labels[static_cast<std::size_t>(found->second)];
    if (label.line != 0) {
      report(Rule::LabelTwice, "label defined twice: :" + std::string(name) +
                                   " is already on line " + std::to_string(label.line));
      return;
    }
    label.name = std::string(name);
    label.line = line_;
    label.statement = static_cast<std::int32_t>(program_.statements.size());
  }

  void resolveLabels() {
    for (Label& label : program_.labels) {
      if (mentioned_.contains(folded(label.name))) label.used = true;
    }
    for (const auto& [label, line] : references_) {
      Label& defined = program_.labels[static_cast<std::size_t>(label)];
      if (defined.line == 0) {
        program_.findings.push_back(
            Finding{line, Rule::LabelNotFound,
                    std::string(ruleName(Rule::LabelNotFound)) + ": no line :" + defined.name});
      } else {
        defined.used = true;
      }
    }
  }

  // ---- operands ----
  void read(std::int32_t variable) {
    Variable& v = program_.variables[static_cast<std::size_t>(variable)];
    if (v.firstRead == 0) v.firstRead = line_;
    if (v.firstSeen == 0) v.firstSeen = line_;
  }
  void write(std::int32_t variable) {
    Variable& v = program_.variables[static_cast<std::size_t>(variable)];
    if (v.firstWrite == 0) v.firstWrite = line_;
    if (v.firstSeen == 0) v.firstSeen = line_;
  }

  std::optional<Operand> value(std::string_view word) {
    if (looksNumeric(word)) {
      const std::optional<std::int32_t> number = parseNumber(word);
      if (!number) return std::nullopt;
      return Operand{Operand::Kind::Number, *number};
    }
    if (isQuoted(word) || findCompare(word)) return std::nullopt;
    const std::int32_t index = intern(word);
    read(index);
    return Operand{Operand::Kind::Variable, index};
  }

  // A variable the command assigns; `alsoReads` for ADD and its kind, which use the old value.
  std::optional<Operand> target(std::string_view word, bool alsoReads = false) {
    if (looksNumeric(word) || isQuoted(word) || findCompare(word) || word.empty()) {
      return std::nullopt;
    }
    const std::int32_t index = intern(word);
    if (alsoReads &&
        program_.variables[static_cast<std::size_t>(index)].kind != VariableKind::User) {
      read(index);
    }
    write(index);
    return Operand{Operand::Kind::Variable, index};
  }

  std::optional<Condition> condition(std::span<const std::string_view> words) {
    const std::optional<Compare> compare = findCompare(words[1]);
    if (!compare) return std::nullopt;
    const std::optional<Operand> left = value(words[0]);
    const std::optional<Operand> right = value(words[2]);
    if (!left || !right) return std::nullopt;
    return Condition{*left, *compare, *right};
  }

  std::int32_t addText(std::string_view text) {
    const auto [found, inserted] =
        textIndex_.try_emplace(text, static_cast<std::int32_t>(program_.texts.size()));
    if (inserted) program_.texts.emplace_back(text);
    return found->second;
  }

  // ---- findings ----
  void report(Rule rule, std::string text) {
    program_.findings.push_back(Finding{line_, rule, std::move(text)});
  }
  void wrongWords(Op op, std::string_view command, std::span<const std::string_view> words) {
    std::string name = platform::toUpperAscii(command);
    std::string usage(usageOf(op));
    if (op == Op::If && words.size() > 5 && equalsUpper(words[4], "THEN")) {
      usage =
          "nothing may follow THEN on its line; put the command on the next line and close "
          "the block with ENDIF, or leave THEN out (IF Head_ON = 1 CALL Pat)";
    }
    report(Rule::WrongWords,
           std::string(ruleName(Rule::WrongWords)) + " for " + name + ": " + usage);
  }

  static std::string folded(std::string_view name) { return platform::toUpperAscii(name); }
  void nesting(const std::string& text) {
    report(Rule::BlocksDoNotNest, std::string(ruleName(Rule::BlocksDoNotNest)) + ": " + text);
  }

  // ---- statements ----
  std::int32_t compile(std::span<const std::string_view> words, bool nested) {
    const std::optional<Op> op = findCommand(words[0]);
    const auto index = static_cast<std::int32_t>(program_.statements.size());
    Statement& added = program_.statements.emplace_back();
    added.line = line_;
    added.nested = nested;
    if (!op) {
      added.unrunnable = true;
      report(Rule::UnknownCommand, std::string(ruleName(Rule::UnknownCommand)) + ": " +
                                       std::string(words[0]) + " is not an R-CODE command");
      return index;
    }
    added.op = *op;
    Statement statement = added;
    const bool understood = fill(statement, words.subspan(1), nested);
    statement.unrunnable = !understood;
    if (!understood) {
      wrongWords(*op, words[0], words);
      // A label named on a line that is written wrongly is not reported unused as well.
      for (const std::string_view word : words.subspan(1)) mentioned_.insert(folded(word));
    }
    program_.statements[static_cast<std::size_t>(index)] = statement;
    if (understood && !nested) structure(index);
    return index;
  }

  bool isBlockCommand(Op op) const {
    switch (op) {
      case Op::For:
      case Op::Next:
      case Op::While:
      case Op::Wend:
      case Op::Repeat:
      case Op::Until:
      case Op::Do:
      case Op::Loop:
      case Op::Else:
      case Op::EndIf:
      case Op::Case:
        return true;
      default:
        return false;
    }
  }

  bool fill(Statement& s, std::span<const std::string_view> w, bool nested) {
    const std::size_t n = w.size();
    const auto set = [&s](std::size_t at, std::optional<Operand> operand) {
      if (!operand) return false;
      s.operands[at] = *operand;
      return true;
    };
    switch (s.op) {
      case Op::Play:
        return fillPlay(s, w);
      case Op::Wait:
        return fillWait(s, w);
      case Op::Stop:
      case Op::Quit:
      case Op::Dup:
      case Op::Resume:
      case Op::Edit:
      case Op::End:
      case Op::Run:
      case Op::Exit:
      case Op::Halt:
      case Op::Repeat:
      case Op::Wend:
      case Op::Else:
      case Op::EndIf:
      case Op::Eq:
      case Op::Ne:
      case Op::Lt:
      case Op::Le:
      case Op::Gt:
      case Op::Ge:
        return n == 0;
      case Op::Next:
        // Naming the loop's variable after NEXT is accepted and not checked.
        return n == 0 || (n == 1 && !looksNumeric(w[0]));
      case Op::Print:
        if (n == 0) return false;
        s.text = addText(isQuoted(w[0]) ? w[0].substr(1, w[0].size() - 2) : w[0]);
        s.partner = static_cast<std::int32_t>(program_.printValues.size());
        for (std::size_t at = 1; at < n; ++at) {
          const std::optional<Operand> shown = value(w[at]);
          if (!shown) return false;
          program_.printValues.push_back(*shown);
        }
        s.count = static_cast<std::int32_t>(n - 1);
        return true;
      case Op::Vdump:
        return n == 1 && set(0, value(w[0]));
      case Op::Go:
      case Op::Jt:
      case Op::Jf:
        if (n != 1 || looksNumeric(w[0])) return false;
        s.label = labelReference(w[0]);
        return true;
      case Op::If:
        return fillIf(s, w);
      case Op::Switch:
      case Op::Push:
        return n == 1 && set(0, value(w[0]));
      case Op::Cset: {
        if (n != 4) return false;
        const std::optional<Condition> condition = this->condition(w.first(3));
        if (!condition) return false;
        s.condition = *condition;
        return set(0, value(w[3]));
      }
      case Op::Case: {
        if (n < 2 || nested) return false;
        if (equalsUpper(w[0], "ELSE")) {
          s.form = Form::CaseElse;
        } else {
          s.form = Form::CaseValue;
          if (!set(0, value(w[0]))) return false;
        }
        const std::optional<Op> inner = findCommand(w[1]);
        if (inner && (isBlockCommand(*inner) || *inner == Op::If)) return false;
        s.inner = compile(w.subspan(1), true);
        return true;
      }
      case Op::For:
        if (n != 3 && n != 4) return false;
        if (!set(0, target(w[0])) || !set(1, value(w[1])) || !set(2, value(w[2]))) return false;
        s.count = 1;
        if (n == 4) {
          const std::optional<Operand> step = value(w[3]);
          if (!step) return false;
          s.condition.right = *step;  // the step, kept beside the three operands
          s.count = 0;
        }
        return true;
      case Op::While:
      case Op::Until: {
        if (n != 3) return false;
        const std::optional<Condition> condition = this->condition(w);
        if (!condition) return false;
        s.condition = *condition;
        return true;
      }
      case Op::Do:
      case Op::Loop: {
        if (n == 0) return true;
        if (n != 4) return false;
        if (equalsUpper(w[0], "WHILE")) {
          s.form = Form::TestWhile;
        } else if (equalsUpper(w[0], "UNTIL")) {
          s.form = Form::TestUntil;
        } else {
          return false;
        }
        const std::optional<Condition> condition = this->condition(w.subspan(1));
        if (!condition) return false;
        s.condition = *condition;
        return true;
      }
      case Op::Break: {
        s.count = 1;
        if (n == 0) return true;
        const std::optional<std::int32_t> depth = n == 1 ? parseNumber(w[0]) : std::nullopt;
        if (!depth || *depth < 1) return false;
        s.count = *depth;
        return true;
      }
      case Op::Call:
        return fillCall(s, w);
      case Op::Arg:
      case Op::Vload:
        return n == 1 && set(0, target(w[0])) && (s.op != Op::Vload || w[0].size() <= 8);
      case Op::Vsave:
        return n == 1 && w[0].size() <= 8 && set(0, value(w[0]));
      case Op::Return:
      case Op::Ret:
        if (n == 0) return true;
        s.form = Form::OnVariable;
        return n == 1 && set(0, value(w[0]));
      case Op::OnCall:
        return fillOnCall(s, w);
      case Op::Global:
      case Op::Local:
        if (n != 1 && n != 2) return false;
        if (!set(0, target(w[0]))) return false;
        s.count = static_cast<std::int32_t>(n);
        return n == 1 || set(1, value(w[1]));
      case Op::Let:
      case Op::Set:
        return n == 2 && set(0, target(w[0])) && set(1, value(w[1]));
      case Op::Clr:
        s.form = Form::ClearSensors;
        program_.clearsSensors = true;
        return n == 1 && equalsUpper(w[0], "SENSORS");
      case Op::Pop:
        if (n == 0) return true;
        s.form = Form::OnVariable;
        return n == 1 && set(0, target(w[0]));
      case Op::Add:
      case Op::Sub:
      case Op::Mul:
      case Op::Div:
      case Op::Mod:
      case Op::And:
      case Op::Ior:
      case Op::Xor:
      case Op::Land:
      case Op::Lior:
        if (n == 0) return true;
        s.form = Form::OnVariable;
        return n == 2 && set(0, target(w[0], true)) && set(1, value(w[1]));
      case Op::Not:
      case Op::Lnot:
        if (n == 0) return true;
        s.form = Form::OnVariable;
        return n == 1 && set(0, target(w[0], true));
      case Op::Rnd:
        if (n == 3) {
          s.form = Form::OnVariable;
          return set(0, target(w[0])) && set(1, value(w[1])) && set(2, value(w[2]));
        }
        s.form = Form::OnStack;
        if (n == 2) return set(1, value(w[0])) && set(2, value(w[1]));
        s.operands[1] = Operand{Operand::Kind::Number, 0};
        return n == 1 && set(2, value(w[0]));
      case Op::Init: {
        const std::optional<std::int32_t> level = n == 1 ? parseNumber(w[0]) : std::nullopt;
        if (!level || (*level != 2 && *level != 9)) return false;
        s.count = *level;
        return true;
      }
    }
    return false;
  }

  bool fillPlay(Statement& s, std::span<const std::string_view> w) {
    if (w.size() < 2) return false;
    if (equalsUpper(w[0], "MWCID")) {
      s.form = Form::PlayNumber;
      const std::optional<std::int32_t> number = w.size() == 2 ? parseNumber(w[1]) : std::nullopt;
      if (!number) return false;
      s.operands[0] = Operand{Operand::Kind::Number, *number};
      s.text = addText(w[1]);
      return true;
    }
    if (!equalsUpper(w[0], "ACTION") && !equalsUpper(w[0], "ACTION+")) return false;
    if (w.size() > 5 || looksNumeric(w[1]) || isQuoted(w[1])) return false;
    s.form = Form::PlayAction;
    s.text = addText(w[1]);
    for (std::size_t at = 2; at < w.size(); ++at) {
      // The ball trackers name their target with a keyword, not a variable.
      if (equalsUpper(w[at], "PINK_BALL")) continue;
      if (!value(w[at])) return false;
    }
    s.count = static_cast<std::int32_t>(w.size() - 2);
    return true;
  }

  bool fillWait(Statement& s, std::span<const std::string_view> w) {
    if (w.empty()) {
      s.form = Form::WaitQueue;
      return true;
    }
    if (w.size() != 1) return false;
    for (std::string_view part : kWaitParts) {
      if (equalsUpper(w[0], part)) {
        s.form = Form::WaitPart;
        s.text = addText(part);
        return true;
      }
    }
    s.form = Form::WaitTime;
    const bool partLike =
        equalsUpper(w[0].substr(0, std::min<std::size_t>(w[0].size(), 7)), "MOTION_") ||
        equalsUpper(w[0].substr(0, std::min<std::size_t>(w[0].size(), 6)), "SOUND_") ||
        equalsUpper(w[0].substr(0, std::min<std::size_t>(w[0].size(), 4)), "LED_");
    const std::optional<Operand> time = partLike ? std::nullopt : value(w[0]);
    if (!time) {
      report(Rule::WaitOutOfRange, std::string(ruleName(Rule::WaitOutOfRange)) + ": " +
                                       std::string(w[0]) +
                                       " is neither 1 to 30000 milliseconds nor a part such as "
                                       "MOTION_ALL");
      s.unrunnable = true;
      return true;
    }
    s.operands[0] = *time;
    if (time->kind == Operand::Kind::Number && (time->value < 1 || time->value > 30000)) {
      report(Rule::WaitOutOfRange, std::string(ruleName(Rule::WaitOutOfRange)) + ": " +
                                       std::to_string(time->value) +
                                       " ms; WAIT takes 1 to 30000 milliseconds");
      s.unrunnable = true;
    }
    return true;
  }

  bool fillIf(Statement& s, std::span<const std::string_view> w) {
    const std::size_t n = w.size();
    if (n < 4) return false;
    const std::optional<Condition> condition = this->condition(w.first(3));
    if (!condition) return false;
    s.condition = *condition;
    const std::string_view action = w[3];
    if (equalsUpper(action, "THEN")) {
      s.form = Form::IfThen;
      return n == 4;
    }
    if (equalsUpper(action, "BREAK")) {
      s.form = Form::IfBreak;
      s.count = 1;
      return n == 4;
    }
    if (equalsUpper(action, "CALL")) {
      s.form = Form::IfCall;
      return fillCall(s, w.subspan(4));
    }
    if (looksNumeric(action) || n > 5 || findCommand(action)) return false;
    s.label = labelReference(action);
    s.form = Form::IfGo;
    if (n == 5) {
      if (looksNumeric(w[4]) || findCommand(w[4])) return false;
      s.form = Form::IfGoElse;
      s.label2 = labelReference(w[4]);
    }
    return true;
  }

  bool fillCall(Statement& s, std::span<const std::string_view> w) {
    if (w.empty() || w.size() > 2 || looksNumeric(w[0])) return false;
    if (w.size() == 2) {
      const std::optional<std::int32_t> count = parseNumber(w[1]);
      if (!count || *count < 0) return false;
      s.count = *count;
    }
    s.label = labelReference(w[0]);
    return true;
  }

  bool fillOnCall(Statement& s, std::span<const std::string_view> w) {
    const std::size_t n = w.size();
    if (n == 1) {
      const std::optional<std::int32_t> cancel = parseNumber(w[0]);
      if (!cancel || *cancel >= 0) return false;
      s.form = Form::OnCallCancel;
      s.count = -*cancel;
      return true;
    }
    if (n < 4 || n > 6) return false;
    const std::optional<Condition> condition = this->condition(w.first(3));
    if (!condition || looksNumeric(w[3])) return false;
    s.condition = *condition;
    s.label = labelReference(w[3]);
    if (n >= 5) {
      const std::optional<std::int32_t> type = parseNumber(w[4]);
      if (!type || *type < 0 || *type > 5) return false;
      s.count = *type;
    }
    const bool needsLabel = s.count % 2 == 1;
    if (n == 6) {
      if (looksNumeric(w[5])) return false;
      s.label2 = labelReference(w[5]);
      return true;
    }
    return !needsLabel;
  }

  // ---- blocks ----
  Statement& at(std::int32_t index) { return program_.statements[static_cast<std::size_t>(index)]; }

  static std::string_view opener(Op op) {
    switch (op) {
      case Op::If:
        return "IF ... THEN";
      case Op::For:
        return "FOR";
      case Op::While:
        return "WHILE";
      case Op::Repeat:
        return "REPEAT";
      default:
        return "DO";
    }
  }
  static std::string_view closer(Op op) {
    switch (op) {
      case Op::If:
        return "ENDIF";
      case Op::For:
        return "NEXT";
      case Op::While:
        return "WEND";
      case Op::Repeat:
        return "UNTIL";
      default:
        return "LOOP";
    }
  }
  static Op openerOf(Op closing) {
    switch (closing) {
      case Op::Next:
        return Op::For;
      case Op::Wend:
        return Op::While;
      case Op::Until:
        return Op::Repeat;
      case Op::Loop:
        return Op::Do;
      default:
        return Op::If;
    }
  }
  static bool isLoop(Op op) {
    return op == Op::For || op == Op::While || op == Op::Repeat || op == Op::Do;
  }

  std::size_t loopDepth() const {
    return static_cast<std::size_t>(std::count_if(blocks_.begin(), blocks_.end(),
                                                  [](const OpenBlock& b) { return isLoop(b.op); }));
  }

  void structure(std::int32_t index) {
    Statement& s = at(index);
    switch (s.op) {
      case Op::If:
        if (s.form == Form::IfThen) blocks_.push_back({Op::If, index, line_});
        if (s.form == Form::IfBreak) addBreak(index, 1);
        return;
      case Op::For:
      case Op::While:
      case Op::Repeat:
      case Op::Do:
        blocks_.push_back({s.op, index, line_});
        return;
      case Op::Break:
        addBreak(index, s.count);
        return;
      case Op::Else:
        if (blocks_.empty() || blocks_.back().op != Op::If) {
          nesting(blocks_.empty() ? "ELSE without IF ... THEN"
                                  : "ELSE inside the " + std::string(opener(blocks_.back().op)) +
                                        " of line " + std::to_string(blocks_.back().line));
          s.unrunnable = true;
          return;
        }
        if (blocks_.back().elseStatement != kNoTarget) {
          nesting("second ELSE for the IF ... THEN of line " + std::to_string(blocks_.back().line));
          s.unrunnable = true;
          return;
        }
        blocks_.back().elseStatement = index;
        at(blocks_.back().statement).target = index + 1;
        return;
      case Op::EndIf:
      case Op::Next:
      case Op::Wend:
      case Op::Until:
      case Op::Loop:
        close(index);
        return;
      default:
        return;
    }
  }

  void addBreak(std::int32_t index, std::int32_t depth) {
    const std::size_t loops = loopDepth();
    if (static_cast<std::size_t>(depth) > loops) {
      report(Rule::BreakOutsideLoop,
             std::string(ruleName(Rule::BreakOutsideLoop)) + ": " +
                 (loops == 0 ? std::string("no loop is open here")
                             : "it leaves " + std::to_string(depth) + " loops but only " +
                                   std::to_string(loops) + " are open"));
      at(index).unrunnable = true;
      return;
    }
    std::size_t block = blocks_.size();
    for (std::int32_t left = depth; left > 0;) {
      --block;
      if (isLoop(blocks_[block].op)) --left;
    }
    fixups_.push_back({index, block});
  }

  void close(std::int32_t index) {
    Statement& s = at(index);
    const Op wanted = openerOf(s.op);
    const auto match = std::find_if(blocks_.rbegin(), blocks_.rend(),
                                    [wanted](const OpenBlock& b) { return b.op == wanted; });
    if (match == blocks_.rend()) {
      nesting(std::string(closer(wanted)) + " without " + std::string(opener(wanted)));
      s.unrunnable = true;
      return;
    }
    while (blocks_.back().op != wanted) {
      const OpenBlock& open = blocks_.back();
      nesting(std::string(opener(open.op)) + " of line " + std::to_string(open.line) +
              " is not closed by " + std::string(closer(open.op)) + " before this " +
              std::string(closer(wanted)));
      at(open.statement).unrunnable = true;
      popBlock(kNoTarget);
    }
    const OpenBlock open = blocks_.back();
    Statement& opening = at(open.statement);
    switch (s.op) {
      case Op::EndIf:
        if (open.elseStatement == kNoTarget) {
          opening.target = index + 1;
        } else {
          at(open.elseStatement).target = index + 1;
        }
        break;
      case Op::Next:
      case Op::Loop:
        opening.target = index + 1;
        s.partner = open.statement;
        s.target = open.statement + 1;
        break;
      case Op::Wend:
        opening.target = index + 1;
        s.target = open.statement;
        break;
      case Op::Until:
        s.target = open.statement + 1;
        break;
      default:
        break;
    }
    popBlock(index + 1);
  }

  // Closes the innermost block; the BREAKs that leave it go to `exit`.
  void popBlock(std::int32_t exit) {
    const std::size_t depth = blocks_.size() - 1;
    for (auto fixup = fixups_.begin(); fixup != fixups_.end();) {
      if (fixup->block == depth) {
        at(fixup->statement).target = exit;
        if (exit == kNoTarget) at(fixup->statement).unrunnable = true;
        fixup = fixups_.erase(fixup);
      } else {
        ++fixup;
      }
    }
    blocks_.pop_back();
  }

  void closeRemainingBlocks() {
    while (!blocks_.empty()) {
      const OpenBlock& open = blocks_.back();
      program_.findings.push_back(Finding{
          open.line, Rule::BlocksDoNotNest,
          std::string(ruleName(Rule::BlocksDoNotNest)) + ": " + std::string(opener(open.op)) +
              " is never closed by " + std::string(closer(open.op))});
      at(open.statement).unrunnable = true;
      popBlock(kNoTarget);
    }
  }

  CompiledProgram& program_;
  std::int32_t line_ = 0;
  std::string folded_;
  std::vector<std::string_view> words_;
  std::vector<OpenBlock> blocks_;
  std::vector<BreakFixup> fixups_;
  std::vector<std::pair<std::int32_t, std::int32_t>> references_;  // label, line
  std::unordered_set<std::string> mentioned_;  // words of lines written wrongly, folded
  // Keys point into the program's text or static names, which outlive the compile.
  std::unordered_map<std::string_view, std::int32_t> variableSpelling_;
  std::unordered_map<std::string_view, std::int32_t> labelSpelling_;
  std::unordered_map<std::string_view, std::int32_t> textIndex_;
};

}  // namespace

std::string_view ruleName(Rule rule) {
  switch (rule) {
    case Rule::UnknownCommand:
      return "unknown command";
    case Rule::WrongWords:
      return "command written wrongly";
    case Rule::LabelNotFound:
      return "label not found";
    case Rule::LabelTwice:
      return "label defined twice";
    case Rule::BlocksDoNotNest:
      return "blocks do not match";
    case Rule::BreakOutsideLoop:
      return "BREAK outside a loop";
    case Rule::ActionNotOnStick:
      return "action not on the stick";
    case Rule::WaitOutOfRange:
      return "WAIT out of range";
    case Rule::LineTooLong:
      return "line too long for the robot";
    case Rule::ReadButNeverSet:
      return "variable read but never set";
    case Rule::UserVariableInCapitals:
      return "own variable in capitals";
    case Rule::SensorFlagNeverCleared:
      return "sensor flag never cleared";
    case Rule::UnreachableCode:
      return "code that never runs";
    case Rule::LabelNeverUsed:
      return "label never used";
    case Rule::LoopWithoutWait:
      return "loop without WAIT";
  }
  return "unknown rule";
}

Severity severityOf(Rule rule) {
  return rule < Rule::ReadButNeverSet ? Severity::Error : Severity::Warning;
}

std::span<const SystemVariable> systemVariables() {
  return kSystemVariables;
}

std::optional<std::int32_t> CompiledProgram::variableIndex(std::string_view name) const {
  const auto found = variableByName.find(platform::toUpperAscii(name));
  if (found == variableByName.end()) return std::nullopt;
  return found->second;
}

std::optional<std::int32_t> CompiledProgram::labelIndex(std::string_view name) const {
  const auto found = labelByName.find(platform::toUpperAscii(name));
  if (found == labelByName.end() || labels[static_cast<std::size_t>(found->second)].line == 0) {
    return std::nullopt;
  }
  return found->second;
}

CompiledProgram compileProgram(ProgramText source) {
  CompiledProgram program;
  program.source = std::move(source);
  Compiler(program).run();
  return program;
}

}  // namespace velk7::program
