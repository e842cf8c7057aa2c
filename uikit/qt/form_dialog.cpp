#include "uikit/qt/form_dialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTreeWidget>

#include "uikit/qt/conversions.h"
#include "uikit/qt/pictures.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace uikit::qt {
namespace {

constexpr int kMarginPx = 8;             // room kept right of and below the outermost controls
constexpr int kNodeRole = Qt::UserRole;  // a tree item's 0-based position in nodes()

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

int px(int twips) {
  return twipsToPixels(twips);
}

// A status bar without a size of its own docks at the bottom of the window, as the classic
// control does by default.
bool docked(const Control& c) {
  return c.kind() == ControlKind::StatusBar && (c.geometry.width <= 0 || c.geometry.height <= 0);
}

// own is the widget's own palette, whose button role is the theme's button face.
QColor colorOf(Color c, const QPalette& own) {
  switch (c) {
    case Color::Yellow:
      return QColor(255, 255, 0);
    case Color::ButtonFace:
      return own.color(QPalette::Button);
    default:
      return QColor(255, 255, 255);
  }
}

// Item views show their colour on the base (the rows); everything else on the window role.
bool paintsBase(ControlKind kind) {
  switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::ListBox:
    case ControlKind::ListView:
    case ControlKind::TreeView:
      return true;
    default:
      return false;
  }
}

// The next control after label in creation order that can take the focus: where the label's
// access key sends it, as the classic tab order does.
const Control* buddyOf(const Form& form, const Control& label) {
  const auto& controls = form.controls();
  auto it = std::find_if(controls.begin(), controls.end(),
                         [&](const auto& c) { return c.get() == &label; });
  if (it == controls.end())
    return nullptr;
  for (++it; it != controls.end(); ++it) {
    if ((*it)->canTakeFocus())
      return it->get();
  }
  return nullptr;
}

// Marks a sync in progress for its scope, whatever leaves it.
class Syncing {
 public:
  explicit Syncing(bool& flag) : flag_(flag) { flag_ = true; }
  ~Syncing() { flag_ = false; }
  Syncing(const Syncing&) = delete;
  Syncing& operator=(const Syncing&) = delete;

 private:
  bool& flag_;
};

}  // namespace

