#include "tools/halvic_script/script_session.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "app/workspace_values.h"
#include "ui/headless/ppm_file.h"
#include "ui/headless/transcript_text.h"

namespace halvic {

namespace {

/** A line that cannot be carried out; what() is the reason shown to the user. */
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

std::string_view trimLeadingBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  return text;
}

/** The words of a line, split at runs of blanks. */
std::vector<std::string_view> wordsOf(std::string_view line) {
  std::vector<std::string_view> words;
  line = trimLeadingBlanks(line);
  while (!line.empty()) {
    const size_t end = line.find_first_of(" \t");
    words.push_back(line.substr(0, end));
    if (end == std::string_view::npos) {
      break;
    }
    line = trimLeadingBlanks(line.substr(end));
  }
  return words;
}

/**
 * The TEXT of a command: what follows its first `wordCount` words and one blank, kept exactly.
 */
std::string_view textAfterWords(std::string_view line, size_t wordCount) {
  line = trimLeadingBlanks(line);
  for (size_t i = 0; i < wordCount; ++i) {
    const size_t end = line.find_first_of(" \t");
    if (end == std::string_view::npos) {
      return {};
    }
    line = line.substr(end);
    if (i + 1 < wordCount) {
      line = trimLeadingBlanks(line);
    }
  }
  return line.empty() ? line : line.substr(1);
}

int wholeNumber(std::string_view word, std::string_view what) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (word.empty() || end != word.data() + word.size() ||
      (error != std::errc() && error != std::errc::result_out_of_range)) {
    throw ScriptError(std::string(what) + " must be a whole number, not " + quoted(word));
  }
  // Any whole number is taken, however long: beyond every control's range it is clamped there,
  // as scroll bars clamp what they are given.
  if (error == std::errc::result_out_of_range) {
    return word.front() == '-' ? INT32_MIN : INT32_MAX;
  }
  return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

void expectWords(const std::vector<std::string_view>& words, size_t count, std::string_view usage) {
  if (words.size() != count) {
    throw ScriptError("usage: " + std::string(usage));
  }
}

/** NAME, NAME[I], NAME[I..J], NAME[C,R] or NAME[C1..C2,R], taken apart. */
struct VariableExpression {
  std::string_view name;
  bool indexed = false;
  int first = 0;
  int last = 0;
  bool hasRow = false;
  int row = 0;
};

VariableExpression parseVariable(std::string_view expression) {
  VariableExpression parsed;
  const size_t open = expression.find('[');
  if (open == std::string_view::npos) {
    parsed.name = expression;
    return parsed;
  }
  if (expression.back() != ']') {
    throw ScriptError("unclosed index in " + quoted(expression));
  }
  parsed.name = expression.substr(0, open);
  parsed.indexed = true;
  std::string_view index = expression.substr(open + 1, expression.size() - open - 2);
  if (const size_t comma = index.find(','); comma != std::string_view::npos) {
    parsed.hasRow = true;
    parsed.row = wholeNumber(index.substr(comma + 1), "a row");
    index = index.substr(0, comma);
  }
  if (const size_t dots = index.find(".."); dots != std::string_view::npos) {
    parsed.first = wholeNumber(index.substr(0, dots), "an index");
    parsed.last = wholeNumber(index.substr(dots + 2), "an index");
  } else {
    parsed.first = wholeNumber(index, "an index");
    parsed.last = parsed.first;
  }
  if (parsed.last < parsed.first) {
    throw ScriptError("empty index range in " + quoted(expression));
  }
  return parsed;
}

std::string colourText(ui::Rgb colour) {
  return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
         std::to_string(colour.blue);
}

}  // namespace

ScriptSession::ScriptSession(std::ostream& transcript, std::ostream& errors)
    : transcript_(transcript),
      errors_(errors),
      dialogs_(transcript, &errors),
      window_(dialogs_, printers_, [this] { ended_ = true; }) {
  // A contrast dialog without a queued answer gets "Done" with both boxes as shown.
  dialogs_.setDefaultModalAnswer([](ui::Form& dialog) { dialog["cmddone"].userClick(); });
  window_.Form_Load();
}

