// Control models: the state of every kind of control the component's windows use, with their
// events as plain callbacks. A control never draws itself; the drivers (scripted, console, Qt)
// read this state to present it and feed the user's actions back through uikit/user_input.h.
//
// Geometry is in twips (1440 to the inch, 15 to a pixel at 96 dpi). Every control belongs to one
// form and may sit inside a container control (a frame); option buttons form one group per
// container.
//
// Events and code: changing state from code fires no event, with one deliberate exception that
// the classic controls have too: a check-box list fires ItemCheck whenever a row's check changes,
// whoever changes it (see ListBox). Everything a user does goes through uikit/user_input.h,
// which fires the events.
//
// Indexes: list boxes, tree nodes and option groups count from 0; list-view items and columns
// count from 1, as the classic controls do. Asking for a row that does not exist throws
// std::out_of_range (a programming error), except ListBox::List, which answers "" as the classic
// list box does for a missing row.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace uikit {

class Form;

struct Geometry {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class ControlKind {
  Label,
  TextBox,
  CommandButton,
  OptionButton,
  CheckBox,
  Frame,
  Picture,
  Line,
  ListBox,
  ListView,
  TreeView,
  ImageList,
  StatusBar,
  CommonDialog,
};

// Named colours the windows use (a label turns yellow to draw attention). ButtonFace is the
// platform's own colour for button and dialog faces, asked for by name so that a label that was
// yellow can be set back to the plain dialog look on whatever theme the user runs; Default
// leaves the control's background to the control itself.
enum class Color { Default, White, Yellow, ButtonFace };

class Control {
 public:
  // container, when given, must belong to the same form (std::invalid_argument otherwise).
  Control(Form& form, ControlKind kind, std::string name, Control* container);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& form() const { return form_; }
  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  Control* container() const { return container_; }

  Geometry geometry;
  bool Visible = true;
  bool Enabled = true;
  std::string ToolTipText;
  Color BackColor = Color::Default;

  // A control is shown only when it and every container it sits in are visible; likewise a
  // disabled frame disables everything inside it.
  bool effectivelyVisible() const;
  bool effectivelyEnabled() const;

  // Stacking of overlapping controls: each control starts in front of those created before it.
  // ZOrder(0) brings it in front of every other control of its form, ZOrder(1) (or any other
  // value) sends it behind them, as the classic method does. Drivers draw in this order.
  void ZOrder(int position = 0);
  // Stacking rank: a higher rank is drawn in front of a lower one.
  long stackRank() const { return stackRank_; }
  // True when the user sees nothing of this control: a visible control in front of it, in the
  // same container, covers all of it with an opaque face (a text box, list box, list view or
  // tree view). Drivers that print rather than draw leave such a control out.
  bool coveredByFront() const;

  // Whether the platform ever gives this kind of control the keyboard focus (labels, frames,
  // pictures, lines, image lists, status bars and dialogs never take it).
  bool canTakeFocus() const;
  // Same as form().SetFocus(*this): false, and nothing changes, where the platform refuses.
  bool SetFocus();

  // Events. Handlers are member functions of the form, bound in its constructor.
  std::function<void()> Click;
  std::function<void()> GotFocus;

 private:
  Form& form_;
  ControlKind kind_;
  std::string name_;
  Control* container_;
  long stackRank_;
};

class Label : public Control {
 public:
  Label(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::Label, std::move(name), container) {}
  std::string Caption;
};

class TextBox : public Control {
 public:
  TextBox(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::TextBox, std::move(name), container) {}
  std::string Text;
  bool MultiLine = false;
  bool Locked = false;  // read-only for the user
};

class CommandButton : public Control {
 public:
  CommandButton(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::CommandButton, std::move(name), container) {}
  std::string Caption;  // "&" marks the access key
  // Enter presses the default button wherever the focus is, unless it is on another button.
  bool Default = false;
};

class OptionButton : public Control {
 public:
  OptionButton(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::OptionButton, std::move(name), container) {}
  std::string Caption;
  bool value() const { return value_; }
  // Selecting one option deselects the others in the same container (the form itself being the
  // container of options placed directly on it). Setting the value from code fires no event;
  // deselecting leaves the group with no selection, which the wizard's pages rely on.
  void setValue(bool selected);

