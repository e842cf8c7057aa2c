#include "uikit/console/console_desktop.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

#include "uikit/printable.h"
#include "uikit/user_input.h"

namespace uikit::console {

namespace {

bool hasLineBreak(const std::string& s) {
  return s.find_first_of("\r\n") != std::string::npos;
}

// Splits on CR LF, LF or CR; a final line break yields no empty last line.
std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> out;
  std::string current;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\r' || c == '\n') {
      out.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
        ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty())
    out.push_back(current);
  return out;
}

// Text shown on one line: whatever it holds, it can neither end the line nor reach the terminal
// as a control (a final line break is not shown).
std::string flat(const std::string& s) {
  std::string out;
  for (const auto& l : lines(s))
    out += (out.empty() ? "" : "\\n") + printable(l);
  return out;
}

std::string quoted(const std::string& s) {
  return "\"" + s + "\"";
}

std::string lower(std::string s) {
  for (char& c : s)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos)
    return "";
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

int depthOf(const Control& c) {
  int d = 0;
  for (const Control* p = c.container(); p; p = p->container())
    ++d;
  return d;
}

// The control level with the middle of a picture, to its right, in the same container: what a
// marker picture points at.
const Control* besideOf(const Picture& picture) {
  const int middle = picture.geometry.top + picture.geometry.height / 2;
  const Control* best = nullptr;
  for (const auto& c : picture.form().controls()) {
    if (c.get() == &picture || c->container() != picture.container())
      continue;
    if (!c->effectivelyVisible())
      continue;
    switch (c->kind()) {
      case ControlKind::Picture:
      case ControlKind::Line:
      case ControlKind::Frame:
      case ControlKind::ImageList:
      case ControlKind::CommonDialog:
        continue;
      default:
        break;
    }
    const Geometry& g = c->geometry;
    if (g.height <= 0 || middle < g.top || middle >= g.top + g.height)
      continue;
    if (g.left < picture.geometry.left)
      continue;
    if (!best || g.left < best->geometry.left)
      best = c.get();
  }
  return best;
}

