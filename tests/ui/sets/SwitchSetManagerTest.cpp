// The Switch Set Manager over real front ends: what it shows of each stored set, and what OK
// leaves behind, from a clean switch to a set that has to go through the Relink Wizard.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/clsOrvanta.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/sets/frmSwitchSetManager.h"

namespace orvanta {
namespace {

using Strings = std::vector<std::string>;
using Window = frmSwitchSetManager;

Strings rows(const uikit::ListBox& list) {
  Strings texts;
  for (const auto& item : list.items())
    texts.push_back(item.text);
  return texts;
}

class SwitchSetManager : public WizardTest {
 public:
  // The front end links Customers and Orders from be, as its active set "Office" says. Beside
  // it: "Test" on be2, a set on the back end bad.mdb that does not work, a set without links,
  // and with caseTwin "office" on be2, a set an older file may hold beside "Office".
  void buildSets(bool caseTwin = false) {
    testsupport::makeBackEnd(be, {"Customers", "Orders"});
    testsupport::makeBackEnd(be2, {"Customers", "Orders"});
    testsupport::makeFrontEnd(fe);
    for (const char* table : {"Customers", "Orders"})
      testsupport::linkTable(fe, table, be);
    testsupport::addLinkSet(fe, "Office", "Head office", true, {{"Customers", be}, {"Orders", be}},
                            fe);
    testsupport::addLinkSet(fe, "Test", "Test data\r\nsecond line", false,
                            {{"Customers", be2}, {"Orders", be2}});
    testsupport::addLinkSet(fe, kOdd, "Broken", false, {{"Orders", bad}});
    testsupport::addLinkSet(fe, "Empty", "", false, {});
    if (caseTwin)
      testsupport::addLinkSet(fe, "office", "Older copy", false, {{"Orders", be2}});
    useFrontEnd("Office");
  }
  // The component state an earlier check on fe leaves.
  void useFrontEnd(const std::string& activeSet) {
    ComponentState& s = state();
    s.currentFrontEndPath = s.savedFrontEndPath = s.linkSetDatabasePath = fe;
    s.activeSetName = activeSet;
    s.activeSetFound = !activeSet.empty();
  }
  static void open() { clsOrvanta().OpenSwitchSetManager(); }
  // The front end's linked tables as "<table>=<back end stem>", from world().
  std::string feLinks() const {
    const std::string w = world();
    return w.substr(w.find('|'));
  }
  Strings activeSets() const {
    Strings names;
    for (const auto& set : testsupport::linkSets(fe)) {
      if (set.active)
        names.push_back(set.name + "@" + (set.frontEndPath == fe ? "fe" : set.frontEndPath));
    }
    return names;
  }