 private:
  bool value_ = false;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::CheckBox, std::move(name), container) {}
  std::string Caption;
  int Value = 0;  // 0 unchecked, 1 checked, 2 grayed (a user's click on grayed checks it)
};

class Frame : public Control {
 public:
  Frame(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::Frame, std::move(name), container) {}
  std::string Caption;
};

// A picture or image: decoration, or a marker with a tool tip. Picture names an image resource
// ("marker", "side"); drivers draw a placeholder for names they do not know.
class Picture : public Control {
 public:
  Picture(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::Picture, std::move(name), container) {}
  std::string Image;
};

class Line : public Control {
 public:
  Line(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::Line, std::move(name), container) {}
};

// A list box.
//
// Selection. A standard list without MultiSelect has one selection, and it is ListIndex: the row
// at ListIndex is the selected row, SetSelected(i, true) sets ListIndex to i, and items() reports
// exactly that row as selected. In a MultiSelect list every row keeps its own selection and
// ListIndex is only the current row; a user click toggles a row.
//
// Style CheckBoxes shows a check box per row, whose checked state is the row's Selected state
// (as the classic list box does); rows are checked independently and ListIndex is the current
// row. Changing a row's check, from code or by the user, fires ItemCheck(index) when the state
// actually changes. Changes made to the same list while its ItemCheck handler runs fire no
// further ItemCheck: a handler that reverts a user's change (the wizard keeps some lists
// read-only that way) would otherwise recurse forever, and the platform's list does not
// re-enter its notification either.
class ListBox : public Control {
 public:
  enum class Style { Standard, CheckBoxes };
  struct Item {
    std::string text;
    long itemData = 0;
    bool selected = false;
  };

  ListBox(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::ListBox, std::move(name), container) {}

  Style style = Style::Standard;
  bool MultiSelect = false;
  // When true, AddItem inserts in text order, ignoring case, after rows that compare equal.
  bool Sorted = false;

  int ListCount() const { return static_cast<int>(items_.size()); }
  // Adds a row at the end (or in text order when Sorted); NewIndex is where it went. ListIndex
  // keeps pointing at the same row when the new one goes before it.
  void AddItem(const std::string& text);
  // Removes a row; ListIndex follows its row, or becomes -1 when that row goes. No event.
  void RemoveItem(int index);
  // Removes every row; ListIndex becomes -1. No event.
  void Clear();
  int NewIndex() const { return newIndex_; }

  // The row's text; "" for a row that does not exist (List(ListIndex) with no current row).
  const std::string& List(int index) const;
  void SetList(int index, const std::string& text);
  // The current row's text, "" when there is none.
  const std::string& Text() const { return List(ListIndex); }
  long ItemData(int index) const;
  void SetItemData(int index, long data);
  bool Selected(int index) const;
  // Fires ItemCheck on a check-box list when the state changes (see the class comment).
  void SetSelected(int index, bool selected);
  int SelCount() const;

  // The current row, -1 for none. Setting it from code fires no event.
  int ListIndex = -1;

  // The rows, with selected filled in as described above.
  const std::vector<Item>& items() const;

  std::function<void(int index)> ItemCheck;

 private:
  bool singleSelect() const { return style == Style::Standard && !MultiSelect; }
  void checkIndex(int index) const;
  mutable std::vector<Item> items_;
  int newIndex_ = -1;
  bool inItemCheck_ = false;
};

// A list view in report style: column headers, items with sub-items. When Sorted is true the
// items are kept in order of the SortKey column's text (0 the item text, n the n-th sub-item)
// in SortOrder, re-sorted whenever an item is added or the sort settings change.
//
// Sorting compares the cell texts ignoring case (ASCII), as the platform's list view does; it
// is stable, so rows with equal texts keep their relative order. Items carry their selection
// with them when they move. One item at most is selected (report views here are single-select).
class ListView : public Control {
 public:
  enum class SortOrder { Ascending, Descending };
  struct Column {
    std::string text;
    int width = 0;  // twips
  };
  struct ListItem {
    std::string key;
    std::string text;
    std::vector<std::string> subItems;  // SubItems(1) is subItems[0]
    bool selected = false;
    std::string subItem(int n) const;  // 1-based, "" when missing
  };

