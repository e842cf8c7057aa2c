// Control models and user input: option groups, list selection rules, a check-box list kept
// read-only by its ItemCheck handler, list-view sorting, and what a user cannot do.
#include <gtest/gtest.h>

#include "tests/uikit/test_forms.h"
#include "uikit/user_input.h"

namespace uikit_test {
namespace {

TEST(OptionGroups, EachContainerIsItsOwnGroup) {
  frmAll f;  // options in fraChoice, in fraInner inside it, and on the form
  int clicks = 0;
  f.optDrop.Click = [&] { ++clicks; };
  whileShown(f, [&] { uikit::click(f.optDrop), uikit::click(f.optInB); });
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(!f.optKeep.value() && f.optDrop.value() && !f.optInA.value() && f.optInB.value());
  EXPECT_TRUE(f.optSafe.value() && !f.optFast.value());  // the form-level group is untouched
  f.optFast.setValue(true);  // from code: the same rule, and deselecting leaves the group empty
  f.optFast.setValue(false);
  EXPECT_FALSE(f.optFast.value() || f.optSafe.value());
}

TEST(ListBoxes, SelectionFollowsItsRowThroughSortedInsertsAndRemovals) {
  Bench b;
  auto& l = b.add<uikit::ListBox>("lstFiles");
  l.Sorted = true;
  for (const char* s : {"delta", "Bravo", "alpha"})
    l.AddItem(s);
  EXPECT_EQ(l.NewIndex(), 0);
  EXPECT_EQ(l.List(1), "Bravo");  // sorted ignoring case
  l.ListIndex = 2;                // "delta"
  l.AddItem("charlie");
  EXPECT_EQ(l.NewIndex(), 2);
  l.AddItem("echo");
  l.RemoveItem(0);
  EXPECT_TRUE(l.Text() == "delta" && l.Selected(2) && l.SelCount() == 1);
  l.SetSelected(0, true);  // single selection: the other row is deselected
  EXPECT_TRUE(l.ListIndex == 0 && !l.Selected(2));
  l.SetSelected(1, false);  // not the selected row: nothing changes
  EXPECT_EQ(l.ListIndex, 0);
  l.RemoveItem(l.ListIndex);
  EXPECT_TRUE(l.ListIndex == -1 && l.Text().empty());
}

TEST(ListBoxes, ItemCheckHandlerRevertsTheUserButLetsGuardedCodeChangesStand) {
  // The Fix Set page's required-tables list: the user may not change checks, the page may.
  Bench b;
  auto& l = b.add<uikit::ListBox>("lstTables");
  auto& resolve = b.add<uikit::CommandButton>("cmdResolve");
  l.style = uikit::ListBox::Style::CheckBoxes;
  l.AddItem("Orders ()");
  l.AddItem("Customers ()");
  bool guard = false;
  int itemChecks = 0;
  l.ItemCheck = [&](int i) {
    ++itemChecks;
    if (!guard)
      l.SetSelected(i, !l.Selected(i));
    guard = false;
  };
  resolve.Click = [&] {
    guard = true;
    l.SetList(1, "Customers (/data/be.mdb)");
    guard = true;
    l.SetSelected(1, true);
  };
  whileShown(b, [&] {
    EXPECT_TRUE(uikit::checkRow(l, 0).ok);
    EXPECT_TRUE(!l.Selected(0) && itemChecks == 1);  // reverted at once, without recursing
    uikit::click(resolve);
    EXPECT_TRUE(l.Selected(1) && !guard && itemChecks == 2);  // the handler consumed the guard
  });
  l.SetSelected(1, true);  // setting a row to the state it has fires nothing
  EXPECT_EQ(itemChecks, 2);
}

// Header clicks reaching the list's handler are the Qt driver's test.
TEST(ListViews, SortKeyAndOrderCompareCellTextsAndTheSelectionMovesWithItsRow) {
  Bench b;
  auto& v = b.add<uikit::ListView>("lsvDatabases");
  v.ColumnHeaders = {{"Database Path", 0}, {"Score", 0}, {"Needed Tables", 0}};
  using Order = uikit::ListView::SortOrder;
  v.setSortKey(1);
  v.setSortOrder(Order::Descending);
  v.setSorted(true);
  auto column = [&](int n) {
    Strings out;
    for (const auto& item : v.items())
      out.push_back(n == 0 ? item.text : item.subItem(n));
    return out;
  };
  v.AddItem("C:\\b.mdb", {"40", "1 of 3"});
  v.AddItem("C:\\a.mdb", {"85", "3 of 3"});
  v.AddItem("c:\\A2.mdb", {"07", "1 of 3"});
  EXPECT_EQ(v.AddItem("C:\\d.mdb", {" Locked", "0 of 3"}), 4);
  EXPECT_EQ(v.AddItem("C:\\e.mdb", {"Error"}), 1);  // letters sort after digits, ignoring case
  v.SetSelectedItem(3);                             // "40"
  EXPECT_EQ(column(1), (Strings{"Error", "85", "40", "07", " Locked"}));

  v.setSortOrder(Order::Ascending);
  EXPECT_EQ(column(1), (Strings{" Locked", "07", "40", "85", "Error"}));
  v.setSortKey(0);
  EXPECT_EQ(column(0), (Strings{"C:\\a.mdb", "c:\\A2.mdb", "C:\\b.mdb", "C:\\d.mdb", "C:\\e.mdb"}));
  whileShown(b, [&] { EXPECT_FALSE(uikit::columnClick(v, 4).ok); });  // no such column
  EXPECT_EQ(v.Item(v.SelectedIndex()).text, "C:\\b.mdb");  // the selection moved with its row
  v.setSortKey(2);                                         // rows with equal texts keep their order
  EXPECT_EQ(column(0), (Strings{"C:\\e.mdb", "C:\\d.mdb", "c:\\A2.mdb", "C:\\b.mdb", "C:\\a.mdb"}));
}

TEST(UserInput, WhatAUserCannotDoIsRefusedAndChangesNothing) {
  frmAll f;
  int clicks = 0, gotFocus = 0;
  f.lstSets.Click = [&] { ++clicks; };
  f.txtName.GotFocus = [&] { ++gotFocus; };
  // Neither input nor focus reaches a form that is not shown.
  EXPECT_FALSE(uikit::click(f.cmdChange).ok || f.txtName.SetFocus());
  whileShown(f, [&] {
    // Controls in a disabled or hidden frame, a locked text, a label without a click handler,
    // a missing row, checking in a list without check boxes.
    EXPECT_EQ(uikit::click(f.chkGray).reason, "chkGray is disabled");
    EXPECT_EQ(uikit::click(f.lblHidden).reason, "lblHidden is hidden");
    EXPECT_FALSE(uikit::type(f.txtNotes, "new").ok || uikit::click(f.lblTitle).ok ||
                 uikit::clickRow(f.lstSets, 2).ok || uikit::checkRow(f.lstSets, 0).ok);
    EXPECT_FALSE(f.chkGray.SetFocus() || f.lblTitle.SetFocus());
    EXPECT_TRUE(f.focused() == nullptr && f.lstSets.ListIndex == -1);

    // A click toggles a row of a multi-select list; on a check-box list it only moves the
    // current row, checking is checkRow's.
    for (int row : {0, 1, 0})  // row 1 starts selected
      uikit::clickRow(f.lstSets, row);
    EXPECT_TRUE(!f.lstSets.Selected(0) && !f.lstSets.Selected(1) && f.lstSets.ListIndex == 0);
    uikit::clickRow(f.lstTables, 0);
    EXPECT_FALSE(f.lstTables.Selected(0));

    EXPECT_TRUE(f.txtName.SetFocus());
    EXPECT_TRUE(uikit::type(f.txtName, "first\r\nsecond").ok);  // focused already: no GotFocus
    EXPECT_EQ(f.txtName.Text, "first");
    EXPECT_TRUE(uikit::click(f.cmdOK).ok);
    // The form hid itself: it is no longer the window the user acts on.
    EXPECT_EQ(uikit::click(f.cmdChange).reason, "frmAll is not shown");
  });
  EXPECT_TRUE(clicks == 3 && gotFocus == 1);
  EXPECT_EQ(events(), (Strings{"cmdOK_Click"}));
  EXPECT_EQ(f.chkGray.Value, 2);
  EXPECT_EQ(f.txtNotes.Text, "First line \r\n\r\nlast line\r\n");
  EXPECT_EQ(f.Caption, "Every control");  // cmdChange never ran
}

}  // namespace
}  // namespace uikit_test
