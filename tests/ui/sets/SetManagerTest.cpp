// The Set Manager's sets: browsing in table order, creating, renaming, copying, deleting, and
// closing with OK, over real front ends.
#include <filesystem>
#include <tuple>

#include "tests/support/SqliteFiles.h"
#include "tests/ui/sets/SetManagerFixture.h"
#include "ui/sets/SetRows.h"

namespace orvanta {
namespace {

TEST(SetNumbering, NextNumberAfterTheLargestWholeNumber) {
  for (const auto& [names, expected] :
       std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"Set1", "Set7", "Copy of Set1"}, "Set8"},
           {{"Settings", "Set 2b", "Set", "Set-3", "Set99999999999999999999"}, "Set1"},
           {{"set4", "SET0"}, "Set5"}}) {  // another letter case would answer to the new name
    std::vector<StoredSet> sets;
    for (const std::string& name : names)
      sets.push_back({0, name, "", false});
    EXPECT_EQ(nextSetName(sets), expected) << testing::PrintToString(names);
  }
}

TEST_F(SetManagerTest, NextPreviousAndCreateOnTheFileItWasGiven) {
  buildWorld({{"tblA", be}}, {});
  addSets({"Zed", "Settings"});
  manage([&](frmSetManager& w) {
    EXPECT_EQ(where(w), "1/3> Main*");
    EXPECT_TRUE(w.txtSetName.Locked && !w.lstTableLinks.Enabled);
    for (const auto& [button, shown] :
         std::vector<std::pair<std::string, std::string>>{{"cmdNextSet", "<2/3> Zed"},
                                                          {"cmdNextSet", "<3/3 Settings"},
                                                          {"cmdPrevious", "<2/3> Zed"},
                                                          {"cmdCreateLinkSet", "<4/4 Set1"}}) {
      script::click(w, button);
      EXPECT_EQ(where(w), shown) << button;
    }
    EXPECT_EQ(w.txtDescription.Text, "Set1 was created on 03/05/2024");
    EXPECT_TRUE(!w.txtSetName.Locked && w.cmdAddExisting.Enabled && w.lstTableLinks.Enabled);
  });
  EXPECT_EQ(sets(), "Main* Zed Settings Set1");
  // A copy of the front end still records the old place, and the component state names the
  // original: the window works on the file it was given.
  std::filesystem::create_directories(dir.file("copy"));
  std::filesystem::copy_file(fe, dir.file("copy/fe.mdb"));
  const std::string original = fe;
  fe = dir.file("copy/fe.mdb");
  manage([](frmSetManager& w) { script::click(w, "cmdCreateLinkSet"); });
  EXPECT_EQ(sets(), "Main* Zed Settings Set1 Set2");
  fe = original;
  EXPECT_EQ(sets(), "Main* Zed Settings Set1");
}

// Names are unique ignoring case, but a set may take another spelling of its own. A refused name
// writes nothing and the move goes on.
TEST_F(SetManagerTest, RenamingKeepsNamesUniqueIgnoringCase) {
  const std::string odd = "O'Brien [\"x\"] \xC3\xBC " + std::string(240, 'n');
  for (const auto& [name, stored, refusal] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"OTHER", "Main* Other", "Link Set Error"},
           {"", "Main* Other", "Missing Field"},
           {"MAIN", "MAIN* Other", ""},
           {odd, odd + "* Other", ""}}) {
    restart();
    buildWorld({{"tblA", be}}, {});
    addSets({"Other"});
    desk.answer(Answer::OK, "", "Set Information Changed");
    if (!refusal.empty())
      desk.answer(Answer::OK, "", refusal);
    manage([&](frmSetManager& w) {
      script::click(w, "cmdUpdateLinkSet");
      script::type(w, "txtSetName", name);
      script::type(w, "txtDescription", "renamed");
      script::click(w, "cmdNextSet");
      EXPECT_EQ(where(w), "<2/2 Other");
    });
    EXPECT_EQ(sets(), stored) << name;
    EXPECT_EQ(state().activeSetName + state().activeSetDescription,
              refusal.empty() ? name + "renamed" : "MainMain set");
  }
}

// No question while a new set has no links; once it has some, one question.
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
      for (const char* button : {"cmdPrevious", "cmdNextSet", "cmdPrevious"})
        script::click(w, button);
    });
    EXPECT_EQ(world(), addLinks ? "*Set1.tblA=be | tblA=be" : "| tblA=be");
  }
}

