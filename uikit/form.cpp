#include "uikit/form.h"

#include <cstddef>
#include <deque>
#include <stdexcept>

#include "uikit/desktop.h"

namespace uikit {

Form::Form(std::string name) : name_(std::move(name)) {}

Form::~Form() = default;

void Form::ShowModal() {
  if (!loaded_)
    throw std::logic_error("cannot show " + name_ + ": it has been unloaded");
  if (visible_)
    throw std::logic_error("cannot show " + name_ + " modally: it is already shown");
  FormRegistry& registry = FormRegistry::current();
  if (Form* active = registry.activeForm(); active && !(active->loaded_ && active->visible_)) {
    // A hand-over: the window the user was acting on has gone, so its modal loop ends as soon
    // as this handler returns. Nesting the next show here would grow the stack with every
    // Back and Next; instead the show of the gone window carries on with this one.
    registry.handOvers_.push_back(this);
    return;
  }
  const std::size_t mark = registry.handOvers_.size();
  // The shows this call runs, in turn: this form, then each form handed over to from inside
  // the previous show, in the order the handlers asked for them. Forms the previous show asked
  // for go before those still waiting, so the order is the one nested shows would have had.
  std::deque<Form*> turns{this};
  while (!turns.empty()) {
    Form* form = turns.front();
    turns.pop_front();
    if (!form->loaded_ || form->visible_)
      continue;  // unloaded (or shown by someone else) before its turn came
    form->visible_ = true;
    registry.modal_.push_back(form);
    // Whatever happens from here on, the modal stack is popped exactly once. Forms are not
    // collected before the last turn ends, so the forms still waiting for a turn stay alive.
    try {
      form->Form_Activate();
      if (form->loaded_ && form->visible_)
        desktop().runModal(*form);
    } catch (...) {
      form->visible_ = false;
      registry.modal_.pop_back();
      registry.handOvers_.resize(mark);
      registry.collect();
      throw;
    }
    form->visible_ = false;
    registry.modal_.pop_back();
    turns.insert(turns.begin(), registry.handOvers_.begin() + static_cast<std::ptrdiff_t>(mark),
                 registry.handOvers_.end());
    registry.handOvers_.resize(mark);
  }
  if (Form* below = registry.activeForm(); below && below->loaded_ && below->visible_) {
    // The window under the closed one becomes the active window again.
    below->Form_Activate();
  }
  registry.collect();
}

void Form::Hide() {
  if (!loaded_)
    return;
  visible_ = false;
}

void Form::Unload() {
  if (!loaded_ || unloading_)
    return;
  unloading_ = true;
  // The form leaves the window list however Form_Unload ends; the object itself lives on until
  // the registry collects it, because the handler that unloaded it may still be running.
  auto complete = [this] {
    visible_ = false;
    loaded_ = false;
    unloading_ = false;
    focused_ = nullptr;
    FormRegistry::current().remove(*this);
  };
  try {
    Form_Unload();
  } catch (...) {
    complete();
    throw;
  }
  complete();
}

Control* Form::find(const std::string& controlName) const {
  for (const auto& c : controls_) {
    if (c->name() == controlName)
      return c.get();
  }
  return nullptr;
}

bool Form::SetFocus(Control& control) {
  if (&control.form() != this || !loaded_ || !visible_)
    return false;
  if (!control.canTakeFocus() || !control.effectivelyVisible() || !control.effectivelyEnabled()) {
    return false;
  }
  focused_ = &control;
  if (control.GotFocus) {
    auto handler = control.GotFocus;
    handler();
  }
  return true;
}

}  // namespace uikit
