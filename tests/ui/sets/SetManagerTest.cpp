// The Set Manager's sets: browsing in table order, creating, renaming, copying, deleting,
// activating, and closing with OK, over real front ends.
#include <chrono>
#include <filesystem>
#include <tuple>

#include "tests/support/SqliteFiles.h"
#include "tests/ui/sets/SetManagerFixture.h"
#include "ui/sets/SetRows.h"
#include "ui/wizard/frmCreateNewSet.h"

namespace orvanta {
namespace {

using namespace std::chrono;

TEST(SetNumbering, NextNumberAfterTheLargestWholeNumber) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{}, "Set1"},
      {{"Set1", "Set7", "Copy of Set1"}, "Set8"},
      // Not whole numbers: passed over instead of stopping Create.
      {{"Settings", "Set 2b", "Set", "Set-3", "Set99999999999999999999"}, "Set1"},
      // Another letter case would answer to the new name.
      {{"set4", "SET0"}, "Set5"},
  };
  for (const auto& [names, expected] : cases) {
    std::vector<StoredSet> sets;
    for (const std::string& name : names)
      sets.push_back({0, name, "", false});
    EXPECT_EQ(nextSetName(sets), expected) << testing::PrintToString(names);
  }
}

TEST_F(SetManagerTest, CreateNumbersDescribesAndOpensTheNewSetForEditing) {
  buildWorld({}, {});
  addSets({"Set7", "Copy of Set1", "Settings"});
  const auto today = frmCreateNewSet::today;
  frmCreateNewSet::today = [] { return year_month_day{year{2025}, March, day{4}}; };
  manage([&](frmSetManager& w) {
    script::click(w, "cmdCreateLinkSet");
    EXPECT_EQ(where(w), "<5/5 Set8");
    EXPECT_EQ(w.txtDescription.Text, "Set8 was created on 03/04/2025");
    EXPECT_TRUE(!w.txtSetName.Locked && w.cmdAddExisting.Enabled && w.lstTableLinks.Enabled);
  });
  frmCreateNewSet::today = today;
  EXPECT_EQ(sets(), "Main* Set7 Copy of Set1 Settings Set8");
}

TEST_F(SetManagerTest, NextAndPreviousFollowTableOrder) {
  buildWorld({{"tblA", be}}, {});
  addSets({"Zed", "Abc"});
  manage([&](frmSetManager& w) {
    EXPECT_EQ(where(w), "1/3> Main*");
    EXPECT_TRUE(w.txtSetName.Locked && !w.lstTableLinks.Enabled);  // view mode
    for (const auto& [button, shown] :
         std::vector<std::pair<std::string, std::string>>{{"cmdNextSet", "<2/3> Zed"},
                                                          {"cmdNextSet", "<3/3 Abc"},
                                                          {"cmdPrevious", "<2/3> Zed"},
                                                          {"cmdPrevious", "1/3> Main*"}}) {
      script::click(w, button);
      EXPECT_EQ(where(w), shown) << button;
    }
  });
}

// Names are unique without regard to case; a set may take another spelling of its own name.
// A refused name writes nothing, and the move goes on, dropping the edit.
TEST_F(SetManagerTest, RenamingKeepsNamesUniqueIgnoringCase) {
  const std::string odd = "O'Brien [\"x\"] \xC3\xBC " + std::string(240, 'n');
  for (const auto& [name, stored, message] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"OTHER", "Main* Other", "Link Set Error"},
           {"other", "Main* Other", "Link Set Error"},
           {"", "Main* Other", "Missing Field"},
           {"MAIN", "MAIN* Other", ""},
           {odd, odd + "* Other", ""}}) {
    SCOPED_TRACE(name);
    restart();
    buildWorld({{"tblA", be}}, {});
    addSets({"Other"});
    desk.answer(Answer::OK, "Do you want to save these changes?", "Set Information Changed");
    if (!message.empty())
      desk.answer(Answer::OK, "", message);
    manage([&](frmSetManager& w) {
      script::click(w, "cmdUpdateLinkSet");
      script::type(w, "txtSetName", name);
      script::type(w, "txtDescription", "renamed");
      script::click(w, "cmdNextSet");
      EXPECT_EQ(where(w), "<2/2 Other");
    });
    EXPECT_EQ(sets(), stored);
    EXPECT_EQ(state().activeSetName, message.empty() ? name : "Main");
    EXPECT_EQ(state().activeSetDescription, message.empty() ? "renamed" : "Main set");
  }
}

// Create then leave: no question while the new set has no links; once it has some, the question
// comes once.
TEST_F(SetManagerTest, ANewSetWithLinksOffersToBecomeActiveOnce) {
  for (const bool addLinks : {false, true}) {
    restart();
    testsupport::makeBackEnd(be, {"tblA"});
    buildWorld({}, {{"tblA", be}});
    if (addLinks)
      desk.answer(Answer::Yes, "", "Make Active Set");
    manage([&](frmSetManager& w) {
      script::click(w, "cmdCreateLinkSet");
      if (addLinks)
        script::click(w, "cmdAddExisting");
      script::click(w, "cmdPrevious");
      script::click(w, "cmdNextSet");
      script::click(w, "cmdPrevious");
    });
    EXPECT_EQ(titles(), addLinks ? "Make Active Set" : "");
    EXPECT_EQ(sets(), addLinks ? "Main Set1*" : "Main* Set1");
    EXPECT_EQ(world(), addLinks ? "*Set1.tblA=be | tblA=be" : "| tblA=be");
  }
}