void renderControl(std::ostream& out, const Control& c) {
  const std::string indent(2 * depthOf(c), ' ');
  std::string head = c.name();
  std::string value;
  bool hasValue = false;
  std::vector<std::string> flags;
  std::vector<std::string> rows;  // printed under the head, indented two more spaces

  auto setValue = [&](const std::string& v) {
    value = v;
    hasValue = true;
  };

  switch (c.kind()) {
    case ControlKind::Label:
      head += " label";
      setValue(static_cast<const Label&>(c).Caption);
      break;
    case ControlKind::TextBox: {
      const auto& t = static_cast<const TextBox&>(c);
      head += " text";
      setValue(t.Text);
      if (t.Locked)
        flags.push_back("locked");
      break;
    }
    case ControlKind::CommandButton:
      head += " button";
      setValue(static_cast<const CommandButton&>(c).Caption);
      break;
    case ControlKind::OptionButton: {
      const auto& o = static_cast<const OptionButton&>(c);
      head += o.value() ? " option (*)" : " option ( )";
      setValue(o.Caption);
      break;
    }
    case ControlKind::CheckBox: {
      const auto& b = static_cast<const CheckBox&>(c);
      head += b.Value == 1 ? " check [x]" : b.Value == 2 ? " check [-]" : " check [ ]";
      setValue(b.Caption);
      break;
    }
    case ControlKind::Frame:
      head += " frame";
      setValue(static_cast<const Frame&>(c).Caption);
      break;
    case ControlKind::Picture: {
      const auto& p = static_cast<const Picture&>(c);
      head += " picture";
      setValue(p.Image);
      if (!p.ToolTipText.empty())
        flags.push_back("tip=" + quoted(flat(p.ToolTipText)));
      if (const Control* target = besideOf(p))
        flags.push_back("beside " + target->name());
      break;
    }
    case ControlKind::ListBox: {
      const auto& l = static_cast<const ListBox&>(c);
      head += " list";
      if (l.style == ListBox::Style::CheckBoxes) {
        head += " checkboxes";
      } else if (l.MultiSelect) {
        head += " multi";
      }
      const auto& items = l.items();
      for (size_t i = 0; i < items.size(); ++i) {
        const bool checks = l.style == ListBox::Style::CheckBoxes;
        const std::string mark =
            checks ? (items[i].selected ? "[x]" : "[ ]") : (items[i].selected ? "*" : " ");
        rows.push_back(std::to_string(i) + " " + mark + " " + flat(items[i].text));
      }
      if (items.empty())
        rows.push_back("(empty)");
      break;
    }
    case ControlKind::ListView: {
      const auto& v = static_cast<const ListView&>(c);
      head += " listview";
      if (v.sorted()) {
        head += " sorted by column " + std::to_string(v.sortKey() + 1) +
                (v.sortOrder() == ListView::SortOrder::Descending ? " descending" : " ascending");
      }
      if (!v.ColumnHeaders.empty()) {
        std::string cols = "columns";
        for (size_t i = 0; i < v.ColumnHeaders.size(); ++i) {
          cols += " " + std::to_string(i + 1) + " " + quoted(flat(v.ColumnHeaders[i].text));
        }
        rows.push_back(cols);
      }
      for (int i = 1; i <= v.Count(); ++i) {
        const auto& item = v.Item(i);
        std::string row = std::to_string(i) + (item.selected ? " * " : "   ") + flat(item.text);
        for (const auto& sub : item.subItems)
          row += " | " + flat(sub);
        rows.push_back(row);
      }
      if (v.Count() == 0)
        rows.push_back("(empty)");
      break;
    }
    case ControlKind::TreeView: {
      const auto& t = static_cast<const TreeView&>(c);
      head += " tree";
      // Each node under its parent: roots in their order, each followed by its subtree.
      const auto& nodes = t.nodes();
      std::vector<bool> printed(nodes.size(), false);
      auto emit = [&](auto&& self, const std::string& parentKey, int depth) -> void {
        for (size_t i = 0; i < nodes.size(); ++i) {
          if (printed[i] || nodes[i].parentKey != parentKey)
            continue;
          printed[i] = true;
          const auto& n = nodes[i];
          const bool selected = !n.key.empty() && n.key == t.SelectedKey;
          std::string row =
              std::string(2 * depth, ' ') + std::to_string(i) + (selected ? " * " : "   ") +
              (n.imageKey.empty() ? "" : "[" + flat(n.imageKey) + "] ") + flat(n.text);
          rows.push_back(row);
          if (!n.key.empty())
            self(self, n.key, depth + 1);
        }
      };
      emit(emit, "", 0);
      if (nodes.empty())
        rows.push_back("(empty)");
      break;
    }
    case ControlKind::StatusBar: {
      const auto& s = static_cast<const StatusBar&>(c);
      head += " status";
      for (const auto& p : s.Panels)
        head += " " + quoted(flat(p.text));
      break;
    }
    case ControlKind::Line:
    case ControlKind::ImageList:
    case ControlKind::CommonDialog:
      return;
  }

  if (!c.effectivelyEnabled())
    flags.push_back("disabled");
  if (c.BackColor == Color::Yellow)
    flags.push_back("yellow");
  if (c.BackColor == Color::White)
    flags.push_back("white");
  if (c.BackColor == Color::ButtonFace)
    flags.push_back("buttonface");

  const bool multiLine = hasValue && hasLineBreak(value);
  out << indent << head;
  if (hasValue && !multiLine)
    out << " " << quoted(flat(value));
  for (const auto& f : flags)
    out << " " << f;
  out << "\n";
  if (multiLine) {
    for (const auto& l : lines(value))
      out << indent << "  |" << (l.empty() ? "" : " " + printable(l)) << "\n";
  }
  for (const auto& r : rows)
    out << indent << "  " << r << "\n";
}

// Finds a control by name: exactly, or ignoring case when only one control matches.
Control* findControl(const Form& form, const std::string& name) {
  if (Control* c = form.find(name))
    return c;
  Control* match = nullptr;
  for (const auto& c : form.controls()) {
    if (lower(c->name()) == lower(name)) {
      if (match)
        return nullptr;
      match = c.get();
    }
  }
  return match;
}

bool parseIndex(const std::string& word, int& value) {
  if (word.empty() || word.size() > 9)
    return false;
  size_t start = word[0] == '-' ? 1 : 0;
  if (start == word.size())
    return false;
  for (size_t i = start; i < word.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(word[i])))
      return false;
  }
  value = std::stoi(word);
  return true;
}

