// What a user can do to a shown form, in one place for every driver: the scripted driver's test
// callbacks, the console driver's commands and the Qt driver's widget signals all come through
// these functions, so a click means the same thing whichever driver delivers it.
//
// Each function refuses (returns false with a reason) what a user could not do: act on a form
// that is not the active window (the innermost running modal show; a form that hid itself is
// no longer it), on a hidden or disabled control, or on a row that does not exist. Nothing
// changes on a refusal.
//
// A control the user acts on gets the focus first (GotFocus fires) when its kind takes focus;
// the event comes after the state change, and is the last thing the function does, so a
// handler may unload the form.
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

// Clicks a button, option button (selects it), check box (toggles it: checked becomes unchecked,
// unchecked or grayed becomes checked) or any control with a Click handler; a control of
// another kind without a handler is refused.
InputResult click(Control& control);
// Clicks row index (0-based) of a list box: in a multi-select list toggles the row's selection,
// otherwise selects it; sets ListIndex; then fires Click. On a check-box list the click only
// makes the row current (checking is checkRow), as clicking a row's text does there.
InputResult clickRow(ListBox& list, int index);
// Toggles the check box of row index in a check-box list, making it the current row and firing
// ItemCheck (not Click).
InputResult checkRow(ListBox& list, int index);
// Replaces a text box's text (refused when it is locked). A single-line box keeps only the first
// line of what is typed, as the platform's single-line edit does with pasted text.
InputResult type(TextBox& box, const std::string& text);
// Clicks the header of column (1-based) of a list view, firing ColumnClick.
InputResult columnClick(ListView& view, int column);
// Clicks item index1 (1-based) of a list view: selects it, then fires ItemClick.
InputResult clickItem(ListView& view, int index1);
// Clicks a tree node, by key or by its 0-based position in nodes() (nodes without a key can only
// be reached that way): sets SelectedKey, then fires NodeClick with the node's key.
InputResult clickNode(TreeView& tree, const std::string& key);
InputResult clickNode(TreeView& tree, int index);
// Closes the form from its window frame: Form_QueryUnload may refuse, otherwise it unloads.
InputResult closeFromFrame(Form& form);

}  // namespace uikit
