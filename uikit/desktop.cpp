#include "uikit/desktop.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "uikit/form.h"

namespace uikit {

namespace {

// The desktop of a thread that never set one: anything that needs a user fails loudly.
class NullDesktop : public Desktop {
 public:
  void runModal(Form& form) override {
    throw std::logic_error("no desktop is set on this thread; cannot show " + form.name());
  }
  Answer messageBox(const MessageBox& box) override {
    throw std::logic_error("no desktop is set on this thread; cannot show the message \"" +
                           box.text + "\"");
  }
  std::string openFile(const CommonDialog& dialog) override {
    throw std::logic_error("no desktop is set on this thread; cannot open the dialog \"" +
                           dialog.DialogTitle + "\"");
  }
};

NullDesktop& nullDesktop() {
  static thread_local NullDesktop instance;
  return instance;
}

thread_local Desktop* currentDesktop = nullptr;

}  // namespace

Answer defaultAnswer(Buttons buttons) {
  return buttonAnswers(buttons).front();
}

Answer unattendedAnswer(Buttons buttons) {
  const std::vector<Answer> answers = buttonAnswers(buttons);
  for (Answer safe : {Answer::Cancel, Answer::No})
    if (std::find(answers.begin(), answers.end(), safe) != answers.end())
      return safe;
  return answers.front();
}

std::vector<Answer> buttonAnswers(Buttons buttons) {
  switch (buttons) {
    case Buttons::OK:
      return {Answer::OK};
    case Buttons::OKCancel:
      return {Answer::OK, Answer::Cancel};
    case Buttons::AbortRetryIgnore:
      return {Answer::Abort, Answer::Retry, Answer::Ignore};
    case Buttons::YesNoCancel:
      return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::YesNo:
      return {Answer::Yes, Answer::No};
    case Buttons::RetryCancel:
      return {Answer::Retry, Answer::Cancel};
  }
  return {Answer::OK};
}

std::string answerWord(Answer answer) {
  switch (answer) {
    case Answer::OK:
      return "ok";
    case Answer::Cancel:
      return "cancel";
    case Answer::Abort:
      return "abort";
    case Answer::Retry:
      return "retry";
    case Answer::Ignore:
      return "ignore";
    case Answer::Yes:
      return "yes";
    case Answer::No:
      return "no";
  }
  return "?";
}

std::string buttonsName(Buttons buttons) {
  switch (buttons) {
    case Buttons::OK:
      return "OK";
    case Buttons::OKCancel:
      return "OKCancel";
    case Buttons::AbortRetryIgnore:
      return "AbortRetryIgnore";
    case Buttons::YesNoCancel:
      return "YesNoCancel";
    case Buttons::YesNo:
      return "YesNo";
    case Buttons::RetryCancel:
      return "RetryCancel";
  }
  return "?";
}

std::string iconName(Icon icon) {
  switch (icon) {
    case Icon::None:
      return "none";
    case Icon::Critical:
      return "critical";
    case Icon::Question:
      return "question";
    case Icon::Exclamation:
      return "exclamation";
    case Icon::Information:
      return "information";
  }
  return "?";
}

std::optional<Answer> answerFromWord(std::string_view word) {
  std::string lower;
  for (char c : word)
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (Answer a : {Answer::OK, Answer::Cancel, Answer::Abort, Answer::Retry, Answer::Ignore,
                   Answer::Yes, Answer::No}) {
    if (answerWord(a) == lower)
      return a;
  }
  return std::nullopt;
}

Desktop& desktop() {
  return currentDesktop ? *currentDesktop : nullDesktop();
}

void setDesktop(Desktop* desktop) {
  currentDesktop = desktop;
}

ScopedDesktop::ScopedDesktop(Desktop& desktop) : previous_(currentDesktop) {
  currentDesktop = &desktop;
}

ScopedDesktop::~ScopedDesktop() {
  currentDesktop = previous_;
}

Answer MsgBox(const std::string& text, Buttons buttons, Icon icon, const std::string& title) {
  MessageBox box{text, buttons, icon, title.empty() ? std::string(kDefaultTitle) : title};
  return desktop().messageBox(box);
}

}  // namespace uikit