TEST_F(SetManagerTest, DeleteRules) {
  struct Case {
    std::string title;  // of the one message box
    Answer answer;
    int nexts;         // Next clicks before editing
    std::string name;  // typed into txtSetName, "-" for no edit
    std::string shownAfter, stored;
  };
  for (const Case& c : std::vector<Case>{
           // The stored name decides: an edited name box cannot delete the active set.
           {"Confirm Delete Action", Answer::OK, 0, "Elsewhere", "1/2> Elsewhere*", "Main* Other"},
           {"No Link Set", Answer::OK, 1, "", "<2/2 ", "Main* Other"},
           {"Confirm Delete Action", Answer::Cancel, 1, "-", "<2/2 Other", "Main* Other"},
           {"Confirm Delete Action", Answer::OK, 1, "-", "1/1 Main*", "Main*"},
       }) {
    SCOPED_TRACE(c.title + " " + c.name);
    restart();
    buildWorld({{"tblA", be}}, {});
    addSets({"Other"});
    desk.answer(c.answer, "", c.title);
    manage([&](frmSetManager& w) {
      for (int i = 0; i < c.nexts; ++i)
        script::click(w, "cmdNextSet");
      if (c.name != "-") {
        script::click(w, "cmdUpdateLinkSet");
        script::type(w, "txtSetName", c.name);
      }
      script::click(w, "cmdDeleteLinkSet");
      EXPECT_EQ(where(w), c.shownAfter);
    });
    EXPECT_EQ(sets(), c.stored);
  }
  // The last set gone: 0 of 0, and only Create and OK are left.
  restart();
  testsupport::makeFrontEnd(fe);
  addSets({"Only"});
  desk.answer(Answer::OK, "", "Confirm Delete Action");
  manage([&](frmSetManager& w) {
    script::click(w, "cmdDeleteLinkSet");
    EXPECT_EQ(where(w), "0/0 ");
    EXPECT_FALSE(w.cmdDeleteLinkSet.Enabled || w.cmdDuplicateLinkSet.Enabled ||
                 w.cmdUpdateLinkSet.Enabled || w.cmdSetActiveLinkSet.Enabled);
  });
  EXPECT_EQ(sets(), "");
}

// A copy takes every link row or none, and a second copy of the same set is refused.
TEST_F(SetManagerTest, DuplicateCopiesAllRowsOrNone) {
  testsupport::makeBackEnd(be, {"tblA", "tblB"});
  buildWorld({{"tblA", be}, {"tblB", be}}, {});
  failAt("commit");
  desk.answer(Answer::OK, "", "cmdDuplicateLinkSet_Click - 3043");
  manage([&](frmSetManager& w) { script::click(w, "cmdDuplicateLinkSet"); });
  EXPECT_EQ(titles(), "cmdDuplicateLinkSet_Click - 3043");
  EXPECT_EQ(sets(), "Main*");
  dao::SetFaultHook(nullptr);
  desk.answer(Answer::No, "", "Make Active Set");
  desk.answer(Answer::OK, "Copy of Main", "Link Set Error");
  manage([&](frmSetManager& w) {
    script::click(w, "cmdDuplicateLinkSet");
    EXPECT_EQ(where(w), "<2/2 Copy of Main");
    script::click(w, "cmdPrevious");
    script::click(w, "cmdDuplicateLinkSet");
  });
  EXPECT_EQ(world(), "Copy of Main.tblA=be Copy of Main.tblB=be *Main.tblA=be *Main.tblB=be |");
}

