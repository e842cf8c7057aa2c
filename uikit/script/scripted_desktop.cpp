#include "uikit/script/scripted_desktop.h"

#include <algorithm>
#include <sstream>

#include "uikit/printable.h"
#include "uikit/user_input.h"

namespace uikit::script {

namespace {

// Texts in the transcript stay on one line, escaped as the console prints them.
std::string oneLine(const std::string& s) {
  return printable(s);
}

std::string describe(const MessageBox& box) {
  return "\"" + oneLine(box.title) + "\" " + iconName(box.icon) + " " + buttonsName(box.buttons) +
         " \"" + oneLine(box.text) + "\"";
}

void check(const InputResult& r, const Form& form, const std::string& what) {
  if (!r.ok)
    throw ScriptError("on " + form.name() + ", " + what + " was refused: " + r.reason);
}

template <class T>
T& control(Form& form, const std::string& name, ControlKind kind, const char* kindWord) {
  Control* c = form.find(name);
  if (!c)
    throw ScriptError(form.name() + " has no control " + name);
  if (c->kind() != kind)
    throw ScriptError(form.name() + "." + name + " is not a " + kindWord);
  return static_cast<T&>(*c);
}

}  // namespace

ScriptedDesktop& ScriptedDesktop::onShow(const std::string& formName, Action action) {
  actions_[formName].push_back(std::move(action));
  return *this;
}

ScriptedDesktop& ScriptedDesktop::answer(Answer answer, std::string expectedText,
                                         std::string expectedTitle) {
  replies_.push_back(Reply{answer, std::move(expectedText), std::move(expectedTitle)});
  return *this;
}

ScriptedDesktop& ScriptedDesktop::chooseFile(std::string path) {
  files_.push_back(std::move(path));
  return *this;
}

void ScriptedDesktop::fail(const std::string& message) {
  if (failure_.empty())
    failure_ = message;
  throw ScriptError(message);
}

void ScriptedDesktop::throwIfFailed() const {
  if (!failure_.empty())
    throw ScriptError("after an earlier failure: " + failure_);
}

void ScriptedDesktop::runModal(Form& form) {
  throwIfFailed();
  Entry e;
  e.kind = Entry::Kind::Show;
  e.form = form.name();
  e.caption = form.Caption;
  transcript_.push_back(std::move(e));
  // The form object outlives this loop even when an action unloads it: the registry destroys
  // unloaded forms only after the outermost modal show has returned.
  while (form.loaded() && form.visible()) {
    throwIfFailed();
    auto it = actions_.find(form.name());
    if (it == actions_.end() || it->second.empty()) {
      fail("no action left for " + form.name() + " \"" + form.Caption + "\"");
    }
    Action action = std::move(it->second.front());
    it->second.pop_front();
    try {
      action(form);
    } catch (const ScriptError& error) {
      if (failure_.empty())
        failure_ = error.what();
      throw;
    }
  }
}

Answer ScriptedDesktop::messageBox(const MessageBox& box) {
  throwIfFailed();
  if (replies_.empty())
    fail("no answer left for the message box " + describe(box));
  Reply reply = std::move(replies_.front());
  replies_.pop_front();
  if (!reply.text.empty() && box.text.find(reply.text) == std::string::npos) {
    fail("expected a message box saying \"" + oneLine(reply.text) + "\", got " + describe(box));
  }
  if (!reply.title.empty() && box.title != reply.title) {
    fail("expected a message box titled \"" + reply.title + "\", got " + describe(box));
  }
  const auto buttons = buttonAnswers(box.buttons);
  if (std::find(buttons.begin(), buttons.end(), reply.answer) == buttons.end()) {
    fail("answer " + answerWord(reply.answer) + " is not a button of " + describe(box));
  }
  Entry e;
  e.kind = Entry::Kind::MessageBox;
  e.box = box;
  e.answer = reply.answer;
  transcript_.push_back(std::move(e));
  return reply.answer;
}

std::string ScriptedDesktop::openFile(const CommonDialog& dialog) {
  throwIfFailed();
  if (files_.empty()) {
    fail("no file left for the open-file dialog \"" + dialog.DialogTitle + "\"");
  }
  std::string path = std::move(files_.front());
  files_.pop_front();
  Entry e;
  e.kind = Entry::Kind::OpenFile;
  e.title = dialog.DialogTitle;
  e.initDir = dialog.InitDir;
  e.filter = dialog.Filter;
  e.file = path;
  transcript_.push_back(std::move(e));
  return path;
}

void ScriptedDesktop::setBusy(bool busy) {
  if (busy != busy_)
    ++busyChanges_;
  busy_ = busy;
}

void ScriptedDesktop::doEvents() {
  ++doEventsCalls_;
  if (doEventsHook_) {
    auto hook = doEventsHook_;
    hook();
  }
}

std::string ScriptedDesktop::text() const {
  std::ostringstream out;
  for (const auto& e : transcript_) {
    switch (e.kind) {
      case Entry::Kind::Show:
        out << "show " << e.form << " \"" << oneLine(e.caption) << "\"\n";
        break;
      case Entry::Kind::MessageBox:
        out << "msgbox " << describe(e.box) << " -> " << answerWord(e.answer) << "\n";
        break;
      case Entry::Kind::OpenFile:
        out << "openfile \"" << oneLine(e.title) << "\" dir=\"" << oneLine(e.initDir)
            << "\" filter=\"" << oneLine(e.filter) << "\" -> "
            << (e.file.empty() ? std::string("cancel") : "\"" + oneLine(e.file) + "\"") << "\n";
        break;
    }
  }
  return out.str();
}

std::vector<std::string> ScriptedDesktop::shownForms() const {
  std::vector<std::string> names;
  for (const auto& e : transcript_) {
    if (e.kind == Entry::Kind::Show)
      names.push_back(e.form);
  }
  return names;
}

std::vector<MessageBox> ScriptedDesktop::messages() const {
  std::vector<MessageBox> boxes;
  for (const auto& e : transcript_) {
    if (e.kind == Entry::Kind::MessageBox)
      boxes.push_back(e.box);
  }
  return boxes;
}

std::string ScriptedDesktop::leftovers() const {
  std::vector<std::string> parts;
  for (const auto& [name, queue] : actions_) {
    if (!queue.empty()) {
      parts.push_back(std::to_string(queue.size()) + (queue.size() == 1 ? " action" : " actions") +
                      " for " + name);
    }
  }
  if (!replies_.empty()) {
    parts.push_back(std::to_string(replies_.size()) + " message box answer" +
                    (replies_.size() == 1 ? "" : "s"));
  }
  if (!files_.empty()) {
    parts.push_back(std::to_string(files_.size()) + " file" + (files_.size() == 1 ? "" : "s"));
  }
  std::string out;
  for (const auto& p : parts)
    out += (out.empty() ? "" : "; ") + p;
  return out;
}

// ---------------------------------------------------------------------------------------------
// Action helpers

void click(Form& form, const std::string& name) {
  Control* c = form.find(name);
  if (!c)
    throw ScriptError(form.name() + " has no control " + name);
  check(uikit::click(*c), form, "click " + name);
}

void clickRow(Form& form, const std::string& list, int index) {
  auto& l = control<ListBox>(form, list, ControlKind::ListBox, "list box");
  check(uikit::clickRow(l, index), form, "click " + list + " row " + std::to_string(index));
}

void checkRow(Form& form, const std::string& list, int index) {
  auto& l = control<ListBox>(form, list, ControlKind::ListBox, "list box");
  check(uikit::checkRow(l, index), form, "check " + list + " row " + std::to_string(index));
}

void type(Form& form, const std::string& textBox, const std::string& text) {
  auto& box = control<TextBox>(form, textBox, ControlKind::TextBox, "text box");
  check(uikit::type(box, text), form, "typing into " + textBox);
}

void columnClick(Form& form, const std::string& listView, int column) {
  auto& view = control<ListView>(form, listView, ControlKind::ListView, "list view");
  check(uikit::columnClick(view, column), form,
        "click " + listView + " column " + std::to_string(column));
}

void clickItem(Form& form, const std::string& listView, int index1) {
  auto& view = control<ListView>(form, listView, ControlKind::ListView, "list view");
  check(uikit::clickItem(view, index1), form,
        "click " + listView + " item " + std::to_string(index1));
}

void clickNode(Form& form, const std::string& treeView, const std::string& key) {
  auto& tree = control<TreeView>(form, treeView, ControlKind::TreeView, "tree view");
  check(uikit::clickNode(tree, key), form, "click " + treeView + " node " + key);
}

void close(Form& form) {
  check(uikit::closeFromFrame(form), form, "closing the window");
}

ScriptedDesktop::Action clicking(std::string control) {
  return [control](Form& form) { click(form, control); };
}

}  // namespace uikit::script
