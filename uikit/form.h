// Forms: a window model owning its controls, plus the per-thread registry that gives each form
// class exactly one instance, created on first reference and reused until it is unloaded.
//
// Life of a form:
//   uikit::form<frmX>()  creates frmX on first reference (its constructor builds the controls,
//                        then Form_Load runs) and returns the same object until it is unloaded;
//   ShowModal()          makes it visible and returns only when it is hidden or unloaded
//                        (Form_Activate runs each time it is shown);
//   Hide()               makes it invisible but keeps it loaded with all its state;
//   Unload()             runs Form_Unload and forgets the instance; the next reference creates
//                        a fresh one with the designed state.
//
// Nesting: a handler may hide its own form and show another form modally; that call returns
// only when the other form is hidden or unloaded, so a chain of pages unwinds only when they
// are closed. An unloaded form is destroyed only when no modal show is running, so a handler
// that unloads its own form (or every form) can safely return.
//
// Threading: forms, the registry and the desktop are per thread.
#pragma once

#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "uikit/controls.h"

namespace uikit {

class Form {
 public:
  explicit Form(std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  std::string Caption;
  Geometry geometry;

  bool visible() const { return visible_; }
  bool loaded() const { return loaded_; }

  // Shows the form modally through the thread's desktop; see the comment at the top.
  void ShowModal();
  void Hide();
  void Unload();

  // Controls in creation order, which is the order drivers present them in.
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* find(const std::string& controlName) const;

  // The control that last received the focus (nullptr for none).
  Control* focused() const { return focused_; }
  // Gives a control the focus and fires its GotFocus. Fails silently (returns false) when the
  // form or the control is hidden or disabled, as the platform refuses focus there.
  bool SetFocus(Control& control);

  // Handlers; forms override what they need.
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  // Set cancel to true to refuse closing from the window frame.
  virtual void Form_QueryUnload(bool& /*cancel*/) {}
  virtual void Form_Unload() {}

 protected:
  // Creates a control owned by this form: add<CommandButton>("cmdNext", geometry, container).
  template <class T>
  T& add(const std::string& controlName, Geometry g = {}, Control* container = nullptr) {
    auto control = std::make_unique<T>(*this, controlName, container);
    control->geometry = g;
    T& ref = *control;
    controls_.push_back(std::move(control));
    return ref;
  }

 private:
  friend class FormRegistry;
  friend class DriverAccess;
  std::string name_;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* focused_ = nullptr;
  bool visible_ = false;
  bool loaded_ = true;
};

// The per-thread window list.
class FormRegistry {
 public:
  static FormRegistry& current();

  // The one instance of F, created (and loaded) on first reference.
  template <class F>
  F& get() {
    if (Form* f = lookup(typeid(F))) return static_cast<F&>(*f);
    auto created = std::make_unique<F>();
    F& ref = *created;
    insert(typeid(F), std::move(created));
    return ref;
  }
  // True when an instance of F is loaded (does not create one).
  template <class F>
  bool isLoaded() const {
    return lookup(typeid(F)) != nullptr;
  }

  // Loaded forms in window-list order (the order they were created in).
  std::vector<Form*> loadedForms() const;
  // Unloads every loaded form, in window-list order.
  void unloadAll();

  // Called by Form::Unload.
  void remove(Form& form);
  // Destroys unloaded forms once no modal show is running; drivers call it when the outermost
  // modal show returns.
  void collect();
  int modalDepth() const { return modalDepth_; }

 private:
  friend class Form;
  Form* lookup(std::type_index type) const;
  void insert(std::type_index type, std::unique_ptr<Form> form);
  struct Entry {
    std::type_index type;
    std::unique_ptr<Form> form;
  };
  std::vector<Entry> loaded_;
  std::vector<std::unique_ptr<Form>> unloaded_;
  int modalDepth_ = 0;
};

// Shorthand: uikit::form<frmFixSet>().
template <class F>
F& form() {
  return FormRegistry::current().get<F>();
}
inline void unloadAllForms() { FormRegistry::current().unloadAll(); }

}  // namespace uikit
