// The Switch Set Manager over real front ends: what it shows of each stored set, and what OK
// leaves behind, from a clean switch to a set that has to go through the Relink Wizard.
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "engine/Engine.h"
#include "orvanta/clsOrvanta.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/sets/frmSwitchSetManager.h"

namespace orvanta {
namespace {

using Strings = std::vector<std::string>;
using Window = frmSwitchSetManager;
namespace fsys = std::filesystem;

class SwitchSetManager : public WizardTest {
 public:
  // The front end links Customers and Orders from be, as its active set "Office" says. Beside
  // it: "Test" on be2, a set on bad.mdb that does not work, a set without links, and with
  // caseTwin "office" on be2, as an older file may hold beside "Office".
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
  }
  static void open() { clsOrvanta().OpenSwitchSetManager(); }
  // The active sets with the front-end path each records ("fe" for fe), then the front end's
  // linked tables as world() writes them.
  std::string outcome() const {
    std::string text;
    for (const auto& set : testsupport::linkSets(fe)) {
      if (set.active)
        text += set.name + "@" + (set.frontEndPath == fe ? "fe" : set.frontEndPath) + " ";
    }
    const std::string w = world();
    return text + w.substr(w.find('|'));
  }

  static constexpr const char* kOdd = "O'Brien \xE2\x80\x93 B\xC3\xBCro \xE2\x9C\x93";
  std::string bad = dir.file("app/data/bad.mdb");
};

TEST_F(SwitchSetManager, ShowsEachSetAndCancelChangesNothing) {
  buildSets(true);
  std::string shownBytes;
  desk.onShow<Window>("frmSwitchSetManager", [&](Window& w) {
    EXPECT_EQ(texts(w.lstLinkSets),
              (Strings{"Office (ACTIVE)", "Test", std::string(kOdd), "Empty", "office"}));
    // Row, description, tables; only the broken set is flagged. Sets are shown by their ID: the
    // statements that find a set by name would add the tables of "office" to Office's.
    for (const auto& [row, description, tables] :
         std::vector<std::tuple<int, std::string, Strings>>{
             {0, "Head office", {"Customers", "Orders"}},  // as it opens: the active set
             {2, "Broken", {"Orders"}},
             {4, "Older copy", {"Orders"}}}) {
      if (w.lstLinkSets.ListIndex != row)
        script::clickRow(w, "lstLinkSets", row);
      EXPECT_EQ(std::tuple(w.lstLinkSets.ListIndex, w.txtDesc.Text, texts(w.lstTables),
                           w.lblLinkSetStatus.BackColor == uikit::Color::Yellow),
                std::tuple(row, description, tables, row == 2));
    }
    // The tables are for reading only: a click leaves none selected and the focus goes back.
    script::clickRow(w, "lstTables", 0);
    EXPECT_EQ(w.lstTables.ListIndex, -1);
    EXPECT_EQ(w.focused(), &w.lstLinkSets);
    shownBytes = testsupport::fileBytes(fe);
    // A set without links cannot be switched to; the window stays, the focus on the sets.
    script::clickRow(w, "lstLinkSets", 3);
    script::click(w, "cmdOk");
    EXPECT_EQ(w.focused(), &w.lstLinkSets);
  });
  desk.answer(uikit::Answer::OK, "has no table links defined", "Invalid Link Set");
  desk.onShow("frmSwitchSetManager", script::clicking("cmdCancel"));
  open();
  EXPECT_EQ(testsupport::fileBytes(fe), shownBytes);
}

// Without sets (with or without the link-set tables) the window opens empty, OK disabled and
// without a single error box: an ordinary state, not a failure.
TEST_F(SwitchSetManager, OpensOnTheLastActiveSetOrTheFirstOrEmpty) {
  const struct {
    std::vector<bool> active;
    int selected;
    bool tables = true;
  } cases[] = {{{}, -1, false}, {{}, -1}, {{false, false}, 0}, {{false, true, true}, 2}};
  for (const auto& c : cases) {
    restart();
    testsupport::makeFrontEnd(fe);
    if (c.tables) {
      ASSERT_TRUE(CreateMissingTables(fe));
    }
    for (std::size_t i = 0; i < c.active.size(); ++i)
      testsupport::addLinkSet(fe, "Set" + std::to_string(i), "", c.active[i], {});
    useFrontEnd("");
    desk.onShow<Window>("frmSwitchSetManager", [&](Window& w) {
      EXPECT_EQ(w.lstLinkSets.ListIndex, c.selected);
      EXPECT_EQ(w.cmdOk.Enabled && w.lblLinkSetStatus.Visible, !c.active.empty());
      script::click(w, "cmdCancel");
    });
    open();  // the scripted desktop fails the test on any message box
  }
}

// OK on each kind of set, at the console. A set that does not work is still switched to: it
// becomes the active set where the front end now is, the front end keeps every link it had
// (never part of one set and part of another), and the start-up check leads on to the wizard.
TEST_F(SwitchSetManager, OkSwitchesOrHandsTheRepairToTheWizard) {
  enum Twist { None, Missing, AppendFails, ReadOnly, CaseTwin };
  const std::string toTest = "click lstLinkSets 1\nclick cmdOk\n";
  const std::string toOdd = "click lstLinkSets 2\nclick cmdOk\n";
  const std::string repair =
      "frmSwitchSetManager frmIIb2c2:SwitchSet (end of input: closing "
      "frmIIb2c2)";
  const std::string odd = std::string(kOdd) + "@fe | Customers=be Orders=be";
  const struct {
    Twist twist;
    std::string input, trail, outcome;
  } cases[] = {
      {None, toTest, "frmSwitchSetManager", "Test@fe | Customers=be2 Orders=be2"},
      // By its ID: looked up by name again, "office" would also take Office's links.
      {CaseTwin, "click lstLinkSets 4\nclick cmdOk\n", "frmSwitchSetManager",
       "office@fe | Orders=be2"},
      {Missing, toOdd, repair, odd},
      // A working set whose second link fails to append all the same.
      {AppendFails, toTest, "frmSwitchSetManager frmIb1:SwitchSet (end of input: closing frmIb1)",
       "Test@fe | Customers=be Orders=be"},
      {ReadOnly, toTest + "ok\n",
       "frmSwitchSetManager [Read-Only Front End] frmSwitchSetManager (end of input: closing "
       "frmSwitchSetManager)",
       "Office@fe | Customers=be Orders=be"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.twist);
    restart();
    buildSets(c.twist == CaseTwin);
    if (c.twist == AppendFails)
      failAt("append", dao::kErrDiskIO, "Orders");
    const auto write = fsys::perms::owner_write | fsys::perms::group_write;
    if (c.twist == ReadOnly)
      fsys::permissions(fe, write, fsys::perm_options::remove);
    const std::string before = testsupport::fileBytes(fe);
    EXPECT_EQ(run(open, c.input), c.trail);
    dao::SetFaultHook(nullptr);
    EXPECT_EQ(testsupport::fileBytes(fe) == before, c.twist == ReadOnly);
    EXPECT_EQ(outcome(), c.outcome);
    EXPECT_FALSE(uikit::FormRegistry::current().isLoaded<Window>());
  }
}

}  // namespace
}  // namespace orvanta