// Closing: with no active set, with an active set without links, with links that work, and
// with links that do not (the start-up check takes over, and every window goes).
TEST_F(SetManagerTest, OkAppliesTheActiveSetOrSaysWhyNot) {
  testsupport::makeBackEnd(be, {"tblA"});
  testsupport::makeBackEnd(be2, {"tblA"});
  struct Case {
    Links set;
    bool active;
    std::vector<Answer> answers;  // to the closing question, in turn
    std::string title, stored, after;
  };
  for (const Case& c : std::vector<Case>{
           {{{"tblA", be}},
            false,
            {Answer::Cancel, Answer::OK},
            "No Active Link Set Defined",
            "Main",
            "Main.tblA=be | tblA=be2"},
           {{}, true, {Answer::OK}, "Invalid Active Link Set", "Main", "| tblA=be2"},
           {{{"tblA", be}}, true, {}, "", "Main*+", "*Main.tblA=be | tblA=be"},
       }) {
    SCOPED_TRACE(c.title);
    restart();
    testsupport::makeBackEnd(be, {"tblA"});
    testsupport::makeBackEnd(be2, {"tblA"});
    buildWorld(c.set, {{"tblA", be2}});
    if (!c.active)
      testsupport::runSql(fe, "UPDATE tblLinkedSets SET ActiveSet = 0");
    for (const Answer answer : c.answers)
      desk.answer(answer, "", c.title);
    manage([&](frmSetManager& w) {
      script::click(w, "cmdOk");
      if (w.visible())
        script::click(w, "cmdOk");  // Cancel kept it open
      EXPECT_FALSE(w.loaded());
    });
    EXPECT_EQ(sets(), c.stored);
    EXPECT_EQ(world(), c.after);
    EXPECT_EQ(state().activeSetName, c.stored.find('*') != std::string::npos ? "Main" : "");
  }
  // The set's back end is gone: the window hides and the start-up check leads on.
  restart();
  testsupport::makeBackEnd(be2, {"tblA"});
  buildWorld({{"tblA", be}}, {{"tblA", be2}});
  desk.onShow("frmIIb2c2", [](uikit::Form& page) { script::close(page); });
  manage([&](frmSetManager& w) { script::click(w, "cmdOk"); });
  EXPECT_EQ(desk.shownForms().back(), "frmIIb2c2");
  EXPECT_TRUE(uikit::FormRegistry::current().loadedForms().empty());
  EXPECT_EQ(world(), "*Main.tblA=be | tblA=be2");
}

// A front end without sets and without links: the start-up check says so and opens the Set
// Manager, where the user builds a set from another database, activates it and closes.
TEST_F(SetManagerTest, StartUpWithoutSetsOpensTheSetManager) {
  testsupport::makeFrontEnd(fe);
  testsupport::makeBackEnd(be, {"tblA", "MSysOdd"});
  desk.answer(Answer::OK, "", "No Active Link Set Found");
  desk.chooseFile(be);
  desk.onShow("frmTables", [](uikit::Form& tables) {
    script::click(tables, "cmdSelectAll");
    script::click(tables, "cmdOK");
  });
  desk.onShow<frmSetManager>("frmSetManager", [](frmSetManager& w) {
    EXPECT_EQ(where(w), "0/0 ");
    script::click(w, "cmdCreateLinkSet");
    script::click(w, "cmdAddLink");
    script::click(w, "cmdSetActiveLinkSet");
    script::click(w, "cmdOk");
  });
  EXPECT_EQ(clsOrvanta().CheckLinkedTables(fe), 0);
  EXPECT_EQ(world(), "*Set1.tblA=be | tblA=be");
  EXPECT_EQ(sets(), "Set1*+");
}

// A front end copied elsewhere still records the old place; the Set Manager works on the file it
// was opened with, never on the old copy.
TEST_F(SetManagerTest, OpenSetManagerWorksOnTheFileItWasGiven) {
  testsupport::makeFrontEnd(fe);
  testsupport::addLinkSet(fe, "Main", "", true, {});
  const std::string copy = dir.file("copy/fe.mdb");
  std::filesystem::create_directories(dir.file("copy"));
  std::filesystem::copy_file(fe, copy);
  testsupport::runSql(copy, "UPDATE tblLinkedSets SET FrontEndPath = '" + fe + "'");
  desk.onShow<frmSetManager>("frmSetManager", [](frmSetManager& w) {
    script::click(w, "cmdCreateLinkSet");
    script::close(w);
  });
  clsOrvanta().OpenSetManager(copy);
  EXPECT_EQ(sets(), "Main*");
  EXPECT_EQ(testsupport::linkSets(copy).size(), 2u);
}

// The whole road at a console: create a set from the front end's links, name it, make it
// active, close; the saved name becomes the active set's.
TEST_F(SetManagerTest, ConsoleSession) {
  testsupport::makeBackEnd(be, {"tblA"});
  buildWorld({}, {{"tblA", be}});
  const std::string shown =
      transcript([&] { clsOrvanta().OpenSetManager(fe); },
                 "click cmdCreateLinkSet\nclick cmdAddExisting\ntype txtSetName Home\n"
                 "click cmdSetActiveLinkSet\nclick cmdOk\nok\n");
  for (const char* expected :
       {"=== frmSetManager \"Set Manager\"\nfraLinkSets frame \"Link Sets\"\n  lblSet1 label "
        "\"Set\"\n  txtSetName text \"Main\" locked\n  lblActiveSet label \"ACTIVE\"\n",
        "  cmdSetActiveLinkSet button \"&Set Active\"\n  Frame1 frame \"\"\n  lblLinks label "
        "\"Links\"\n  lstTableLinks list multi\n    0   tblA   (",
        "--- MsgBox \"Set Information Changed\" [question] (OKCancel)\n"}) {
    EXPECT_NE(shown.find(expected), std::string::npos) << expected << "\n" << shown;
  }
  EXPECT_EQ(sets(), "Main+ Home*+");
  EXPECT_EQ(state().activeSetName, "Home");
  EXPECT_EQ(world(), "*Home.tblA=be | tblA=be");
}

}  // namespace
}  // namespace orvanta
