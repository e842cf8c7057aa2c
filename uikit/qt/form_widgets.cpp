// FormDialog's widget for each kind of control, with the signals that carry a user's action on
// it back to the model.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextDocument>
#include <QTreeWidget>

#include "uikit/qt/dialog_support.h"
#include "uikit/qt/form_dialog.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace uikit::qt {

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
        // The classic text box keeps a pixel or two between its border and the text; Qt's four
        // would wrap designed lines that fill the box.
        edit->document()->setDocumentMargin(2);
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
      // Rows as wide as their text, so a long one scrolls the list sideways instead of losing
      // its end (uniform sizes would take every row's width from the first).
      w->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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
      // The one column as wide as the widest node, so long names scroll sideways.
      w->header()->setStretchLastSection(false);
      w->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
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

}  // namespace uikit::qt
