// The public class: configuration, the per-thread state behind every instance, the properties
// the host reads and the windows it opens.
#include <string>
#include <thread>

#include "tests/engine/store_support.h"

namespace storetest {
namespace {

using orvanta::clsOrvanta;
using orvanta::state;

TEST_F(StoreTest, SetConfigurationOutlivesItsInstanceAndLeavesItsArgumentsAlone) {
  bool switching = false, pathChange = true, addTables = false, setMgmt = true;
  {
    clsOrvanta host;
    EXPECT_TRUE(host.SetConfiguration(switching, pathChange, addTables, setMgmt));
  }
  EXPECT_FALSE(switching);
  EXPECT_TRUE(pathChange);
  EXPECT_FALSE(addTables);
  EXPECT_TRUE(setMgmt);

  clsOrvanta window;  // a window's own instance must not re-apply the defaults
  EXPECT_FALSE(state().bolAllowSetSwitching);
  EXPECT_TRUE(state().bolAllowPathChange);
  EXPECT_FALSE(state().bolAllowAddTables);
  EXPECT_TRUE(state().bolAllowSetMgmt);
}

TEST_F(StoreTest, EachThreadHasItsOwnComponentState) {
  state().activeSetName = "Main thread's set";
  state().bolAllowSetSwitching = false;

  std::string otherName = "unset";
  bool otherDefaults = false;
  std::thread other([&] {
    clsOrvanta host;
    otherName = host.ActiveLinkSet();
    otherDefaults = state().bolAllowSetSwitching && state().bolAllowAddTables;
    state().activeSetName = "Other thread's set";
  });
  other.join();

  EXPECT_EQ(otherName, "");
  EXPECT_TRUE(otherDefaults);
  EXPECT_EQ(clsOrvanta().ActiveLinkSet(), "Main thread's set");
  EXPECT_FALSE(state().bolAllowSetSwitching);
}

TEST_F(StoreTest, DatabasePathIsTheFirstLinkOfTheActiveSet) {
  const int id = testsupport::addLinkSet(fe, "Office", "", true, {});
  auto storeLinks = [&](const std::vector<std::string>& stored) {
    auto db = dao::OpenDatabase(fe);
    db->Execute("DELETE * FROM tblLinkedTables");
    for (const std::string& path : stored) {
      db->Execute("INSERT INTO tblLinkedTables (LinkSetID, TableName, DatabasePath) VALUES (" +
                  std::to_string(id) + ", 'T', " + dao::QuoteText(path) + ")");
    }
  };
  clsOrvanta host;
  storeLinks({";DATABASE=/data/a.mdb", ";DATABASE=/data/b.mdb"});
  EXPECT_EQ(host.DatabasePath(), "");  // no active set yet
  state().activeSetName = "Office";
  EXPECT_EQ(host.DatabasePath(), "/data/a.mdb");
  storeLinks({"/data/a.mdb"});
  EXPECT_EQ(host.DatabasePath(), "");
  storeLinks({});
  EXPECT_EQ(host.DatabasePath(), "");
}

TEST_F(StoreTest, OpenSetManagerLoadsTheActiveSetAndShowsTheWindow) {
  const std::string be = backEnd("be.mdb", {"Orders"});
  testsupport::addLinkSet(fe, "Office", "Main", true, {{"Orders", be}});
  state() = orvanta::ComponentState{};
  desk.onShow("frmSetManager", uikit::script::clicking("cmdClose"));
  desk.onShow("frmSwitchSetManager", uikit::script::clicking("cmdCancel"));

  clsOrvanta host;
  EXPECT_FALSE(host.OpenSetManager(fe));
  EXPECT_EQ(state().currentFrontEndPath, fe);
  EXPECT_EQ(host.ActiveLinkSet(), "Office");
  EXPECT_EQ(host.LinkSetDescription(), "Main");
  EXPECT_EQ(host.DatabasePath(), be);
  EXPECT_FALSE(host.OpenSwitchSetManager());

  ASSERT_EQ(desk.transcript().size(), 2u);
  EXPECT_EQ(desk.transcript()[0].caption, "Set Manager");
  EXPECT_EQ(desk.transcript()[1].caption, "Vantrel Set Switch Manager");
}

}  // namespace
}  // namespace storetest
