// Forms: a window model owning its controls, plus the per-thread registry that gives each form
// class exactly one instance, created on first reference and reused until it is unloaded.
//
// Life of a form:
//   uikit::form<frmX>()  creates frmX on first reference (its constructor builds the controls),
//                        registers it, then runs Form_Load, so a load handler that refers to
//                        its own form through uikit::form<frmX>() gets this same object; returns
//                        the same object until it is unloaded;
//   ShowModal()          makes it visible, runs Form_Activate and returns only when it is hidden
//                        or unloaded, unless it is a hand-over (below) (Form_Activate runs each
//                        time it is shown, and again when a modal window shown over it closes and
//                        it becomes the active window);
//   Hide()               makes it invisible but keeps it loaded with all its state;
//   Unload()             runs Form_Unload and forgets the instance; the next reference creates
//                        a fresh one with the designed state.
//
// Hand-overs: a handler may hide its own form and show another form modally, as a wizard page
// hands over to the next. Once the active form (the innermost modal show) is hidden or unloaded,
// ShowModal does not nest: it returns at once, the handler finishes, the gone form's modal loop
// ends, and the same ShowModal call that showed the gone form shows the next one. So any number
// of Back and Next round trips runs at a constant stack depth, while the user sees the same
// windows, events and handler order as with nested shows; the one difference is that code after
// the hand-over in the handler runs before the next form shows, not after it closes. Several
// hand-overs from one handler show one after the other, each after the previous one (and the
// hand-overs made inside it) has closed; a form unloaded before its turn is not shown. A form
// shown over one that stays visible (a dialog) nests as before, returning when it closes.
//
// Unloaded forms are destroyed only when no modal show is running (when the outermost ShowModal
// returns, or at an explicit collect()), so a handler that unloads its own form (or every form)
// can safely return and even touch its members on the way out.
// Consequence for callers: a reference to a form stays valid while the form is loaded, and after
// Unload until the outermost modal show returns; after that, ask the registry (isLoaded<F>())
// rather than the old object, or hold a KeepUnloadedForms for as long as the old object is read
// (tests inspecting the pages of a wizard that closed itself).
//
// Errors: an exception leaving the desktop's modal loop (a scripted test that ran out of
// actions, say) hides the form, leaves the modal depth consistent and propagates; hand-overs
// still waiting for their turn are dropped.
//
// Threading: forms, the registry and the desktop are per thread.
#pragma once

#include <memory>
#include <string>
#include <typeindex>
#include <vector>

// Beside this header, both in the source tree and where it is installed (orvanta/uikit/).
#include "controls.h"

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

  // Shows the form modally through the thread's desktop, or hands over to it when the active
  // form has gone; see the comment at the top. Throws
  // std::logic_error for a form that is unloaded or already shown (showing a shown window
  // modally again is an error on the platform too).
  void ShowModal();
  // No effect on an unloaded form.
  void Hide();
  // No effect on a form already unloaded (or being unloaded by an outer call). Form_Unload runs
  // while the form is still registered; if it throws, the form is unloaded anyway and the
  // exception propagates.
  void Unload();

  // Controls in creation order, which is the order drivers present them in.
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  // The control of that exact name, nullptr when there is none.
  Control* find(const std::string& controlName) const;

  // The control that last received the focus (nullptr for none).
  Control* focused() const { return focused_; }
  // Gives a control the focus and fires its GotFocus. Fails silently (returns false) when the
  // form or the control is hidden or disabled, as the platform refuses focus there; also for
  // controls that never take the focus (Control::canTakeFocus) and controls of another form.
  bool SetFocus(Control& control);

  // Handlers; forms override what they need.
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  // Set cancel to true to refuse closing from the window frame. Unload() from code does not ask.
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
  friend class Control;  // draws stacking ranks from the two ends below
  // Reserved for drivers that must reach past the public interface; the toolkit defines none.
  friend class DriverAccess;
  std::string name_;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* focused_ = nullptr;
  bool visible_ = false;
  bool loaded_ = true;
  bool unloading_ = false;
  long frontRank_ = 0;  // rank of the frontmost control so far
  long backRank_ = 0;   // rank of the rearmost control so far
};

// The per-thread window list.
class FormRegistry {
 public:
  static FormRegistry& current();
  FormRegistry() = default;
  ~FormRegistry();
  FormRegistry(const FormRegistry&) = delete;
  FormRegistry& operator=(const FormRegistry&) = delete;

  // The one instance of F, created (registered, then loaded) on first reference. If Form_Load
  // throws, the form stays registered and the exception propagates.
  template <class F>
  F& get() {
    if (Form* f = lookup(typeid(F)))
      return static_cast<F&>(*f);
    auto created = std::make_unique<F>();
    F& ref = *created;
    insert(typeid(F), std::move(created));
    ref.Form_Load();
    return ref;
  }
  // True when an instance of F is loaded (does not create one).
  template <class F>
  bool isLoaded() const {
    return lookup(typeid(F)) != nullptr;
  }

  // Loaded forms in window-list order (the order they were created in).
  std::vector<Form*> loadedForms() const;
  // Unloads every loaded form, in window-list order, hidden ones included. Forms that unload
  // handlers load meanwhile are unloaded too, for a few rounds, so a misbehaving handler cannot
  // keep the call from ending.
  void unloadAll();

  // Called by Form::Unload: moves the form to the list of unloaded forms awaiting destruction.
  void remove(Form& form);
  // Destroys unloaded forms once no modal show is running; drivers call it when the outermost
  // modal show returns. Does nothing while a modal show, unloadAll or a KeepUnloadedForms runs.
  void collect();
  int modalDepth() const { return static_cast<int>(modal_.size()); }
  // The form of the innermost running modal show (the window the user can act on), or nullptr.
  Form* activeForm() const { return modal_.empty() ? nullptr : modal_.back(); }

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
  std::vector<Form*> modal_;      // running modal shows, innermost last
  std::vector<Form*> handOvers_;  // shows asked for by handlers of a form that has gone
  int unloadAllDepth_ = 0;
  int holds_ = 0;
  friend class KeepUnloadedForms;
};

// While one exists, unloaded forms of this thread are not destroyed; at its end they are (when
// no modal show is running).
class KeepUnloadedForms {
 public:
  KeepUnloadedForms() { ++FormRegistry::current().holds_; }
  ~KeepUnloadedForms() {
    --FormRegistry::current().holds_;
    FormRegistry::current().collect();
  }
  KeepUnloadedForms(const KeepUnloadedForms&) = delete;
  KeepUnloadedForms& operator=(const KeepUnloadedForms&) = delete;
};

// Shorthand: uikit::form<frmFixSet>().
template <class F>
F& form() {
  return FormRegistry::current().get<F>();
}
template <class F>
bool isLoaded() {
  return FormRegistry::current().isLoaded<F>();
}
inline void unloadAllForms() {
  FormRegistry::current().unloadAll();
}

}  // namespace uikit