FormDialog::FormDialog(QtDesktop& desktop, Form& form, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      desktop_(desktop),
      form_(form) {
  setObjectName(q(form.name()));
  setModal(true);
  for (const auto& c : form.controls())
    ensureWidget(*c);
  sync();
}

FormDialog::~FormDialog() = default;

QWidget* FormDialog::widgetOf(const Control& control) const {
  auto it = views_.find(&control);
  return it == views_.end() ? nullptr : it->second.widget;
}

QWidget* FormDialog::ensureWidget(Control& control) {
  if (auto it = views_.find(&control); it != views_.end())
    return it->second.widget;
  // Containers first, whatever order the form created them in.
  QWidget* parent = this;
  if (Control* container = control.container()) {
    if (QWidget* w = ensureWidget(*container))
      parent = w;
  }
  View view;
  view.widget = create(control, parent);
  if (view.widget) {
    view.widget->setObjectName(q(control.name()));
    view.palette = view.widget->palette();
    view.widget->installEventFilter(this);
    controlOf_[view.widget] = &control;
  }
  return views_.emplace(&control, std::move(view)).first->second.widget;
}

QButtonGroup* FormDialog::groupFor(const Control* container) {
  QButtonGroup*& group = groups_[container];
  if (!group)
    group = new QButtonGroup(this);
  return group;
}

QWidget* FormDialog::create(Control& control, QWidget* parent) {
  switch (control.kind()) {
    case ControlKind::Label: {
      auto* w = new QLabel(parent);
      w->setTextFormat(Qt::PlainText);
      w->setWordWrap(true);
      w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return w;
    }
    case ControlKind::TextBox: {
      auto& box = static_cast<TextBox&>(control);
      QWidget* w;
      if (box.MultiLine) {
        auto* edit = new QPlainTextEdit(parent);
        connect(edit, &QPlainTextEdit::textChanged, this, [this, &box, edit] {
          desktop_.deliver([&] { type(box, modelText(edit->toPlainText())); });
        });
        w = edit;
      } else {
        auto* edit = new QLineEdit(parent);
        connect(edit, &QLineEdit::textEdited, this, [this, &box](const QString& text) {
          desktop_.deliver([&] { type(box, text.toStdString()); });
        });
        w = edit;
      }
      return w;
    }
    case ControlKind::CommandButton: {
      auto* w = new QPushButton(parent);
      w->setAutoDefault(false);
      connect(w, &QPushButton::clicked, this,
              [this, &control] { desktop_.deliver([&] { click(control); }); });
      return w;
    }
    case ControlKind::OptionButton: {
      auto* w = new QRadioButton(parent);
      // One group per container, so option buttons in different frames are separate choices.
      groupFor(control.container())->addButton(w);
      connect(w, &QRadioButton::clicked, this,
              [this, &control] { desktop_.deliver([&] { click(control); }); });
      return w;
    }
    case ControlKind::CheckBox: {
      auto* w = new QCheckBox(parent);
      connect(w, &QCheckBox::clicked, this,
              [this, &control] { desktop_.deliver([&] { click(control); }); });
      return w;
    }
    case ControlKind::Frame: {
      auto* w = new QGroupBox(parent);
      return w;
    }
    case ControlKind::Picture: {
      auto* w = new QLabel(parent);
      w->setAlignment(Qt::AlignCenter);
      return w;
    }
    case ControlKind::Line: {
      auto* w = new QFrame(parent);
      w->setFrameShadow(QFrame::Sunken);
      return w;
    }
    case ControlKind::ListBox: {
      auto& list = static_cast<ListBox&>(control);
      auto* w = new QListWidget(parent);
      w->setUniformItemSizes(true);
      w->setSelectionMode(list.MultiSelect && list.style == ListBox::Style::Standard
                              ? QAbstractItemView::MultiSelection
                              : QAbstractItemView::SingleSelection);
      auto changed = [this, &list] { listChanged(list); };
      connect(w, &QListWidget::itemSelectionChanged, this, changed, Qt::QueuedConnection);
      connect(w, &QListWidget::currentRowChanged, this, changed, Qt::QueuedConnection);
      connect(w, &QListWidget::itemChanged, this, changed, Qt::QueuedConnection);
      return w;
    }
    case ControlKind::ListView: {
      auto& list = static_cast<ListView&>(control);
      auto* w = new QTreeWidget(parent);
      w->setRootIsDecorated(false);
      w->setUniformRowHeights(true);
      w->setAllColumnsShowFocus(true);
      w->setItemsExpandable(false);
      w->setSelectionMode(QAbstractItemView::SingleSelection);
      w->setSelectionBehavior(QAbstractItemView::SelectRows);
      // The model sorts (or not) when its handler decides; the view only shows the indicator.
      // Turning the view's sorting off also makes the header unclickable, so that comes first.
      w->setSortingEnabled(false);
      w->header()->setSectionsClickable(true);
      w->header()->setSectionsMovable(false);  // column numbers are the model's
      w->header()->setStretchLastSection(false);
      connect(w->header(), &QHeaderView::sectionClicked, this, [this, &list](int section) {
        desktop_.deliver([&] { columnClick(list, section + 1); });
      });
      connect(
          w, &QTreeWidget::itemSelectionChanged, this, [this, &list] { listViewChanged(list); },
          Qt::QueuedConnection);
      return w;
    }
    case ControlKind::TreeView: {
      auto& tree = static_cast<TreeView&>(control);
      auto* w = new QTreeWidget(parent);
      w->setHeaderHidden(true);
      w->setSelectionMode(QAbstractItemView::SingleSelection);
      connect(
          w, &QTreeWidget::currentItemChanged, this, [this, &tree] { treeChanged(tree); },
          Qt::QueuedConnection);
      // Expanding and collapsing is view state the model records; no event goes with it.
      auto record = [&tree](QTreeWidgetItem* item, bool expanded) {
        const int index = item->data(0, kNodeRole).toInt();
        if (index >= 0 && index < tree.Count()) {
          if (TreeView::Node* node = tree.find(tree.nodes()[index].key))
            node->expanded = expanded;
        }
      };
      connect(w, &QTreeWidget::itemExpanded, this,
              [record](QTreeWidgetItem* item) { record(item, true); });
      connect(w, &QTreeWidget::itemCollapsed, this,
              [record](QTreeWidgetItem* item) { record(item, false); });
      return w;
    }
    case ControlKind::StatusBar: {
      auto* w = new QStatusBar(parent);
      w->setSizeGripEnabled(false);
      return w;
    }
    case ControlKind::ImageList:
    case ControlKind::CommonDialog:
      return nullptr;
  }
  return nullptr;
}

void FormDialog::sync() {
  const Syncing syncing(syncing_);
  const QString title = q(form_.Caption);
  if (windowTitle() != title)
    setWindowTitle(title);
  for (const auto& c : form_.controls())
    ensureWidget(*c);
  for (const auto& c : form_.controls())
    syncOne(*c, views_[c.get()]);
  syncStacking();
  fitSize();
  syncFocus();
}

void FormDialog::syncStacking() {
  // Raising every widget from the rearmost to the frontmost stacks each container's children
  // in the model's order.
  std::vector<const Control*> order;
  for (const auto& c : form_.controls())
    order.push_back(c.get());
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
    return a->stackRank() < b->stackRank();
  });
  if (order == stackDrawn_)
    return;
  stackDrawn_ = order;
  for (const Control* c : order) {
    if (QWidget* w = widgetOf(*c))
      w->raise();
  }
}

