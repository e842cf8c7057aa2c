// The Fix Set page over a renamed back end: choosing candidates, the read-only required tables,
// Browse, and Next rewriting the active set and relinking as one piece of work.
#include <filesystem>

#include "engine/Engine.h"
#include "paths/modFunctions.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/wizard/frmFixSet.h"

namespace orvanta {
namespace {

class FixSetTest : public WizardTest {
 protected:
  // Main needs tblA and tblB from old.mdb, renamed since to new.mdb, and tblC from ok.mdb, which
  // still works. Beside them: partA.mdb holds tblA; linkedA.mdb only links to a tblA elsewhere.
  void SetUp() override {
    WizardTest::SetUp();
    testsupport::makeBackEnd(oldBe, {"tblA", "tblB"});
    testsupport::makeBackEnd(ok, {"tblC"});
    testsupport::makeBackEnd(partA, {"tblA"});
    buildWorld({{"tblA", oldBe}, {"tblB", oldBe}, {"tblC", ok}},
               {{"tblA", oldBe}, {"tblB", oldBe}, {"tblC", ok}});
    std::filesystem::rename(oldBe, newBe);
    testsupport::makeFrontEnd(linkedA);
    testsupport::linkTable(linkedA, "tblA", newBe);
    ASSERT_FALSE(ValidateLinkSets());  // fills the page as the start-up check does
    page().txtCallingForm.Text = "frmWizard1";
  }
  static frmFixSet& page() { return uikit::form<frmFixSet>(); }
  static int row(const std::string& path) {
    const auto& items = page().lsvDatabases.items();
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].text == path)
        return static_cast<int>(i);
    }
    ADD_FAILURE() << path << " is not a candidate";
    return -1;
  }
  static std::vector<std::string> tables() {
    std::vector<std::string> rows;
    for (const auto& item : page().lstTables.items()) {
      rows.push_back(item.text + (item.selected ? " [x]" : " [ ]"));
    }
    return rows;
  }
  // Runs steps on the shown page, then closes it.
  void onPage(std::function<void(frmFixSet&)> steps) {
    desk.onShow<frmFixSet>("frmFixSet", [steps](frmFixSet& p) {
      steps(p);
      if (p.visible())
        script::close(p);
    });
  }

  std::string oldBe = dir.file("app/data/old.mdb");
  std::string newBe = dir.file("app/data/new.mdb");
  std::string ok = dir.file("app/data/ok.mdb");
  std::string partA = dir.file("app/data/partA.mdb");
  std::string linkedA = dir.file("app/data/linkedA.mdb");
};

TEST_F(FixSetTest, CandidatesTakeAndReleaseTables) {
  const std::string c = "tblC (" + ok + ") [x]";
  std::vector<std::vector<std::string>> seen;
  std::vector<bool> satisfied;
  uikit::Color colour{};
  bool okStaysSelected = true;
  long validRowData = 0;
  onPage([&](frmFixSet& p) {
    const auto step = [&](const std::string& path) {
      script::clickRow(p, "lstDatabases", row(path));
      seen.push_back(tables());
      satisfied.push_back(p.lblSatisfied.Visible);
    };
    step(linkedA);  // 0: its tblA is only a link: satisfies nothing
    step(linkedA);  // 1: deselected again
    step(partA);    // 2: takes tblA
    step(newBe);    // 3: tblA stays with partA, takes tblB: everything satisfied
    step(ok);       // 4: one more: refused with a beep
    okStaysSelected = p.lstDatabases.Selected(row(ok));
    colour = p.lblSatisfied.BackColor;
    step(partA);  // 5: releases tblA; new.mdb does not take it over
    step(newBe);  // 6: releases tblB
    step(newBe);  // 7: selected again: takes both
    validRowData = p.lstTables.ItemData(2);
  });
  page().ShowModal();

  const std::string a0 = "tblA () [ ]", b0 = "tblB () [ ]";
  const std::string aPart = "tblA (" + partA + ") [x]", aNew = "tblA (" + newBe + ") [x]";
  const std::string bNew = "tblB (" + newBe + ") [x]";
  using Rows = std::vector<std::string>;
  EXPECT_EQ(seen, (std::vector<Rows>{{a0, b0, c},
                                     {a0, b0, c},
                                     {aPart, b0, c},
                                     {aPart, bNew, c},
                                     {aPart, bNew, c},
                                     {a0, bNew, c},
                                     {a0, b0, c},
                                     {aNew, bNew, c}}));
  EXPECT_EQ(satisfied, (std::vector<bool>{false, false, false, true, true, false, false, true}));
  EXPECT_FALSE(okStaysSelected);
  EXPECT_EQ(colour, uikit::Color::Yellow);
  EXPECT_EQ(desk.beeps(), 1);
  EXPECT_FALSE(desk.busy());
  EXPECT_EQ(validRowData, 1);  // valid from the start, never touched
}