  ListView(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::ListView, std::move(name), container) {}

  std::vector<Column> ColumnHeaders;
  bool SingleBorder = false;

  // Adds an item and returns its 1-based index after sorting. A non-empty key must be unique
  // (std::invalid_argument otherwise); "" means no key.
  int AddItem(const std::string& text, const std::vector<std::string>& subItems = {},
              const std::string& key = "");
  void RemoveItem(int index1);  // 1-based
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  const ListItem& Item(int index1) const;  // 1-based, as the classic control counts
  ListItem& Item(int index1);
  const std::vector<ListItem>& items() const { return items_; }

  // The selected item's 1-based index, 0 for none.
  int SelectedIndex() const;
  // Selects item index1 and deselects the others; 0 clears the selection. No event.
  void SetSelectedItem(int index1);

  bool sorted() const { return sorted_; }
  // Turning sorting on (even when it is already on) sorts the items now.
  void setSorted(bool on);
  int sortKey() const { return sortKey_; }
  // A key beyond the last sub-item sorts by "" (every row equal). Negative keys are refused
  // with std::invalid_argument.
  void setSortKey(int key);
  SortOrder sortOrder() const { return sortOrder_; }
  void setSortOrder(SortOrder order);

  // ColumnClick(1-based column index). The control does not sort by itself on a header click;
  // the handler decides.
  std::function<void(int column)> ColumnClick;
  // ItemClick(1-based index of the clicked item), after the item has been selected.
  std::function<void(int index1)> ItemClick;

 private:
  // Sorts by the current settings; returns the new 0-based place of item track (-1: none).
  int resort(int track = -1);
  std::vector<ListItem> items_;
  bool sorted_ = false;
  int sortKey_ = 0;
  SortOrder sortOrder_ = SortOrder::Ascending;
};

// A tree view: nodes with a key, a text, an image key and a parent. Nodes keep the order they
// were added in; drivers show each node under its parent.
class TreeView : public Control {
 public:
  struct Node {
    std::string key;        // "" for a node without a key (several may have none)
    std::string parentKey;  // "" for a root
    std::string text;
    std::string imageKey;
    bool expanded = false;
  };
  TreeView(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::TreeView, std::move(name), container) {}

  std::string ImageList;  // name of the image list control supplying the images

  // Adds a node under parentKey ("" for a root). Error (std::invalid_argument) when a non-empty
  // key is taken or the parent is missing. The reference stays valid until the next AddNode.
  Node& AddNode(const std::string& parentKey, const std::string& key, const std::string& text,
                const std::string& imageKey = "");
  void Clear();
  int Count() const { return static_cast<int>(nodes_.size()); }
  Node* find(const std::string& key);  // nullptr for "" or a missing key
  const std::vector<Node>& nodes() const { return nodes_; }
  // Depth of node index (0 for a root).
  int depth(int index) const;
  std::string SelectedKey;

  std::function<void(const std::string& key)> NodeClick;

 private:
  std::vector<Node> nodes_;
};

class ImageList : public Control {
 public:
  ImageList(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::ImageList, std::move(name), container) {
    Visible = false;
  }
  struct Image {
    std::string key;
    std::string picture;
  };
  std::vector<Image> ListImages;
};

class StatusBar : public Control {
 public:
  StatusBar(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::StatusBar, std::move(name), container) {}
  struct Panel {
    std::string text;
    int width = 0;
  };
  std::vector<Panel> Panels;  // Panels(1) is Panels[0]
  // Asks the driver to show the panels now, even in the middle of long work.
  void Refresh();
};

// The open-file common dialog. ShowOpen asks the desktop; on cancel FileName is "" (never the
// file chosen the time before, so a cancel can never be mistaken for a choice).
class CommonDialog : public Control {
 public:
  CommonDialog(Form& f, std::string name, Control* container = nullptr)
      : Control(f, ControlKind::CommonDialog, std::move(name), container) {
    Visible = false;
  }
  std::string FileName;
  std::string DialogTitle;
  std::string InitDir;
  // "Description|*.a;*.b|Description|*.*"
  std::string Filter;
  int FilterIndex = 1;
  void ShowOpen();
};

}  // namespace uikit