void FormDialog::syncControl(Control& control) {
  if (&control.form() != &form_)
    return;
  ensureWidget(control);
  View& view = views_[&control];
  if (!view.widget)
    return;
  {
    const Syncing syncing(syncing_);
    syncOne(control, view);
  }
  view.widget->repaint();
}

void FormDialog::syncOne(Control& control, View& view) {
  QWidget* w = view.widget;
  if (!w)
    return;
  const QSignalBlocker block(w);
  switch (control.kind()) {
    case ControlKind::Label:
      syncLabel(static_cast<Label&>(control), view);
      break;
    case ControlKind::TextBox: {
      auto& box = static_cast<TextBox&>(control);
      if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        const QString text = q(box.Text);
        if (edit->text() != text)
          edit->setText(text);
        edit->setReadOnly(box.Locked);
      } else if (auto* area = qobject_cast<QPlainTextEdit*>(w)) {
        const QString text = displayText(box.Text);
        if (area->toPlainText() != text)
          area->setPlainText(text);
        area->setReadOnly(box.Locked);
      }
      break;
    }
    case ControlKind::CommandButton: {
      auto* b = static_cast<QPushButton*>(w);
      const QString text = displayText(static_cast<CommandButton&>(control).Caption);
      if (b->text() != text)
        b->setText(text);
      break;
    }
    case ControlKind::OptionButton: {
      auto& option = static_cast<OptionButton&>(control);
      auto* b = static_cast<QRadioButton*>(w);
      const QString text = displayText(option.Caption);
      if (b->text() != text)
        b->setText(text);
      if (b->isChecked() != option.value()) {
        // An exclusive group refuses to uncheck its checked button; the model decides here.
        QButtonGroup* group = b->group();
        if (group)
          group->setExclusive(false);
        b->setChecked(option.value());
        if (group)
          group->setExclusive(true);
      }
      break;
    }
    case ControlKind::CheckBox: {
      auto& box = static_cast<CheckBox&>(control);
      auto* b = static_cast<QCheckBox*>(w);
      const QString text = displayText(box.Caption);
      if (b->text() != text)
        b->setText(text);
      const Qt::CheckState state = box.Value == 1   ? Qt::Checked
                                   : box.Value == 2 ? Qt::PartiallyChecked
                                                    : Qt::Unchecked;
      if (state == Qt::PartiallyChecked)
        b->setTristate(true);
      b->setCheckState(state);
      if (state != Qt::PartiallyChecked)
        b->setTristate(false);
      break;
    }
    case ControlKind::Frame: {
      auto* g = static_cast<QGroupBox*>(w);
      const QString text = displayText(static_cast<Frame&>(control).Caption);
      if (g->title() != text)
        g->setTitle(text);
      break;
    }
    case ControlKind::Picture:
      syncPicture(static_cast<Picture&>(control), view);
      break;
    case ControlKind::Line: {
      auto* f = static_cast<QFrame*>(w);
      const bool vertical = control.geometry.height > control.geometry.width;
      f->setFrameShape(vertical ? QFrame::VLine : QFrame::HLine);
      break;
    }
    case ControlKind::ListBox:
      syncListBox(static_cast<ListBox&>(control), view);
      break;
    case ControlKind::ListView:
      syncListView(static_cast<ListView&>(control), view);
      break;
    case ControlKind::TreeView:
      syncTreeView(static_cast<TreeView&>(control), view);
      break;
    case ControlKind::StatusBar:
      syncStatusBar(static_cast<StatusBar&>(control), view);
      break;
    case ControlKind::ImageList:
    case ControlKind::CommonDialog:
      break;
  }
  syncCommon(control, view);
}

