// FormDialog's item views (list boxes, report list views, trees, status bars): drawing them from
// the model without losing what the user is doing in them, and reporting the user's picks.
#include <algorithm>
#include <map>

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>

#include "uikit/qt/dialog_support.h"
#include "uikit/qt/form_dialog.h"
#include "uikit/qt/pictures.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace uikit::qt {
namespace {

// Designed column widths (pixels, 0 for none), each widened to show its header whole with the
// sort indicator. The room comes from the widest column as far as it can spare it, so the
// columns keep their designed shares of the list; a list too narrow for all scrolls sideways.
std::vector<int> fitHeaders(std::vector<int> widths, const QHeaderView& header) {
  int deficit = 0;
  for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
    const int need = header.sectionSizeHint(c);
    if (widths[c] > 0 && widths[c] < need) {
      deficit += need - widths[c];
      widths[c] = need;
    }
  }
  const auto widest = std::max_element(widths.begin(), widths.end());
  if (deficit > 0 && widest != widths.end()) {
    const int spare = *widest - header.sectionSizeHint(static_cast<int>(widest - widths.begin()));
    *widest -= std::clamp(deficit, 0, std::max(spare, 0));
  }
  return widths;
}

// The full text as a row's tool tip when room pixels cannot show it, since the classic lists
// show no ellipsis and the user would otherwise have to scroll to read it; none otherwise.
QString tipWhenClipped(const QWidget& view, const QString& text, int room) {
  return view.fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

void setTip(QListWidgetItem& item, const QString& tip) {
  if (item.toolTip() != tip)
    item.setToolTip(tip);
}

void setTip(QTreeWidgetItem& item, int column, const QString& tip) {
  if (item.toolTip(column) != tip)
    item.setToolTip(column, tip);
}

}  // namespace

void FormDialog::syncListBox(ListBox& list, View& view) {
  auto* w = static_cast<QListWidget*>(view.widget);
  const std::vector<ListBox::Item>& items = list.items();
  const bool checks = list.style == ListBox::Style::CheckBoxes;
  const int n = static_cast<int>(items.size());
  while (w->count() > n)
    delete w->takeItem(w->count() - 1);
  // Room for a row's text: the list less its frame, margins and a check box.
  const int room = w->width() - 2 * w->frameWidth() - 8 -
                   (checks ? w->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 4 : 0);
  for (int i = 0; i < n; ++i) {
    const QString text = displayText(items[i].text);
    QListWidgetItem* item = w->item(i);
    if (!item) {
      item = new QListWidgetItem(text, w);
    } else if (item->text() != text) {
      item->setText(text);
    }
    setTip(*item, tipWhenClipped(*w, text, room));
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
  const QSignalBlocker blockHeader(w->header());
  w->header()->setSortIndicatorShown(list.sorted());
  if (list.sorted()) {
    w->header()->setSortIndicator(list.sortKey(), list.sortOrder() == ListView::SortOrder::Ascending
                                                      ? Qt::AscendingOrder
                                                      : Qt::DescendingOrder);
  }
  // Widths only when the model changes them, so a user's resized column stays as it is.
  if (view.widths != widths) {
    view.widths = widths;
    std::vector<int> pixels;
    for (int width : widths)
      pixels.push_back(width > 0 ? px(width) : 0);
    pixels = fitHeaders(pixels, *w->header());
    for (int c = 0; c < static_cast<int>(pixels.size()); ++c) {
      if (pixels[c] > 0)
        w->setColumnWidth(c, pixels[c]);
    }
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
      setTip(*item, c, tipWhenClipped(*w, text, w->columnWidth(c) - 8));
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
      item->setToolTip(0, item->text(0));
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

}  // namespace uikit::qt
