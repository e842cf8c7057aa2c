#include "uikit/form.h"

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
  visible_ = true;
  registry.modal_.push_back(this);
  // Whatever happens from here on, the modal stack is popped exactly once. After the pop the
  // registry may destroy this form (it may have been unloaded meanwhile), so the member state
  // is settled first and nothing of this object is touched afterwards.
  try {
    Form_Activate();
    if (loaded_ && visible_)
      desktop().runModal(*this);
  } catch (...) {
    visible_ = false;
    registry.modal_.pop_back();
    registry.collect();
    throw;
  }
  visible_ = false;
  registry.modal_.pop_back();
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