TEST_F(FixSetTest, RequiredTablesAreReadOnly) {
  std::vector<std::string> after;
  onPage([&](frmFixSet&) {
    script::checkRow(page(), "lstTables", 0);  // unresolved: stays unchecked
    script::checkRow(page(), "lstTables", 2);  // valid: stays checked
    after = tables();
  });
  page().ShowModal();
  EXPECT_EQ(after,
            (std::vector<std::string>{"tblA () [ ]", "tblB () [ ]", "tblC (" + ok + ") [x]"}));
  EXPECT_FALSE(state().tableChangeGuard);
}

TEST_F(FixSetTest, BrowseRefusesAndAsks) {
  const std::string two = dir.file("elsewhere/two.mdb"), all = dir.file("elsewhere/all.mdb");
  testsupport::makeBackEnd(two, {"tblA"});
  testsupport::makeBackEnd(all, {"tblA", "tblB", "tblC"});
  int found = 0, needed = 0;
  CalcPriority(two, page().txtDatabasePath.Text, found, needed);
  ASSERT_LT(found, needed);
  std::string newUpper = newBe;
  for (char& ch : newUpper)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  desk.chooseFile(fe).chooseFile(newUpper).chooseFile(two).chooseFile(two).chooseFile(all);
  desk.cancelFile();
  desk.answer(Answer::OK, "You cannot add the current database application to the list.",
              "Selection Error");
  desk.answer(Answer::OK, newUpper + " is already in the list of possible databases.",
              "Duplicate Database");
  const std::string question = "The database you selected contains " + std::to_string(found) +
                               " of " + std::to_string(needed) +
                               " needed tables.\r\n\r\nDo you still want to add?";
  desk.answer(Answer::No, question, "Confirm Selection");
  desk.answer(Answer::Yes, question, "Confirm Selection");
  std::vector<int> counts;  // candidates in the store and rows shown, after each Browse
  onPage([&](frmFixSet& p) {
    for (int i = 0; i < 6; ++i) {
      script::click(p, "cmdBrowse");
      counts.push_back(p.lsvDatabases.Count() * 100 + p.lstDatabases.ListCount());
    }
  });
  page().ShowModal();

  // Refused, refused, answered No: nothing added; Yes: two.mdb; all.mdb without a question.
  const int start = counts.at(0);
  EXPECT_EQ(counts, (std::vector<int>{start, start, start, start + 101, start + 202, start + 202}));
  std::vector<std::string> initDirs;
  for (const auto& e : desk.transcript()) {
    if (e.kind == script::Entry::Kind::OpenFile)
      initDirs.push_back(e.initDir);
  }
  EXPECT_EQ(initDirs, (std::vector<std::string>{"", fe, newUpper, two, two, all}));
}

TEST_F(FixSetTest, UnresolvedTablesLeadToMissingLinksWithoutChanges) {
  const Snapshot before = snapshot();
  onPage([&](frmFixSet& p) {
    script::clickRow(p, "lstDatabases", row(partA));
    script::click(p, "cmdNext");
  });
  desk.onShow("frmMissingLinks", [](uikit::Form& f) { script::close(f); });
  page().ShowModal();
  EXPECT_EQ(desk.shownForms(), (std::vector<std::string>{"frmFixSet", "frmMissingLinks"}));
  EXPECT_EQ(snapshot(), before);
}

TEST_F(FixSetTest, NextRewritesTheSetAndRelinks) {
  onPage([&](frmFixSet& p) {
    script::clickRow(p, "lstDatabases", row(newBe));
    script::click(p, "cmdNext");
  });
  desk.onShow("frmFinish", script::clicking("cmdFinish"));
  page().ShowModal();
  EXPECT_EQ(testsupport::linkRows(fe), (std::vector<LinkRow>{{"Main", "tblA", connect(newBe)},
                                                             {"Main", "tblB", connect(newBe)},
                                                             {"Main", "tblC", connect(ok)}}));
  EXPECT_EQ(testsupport::linkedDefs(fe),
            (std::vector<testsupport::LinkedDef>{{"tblA", connect(newBe), "tblA"},
                                                 {"tblB", connect(newBe), "tblB"},
                                                 {"tblC", connect(ok), "tblC"}}));
  EXPECT_EQ(loadedForms(), 0);
}

// A failure at any step of the rewrite leaves the set's rows and the front end's links as they
// were, is reported, and keeps the page open.
class FixSetFault : public FixSetTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FixSetFault, RewriteIsAllOrNothing) {
  const Snapshot before = snapshot();
  const std::string operation = GetParam();
  bool stayed = false;
  onPage([&](frmFixSet& p) {
    script::clickRow(p, "lstDatabases", row(newBe));
    dao::SetFaultHook([operation](std::string_view op, std::string_view) {
      if (op == operation)
        throw dao::Error(dao::kErrDiskIO, "injected");
    });
    script::click(p, "cmdNext");
    dao::SetFaultHook(nullptr);
    stayed = p.visible();
  });
  desk.answer(Answer::OK, "cmdNext_Click - injected: 3043", "cmdNext_Click");
  page().ShowModal();
  EXPECT_TRUE(stayed);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(desk.messages().at(0).icon, uikit::Icon::Critical);
}

INSTANTIATE_TEST_SUITE_P(Steps, FixSetFault,
                         ::testing::Values("execute", "update", "delete", "append", "commit"));

}  // namespace
}  // namespace orvanta