int ScriptSession::run(std::istream& script) {
  std::string line;
  int number = 0;
  while (!ended_ && std::getline(script, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    try {
      runLine(line);
    } catch (const ScriptError& error) {
      transcript_.flush();
      errors_ << "error: line " << number << ": " << error.what() << '\n';
      return 2;
    } catch (const ui::MissingAnswer& error) {
      transcript_.flush();
      errors_ << "error: line " << number << ": " << error.what() << '\n';
      return 2;
    }
  }
  transcript_.flush();
  return 0;
}

ui::Control& ScriptSession::control(std::string_view name) {
  if (ui::Control* found = window_.form().find(name)) {
    return *found;
  }
  if (ui::Control* found = window_.contrastDialog().find(name)) {
    return *found;
  }
  throw ScriptError("no control named " + quoted(name));
}

void ScriptSession::runLine(std::string_view line) {
  const std::vector<std::string_view> words = wordsOf(line);
  if (words.empty() || words.front().front() == '#') {
    return;
  }
  const std::string_view command = words.front();
  if (command == "open") {
    answerOpen(textAfterWords(line, 1));
  } else if (command == "open-cancel") {
    expectWords(words, 1, "open-cancel");
    dialogs_.queueOpenFile(std::nullopt);
  } else if (command == "input") {
    dialogs_.queueInput(std::string(textAfterWords(line, 1)));
  } else if (command == "input-cancel") {
    expectWords(words, 1, "input-cancel");
    dialogs_.queueInput(std::nullopt);
  } else if (command == "save") {
    dialogs_.queueSave(std::string(textAfterWords(line, 1)));
  } else if (command == "save-cancel") {
    expectWords(words, 1, "save-cancel");
    dialogs_.queueSave(std::nullopt);
  } else if (command == "form") {
    dialogs_.queueForm(formAnswer(textAfterWords(line, 1)));
  } else if (command == "form-cancel") {
    expectWords(words, 1, "form-cancel");
    dialogs_.queueForm(std::nullopt);
  } else if (command == "press") {
    expectWords(words, 4, "press SURFACE X Y");
    press(words[1], wholeNumber(words[2], "X"), wholeNumber(words[3], "Y"));
  } else if (command == "wheel") {
    expectWords(words, 3, "wheel SURFACE STEPS");
    wheel(words[1], wholeNumber(words[2], "a number of steps"));
  } else if (command == "menu") {
    chooseMenuItem(textAfterWords(line, 1));
  } else if (command == "contrast") {
    expectWords(words, 3, "contrast BG RANGE");
    answerContrast(words[1], words[2]);
  } else if (command == "click") {
    expectWords(words, 2, "click NAME");
    userAction(command, words[1], {});
  } else if (command == "select" || command == "scroll" || command == "set") {
    expectWords(words, 3, std::string(command) + " NAME VALUE");
    userAction(command, words[1], words[2]);
  } else if (command == "release") {
    expectWords(words, 2, "release NAME");
    userAction(command, words[1], {});
  } else if (command == "printer") {
    if (words.size() < 4) {
      throw ScriptError("usage: printer W H FILE");
    }
    printers_.usePage(wholeNumber(words[1], "a page width"), wholeNumber(words[2], "a page height"),
                      std::string(textAfterWords(line, 3)));
  } else if (command == "printer-fail") {
    expectWords(words, 1, "printer-fail");
    printers_.useFailingPrinter();
  } else if (command == "printer-none") {
    expectWords(words, 1, "printer-none");
    printers_.useNoPrinter();
  } else if (command == "print") {
    expectWords(words, 2, "print NAME");
    printControl(words[1]);
  } else if (command == "colour") {
    expectWords(words, 2, "colour NAME");
    printColour(words[1]);
  } else if (command == "var") {
    expectWords(words, 2, "var NAME");
    printVariable(words[1]);
  } else if (command == "save-window") {
    saveSurface(window_.windowSurface(), textAfterWords(line, 1));
  } else if (command == "save-graph") {
    saveSurface(window_.graphSurface(), textAfterWords(line, 1));
  } else {
    throw ScriptError("unknown command " + quoted(command));
  }
}

void ScriptSession::answerOpen(std::string_view text) { dialogs_.queueOpenFile(std::string(text)); }

ui::FormAnswer ScriptSession::formAnswer(std::string_view text) {
  ui::FormAnswer answer;
  while (!text.empty()) {
    const size_t bar = text.find('|');
    const std::string_view pair = text.substr(0, bar);
    const size_t equals = pair.find('=');
    if (equals == std::string_view::npos || equals == 0) {
      throw ScriptError("a form answer is NAME=VALUE pairs separated by '|', not " + quoted(pair));
    }
    answer.emplace_back(std::string(pair.substr(0, equals)), std::string(pair.substr(equals + 1)));
    text = bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1);
  }
  return answer;
}

void ScriptSession::press(std::string_view surface, int x, int y) {
  if (surface == "window") {
    window_.runGuarded([this, x, y] { window_.Form_MouseUp(x, y); });
  } else if (surface == "graph") {
    window_.runGuarded([this, x, y] { window_.Picgraph_MouseUp(x, y); });
  } else {
    throw ScriptError("no drawing surface named " + quoted(surface));
  }
}

void ScriptSession::wheel(std::string_view surface, int steps) {
  if (surface == "graph") {
    window_.runGuarded([this, steps] { window_.Picgraph_MouseWheel(steps); });
  } else if (surface != "window") {  // the window's own surface does nothing with the wheel
    throw ScriptError("no drawing surface named " + quoted(surface));
  }
}

void ScriptSession::chooseMenuItem(std::string_view path) {
  const size_t slash = path.find('/');
  if (slash == std::string_view::npos) {
    throw ScriptError("usage: menu MENU/ITEM");
  }
  ui::MenuItem* item = window_.menus().find(path.substr(0, slash), path.substr(slash + 1));
  if (item == nullptr) {
    throw ScriptError("no menu item " + quoted(path));
  }
  if (!item->choose()) {
    transcript_ << "disabled: " << path << '\n';
  }
}