void FormDialog::syncCommon(Control& control, View& view) {
  QWidget* w = view.widget;
  const Geometry& g = control.geometry;
  if (!docked(control)) {
    QRect r(px(g.left), px(g.top), px(g.width), px(g.height));
    const QSize hint = w->sizeHint();
    if (r.width() <= 0)
      r.setWidth(hint.width());
    if (r.height() <= 0)
      r.setHeight(hint.height());
    if (control.kind() == ControlKind::Line) {
      // A line is drawn through the middle of a thin strip, whatever thickness was designed.
      if (g.height > g.width)
        r = QRect(r.center().x() - 1, r.top(), 3, std::max(r.height(), 1));
      else
        r = QRect(r.left(), r.center().y() - 1, std::max(r.width(), 1), 3);
    }
    if (w->geometry() != r)
      w->setGeometry(r);
  }
  // Qt hides and disables what sits inside a hidden or disabled frame, as the models do.
  if (w->isVisibleTo(w->parentWidget()) != control.Visible)
    w->setVisible(control.Visible);
  if (w->isEnabledTo(w->parentWidget()) != control.Enabled)
    w->setEnabled(control.Enabled);
  const QString tip = displayText(control.ToolTipText);
  if (w->toolTip() != tip)
    w->setToolTip(tip);
  if (view.color != control.BackColor) {
    view.color = control.BackColor;
    if (control.BackColor == Color::Default) {
      w->setPalette(view.palette);
      w->setAutoFillBackground(false);
    } else {
      QPalette p = view.palette;
      const bool base = paintsBase(control.kind());
      p.setColor(base ? QPalette::Base : QPalette::Window,
                 colorOf(control.BackColor, view.palette));
      w->setPalette(p);
      w->setAutoFillBackground(!base);
    }
  }
}

void FormDialog::syncLabel(Label& label, View& view) {
  auto* w = static_cast<QLabel*>(view.widget);
  // With a buddy Qt draws the access key and moves the focus on it; without one it would show
  // the "&" itself, so the markers go.
  QWidget* buddy = nullptr;
  if (hasAccessKey(label.Caption)) {
    if (const Control* target = buddyOf(form_, label))
      buddy = widgetOf(*target);
  }
  const QString text = displayText(buddy ? label.Caption : stripAccessKeys(label.Caption));
  if (w->buddy() != buddy)
    w->setBuddy(buddy);
  if (w->text() != text)
    w->setText(text);
}

void FormDialog::syncPicture(Picture& picture, View& view) {
  auto* w = static_cast<QLabel*>(view.widget);
  const QSize size(px(picture.geometry.width), px(picture.geometry.height));
  const QString drawn = q(picture.Image) + QChar('@') + QString::number(size.width()) + 'x' +
                        QString::number(size.height());
  if (view.content == drawn)
    return;
  view.content = drawn;
  w->setPixmap(picturePixmap(picture.Image, size));
}