  static constexpr const char* kOdd = "O'Brien \xE2\x80\x93 B\xC3\xBCro \xE2\x9C\x93";
  std::string bad = dir.file("app/data/bad.mdb");
};

TEST_F(SwitchSetManager, ShowsEachSetAndCancelChangesNothing) {
  buildSets(true);
  std::string shownBytes;
  desk.onShow<Window>("frmSwitchSetManager", [&](Window& w) {
    EXPECT_EQ(rows(w.lstLinkSets),
              (Strings{"Office (ACTIVE)", "Test", std::string(kOdd), "Empty", "office"}));
    const std::string valid = "All links in this link set are valid";
    const auto face = uikit::Color::ButtonFace;
    const struct {
      int row;
      std::string description, label;
      uikit::Color color;
      Strings tables;
    } cases[] = {
        // As it opens: the active set. Sets are shown by their ID: the statements that find a
        // set by name would add the tables of "office".
        {0, "Head office", valid, face, {"Customers", "Orders"}},
        {2, "Broken", "This link set contains invalid links", uikit::Color::Yellow, {"Orders"}},
        {3, "", valid, face, {}},
        {4, "Older copy", valid, face, {"Orders"}},
        {1, "Test data\r\nsecond line", valid, face, {"Customers", "Orders"}},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.row);
      if (w.lstLinkSets.ListIndex != c.row)
        script::clickRow(w, "lstLinkSets", c.row);
      EXPECT_EQ(w.lstLinkSets.ListIndex, c.row);
      EXPECT_EQ(w.txtDesc.Text, c.description);
      EXPECT_EQ(w.lblLinkSetStatus.Caption, c.label);
      EXPECT_EQ(w.lblLinkSetStatus.BackColor, c.color);
      EXPECT_EQ(rows(w.lstTables), c.tables);
    }
    // The tables are for reading only: a click leaves none selected and the focus goes back.
    script::clickRow(w, "lstTables", 1);
    EXPECT_EQ(w.lstTables.ListIndex, -1);
    EXPECT_EQ(w.focused(), &w.lstLinkSets);
    shownBytes = testsupport::fileBytes(fe);
    // A set without links cannot be switched to; the window stays, with the focus on the sets.
    script::clickRow(w, "lstLinkSets", 3);
    script::click(w, "cmdOk");
    EXPECT_EQ(w.focused(), &w.lstLinkSets);
  });
  desk.answer(uikit::Answer::OK,
              "The link set you selected has no table links defined.\r\nYou cannot switch to "
              "this set.\r\n\r\nUse Set Manager to add tables to this link set and then set "
              "it active.",
              "Invalid Link Set");
  desk.onShow("frmSwitchSetManager", script::clicking("cmdCancel"));
  open();
  EXPECT_EQ(testsupport::fileBytes(fe), shownBytes);
  EXPECT_FALSE(uikit::FormRegistry::current().isLoaded<Window>());
  EXPECT_EQ(desk.messages().size(), 1u);
}

TEST_F(SwitchSetManager, OpensOnTheLastActiveSetOrElseTheFirst) {
  const struct {
    std::vector<bool> active;
    int selected;
  } cases[] = {{{false, false, false}, 0}, {{false, true, true}, 2}, {{true, true, false}, 1}};
  for (const auto& c : cases) {
    restart();
    testsupport::makeFrontEnd(fe);
    for (std::size_t i = 0; i < c.active.size(); ++i)
      testsupport::addLinkSet(fe, "Set" + std::to_string(i), "", c.active[i], {});
    useFrontEnd("");
    desk.onShow<Window>("frmSwitchSetManager", [&](Window& w) {
      EXPECT_EQ(w.lstLinkSets.ListIndex, c.selected);
      EXPECT_EQ(w.lstLinkSets.List(1), c.active[1] ? "Set1 (ACTIVE)" : "Set1");
      script::click(w, "cmdCancel");
    });
    open();
  }
}

// A front end without sets, with or without the link-set tables: an ordinary state, so the
// window opens without a single error box and offers nothing to switch to.
TEST_F(SwitchSetManager, WithoutSetsOpensEmptyWithOkDisabledAndNoErrors) {
  for (const bool tables : {true, false}) {
    SCOPED_TRACE(tables);
    restart();
    testsupport::makeFrontEnd(fe);
    if (tables) {
      ASSERT_TRUE(CreateMissingTables(fe));
    }
    useFrontEnd("");
    desk.onShow<Window>("frmSwitchSetManager", [](Window& w) {
      EXPECT_EQ(w.lstLinkSets.ListCount() + w.lstTables.ListCount(), 0);
      EXPECT_EQ(w.txtDesc.Text, "");
      EXPECT_FALSE(w.cmdOk.Enabled);
      EXPECT_FALSE(w.lblLinkSetStatus.Visible);
      script::click(w, "cmdCancel");
    });
    open();
    EXPECT_TRUE(desk.messages().empty()) << desk.text();
  }
}

// OK on each kind of set, at the console. A set that does not work is still switched to: it
// becomes the active set where the front end now is, the front end keeps every link it had
// (never part of one set and part of another), and the start-up check leads on to the wizard.
TEST_F(SwitchSetManager, OkSwitchesOrHandsTheRepairToTheWizard) {
  enum BadBackEnd { Missing, NotADatabase, Locked };
  const std::string kept = "| Customers=be Orders=be";
  const std::string toBad = "click lstLinkSets 2\nclick cmdOk\n";
  const std::string repaired =
      "frmSwitchSetManager frmIIb2c2:SwitchSet (end of input: closing "
      "frmIIb2c2)";
  const std::string oddActive = std::string(kOdd) + "@fe";
  const struct {
    std::string input;
    std::string trail;
    Strings active;
    std::string links;
    BadBackEnd badBackEnd = Missing;
    std::string failingAppend = "";
    bool caseTwin = false;
  } cases[] = {
      {"click lstLinkSets 1\nclick cmdOk\n",
       "frmSwitchSetManager",
       {"Test@fe"},
       "| Customers=be2 Orders=be2"},
      // By its ID: looked up by name again, "office" would also take Office's links.
      {"click lstLinkSets 4\nclick cmdOk\n",
       "frmSwitchSetManager",
       {"office@fe"},
       "| Orders=be2",
       Missing,
       "",
       true},
      {toBad, repaired, {oddActive}, kept},
      {toBad, repaired, {oddActive}, kept, NotADatabase},
      {toBad, repaired, {oddActive}, kept, Locked},
      // A working set whose second link fails to append all the same.
      {"click lstLinkSets 1\nclick cmdOk\n",
       "frmSwitchSetManager frmIb1:SwitchSet (end of input: closing frmIb1)",
       {"Test@fe"},
       kept,
       Missing,
       "Orders"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input + " " + c.failingAppend + std::to_string(c.badBackEnd));
    restart();
    buildSets(c.caseTwin);
    std::unique_ptr<testsupport::HeldByAnotherProcess> holder;
    if (c.badBackEnd == NotADatabase)
      std::ofstream(bad) << "not a database\n";
    if (c.badBackEnd == Locked) {
      testsupport::makeBackEnd(bad, {"Orders"});
      holder = std::make_unique<testsupport::HeldByAnotherProcess>(bad, dao::kTrue, false);
      ASSERT_TRUE(holder->held());
    }
    if (!c.failingAppend.empty()) {
      dao::SetFaultHook([&](std::string_view step, std::string_view subject) {
        if (step == "append" && subject == c.failingAppend)
          throw dao::Error(dao::kErrDiskIO, "injected");
      });
    }
    EXPECT_EQ(run(open, c.input), c.trail);
    dao::SetFaultHook(nullptr);
    EXPECT_EQ(activeSets(), c.active);
    EXPECT_EQ(feLinks(), c.links);
    EXPECT_FALSE(uikit::FormRegistry::current().isLoaded<Window>());
  }
}

TEST_F(SwitchSetManager, ASetToRepairHidesTheWindowBehindTheWizard) {
  buildSets();
  desk.onShow<Window>("frmSwitchSetManager", [](Window& w) {
    script::clickRow(w, "lstLinkSets", 2);
    script::click(w, "cmdOk");
  });
  desk.onShow("frmIIb2c2", [](uikit::Form& page) {
    const auto& registry = uikit::FormRegistry::current();
    EXPECT_TRUE(registry.isLoaded<Window>());
    EXPECT_FALSE(uikit::form<Window>().visible());
    script::close(page);
  });
  open();
  EXPECT_EQ(desk.shownForms(), (Strings{"frmSwitchSetManager", "frmIIb2c2"}));
}

TEST_F(SwitchSetManager, AReadOnlyFrontEndIsSaidOnceAndLeftAsItWas) {
  buildSets();
  namespace fsys = std::filesystem;
  const auto write =
      fsys::perms::owner_write | fsys::perms::group_write | fsys::perms::others_write;
  fsys::permissions(fe, write, fsys::perm_options::remove);
  const std::string before = testsupport::fileBytes(fe);
  desk.answer(uikit::Answer::OK, "is read-only, so Vantrel cannot switch it to another link set",
              "Read-Only Front End");
  desk.onShow<Window>("frmSwitchSetManager", [](Window& w) {
    EXPECT_EQ(w.lstLinkSets.ListCount(), 4);
    script::clickRow(w, "lstLinkSets", 1);
    script::click(w, "cmdOk");
  });
  desk.onShow("frmSwitchSetManager", script::clicking("cmdCancel"));
  open();
  fsys::permissions(fe, write, fsys::perm_options::add);
  EXPECT_EQ(testsupport::fileBytes(fe), before);
  EXPECT_EQ(desk.messages().size(), 1u);
}

}  // namespace
}  // namespace orvanta
