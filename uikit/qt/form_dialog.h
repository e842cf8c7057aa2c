// The dialog of one modal show: builds a native widget for each control of a form, keeps the
// widgets in line with the model (sync) and turns the user's actions on them into calls of
// uikit/user_input.h through the desktop, which redraws everything afterwards.
//
// Syncing never lets a widget report a change back: signals are blocked while the model is
// copied in, and the model only hears from widgets about what a user did.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <QDialog>
#include <QPalette>
#include <QString>

#include "uikit/controls.h"
#include "uikit/form.h"
#include "uikit/qt/conversions.h"

class QButtonGroup;
class QListWidget;
class QTreeWidget;

namespace uikit::qt {

class QtDesktop;

class FormDialog : public QDialog {
 public:
  FormDialog(QtDesktop& desktop, Form& form, QWidget* parent);
  ~FormDialog() override;

  Form& form() const { return form_; }
  // Copies the whole model into the widgets (controls the form added since are created first).
  void sync();
  // Copies one control into its widget and paints it at once.
  void syncControl(Control& control);
  // The widget presenting control, nullptr for controls without one (image lists, dialogs).
  QWidget* widgetOf(const Control& control) const;
  // Designed twips as this dialog's pixels (see dialog_font.h).
  int px(int twips) const { return twipsToPixels(twips, scale_); }
  double scale() const { return scale_; }

 protected:
  // The frame's close button and Escape both ask the form, which may refuse.
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  // Enter presses the focused button, else the form's default button (shown and enabled); never
  // the first button Qt would pick itself.
  void keyPressEvent(QKeyEvent* event) override;
  // Clicks on labels, pictures and frames that have a Click handler; focus moved by the user.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the dialog remembers about one control's widget between syncs.
  struct View {
    QWidget* widget = nullptr;
    QString content;             // lists, trees, status bars and pictures: what was last drawn
    std::vector<int> widths;     // list view columns: the model's widths last applied
    std::vector<char> expanded;  // tree nodes: the model's expansion last applied (2: none)
    int current = -1;            // list box ListIndex / tree node drawn as current
    Color color = Color::Default;
    QPalette palette;  // the widget's own palette, for Color::Default
  };

  QWidget* ensureWidget(Control& control);
  QWidget* create(Control& control, QWidget* parent);
  QButtonGroup* groupFor(const Control* container);
  void syncOne(Control& control, View& view);
  void syncCommon(Control& control, View& view);
  void syncListBox(ListBox& list, View& view);
  void syncListView(ListView& list, View& view);
  void syncTreeView(TreeView& tree, View& view);
  void syncStatusBar(StatusBar& bar, View& view);
  void syncPicture(Picture& picture, View& view);
  void syncLabel(Label& label, View& view);
  void fitSize();
  void syncFocus();
  void syncStacking();

  // User actions that item views report; queued so that a redraw never rebuilds a view inside
  // its own notification.
  void listChanged(ListBox& list);
  void listViewChanged(ListView& list);
  void treeChanged(TreeView& tree);

  QtDesktop& desktop_;
  Form& form_;
  double scale_ = 1.0;
  std::map<const Control*, View> views_;
  std::map<const QObject*, Control*> controlOf_;    // widgets that report clicks or focus
  std::map<const Control*, QButtonGroup*> groups_;  // option groups by container (nullptr: form)
  const Control* focusDrawn_ = nullptr;
  std::vector<const Control*> stackDrawn_;  // controls back to front, as last applied
  QSize sizeDrawn_;
  bool syncing_ = false;
};

}  // namespace uikit::qt