void FormDialog::syncListBox(ListBox& list, View& view) {
  auto* w = static_cast<QListWidget*>(view.widget);
  const std::vector<ListBox::Item>& items = list.items();
  const bool checks = list.style == ListBox::Style::CheckBoxes;
  const int n = static_cast<int>(items.size());
  while (w->count() > n)
    delete w->takeItem(w->count() - 1);
  for (int i = 0; i < n; ++i) {
    const QString text = displayText(items[i].text);
    QListWidgetItem* item = w->item(i);
    if (!item) {
      item = new QListWidgetItem(text, w);
    } else if (item->text() != text) {
      item->setText(text);
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checks)
      flags |= Qt::ItemIsUserCheckable;
    if (item->flags() != flags)
      item->setFlags(flags);
    if (checks) {
      const Qt::CheckState state = items[i].selected ? Qt::Checked : Qt::Unchecked;
      // An item draws a check box only once its state is set, unchecked included.
      if (!item->data(Qt::CheckStateRole).isValid() || item->checkState() != state)
        item->setCheckState(state);
    }
    // A check-box list highlights its current row; the others their selection.
    const bool selected = checks ? i == list.ListIndex : items[i].selected;
    if (item->isSelected() != selected)
      item->setSelected(selected);
  }
  const int current = list.ListIndex >= 0 && list.ListIndex < n ? list.ListIndex : -1;
  if (w->currentRow() != current)
    w->setCurrentRow(current, QItemSelectionModel::NoUpdate);
  if (view.current != current) {
    // Code moved the current row: bring it into sight, as the classic list does.
    view.current = current;
    if (current >= 0)
      w->scrollToItem(w->item(current));
  }
}

void FormDialog::syncListView(ListView& list, View& view) {
  auto* w = static_cast<QTreeWidget*>(view.widget);
  const int columns = std::max<int>(1, static_cast<int>(list.ColumnHeaders.size()));
  QStringList headers;
  std::vector<int> widths;
  for (const auto& c : list.ColumnHeaders) {
    headers << displayText(c.text);
    widths.push_back(c.width);
  }
  if (w->columnCount() != columns)
    w->setColumnCount(columns);
  QTreeWidgetItem* header = w->headerItem();
  for (int c = 0; c < columns; ++c) {
    const QString text = c < headers.size() ? headers[c] : QString();
    if (header->text(c) != text)
      header->setText(c, text);
  }
  // Widths only when the model changes them, so a user's resized column stays as it is.
  if (view.widths != widths) {
    view.widths = widths;
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
      if (widths[c] > 0)
        w->setColumnWidth(c, px(widths[c]));
    }
  }
  const QSignalBlocker blockHeader(w->header());
  w->header()->setSortIndicatorShown(list.sorted());
  if (list.sorted()) {
    w->header()->setSortIndicator(list.sortKey(), list.sortOrder() == ListView::SortOrder::Ascending
                                                      ? Qt::AscendingOrder
                                                      : Qt::DescendingOrder);
  }
  const int n = list.Count();
  while (w->topLevelItemCount() > n)
    delete w->takeTopLevelItem(w->topLevelItemCount() - 1);
  for (int i = 0; i < n; ++i) {
    const ListView::ListItem& model = list.Item(i + 1);
    QTreeWidgetItem* item = w->topLevelItem(i);
    if (!item)
      item = new QTreeWidgetItem(w);
    for (int c = 0; c < columns; ++c) {
      const QString text = displayText(c == 0 ? model.text : model.subItem(c));
      if (item->text(c) != text)
        item->setText(c, text);
    }
    if (item->isSelected() != model.selected)
      item->setSelected(model.selected);
  }
  const int selected = list.SelectedIndex();
  QTreeWidgetItem* current = selected > 0 ? w->topLevelItem(selected - 1) : nullptr;
  if (w->currentItem() != current) {
    w->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    if (current)
      w->scrollToItem(current);
  }
}

