#include "uikit/qt/form_dialog.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "uikit/qt/dialog_font.h"
#include "uikit/qt/dialog_support.h"
#include "uikit/qt/pictures.h"

namespace uikit::qt {
namespace {

constexpr int kMarginPx = 8;  // room kept right of and below the outermost controls

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
  setFont(dialogFont());
  setWindowIcon(appIcon());
  scale_ = layoutScale(font());
  for (const auto& c : form.controls())
    ensureWidget(*c);
  // Tab goes through the controls in the order the form created them, containers or not.
  QWidget* previous = nullptr;
  for (const auto& c : form.controls()) {
    QWidget* w = c->canTakeFocus() ? widgetOf(*c) : nullptr;
    if (!w)
      continue;
    if (previous)
      setTabOrder(previous, w);
    previous = w;
  }
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
  // The classic toolkit draws lines on the window's own surface, beneath every control that is
  // a window of its own: a separator the designer ran behind a text box stays hidden by it.
  const auto layer = [](const Control* c) {
    return std::pair(c->kind() == ControlKind::Line ? 0 : 1, c->stackRank());
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](const Control* a, const Control* b) { return layer(a) < layer(b); });
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
      auto& button = static_cast<CommandButton&>(control);
      const QString text = displayText(button.Caption);
      if (b->text() != text)
        b->setText(text);
      if (b->isDefault() != button.Default)
        b->setDefault(button.Default);  // drawn as the default; Enter is ours (keyPressEvent)
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
  const qreal ratio = devicePixelRatioF();
  const QString drawn = q(picture.Image) + QChar('@') + QString::number(size.width()) + 'x' +
                        QString::number(size.height()) + '*' + QString::number(ratio);
  if (view.content == drawn)
    return;
  view.content = drawn;
  w->setPixmap(picturePixmap(picture.Image, size, ratio));
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

}  // namespace uikit::qt
