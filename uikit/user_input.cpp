#include "uikit/user_input.h"

#include <functional>
#include <type_traits>

#include "uikit/form.h"

namespace uikit {

namespace {

// Is form the window the user can act on now?
InputResult checkForm(const Form& form) {
  if (!form.loaded())
    return InputResult::refused(form.name() + " is not loaded");
  if (!form.visible())
    return InputResult::refused(form.name() + " is not shown");
  if (FormRegistry::current().activeForm() != &form) {
    return InputResult::refused(form.name() + " is not the active window");
  }
  return {};
}

InputResult checkControl(const Control& control) {
  if (auto r = checkForm(control.form()); !r.ok)
    return r;
  if (!control.effectivelyVisible())
    return InputResult::refused(control.name() + " is hidden");
  if (!control.effectivelyEnabled())
    return InputResult::refused(control.name() + " is disabled");
  return {};
}

// A user action lands on a control that then has the focus; GotFocus fires only when the focus
// actually moves, as on the platform (typing into a focused box must not fire it per key).
void focus(Control& control) {
  if (control.form().focused() != &control && control.canTakeFocus())
    control.SetFocus();
}

// Runs an event handler from a copy: the handler may reassign the event while it runs.
template <class... Args>
void fire(const std::function<void(Args...)>& event, std::type_identity_t<Args>... args) {
  if (!event)
    return;
  auto handler = event;
  handler(args...);
}

}  // namespace

InputResult click(Control& control) {
  if (auto r = checkControl(control); !r.ok)
    return r;
  switch (control.kind()) {
    case ControlKind::CommandButton:
      break;
    case ControlKind::OptionButton:
      focus(control);
      static_cast<OptionButton&>(control).setValue(true);
      fire(control.Click);
      return {};
    case ControlKind::CheckBox: {
      focus(control);
      auto& box = static_cast<CheckBox&>(control);
      box.Value = box.Value == 1 ? 0 : 1;
      fire(control.Click);
      return {};
    }
    default:
      if (!control.Click)
        return InputResult::refused(control.name() + " does not take clicks");
      break;
  }
  focus(control);
  fire(control.Click);
  return {};
}

InputResult clickRow(ListBox& list, int index) {
  if (auto r = checkControl(list); !r.ok)
    return r;
  if (index < 0 || index >= list.ListCount()) {
    return InputResult::refused(list.name() + " has no row " + std::to_string(index));
  }
  focus(list);
  if (list.style == ListBox::Style::Standard) {
    if (list.MultiSelect) {
      list.SetSelected(index, !list.Selected(index));
    } else {
      list.SetSelected(index, true);
    }
  }
  list.ListIndex = index;
  fire(list.Click);
  return {};
}

InputResult checkRow(ListBox& list, int index) {
  if (auto r = checkControl(list); !r.ok)
    return r;
  if (list.style != ListBox::Style::CheckBoxes) {
    return InputResult::refused(list.name() + " has no check boxes");
  }
  if (index < 0 || index >= list.ListCount()) {
    return InputResult::refused(list.name() + " has no row " + std::to_string(index));
  }
  focus(list);
  list.ListIndex = index;
  list.SetSelected(index, !list.Selected(index));  // fires ItemCheck
  return {};
}

InputResult type(TextBox& box, const std::string& text) {
  if (auto r = checkControl(box); !r.ok)
    return r;
  if (box.Locked)
    return InputResult::refused(box.name() + " is read-only");
  focus(box);
  box.Text = box.MultiLine ? text : text.substr(0, text.find_first_of("\r\n"));
  return {};
}

InputResult columnClick(ListView& view, int column) {
  if (auto r = checkControl(view); !r.ok)
    return r;
  if (column < 1 || column > static_cast<int>(view.ColumnHeaders.size())) {
    return InputResult::refused(view.name() + " has no column " + std::to_string(column));
  }
  fire(view.ColumnClick, column);
  return {};
}

InputResult clickItem(ListView& view, int index1) {
  if (auto r = checkControl(view); !r.ok)
    return r;
  if (index1 < 1 || index1 > view.Count()) {
    return InputResult::refused(view.name() + " has no item " + std::to_string(index1));
  }
  focus(view);
  view.SetSelectedItem(index1);
  fire(view.ItemClick, index1);
  return {};
}

InputResult clickNode(TreeView& tree, int index) {
  if (auto r = checkControl(tree); !r.ok)
    return r;
  if (index < 0 || index >= tree.Count()) {
    return InputResult::refused(tree.name() + " has no node " + std::to_string(index));
  }
  focus(tree);
  const std::string key = tree.nodes()[index].key;
  tree.SelectedKey = key;
  fire(tree.NodeClick, key);
  return {};
}

InputResult clickNode(TreeView& tree, const std::string& key) {
  if (auto r = checkControl(tree); !r.ok)
    return r;
  for (int i = 0; i < tree.Count(); ++i) {
    if (!key.empty() && tree.nodes()[i].key == key)
      return clickNode(tree, i);
  }
  return InputResult::refused(tree.name() + " has no node '" + key + "'");
}

InputResult closeFromFrame(Form& form) {
  if (auto r = checkForm(form); !r.ok)
    return r;
  bool cancel = false;
  form.Form_QueryUnload(cancel);
  if (cancel)
    return InputResult::refused(form.name() + " refused to close");
  form.Unload();
  return {};
}

}  // namespace uikit