TEST_F(SetManagerTest, DeleteRules) {
  // {title answered, answer, Next clicks, typed name ("-": none), shown after, stored after}
  for (const auto& [title, answer, nexts, name, shown, stored] :
       std::vector<std::tuple<std::string, Answer, int, std::string, std::string, std::string>>{
           // The stored name decides: an edited name box cannot delete the active set.
           {"Confirm Delete Action", Answer::OK, 0, "Elsewhere", "1/2> Elsewhere*", "Main* Other"},
           {"No Link Set", Answer::OK, 1, "", "<2/2 ", "Main* Other"},
           {"Confirm Delete Action", Answer::Cancel, 1, "-", "<2/2 Other", "Main* Other"},
           {"Confirm Delete Action", Answer::OK, 1, "-", "1/1 Main*", "Main*"}}) {
    restart();
    buildWorld({{"tblA", be}}, {});
    addSets({"Other"});
    desk.answer(answer, "", title);
    manage([&](frmSetManager& w) {
      for (int i = 0; i < nexts; ++i)
        script::click(w, "cmdNextSet");
      if (name != "-") {
        script::click(w, "cmdUpdateLinkSet");
        script::type(w, "txtSetName", name);
      }
      script::click(w, "cmdDeleteLinkSet");
      EXPECT_EQ(where(w), shown);
    });
    EXPECT_EQ(sets(), stored) << title << " " << name;
  }
}

// A copy takes every link row or none; a second copy of the same set is refused.
TEST_F(SetManagerTest, DuplicateCopiesAllRowsOrNone) {
  buildWorld({{"tblA", be}, {"tblB", be}}, {});
  failAt("commit");
  desk.answer(Answer::OK, "", "cmdDuplicateLinkSet_Click - 3043");
  manage([&](frmSetManager& w) { script::click(w, "cmdDuplicateLinkSet"); });
  EXPECT_EQ(sets(), "Main*");
  dao::SetFaultHook(nullptr);
  desk.answer(Answer::No, "", "Make Active Set");
  desk.answer(Answer::OK, "Copy of Main", "Link Set Error");
  manage([&](frmSetManager& w) {
    for (const char* button : {"cmdDuplicateLinkSet", "cmdPrevious", "cmdDuplicateLinkSet"})
      script::click(w, button);
  });
  EXPECT_EQ(world(), "Copy of Main.tblA=be Copy of Main.tblB=be *Main.tblA=be *Main.tblB=be |");
}

// OK with no active set, with an active set without links, with working links, and with links
// that do not work: then the start-up check leads on and every window goes.
TEST_F(SetManagerTest, OkAppliesTheActiveSetOrSaysWhy) {
  // The set's links (active unless asked by title to pick one), the answers to the message with
  // title, then the sets and the files after OK.
  const auto ok = [&](const Links& set, const std::vector<Answer>& answers,
                      const std::string& title, const std::string& stored,
                      const std::string& after) {
    restart();
    testsupport::makeBackEnd(be, {"tblA"});
    testsupport::makeBackEnd(be2, {"tblA"});
    buildWorld(set, {{"tblA", be2}});
    if (title == "No Active Link Set Defined")
      testsupport::runSql(fe, "UPDATE tblLinkedSets SET ActiveSet = 0");
    for (const Answer a : answers)
      desk.answer(a, "", title);
    if (after.find("gone") != std::string::npos)
      desk.onShow("frmIIb2c2", [](uikit::Form& page) { script::close(page); });
    manage([&](frmSetManager& w) {
      script::click(w, "cmdOk");
      if (w.visible())
        script::click(w, "cmdOk");  // Cancel kept it open
    });
    EXPECT_EQ(sets(), stored);
    EXPECT_EQ(world(), after);
  };
  ok({{"tblA", be}}, {Answer::Cancel, Answer::OK}, "No Active Link Set Defined", "Main",
     "Main.tblA=be | tblA=be2");
  ok({}, {Answer::OK}, "Invalid Active Link Set", "Main", "| tblA=be2");
  ok({{"tblA", be}}, {}, "", "Main*+", "*Main.tblA=be | tblA=be");
  ok({{"tblA", dir.file("app/data/gone.mdb")}}, {}, "", "Main*", "*Main.tblA=gone | tblA=be2");
  EXPECT_EQ(desk.shownForms().back(), "frmIIb2c2");
  EXPECT_TRUE(uikit::FormRegistry::current().loadedForms().empty());  // the check unloaded all
}

}  // namespace
}  // namespace orvanta
