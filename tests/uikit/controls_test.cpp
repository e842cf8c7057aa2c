// Control models and user input: option groups, list selection rules, a check-box list kept
// read-only by its ItemCheck handler, list-view sorting, and what a user cannot do.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/uikit/test_forms.h"
#include "uikit/user_input.h"

namespace uikit_test {
namespace {

using uikit::ListBox;
using uikit::ListView;

TEST(OptionGroups, EachContainerIsItsOwnGroup) {
  Bench b;
  auto& outer = b.make<uikit::Frame>("fraOuter");
  auto& inner = b.make<uikit::Frame>("fraInner", &outer);
  auto& o1 = b.make<uikit::OptionButton>("optO1", &outer);
  auto& o2 = b.make<uikit::OptionButton>("optO2", &outer);
  auto& i1 = b.make<uikit::OptionButton>("optI1", &inner);
  auto& i2 = b.make<uikit::OptionButton>("optI2", &inner);
  auto& f1 = b.make<uikit::OptionButton>("optF1");
  auto& f2 = b.make<uikit::OptionButton>("optF2");
  o1.setValue(true);
  i1.setValue(true);
  f1.setValue(true);

  int clicks = 0;
  o2.Click = [&] { ++clicks; };
  whileShown(b, [&](uikit::Form&) {
    EXPECT_TRUE(uikit::click(o2).ok);
    EXPECT_TRUE(uikit::click(i2).ok);
  });
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(o1.value());
  EXPECT_TRUE(o2.value());
  EXPECT_FALSE(i1.value());
  EXPECT_TRUE(i2.value());
  EXPECT_TRUE(f1.value());  // the form-level group is untouched
  EXPECT_FALSE(f2.value());

  // From code: the same rule, and deselecting leaves the group empty.
  f2.setValue(true);
  EXPECT_FALSE(f1.value());
  f2.setValue(false);
  EXPECT_FALSE(f1.value() || f2.value());
}

TEST(ListBoxes, SingleSelectListsHaveOneSelectionWhichIsListIndex) {
  Bench b;
  auto& l = b.make<ListBox>("lstSets");
  for (const char* s : {"A", "B", "C"})
    l.AddItem(s);
  l.ListIndex = 2;
  EXPECT_TRUE(l.Selected(2));
  EXPECT_EQ(l.SelCount(), 1);
  l.SetSelected(0, true);
  EXPECT_EQ(l.ListIndex, 0);
  EXPECT_FALSE(l.Selected(2));
  EXPECT_TRUE(l.items()[0].selected);
  EXPECT_FALSE(l.items()[2].selected);
  l.SetSelected(1, false);  // not the selected row: nothing changes
  EXPECT_EQ(l.ListIndex, 0);
  l.SetSelected(0, false);
  EXPECT_EQ(l.ListIndex, -1);
  EXPECT_EQ(l.Text(), "");
  EXPECT_EQ(l.List(7), "");  // a missing row reads as empty, as the classic list answers
  EXPECT_THROW(l.Selected(3), std::out_of_range);
}

TEST(ListBoxes, RowsKeepTheirPlaceAcrossInsertsAndRemovals) {
  Bench b;
  auto& l = b.make<ListBox>("lstFiles");
  l.Sorted = true;
  for (const char* s : {"delta", "Bravo", "alpha"})
    l.AddItem(s);
  EXPECT_EQ(l.NewIndex(), 0);
  EXPECT_EQ(l.List(1), "Bravo");  // sorted ignoring case
  l.ListIndex = 2;                // "delta"
  l.AddItem("charlie");
  EXPECT_EQ(l.NewIndex(), 2);
  EXPECT_EQ(l.Text(), "delta");
  l.AddItem("echo");
  EXPECT_EQ(l.Text(), "delta");
  l.RemoveItem(0);
  EXPECT_EQ(l.Text(), "delta");
  l.RemoveItem(l.ListIndex);
  EXPECT_EQ(l.ListIndex, -1);
}

TEST(ListBoxes, UserClicksToggleInMultiSelectAndOnlyMoveTheCurrentRowInCheckLists) {
  Bench b;
  auto& multi = b.make<ListBox>("lstDatabases");
  multi.MultiSelect = true;
  auto& checks = b.make<ListBox>("lstDrives");
  checks.style = ListBox::Style::CheckBoxes;
  for (const char* s : {"a", "b", "c"}) {
    multi.AddItem(s);
    checks.AddItem(s);
  }
  int clicks = 0, itemChecks = 0;
  multi.Click = [&] { ++clicks; };
  checks.ItemCheck = [&](int) { ++itemChecks; };
  whileShown(b, [&](uikit::Form&) {
    uikit::clickRow(multi, 0);
    uikit::clickRow(multi, 2);
    uikit::clickRow(multi, 0);
    uikit::clickRow(checks, 1);
    uikit::checkRow(checks, 2);
  });
  EXPECT_EQ(clicks, 3);
  EXPECT_FALSE(multi.Selected(0));
  EXPECT_TRUE(multi.Selected(2));
  EXPECT_EQ(multi.ListIndex, 0);
  EXPECT_FALSE(checks.Selected(1));
  EXPECT_TRUE(checks.Selected(2));
  EXPECT_EQ(checks.ListIndex, 2);
  EXPECT_EQ(itemChecks, 1);
}

// The Fix Set page's required-tables list: the user may not change checks, the page may.
class frmRequired : public uikit::Form {
 public:
  frmRequired()
      : Form("frmRequired"),
        lstTables(add<ListBox>("lstTables")),
        cmdResolve(add<uikit::CommandButton>("cmdResolve")) {
    lstTables.style = ListBox::Style::CheckBoxes;
    lstTables.AddItem("Orders ()");
    lstTables.AddItem("Customers ()");
    lstTables.ItemCheck = [this](int i) { lstTables_ItemCheck(i); };
    cmdResolve.Click = [this] {
      guard = true;
      lstTables.SetList(1, "Customers (/data/be.mdb)");
      guard = true;
      lstTables.SetSelected(1, true);
    };
  }
  void lstTables_ItemCheck(int index) {
    ++itemChecks;
    if (!guard) {
      lstTables.SetSelected(index, !lstTables.Selected(index));
    } else {
      guard = false;
    }
  }
  ListBox& lstTables;
  uikit::CommandButton& cmdResolve;
  bool guard = false;
  int itemChecks = 0;
};

TEST(ListBoxes, ItemCheckHandlerRevertsTheUserButLetsGuardedCodeChangesStand) {
  frmRequired f;
  whileShown(f, [&](uikit::Form&) {
    EXPECT_TRUE(uikit::checkRow(f.lstTables, 0).ok);
    EXPECT_FALSE(f.lstTables.Selected(0));  // reverted at once, without recursing
    EXPECT_EQ(f.itemChecks, 1);

    uikit::click(f.cmdResolve);
    EXPECT_TRUE(f.lstTables.Selected(1));
    EXPECT_FALSE(f.guard);  // the handler consumed the guard
    EXPECT_EQ(f.itemChecks, 2);

    uikit::checkRow(f.lstTables, 1);
    EXPECT_TRUE(f.lstTables.Selected(1));
    EXPECT_EQ(f.itemChecks, 3);
  });
  // Setting a row to the state it has fires nothing.
  f.lstTables.SetSelected(1, true);
  EXPECT_EQ(f.itemChecks, 3);
}

// The Relink Manager's candidate list: a score column sorted as text, with a header click that
// flips the order on the remembered column and otherwise switches column.
class frmCandidates : public uikit::Form {
 public:
  frmCandidates() : Form("frmCandidates"), lsvDatabases(add<ListView>("lsvDatabases")) {
    lsvDatabases.ColumnHeaders = {{"Database Path", 0}, {"Score", 0}, {"Needed Tables", 0}};
    lsvDatabases.setSortKey(1);
    lsvDatabases.setSortOrder(ListView::SortOrder::Descending);
    lsvDatabases.setSorted(true);
    lsvDatabases.ColumnClick = [this](int column) {
      lsvDatabases.setSortKey(column - 1);
      if (lsvDatabases.sortKey() == remembered) {
        lsvDatabases.setSortOrder(lsvDatabases.sortOrder() == ListView::SortOrder::Descending
                                      ? ListView::SortOrder::Ascending
                                      : ListView::SortOrder::Descending);
      } else {
        remembered = lsvDatabases.sortKey();
      }
      lsvDatabases.setSorted(true);
    };
  }
  std::vector<std::string> column(int n) const {
    std::vector<std::string> out;
    for (const auto& item : lsvDatabases.items())
      out.push_back(n == 0 ? item.text : item.subItem(n));
    return out;
  }
  ListView& lsvDatabases;
  int remembered = 1;
};

TEST(ListViews, SortKeyAndOrderFollowHeaderClicksComparingCellTexts) {
  frmCandidates f;
  auto& v = f.lsvDatabases;
  v.AddItem("C:\\b.mdb", {"40", "1 of 3"});
  v.AddItem("C:\\a.mdb", {"85", "3 of 3"});
  v.AddItem("c:\\A2.mdb", {"07", "1 of 3"});
  EXPECT_EQ(v.AddItem("C:\\d.mdb", {" Locked", "0 of 3"}), 4);
  EXPECT_EQ(v.AddItem("C:\\e.mdb", {"Error"}), 1);  // letters sort after digits, ignoring case
  v.SetSelectedItem(3);                             // "40"
  using Col = std::vector<std::string>;
  EXPECT_EQ(f.column(1), (Col{"Error", "85", "40", "07", " Locked"}));

  whileShown(f, [&](uikit::Form&) {
    uikit::columnClick(v, 2);  // same column: ascending
    EXPECT_EQ(f.column(1), (Col{" Locked", "07", "40", "85", "Error"}));
    uikit::columnClick(v, 2);  // and back
    EXPECT_EQ(f.column(1), (Col{"Error", "85", "40", "07", " Locked"}));
    uikit::columnClick(v, 1);  // another column keeps the order
    EXPECT_EQ(f.column(0), (Col{"C:\\e.mdb", "C:\\d.mdb", "C:\\b.mdb", "c:\\A2.mdb", "C:\\a.mdb"}));
    EXPECT_FALSE(uikit::columnClick(v, 4).ok);
  });
  EXPECT_EQ(v.Item(v.SelectedIndex()).text, "C:\\b.mdb");  // the selection moved with its row

  // Rows with equal texts keep their relative order through re-sorts.
  v.setSortKey(2);
  EXPECT_EQ(f.column(0), (Col{"C:\\a.mdb", "C:\\b.mdb", "c:\\A2.mdb", "C:\\d.mdb", "C:\\e.mdb"}));

  v.AddItem("x", {}, "k1");
  EXPECT_THROW(v.AddItem("y", {}, "k1"), std::invalid_argument);
}

TEST(TreeViews, NodesWithoutKeysAreAllowedButKeysAndParentsAreChecked) {
  Bench b;
  auto& t = b.make<uikit::TreeView>("treLinkStatus");
  t.AddNode("", "C:\\be.mdb", "C:\\be.mdb", "Pass");
  t.AddNode("C:\\be.mdb", "", "Orders", "Pass");
  t.AddNode("C:\\be.mdb", "", "Customers", "Fail");
  EXPECT_EQ(t.depth(2), 1);
  EXPECT_THROW(t.AddNode("", "C:\\be.mdb", "again"), std::invalid_argument);
  EXPECT_THROW(t.AddNode("missing", "k", "orphan"), std::invalid_argument);
  EXPECT_EQ(t.find(""), nullptr);
}

TEST(UserInput, WhatAUserCannotDoIsRefusedAndChangesNothing) {
  Bench b;
  auto& frame = b.make<uikit::Frame>("Frame1");
  auto& inFrame = b.make<uikit::CheckBox>("chkIn", &frame);
  auto& locked = b.make<uikit::TextBox>("txtLocked");
  locked.Locked = true;
  locked.Text = "fixed";
  auto& single = b.make<uikit::TextBox>("txtSingle");
  auto& label = b.make<uikit::Label>("lblPlain");
  auto& list = b.make<ListBox>("lstRows");
  list.AddItem("only");
  auto& hideMe = b.make<uikit::CommandButton>("cmdHide");
  auto& after = b.make<uikit::CommandButton>("cmdAfter");
  int afterClicks = 0;
  after.Click = [&] { ++afterClicks; };
  hideMe.Click = [&] { b.Hide(); };

  EXPECT_FALSE(uikit::click(after).ok);  // the form is not shown
  whileShown(b, [&](uikit::Form&) {
    frame.Enabled = false;
    EXPECT_EQ(uikit::click(inFrame).reason, "chkIn is disabled");
    frame.Enabled = true;
    frame.Visible = false;
    EXPECT_EQ(uikit::click(inFrame).reason, "chkIn is hidden");
    EXPECT_EQ(inFrame.Value, 0);
    EXPECT_FALSE(uikit::type(locked, "new").ok);
    EXPECT_EQ(locked.Text, "fixed");
    EXPECT_FALSE(uikit::click(label).ok);  // no click handler
    EXPECT_FALSE(uikit::clickRow(list, 1).ok);
    EXPECT_FALSE(uikit::checkRow(list, 0).ok);  // not a check-box list
    EXPECT_TRUE(uikit::type(single, "first\r\nsecond").ok);
    EXPECT_EQ(single.Text, "first");
    EXPECT_TRUE(uikit::click(hideMe).ok);
    // The form hid itself: it is no longer the window the user acts on.
    EXPECT_EQ(uikit::click(after).reason, "frmBench is not shown");
  });
  EXPECT_EQ(afterClicks, 0);
}

}  // namespace
}  // namespace uikit_test