void FormDialog::syncTreeView(TreeView& tree, View& view) {
  auto* w = static_cast<QTreeWidget*>(view.widget);
  const auto& nodes = tree.nodes();
  // The image list supplies a picture name per image key; the icon follows that name.
  const ImageList* images = nullptr;
  if (Control* c = form_.find(tree.ImageList); c && c->kind() == ControlKind::ImageList)
    images = static_cast<const ImageList*>(c);
  auto iconName = [&](const std::string& key) {
    if (images) {
      for (const auto& image : images->ListImages)
        if (image.key == key && !image.picture.empty())
          return image.picture;
    }
    return key;
  };
  QString content;
  for (const auto& node : nodes) {
    content += q(node.key) + QChar(0x1f) + q(node.parentKey) + QChar(0x1f) + q(node.text) +
               QChar(0x1f) + q(iconName(node.imageKey)) + QChar(0x1e);
  }
  std::vector<QTreeWidgetItem*> items(nodes.size(), nullptr);
  if (view.content != content) {
    view.content = content;
    view.current = -1;
    view.expanded.assign(nodes.size(), 2);
    w->clear();
    std::map<std::string, QTreeWidgetItem*> byKey;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      const auto& node = nodes[i];
      auto parent = byKey.find(node.parentKey);
      QTreeWidgetItem* item = node.parentKey.empty() || parent == byKey.end()
                                  ? new QTreeWidgetItem(w)
                                  : new QTreeWidgetItem(parent->second);
      item->setText(0, displayText(node.text));
      item->setData(0, kNodeRole, static_cast<int>(i));
      if (!node.imageKey.empty())
        item->setIcon(0, nodeIcon(iconName(node.imageKey)));
      if (!node.key.empty())
        byKey[node.key] = item;
      items[i] = item;
    }
  } else {
    for (QTreeWidgetItemIterator it(w); *it; ++it) {
      const int i = (*it)->data(0, kNodeRole).toInt();
      if (i >= 0 && i < static_cast<int>(items.size()))
        items[i] = *it;
    }
  }
  // Expansion as the model last changed it: the user's own expanding stays until code decides
  // otherwise (keyed nodes also record it in the model, see create()).
  view.expanded.resize(nodes.size(), 2);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (!items[i] || view.expanded[i] == static_cast<char>(nodes[i].expanded))
      continue;
    view.expanded[i] = static_cast<char>(nodes[i].expanded);
    items[i]->setExpanded(nodes[i].expanded);
  }
  // The current node: the one with SelectedKey, or the keyless node the user last clicked.
  int current = -1;
  if (!tree.SelectedKey.empty()) {
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i].key == tree.SelectedKey)
        current = static_cast<int>(i);
  } else if (view.current >= 0 && view.current < tree.Count() && nodes[view.current].key.empty()) {
    current = view.current;
  }
  view.current = current;
  QTreeWidgetItem* item = current >= 0 ? items[current] : nullptr;
  if (w->currentItem() != item) {
    w->setCurrentItem(item);
    if (item)
      w->scrollToItem(item);
  }
}

void FormDialog::syncStatusBar(StatusBar& bar, View& view) {
  auto* w = static_cast<QStatusBar*>(view.widget);
  QList<QLabel*> labels = w->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
  const int n = static_cast<int>(bar.Panels.size());
  if (labels.size() != n) {
    for (QLabel* l : labels) {
      w->removeWidget(l);
      delete l;
    }
    labels.clear();
    for (int i = 0; i < n; ++i) {
      auto* l = new QLabel(w);
      l->setTextFormat(Qt::PlainText);
      // The last panel takes the room the others leave.
      w->addWidget(l, i + 1 == n ? 1 : 0);
      labels << l;
    }
  }
  for (int i = 0; i < n; ++i) {
    const QString text = displayText(bar.Panels[i].text);
    if (labels[i]->text() != text)
      labels[i]->setText(text);
    if (bar.Panels[i].width > 0)
      labels[i]->setMinimumWidth(px(bar.Panels[i].width));
  }
}

void FormDialog::fitSize() {
  // The designed size, grown to hold every control placed directly on the form: a window must
  // never cut off its own buttons, whatever the platform's frame takes.
  int width = px(form_.geometry.width);
  int height = px(form_.geometry.height);
  QStatusBar* dock = nullptr;
  for (const auto& c : form_.controls()) {
    QWidget* w = widgetOf(*c);
    if (!w || c->container())
      continue;
    if (docked(*c)) {
      if (c->Visible)
        dock = static_cast<QStatusBar*>(w);
      continue;
    }
    width = std::max(width, w->geometry().right() + 1 + kMarginPx);
    height = std::max(height, w->geometry().bottom() + 1 + kMarginPx);
  }
  const int dockHeight = dock ? dock->sizeHint().height() : 0;
  if (dock)
    height = std::max(height, dockHeight + kMarginPx);
  const QSize size(std::max(width, 120), std::max(height, 40));
  if (sizeDrawn_ != size) {
    sizeDrawn_ = size;
    setFixedSize(size);
  }
  if (dock)
    dock->setGeometry(0, size.height() - dockHeight, size.width(), dockHeight);
}

void FormDialog::syncFocus() {
  // Only a focus move made by code is copied; otherwise the user's focus stays where it is.
  const Control* focused = form_.focused();
  if (focused == focusDrawn_)
    return;
  focusDrawn_ = focused;
  if (QWidget* w = focused ? widgetOf(*focused) : nullptr)
    w->setFocus(Qt::OtherFocusReason);
}