const char* kHelp =
    "commands:\n"
    "  click NAME          click a button, option button, check box or other control\n"
    "  click NAME INDEX    click a list row (from 0), list view item (from 1) or tree node\n"
    "  check NAME INDEX    toggle the check box of a list row\n"
    "  type NAME TEXT      replace a text box's text\n"
    "  column NAME INDEX   click a list view column header (from 1)\n"
    "  close               close the window\n"
    "  show                print the window again\n"
    "  tip NAME            print a control's tool tip\n"
    "  wait                during long work: hold the next lines until it is over\n";

}  // namespace

namespace {

// Whether the user sees any of the control: it and its containers are visible, and none of
// them lies wholly behind another control.
bool seen(const Control& control) {
  for (const Control* c = &control; c; c = c->container()) {
    if (c->coveredByFront())
      return false;
  }
  return control.effectivelyVisible();
}

}  // namespace

std::string renderForm(const Form& form) {
  std::ostringstream out;
  out << "=== " << form.name() << " " << quoted(flat(form.Caption)) << "\n";
  for (const auto& c : form.controls()) {
    if (seen(*c))
      renderControl(out, *c);
  }
  return out.str();
}

ConsoleDesktop::ConsoleDesktop(std::istream& in, std::ostream& out, Options options)
    : in_(in), out_(out), options_(options) {}

bool ConsoleDesktop::readLine(std::string& line) {
  out_.flush();
  if (ended_ || !std::getline(in_, line)) {
    ended_ = true;
    return false;
  }
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  lastRead_ = Clock::now();
  if (!inEvents_)
    holdInput_ = false;
  if (options_.echo)
    out_ << flat(line) << "\n";
  return true;
}

void ConsoleDesktop::afterEnd() {
  if (++promptsAfterEnd_ > kMaxPromptsAfterEnd) {
    out_ << "(end of input: still asking after " << kMaxPromptsAfterEnd << " prompts; giving up)\n";
    out_.flush();
    throw EndOfInputError("the input has ended but the program keeps asking for more");
  }
}

void ConsoleDesktop::runModal(Form& form) {
  out_ << renderForm(form);
  // The form object outlives this loop even when a command unloads it: the registry destroys
  // unloaded forms only after the outermost modal show has returned.
  while (form.loaded() && form.visible()) {
    out_ << "> ";
    std::string line;
    if (!readLine(line)) {
      out_ << "(end of input: closing " << form.name() << ")\n";
      afterEnd();
      if (!closeFromFrame(form).ok && form.loaded() && form.visible()) {
        out_ << "(end of input: " << form.name() << " refused to close; unloading it)\n";
        form.Unload();
      }
      continue;
    }
    if (execute(form, line) && form.loaded() && form.visible())
      out_ << renderForm(form);
  }
}

bool ConsoleDesktop::execute(Form& form, const std::string& rawLine) {
  const std::string line = trim(rawLine);
  if (line.empty() || line[0] == '#')
    return false;

  std::istringstream words(line);
  std::string command, name, arg;
  words >> command >> name >> arg;
  command = lower(command);
  std::string extra;
  words >> extra;

  auto refuse = [&](const std::string& why) {
    out_ << "! " << flat(why) << "\n";
    return false;
  };
  auto report = [&](const InputResult& r) { return r.ok ? true : refuse(r.reason); };

  if (command == "show") {
    out_ << renderForm(form);
    return false;
  }
  if (command == "wait")
    return false;
  if (command == "help") {
    out_ << kHelp;
    return false;
  }
  if (command == "close") {
    if (!name.empty())
      return refuse("close takes no argument");
    return report(closeFromFrame(form));
  }

  const bool known = command == "click" || command == "check" || command == "type" ||
                     command == "column" || command == "tip";
  if (!known)
    return refuse("unknown command \"" + command + "\" (try help)");
  if (name.empty())
    return refuse(command + " needs a control name");
  Control* control = findControl(form, name);
  if (!control)
    return refuse("no control \"" + name + "\" on " + form.name());

  if (command == "tip") {
    out_ << control->name() << " tip " << quoted(flat(control->ToolTipText)) << "\n";
    return false;
  }
  if (command == "type") {
    if (control->kind() != ControlKind::TextBox)
      return refuse(control->name() + " is not a text box");
    // Everything after the one space that follows the name, kept as typed.
    const std::string afterCommand = trim(rawLine).substr(command.size());
    const auto nameAt = afterCommand.find(name);
    std::string text = afterCommand.substr(nameAt + name.size());
    if (!text.empty())
      text.erase(0, 1);
    return report(type(static_cast<TextBox&>(*control), text));
  }

  int index = 0;
  const bool hasIndex = !arg.empty();
  if (!extra.empty())
    return refuse("too many words for " + command);
  if (hasIndex && !parseIndex(arg, index))
    return refuse("\"" + arg + "\" is not a number");

  if (command == "column") {
    if (control->kind() != ControlKind::ListView)
      return refuse(control->name() + " is not a list view");
    if (!hasIndex)
      return refuse("column needs a column number");
    return report(columnClick(static_cast<ListView&>(*control), index));
  }
  if (command == "check") {
    if (control->kind() != ControlKind::ListBox)
      return refuse(control->name() + " is not a list");
    if (!hasIndex)
      return refuse("check needs a row number");
    return report(checkRow(static_cast<ListBox&>(*control), index));
  }
  // click
  if (!hasIndex)
    return report(click(*control));
  switch (control->kind()) {
    case ControlKind::ListBox:
      return report(clickRow(static_cast<ListBox&>(*control), index));
    case ControlKind::ListView:
      return report(clickItem(static_cast<ListView&>(*control), index));
    case ControlKind::TreeView:
      return report(clickNode(static_cast<TreeView&>(*control), index));
    default:
      return refuse(control->name() + " has no rows");
  }
}