void ScriptSession::answerContrast(std::string_view background, std::string_view range) {
  const auto typeInto = [](ui::Form& dialog, std::string_view box, const std::string& text) {
    if (text != "-") {
      dialog[box].userEditText(text);
    }
  };
  dialogs_.queueModal([typeInto, background = std::string(background),
                       range = std::string(range)](ui::Form& dialog) {
    typeInto(dialog, "txtbackground", background);
    typeInto(dialog, "txtrange", range);
    dialog["cmddone"].userClick();
  });
}

void ScriptSession::userAction(std::string_view command, std::string_view name,
                               std::string_view argument) {
  ui::Control& target = control(name);
  const ui::ControlKind kind = target.kind();
  if (command == "click") {
    if (kind != ui::ControlKind::Button && kind != ui::ControlKind::CheckBox &&
        kind != ui::ControlKind::OptionButton) {
      throw ScriptError(quoted(name) + " cannot be clicked");
    }
    target.userClick();
    return;
  }
  if (command == "select") {
    if (kind != ui::ControlKind::ComboBox) {
      throw ScriptError(quoted(name) + " is not a list");
    }
    const int index = wholeNumber(argument, "an entry index");
    if (index < 0 || index >= static_cast<int>(target.items().size())) {
      throw ScriptError(quoted(name) + " has no entry " + std::string(argument));
    }
    target.userSelect(index);
    return;
  }
  if (kind != ui::ControlKind::ScrollBar) {
    throw ScriptError(quoted(name) + " is not a scroll bar");
  }
  if (command == "release") {
    target.userRelease();
  } else if (command == "scroll") {
    target.userScroll(wholeNumber(argument, "a scroll bar value"));
  } else {
    target.userSet(wholeNumber(argument, "a scroll bar value"));
  }
}

void ScriptSession::printControl(std::string_view name) {
  const ui::Control& target = control(name);
  std::string value;
  switch (target.kind()) {
    case ui::ControlKind::Label:
    case ui::ControlKind::Button:
    case ui::ControlKind::TextBox:
      value = ui::transcriptText(target.caption());
      break;
    case ui::ControlKind::CheckBox:
    case ui::ControlKind::OptionButton:
    case ui::ControlKind::ScrollBar:
      value = std::to_string(target.value());
      break;
    case ui::ControlKind::ComboBox:
      value = std::to_string(target.listIndex());
      break;
    default:
      throw ScriptError(quoted(name) + " has no value to print");
  }
  transcript_ << name << ": " << value << '\n';
}

void ScriptSession::printColour(std::string_view name) {
  const ui::Control& target = control(name);
  switch (target.kind()) {
    case ui::ControlKind::Label:
      transcript_ << name << ": " << colourText(target.foreColour()) << '\n';
      return;
    case ui::ControlKind::Shape:
    case ui::ControlKind::Line:
      transcript_ << name << ": " << colourText(target.borderColour()) << '\n';
      return;
    default:
      throw ScriptError(quoted(name) + " has no colour to print");
  }
}

void ScriptSession::printVariable(std::string_view expression) {
  const VariableExpression parsed = parseVariable(expression);
  const Workspace& ws = window_.workspace();
  if (!parsed.indexed) {
    const std::optional<std::string> value = workspaceValueText(ws, parsed.name);
    if (!value) {
      throw ScriptError(workspaceArrayIndexing(parsed.name)
                            ? quoted(parsed.name) + " needs an index"
                            : "no workspace value named " + quoted(parsed.name));
    }
    transcript_ << parsed.name << ": " << ui::transcriptText(*value) << '\n';
    return;
  }
  const std::optional<ArrayIndexing> indexing = workspaceArrayIndexing(parsed.name);
  if (!indexing) {
    throw ScriptError("no workspace array named " + quoted(parsed.name));
  }
  if (parsed.hasRow != (*indexing == ArrayIndexing::ColumnAndRow)) {
    throw ScriptError(parsed.hasRow ? quoted(parsed.name) + " takes one index"
                                    : quoted(parsed.name) + " takes a column and a row");
  }
  std::string values;
  for (int index = parsed.first; index <= parsed.last; ++index) {
    const std::optional<std::string> entry =
        workspaceArrayEntryText(ws, parsed.name, index, parsed.row);
    if (!entry) {
      throw ScriptError("index out of range in " + quoted(expression));
    }
    values += (values.empty() ? "" : " ") + *entry;
  }
  transcript_ << expression << ": " << values << '\n';
}

void ScriptSession::saveSurface(const ui::Raster& surface, std::string_view file) {
  if (file.empty()) {
    throw ScriptError("a file name is needed");
  }
  if (!ui::writePpm(surface, std::string(file))) {
    throw ScriptError("cannot write " + quoted(file));
  }
  transcript_ << "saved: " << file << '\n';
}

}  // namespace halvic