void FormDialog::listChanged(ListBox& list) {
  auto* w = qobject_cast<QListWidget*>(widgetOf(list));
  if (!w)
    return;
  desktop_.deliver([&] {
    const bool checks = list.style == ListBox::Style::CheckBoxes;
    const int n = std::min(w->count(), list.ListCount());
    if (checks) {
      for (int i = 0; i < n; ++i) {
        if ((w->item(i)->checkState() == Qt::Checked) != list.Selected(i)) {
          checkRow(list, i);
          return;  // the handler may have changed the list; the redraw shows what it is now
        }
      }
    }
    if (list.MultiSelect && !checks) {
      for (int i = 0; i < std::min(w->count(), list.ListCount()); ++i) {
        if (w->item(i)->isSelected() != list.Selected(i))
          clickRow(list, i);
      }
      return;
    }
    const int row = w->currentRow();
    if (row >= 0 && row < n && row != list.ListIndex)
      clickRow(list, row);
  });
}

void FormDialog::listViewChanged(ListView& list) {
  auto* w = qobject_cast<QTreeWidget*>(widgetOf(list));
  if (!w)
    return;
  const QList<QTreeWidgetItem*> selected = w->selectedItems();
  if (selected.isEmpty())
    return;
  const int index1 = w->indexOfTopLevelItem(selected.front()) + 1;
  if (index1 < 1 || index1 == list.SelectedIndex())
    return;
  desktop_.deliver([&] { clickItem(list, index1); });
}

void FormDialog::treeChanged(TreeView& tree) {
  auto* w = qobject_cast<QTreeWidget*>(widgetOf(tree));
  if (!w || !w->currentItem())
    return;
  const int index = w->currentItem()->data(0, kNodeRole).toInt();
  View& view = views_[&tree];
  if (index < 0 || index >= tree.Count() || index == view.current)
    return;
  view.current = index;
  desktop_.deliver([&] { clickNode(tree, index); });
}

void FormDialog::closeEvent(QCloseEvent* event) {
  // The form decides; if it unloads, the desktop ends the modal show and hides this dialog.
  event->ignore();
  desktop_.deliver([this] { closeFromFrame(form_); });
}

void FormDialog::reject() {
  desktop_.deliver([this] { closeFromFrame(form_); });
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      if (auto* button = qobject_cast<QPushButton*>(focusWidget());
          button && button->isEnabled() && button->window() == this) {
        button->click();
      }
      event->accept();
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (syncing_ || (type != QEvent::MouseButtonRelease && type != QEvent::FocusIn))
    return QDialog::eventFilter(watched, event);
  const auto it = controlOf_.find(watched);
  if (it == controlOf_.end())
    return QDialog::eventFilter(watched, event);
  Control& control = *it->second;
  auto* widget = static_cast<QWidget*>(watched);
  if (type == QEvent::MouseButtonRelease) {
    // Widgets without a click signal of their own: labels, pictures, frames.
    const ControlKind kind = control.kind();
    const bool passive =
        kind == ControlKind::Label || kind == ControlKind::Picture || kind == ControlKind::Frame;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (passive && control.Click && mouse->button() == Qt::LeftButton &&
        widget->rect().contains(mouse->position().toPoint())) {
      desktop_.deliver([&] { click(control); });
    }
  } else {
    // The keyboard moved the focus (Tab, an access key), or a click went into a text box: the
    // model hears of it. Other clicks reach the model as clicks, which move its focus anyway.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool keyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                          reason == Qt::ShortcutFocusReason;
    const bool typing = reason == Qt::MouseFocusReason && control.kind() == ControlKind::TextBox;
    if ((keyboard || typing) && form_.focused() != &control) {
      QPointer<QWidget> target = widget;
      // Queued: a handler's redraw must not move the focus inside the focus change itself.
      QMetaObject::invokeMethod(
          this,
          [this, target, &control] {
            if (!target || !target->hasFocus() || form_.focused() == &control)
              return;
            desktop_.deliver([&] {
              // The widget has the focus already; only a handler moving it on (or a refusal
              // sending it back) makes the redraw move the platform's focus.
              focusDrawn_ = &control;
              form_.SetFocus(control);
            });
          },
          Qt::QueuedConnection);
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace uikit::qt