Answer ConsoleDesktop::messageBox(const MessageBox& box) {
  out_ << "--- MsgBox " << quoted(flat(box.title)) << " [" << iconName(box.icon) << "] ("
       << buttonsName(box.buttons) << ")\n";
  for (const auto& l : lines(box.text))
    out_ << printable(l) << "\n";
  const auto buttons = buttonAnswers(box.buttons);
  for (;;) {
    out_ << "? ";
    std::string line;
    if (!readLine(line)) {
      const Answer a = unattendedAnswer(box.buttons);
      out_ << "(end of input: " << answerWord(a) << ")\n";
      afterEnd();
      return a;
    }
    const std::string word = trim(line);
    const auto a = answerFromWord(word);
    if (a && std::find(buttons.begin(), buttons.end(), *a) != buttons.end())
      return *a;
    std::string choices;
    for (Answer b : buttons)
      choices += (choices.empty() ? "" : ", ") + answerWord(b);
    out_ << "! \"" << flat(word) << "\" is not one of: " << choices << "\n";
  }
}

std::string ConsoleDesktop::openFile(const CommonDialog& dialog) {
  out_ << "--- OpenFile " << quoted(flat(dialog.DialogTitle))
       << " dir=" << quoted(flat(dialog.InitDir)) << " filter=" << quoted(flat(dialog.Filter))
       << "\n";
  out_ << "? ";
  std::string line;
  if (!readLine(line)) {
    out_ << "(end of input: cancel)\n";
    afterEnd();
    return "";
  }
  return trim(line);
}

void ConsoleDesktop::beep() {
  out_ << "(beep)\n";
}

void ConsoleDesktop::doEvents() {
  if (inEvents_ || holdInput_ || ended_ || Clock::now() - lastRead_ < options_.patience)
    return;
  inEvents_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{inEvents_};
  for (;;) {
    // Lines go to the window the user sees; with none (or once it has gone), they wait.
    Form* form = FormRegistry::current().activeForm();
    if (!form || !form->loaded() || !form->visible() || in_.rdbuf()->in_avail() <= 0)
      return;
    if (options_.echo)
      out_ << "> ";
    std::string line;
    if (!readLine(line))
      return;
    if (lower(trim(line)) == "wait") {
      holdInput_ = true;
      return;
    }
    if (execute(*form, line) && form->loaded() && form->visible())
      out_ << renderForm(*form);
    out_.flush();
  }
}

void ConsoleDesktop::refresh(Control& control) {
  if (control.kind() != ControlKind::StatusBar || !control.form().visible())
    return;
  const Clock::time_point now = Clock::now();
  if (now - lastRead_ < options_.patience || now - lastProgress_ < options_.patience)
    return;
  std::ostringstream line;
  renderControl(line, control);
  if (line.str() == lastProgressLine_)
    return;
  lastProgressLine_ = line.str();
  lastProgress_ = now;
  out_ << lastProgressLine_;
  out_.flush();
}

}  // namespace uikit::console
