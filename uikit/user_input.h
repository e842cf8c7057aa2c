// What a user can do to a shown form, in one place for every driver: the scripted driver's test
// callbacks, the console driver's commands and the Qt driver's widget signals all come through
// these functions, so a click means the same thing whichever driver delivers it.
//
// Each function refuses (returns false with a reason) what a user could not do: act on a hidden
// or disabled control, or on a row that does not exist. Nothing changes on a refusal.
#pragma once

#include <string>

#include "uikit/controls.h"

namespace uikit {

class Form;

struct InputResult {
  bool ok = true;
  std::string reason;  // why it was refused
  static InputResult refused(std::string why) { return {false, std::move(why)}; }
};

// Clicks a button, option button (selects it), check box (toggles it) or any control with a
// Click handler; the control gets the focus first.
InputResult click(Control& control);
// Clicks row index (0-based) of a list box: in a multi-select list toggles the row's selection,
// otherwise selects it; sets ListIndex; then fires Click.
InputResult clickRow(ListBox& list, int index);
// Toggles the check box of row index in a check-box list, firing ItemCheck.
InputResult checkRow(ListBox& list, int index);
// Replaces a text box's text (refused when it is locked).
InputResult type(TextBox& box, const std::string& text);
// Clicks the header of column (1-based) of a list view, firing ColumnClick.
InputResult columnClick(ListView& view, int column);
// Clicks a tree node, firing NodeClick.
InputResult clickNode(TreeView& tree, const std::string& key);
// Closes the form from its window frame: Form_QueryUnload may refuse, otherwise it unloads.
InputResult closeFromFrame(Form& form);

}  // namespace uikit
