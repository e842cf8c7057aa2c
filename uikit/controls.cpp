#include "uikit/controls.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <stdexcept>

#include "uikit/desktop.h"
#include "uikit/form.h"

namespace uikit {

namespace {

// Case-insensitive ASCII comparison: what the platform's sorted lists use, and independent of
// the process locale so that sorting is the same on every machine.
int compareNoCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb)
      return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size())
    return 0;
  return a.size() < b.size() ? -1 : 1;
}

[[noreturn]] void noRow(const Control& c, int index) {
  throw std::out_of_range(c.name() + ": no row " + std::to_string(index));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Control

Control::Control(Form& form, ControlKind kind, std::string name, Control* container)
    : form_(form),
      kind_(kind),
      name_(std::move(name)),
      container_(container),
      stackRank_(++form.frontRank_) {
  if (container_ && &container_->form() != &form_) {
    throw std::invalid_argument(name_ + ": its container belongs to another form");
  }
}

void Control::ZOrder(int position) {
  stackRank_ = position == 0 ? ++form_.frontRank_ : --form_.backRank_;
}

bool Control::coveredByFront() const {
  const Geometry& g = geometry;
  if (g.width <= 0 || g.height <= 0)
    return false;  // drawn at its natural size, which the model does not know
  for (const auto& other : form_.controls()) {
    const Control& c = *other;
    if (&c == this || c.container_ != container_ || c.stackRank_ < stackRank_)
      continue;
    switch (c.kind_) {
      case ControlKind::TextBox:
      case ControlKind::ListBox:
      case ControlKind::ListView:
      case ControlKind::TreeView:
        break;
      default:
        continue;  // transparent, or not drawn as one opaque rectangle
    }
    const Geometry& f = c.geometry;
    if (c.effectivelyVisible() && f.left <= g.left && f.top <= g.top &&
        f.left + f.width >= g.left + g.width && f.top + f.height >= g.top + g.height) {
      return true;
    }
  }
  return false;
}

bool Control::effectivelyVisible() const {
  for (const Control* c = this; c; c = c->container()) {
    if (!c->Visible)
      return false;
  }
  return true;
}

bool Control::effectivelyEnabled() const {
  for (const Control* c = this; c; c = c->container()) {
    if (!c->Enabled)
      return false;
  }
  return true;
}

bool Control::canTakeFocus() const {
  switch (kind_) {
    case ControlKind::TextBox:
    case ControlKind::CommandButton:
    case ControlKind::OptionButton:
    case ControlKind::CheckBox:
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::TreeView:
      return true;
    default:
      return false;
  }
}

bool Control::SetFocus() {
  return form_.SetFocus(*this);
}

// ---------------------------------------------------------------------------------------------
// OptionButton

void OptionButton::setValue(bool selected) {
  value_ = selected;
  if (!selected)
    return;
  for (const auto& c : form().controls()) {
    if (c.get() == this || c->kind() != ControlKind::OptionButton)
      continue;
    if (c->container() != container())
      continue;
    static_cast<OptionButton&>(*c).value_ = false;
  }
}

// ---------------------------------------------------------------------------------------------
// ListBox

void ListBox::checkIndex(int index) const {
  if (index < 0 || index >= ListCount())
    noRow(*this, index);
}

void ListBox::AddItem(const std::string& text) {
  auto pos = items_.end();
  if (Sorted) {
    pos = std::upper_bound(
        items_.begin(), items_.end(), text,
        [](const std::string& t, const Item& item) { return compareNoCase(t, item.text) < 0; });
  }
  const int index = static_cast<int>(pos - items_.begin());
  items_.insert(pos, Item{text, 0, false});
  newIndex_ = index;
  if (ListIndex >= index)
    ++ListIndex;
}

void ListBox::RemoveItem(int index) {
  checkIndex(index);
  items_.erase(items_.begin() + index);
  if (ListIndex == index) {
    ListIndex = -1;
  } else if (ListIndex > index) {
    --ListIndex;
  }
  if (newIndex_ >= ListCount())
    newIndex_ = -1;
}

void ListBox::Clear() {
  items_.clear();
  ListIndex = -1;
  newIndex_ = -1;
}

const std::string& ListBox::List(int index) const {
  static const std::string kNone;
  if (index < 0 || index >= ListCount())
    return kNone;
  return items_[index].text;
}

void ListBox::SetList(int index, const std::string& text) {
  checkIndex(index);
  items_[index].text = text;
}

long ListBox::ItemData(int index) const {
  checkIndex(index);
  return items_[index].itemData;
}

void ListBox::SetItemData(int index, long data) {
  checkIndex(index);
  items_[index].itemData = data;
}

bool ListBox::Selected(int index) const {
  checkIndex(index);
  if (singleSelect())
    return index == ListIndex;
  return items_[index].selected;
}

void ListBox::SetSelected(int index, bool selected) {
  checkIndex(index);
  if (singleSelect()) {
    if (selected) {
      ListIndex = index;
    } else if (ListIndex == index) {
      ListIndex = -1;
    }
    return;
  }
  if (items_[index].selected == selected)
    return;
  items_[index].selected = selected;
  if (style != Style::CheckBoxes || inItemCheck_ || !ItemCheck)
    return;
  // Copy the handler: it may reassign ItemCheck while it runs.
  auto handler = ItemCheck;
  inItemCheck_ = true;
  try {
    handler(index);
  } catch (...) {
    inItemCheck_ = false;
    throw;
  }
  inItemCheck_ = false;
}

int ListBox::SelCount() const {
  int n = 0;
  for (int i = 0; i < ListCount(); ++i)
    n += Selected(i) ? 1 : 0;
  return n;
}

const std::vector<ListBox::Item>& ListBox::items() const {
  if (singleSelect()) {
    for (int i = 0; i < ListCount(); ++i)
      items_[i].selected = (i == ListIndex);
  }
  return items_;
}

// ---------------------------------------------------------------------------------------------
// ListView

std::string ListView::ListItem::subItem(int n) const {
  if (n < 1 || n > static_cast<int>(subItems.size()))
    return "";
  return subItems[n - 1];
}

int ListView::AddItem(const std::string& text, const std::vector<std::string>& subItems,
                      const std::string& key) {
  if (!key.empty()) {
    for (const auto& item : items_) {
      if (item.key == key)
        throw std::invalid_argument(name() + ": key '" + key + "' is taken");
    }
  }
  items_.push_back(ListItem{key, text, subItems, false});
  if (!sorted_)
    return Count();
  return resort(Count() - 1) + 1;
}

void ListView::RemoveItem(int index1) {
  if (index1 < 1 || index1 > Count())
    noRow(*this, index1);
  items_.erase(items_.begin() + (index1 - 1));
}

void ListView::Clear() {
  items_.clear();
}

const ListView::ListItem& ListView::Item(int index1) const {
  if (index1 < 1 || index1 > Count())
    noRow(*this, index1);
  return items_[index1 - 1];
}

ListView::ListItem& ListView::Item(int index1) {
  if (index1 < 1 || index1 > Count())
    noRow(*this, index1);
  return items_[index1 - 1];
}

int ListView::SelectedIndex() const {
  for (int i = 0; i < Count(); ++i) {
    if (items_[i].selected)
      return i + 1;
  }
  return 0;
}

void ListView::SetSelectedItem(int index1) {
  if (index1 != 0 && (index1 < 1 || index1 > Count()))
    noRow(*this, index1);
  for (int i = 0; i < Count(); ++i)
    items_[i].selected = (i + 1 == index1);
}

void ListView::setSorted(bool on) {
  sorted_ = on;
  if (on)
    resort();
}

void ListView::setSortKey(int key) {
  if (key < 0)
    throw std::invalid_argument(name() + ": negative sort key");
  sortKey_ = key;
  if (sorted_)
    resort();
}

void ListView::setSortOrder(SortOrder order) {
  sortOrder_ = order;
  if (sorted_)
    resort();
}

int ListView::resort(int track) {
  // Sort a permutation, so the tracked item's new place is known without comparing items.
  std::vector<size_t> order(items_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  const int k = sortKey_;
  const bool descending = sortOrder_ == SortOrder::Descending;
  auto cell = [&](size_t i) -> const std::string& {
    static const std::string kEmpty;
    if (k == 0)
      return items_[i].text;
    return k <= static_cast<int>(items_[i].subItems.size()) ? items_[i].subItems[k - 1] : kEmpty;
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int c = compareNoCase(cell(a), cell(b));
    return descending ? c > 0 : c < 0;
  });
  std::vector<ListItem> sortedItems;
  sortedItems.reserve(items_.size());
  int position = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    if (static_cast<int>(order[i]) == track)
      position = static_cast<int>(i);
    sortedItems.push_back(std::move(items_[order[i]]));
  }
  items_ = std::move(sortedItems);
  return position;
}

// ---------------------------------------------------------------------------------------------
// TreeView

TreeView::Node& TreeView::AddNode(const std::string& parentKey, const std::string& key,
                                  const std::string& text, const std::string& imageKey) {
  if (!key.empty() && find(key)) {
    throw std::invalid_argument(name() + ": node key '" + key + "' is taken");
  }
  if (!parentKey.empty() && !find(parentKey)) {
    throw std::invalid_argument(name() + ": no parent node '" + parentKey + "'");
  }
  nodes_.push_back(Node{key, parentKey, text, imageKey, false});
  return nodes_.back();
}

void TreeView::Clear() {
  nodes_.clear();
  SelectedKey.clear();
}

TreeView::Node* TreeView::find(const std::string& key) {
  if (key.empty())
    return nullptr;
  for (auto& node : nodes_) {
    if (node.key == key)
      return &node;
  }
  return nullptr;
}

int TreeView::depth(int index) const {
  if (index < 0 || index >= Count())
    noRow(*this, index);
  int d = 0;
  std::string parent = nodes_[index].parentKey;
  // Parents always precede their children, so the walk ends; the bound guards against a node
  // list edited into a cycle by hand.
  while (!parent.empty() && d <= Count()) {
    auto it =
        std::find_if(nodes_.begin(), nodes_.end(), [&](const Node& n) { return n.key == parent; });
    if (it == nodes_.end())
      break;
    ++d;
    parent = it->parentKey;
  }
  return d;
}

// ---------------------------------------------------------------------------------------------
// StatusBar, CommonDialog

void StatusBar::Refresh() {
  desktop().refresh(*this);
}

void CommonDialog::ShowOpen() {
  // The driver sees the dialog as prepared (a FileName set beforehand is the proposed name).
  FileName = desktop().openFile(*this);
}

}  // namespace uikit
