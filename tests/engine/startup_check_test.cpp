// The start-up check: every row of its decision table, reached both from the analysis results
// alone and from real front ends and back ends on disk, and what the check leaves behind.
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "engine/StartupDecision.h"
#include "tests/engine/check_support.h"
#include "ui/wizard/WizardPage.h"

namespace checktest {
namespace {

using orvanta::detail::Situation;
using A = orvanta::detail::StartupAction;

const std::string kT1 =
    "We have detected that your application has been renamed or moved to a different directory. "
    "Your original table links are still valid, however we have detected another valid backend "
    "database in the same relative path as the new location of your application. Select an "
    "option at the right and a detailed description will appear below.";
const std::string kT2 =
    "We have detected that your application has been renamed or moved to a different directory. "
    "Your original table links are no longer valid, however we have detected another valid "
    "backend database in the same relative path as the new location of your application. Select "
    "an option at the right and a detailed description will appear below.";

TEST(StartupDecision, TheFirstRowThatHoldsActs) {
  struct Case {
    Situation s;  // matches open rel moved found present valid count
    int row;
    A action;
  };
  const Case cases[] = {
      {{true, true, false, true, true, true, true, 3}, 1, A::ShowFEMoved},
      {{true, true, false, true, false, false, false, 0}, 1, A::ShowFEMoved},
      {{true, true, false, false, true, true, true, 3}, 2, A::Nothing},
      {{true, true, false, false, false, false, false, 2}, 2, A::Nothing},
      {{false, false, false, false, false, false, false, 3}, 3, A::SetManager},
      {{false, false, false, true, false, false, true, 1}, 3, A::SetManager},
      {{true, true, true, true, true, true, true, 3}, 4, A::SameRelativePath},
      {{true, false, true, true, true, true, false, 3}, 4, A::SameRelativePath},
      {{false, false, false, false, true, false, true, 3}, 5, A::Relink},
      {{false, true, false, false, true, true, true, 1}, 5, A::Relink},
      {{false, true, false, false, true, true, true, 2}, 5, A::ShowId12},
      {{false, true, false, false, true, true, true, 3}, 5, A::ShowIb1},
      {{false, false, false, false, true, true, true, 1}, 5, A::Relink},
      {{false, false, false, false, true, true, true, 2}, 5, A::ShowId12},
      {{false, false, false, false, true, true, true, 3}, 5, A::Relink},
      {{false, true, false, false, false, true, false, 3}, 6, A::ShowCreateNewSet},
      {{false, true, false, false, true, true, false, 1}, 6, A::ShowWizard1},
      {{false, true, false, false, true, true, false, 2}, 6, A::ShowIIb2c2},
      {{false, true, false, false, true, true, false, 3}, 6, A::ShowIIb2c2},
      {{false, false, false, false, false, true, false, 1}, 7, A::ShowCreateNewSet},
      {{false, false, false, false, true, true, false, 3}, 8, A::ShowWizard1},
      {{true, false, false, true, true, true, false, 3}, 8, A::ShowWizard1},
  };
  for (const Case& c : cases) {
    const auto d = orvanta::detail::decideStartupAction(c.s);
    EXPECT_EQ(d.row, c.row) << "case for row " << c.row << ", count " << c.s.count;
    EXPECT_EQ(d.action, c.action) << "case for row " << c.row << ", count " << c.s.count;
  }
}

// What a page saw when it was shown: its info text and the Fix Set page's lists.
struct Seen {
  std::string info;
  std::vector<std::string> store;
  std::vector<std::string> tables;
  std::string brokenBackEnd;
};

// Real files for each row. Back ends live in w/data, the front end in w/app.
class RowTest : public CheckTest {
 public:
  std::string be() const { return dir.file("w/data/be.mdb"); }
  std::string be2() const { return dir.file("w/data/other.mdb"); }
  std::string gone() const { return dir.file("w/data/gone.mdb"); }  // linked, then deleted
  std::string fe() const { return dir.file("w/app/fe.mdb"); }

  std::string build(const std::vector<Link>& links, const std::string& relative = "w/app/fe.mdb") {
    testsupport::makeBackEnd(at("w/data/be.mdb"), tables);
    testsupport::makeBackEnd(at("w/data/other.mdb"), tables);
    std::string made = frontEnd(relative, links);
    std::filesystem::remove(gone());
    return made;
  }
  void set(const std::string& name, const std::vector<Link>& links, const std::string& saved) {
    testsupport::addLinkSet(fe(), name, "", true, links, saved);
  }
  // Queues, for each page, an action that records what it shows and closes it from its frame.
  void closePages(const std::vector<std::string>& forms) {
    for (const std::string& form : forms) {
      desk.onShow(form, [this](uikit::Form& shown) {
        if (auto* page = dynamic_cast<orvanta::WizardPage*>(&shown))
          seen.info = page->txtInfo.Text;
        if (uikit::FormRegistry::current().isLoaded<orvanta::frmFixSet>()) {
          auto& fix = uikit::form<orvanta::frmFixSet>();
          for (const auto& item : fix.lsvDatabases.items())
            seen.store.push_back(item.text);
          for (const auto& row : fix.lstTables.items())
            seen.tables.push_back(row.text);
          seen.brokenBackEnd = fix.txtDatabasePath.Text;
        }
        script::close(shown);
      });
    }
  }
  int check(const std::string& frontEndPath) {
    return orvanta::clsOrvanta().CheckLinkedTables(frontEndPath);
  }
  Seen seen;
};

// A row's situation in short: "C>be O>gone" links Customers to be.mdb and Orders to gone.mdb.
struct RowCase {
  const char* name;
  const char* frontEndLinks;
  const char* setLinks;  // the active set's links; nullptr for no link set at all
  std::vector<std::string> forms;
  std::string message;                // the title of the one message box, "" for none
  const char* linkedAfter = nullptr;  // the front end's links after the check, when asserted
  std::function<void(RowTest&)> more = nullptr;
};

std::vector<Link> links(RowTest& t, const std::string& text) {
  std::vector<Link> out;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    const std::string key = word.substr(2);
    out.push_back({word[0] == 'C'   ? "Customers"
                   : word[0] == 'O' ? "Orders"
                                    : "Extra",
                   key == "be"    ? t.be()
                   : key == "be2" ? t.be2()
                                  : t.gone()});
  }
  return out;
}

class DecisionRow : public RowTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(DecisionRow, ActsAndAnswersTheHost) {
  const RowCase& c = GetParam();
  const bool moved = std::string(c.name).starts_with("R1");
  build(links(*this, c.frontEndLinks));
  if (c.setLinks)
    set("Main", links(*this, c.setLinks), moved ? dir.file("w/x/y/fe.mdb") : fe());
  if (std::string(c.name).starts_with("R8")) {
    std::filesystem::rename(be(), dir.file("w/data/be-renamed.mdb"));
  }
  closePages(c.forms);
  if (!c.message.empty())
    desk.answer(uikit::Answer::OK, "", c.message);

  EXPECT_EQ(check(fe()), 0);
  EXPECT_EQ(desk.shownForms(), c.forms);
  EXPECT_EQ(desk.leftovers(), "");
  if (!c.message.empty()) {
    ASSERT_EQ(desk.messages().size(), 1u);
    EXPECT_EQ(desk.messages()[0].icon, uikit::Icon::Information);
  }
  EXPECT_TRUE(uikit::FormRegistry::current().loadedForms().empty());
  if (c.linkedAfter) {
    std::vector<std::pair<std::string, std::string>> expected, actual;
    for (const Link& link : links(*this, c.linkedAfter)) {
      expected.emplace_back(link.table, orvanta::connectString(link.backEnd));
    }
    for (const auto& def : testsupport::linkedDefs(fe()))
      actual.emplace_back(def.name, def.connect);
    EXPECT_EQ(actual, expected);
  }
  if (c.more)
    c.more(*this);
}

const char* kM1Title = "Links Reestablished";
const std::string kM1 =
    "Vantrel has detected and reestablished your missing table links.\r\n\r\nClick Ok to run "
    "your application.";

// clang-format off
const RowCase kRows[] = {
    {"R1_MovedLinksStillGood", "C>be", "C>be", {"frmFEMoved"}, "", nullptr, [](RowTest& t) {
       EXPECT_EQ(t.seen.store, std::vector<std::string>{t.be()});  // the set's own back end
       EXPECT_EQ(testsupport::linkSets(t.fe())[0].frontEndPath, t.fe());  // the new place
     }},
    {"R2_AllInOrder", "C>be O>be", "C>be O>be", {}, "", "C>be O>be"},
    {"R3_NoSetNoLinks", "", nullptr, {"frmSetManager"}, "No Active Link Set Found", nullptr,
     [](RowTest& t) {
       EXPECT_EQ(t.desk.messages()[0].text, "There is currently no Active Link Set defined.\r\n"
                                            "Use Set Manager to create an Active Link Set.");
       EXPECT_TRUE(dao::OpenDatabase(t.fe())->TableDefs().Contains("tblLinkedSets"));
     }},
    {"R5a_ValidSetNoLinkedTables", "", "C>be O>be", {}, kM1Title, "C>be O>be",
     [](RowTest& t) { EXPECT_EQ(t.desk.messages()[0].text, kM1); }},
    {"R5b_OpenSetHasMore", "C>be", "C>be O>be", {}, kM1Title, "C>be O>be"},
    {"R5c_OpenFrontEndHasMore", "C>be O>be", "C>be", {"frmId12"}, "", "C>be O>be"},
    {"R5d_BothValidButDifferent", "C>be2 O>be2", "C>be O>be", {"frmIb1"}, "", "C>be2 O>be2"},
    {"R5e_BrokenSameCount", "C>gone O>gone", "C>be O>be", {}, kM1Title, "C>be O>be"},
    {"R5f_BrokenFrontEndHasMore", "C>gone O>gone", "C>be", {"frmId12"}, ""},
    {"R5g_BrokenSetHasMore", "C>gone", "C>be O>be", {}, kM1Title, "C>be O>be"},
    {"R6a_NoSetLinksOpen", "C>be", nullptr, {"frmCreateNewSet"}, ""},
    {"R6b_SetBrokenFrontEndHasMore", "C>be O>be", "C>gone", {"frmIIb2c2"}, ""},
    {"R6c_SetBrokenSetHasMore", "C>be", "C>gone O>gone", {"frmWizard1"}, ""},
    {"R6d_SetBrokenSameCount", "C>be O>be", "C>gone O>gone", {"frmIIb2c2"}, ""},
    {"R7_NoSetLinksBroken", "C>gone", nullptr, {"frmCreateNewSet"}, ""},
    {"R8_BackEndRenamed", "C>be O>be", "C>be O>be", {"frmWizard1"}, "", nullptr, [](RowTest& t) {
       EXPECT_NE(t.seen.info, kT1);
       EXPECT_NE(t.seen.info, kT2);
       EXPECT_EQ(t.seen.tables, (std::vector<std::string>{"Customers ()", "Orders ()"}));
       EXPECT_EQ(t.seen.brokenBackEnd, t.be());
       EXPECT_EQ(sorted(t.seen.store),
                 (std::vector<std::string>{t.dir.file("w/data/be-renamed.mdb"), t.be2()}));
     }},
};
// clang-format on

// Relative layout of the moved front end: it was w/old/fe.mdb with its back end in
// w/old/Data; it is now w/new/fe.mdb, and a copy of the back end sits in w/new/Data.
void movedWithCopy(RowTest& t, bool originalStillThere) {
  const std::string oldBe = t.at("w/old/Data/be.mdb");
  testsupport::makeBackEnd(oldBe, t.tables);
  testsupport::makeBackEnd(t.at("w/new/Data/be.mdb"), t.tables);
  const std::string fe = t.frontEnd("w/app/fe.mdb", {{"Customers", oldBe}, {"Orders", oldBe}});
  t.set("Main", {{"Customers", oldBe}, {"Orders", oldBe}}, t.dir.file("w/old/fe.mdb"));
  if (!originalStillThere)
    std::filesystem::remove(oldBe);
  std::filesystem::rename(fe, t.at("w/new/fe.mdb"));
}

INSTANTIATE_TEST_SUITE_P(Rows, DecisionRow, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Row 4 needs the front end somewhere else than where its set last saw it.
TEST_F(RowTest, Row4_SameRelativePathTellsWhetherTheOldLinksStillWork) {
  for (bool stillThere : {true, false}) {
    SCOPED_TRACE(stillThere ? "T1" : "T2");
    orvanta::state() = orvanta::ComponentState{};
    std::filesystem::remove_all(dir.file("w"));
    seen = Seen{};
    movedWithCopy(*this, stillThere);
    closePages({"frmWizard1"});
    EXPECT_EQ(check(dir.file("w/new/fe.mdb")), 0);
    EXPECT_EQ(seen.info, stillThere ? kT1 : kT2);
    // The copy at the same relative place (found under its own letter case), and with T1 the
    // set's own back end too.
    std::vector<std::string> expected{dir.file("w/new/Data/be.mdb")};
    if (stillThere)
      expected.push_back(dir.file("w/old/Data/be.mdb"));
    EXPECT_EQ(sorted(seen.store), sorted(expected));
  }
}

TEST_F(RowTest, IgnoringReturnsOneOnceAndKeepsTheOldPath) {
  // Moved and broken: row 8. The user ignores it.
  build({{"Customers", be()}});
  set("Main", {{"Customers", be()}}, dir.file("w/old/inner/fe.mdb"));
  std::filesystem::rename(be(), dir.file("w/data/elsewhere.mdb"));
  desk.onShow("frmWizard1", [](uikit::Form& page) {
    script::click(page, "optIgnore");
    script::click(page, "cmdNext");
  });
  desk.answer(uikit::Answer::Yes, "", "Confirm Ignore");
  EXPECT_EQ(check(fe()), 1);
  EXPECT_EQ(testsupport::linkSets(fe())[0].frontEndPath, dir.file("w/old/inner/fe.mdb"));

  // Repaired in between: the next check starts with the flag down, whatever the last one left.
  std::filesystem::rename(dir.file("w/data/elsewhere.mdb"), be());
  closePages({"frmFEMoved"});
  EXPECT_EQ(check(fe()), 0);
}

TEST_F(RowTest, FirstRunIsNotAMoveAndRecordsWhereTheFrontEndIs) {
  build({{"Customers", be()}});
  set("Main", {{"Customers", be()}}, "");
  EXPECT_EQ(check(fe()), 0);
  EXPECT_TRUE(desk.shownForms().empty());
  EXPECT_FALSE(orvanta::state().frontEndMoved);
  EXPECT_EQ(testsupport::linkSets(fe())[0].frontEndPath, fe());

  // So a later move is noticed (to where no back end sits at the old relative position).
  std::filesystem::copy_file(fe(), at("w/moved/deeper/fe.mdb"));
  closePages({"frmFEMoved"});
  EXPECT_EQ(check(dir.file("w/moved/deeper/fe.mdb")), 0);
  EXPECT_EQ(desk.shownForms(), std::vector<std::string>{"frmFEMoved"});
}

TEST_F(RowTest, TheMoveTestIgnoresLetterCase) {
  build({{"Customers", be()}});
  std::string shouted = fe();
  const auto tail = shouted.rfind("w/app/fe.mdb");
  shouted.replace(tail, std::string::npos, "W/APP/FE.MDB");
  set("Main", {{"Customers", be()}}, shouted);
  EXPECT_EQ(check(fe()), 0);
  EXPECT_TRUE(desk.shownForms().empty());  // row 2: the host's own spelling was opened
  EXPECT_FALSE(orvanta::state().frontEndMoved);
  EXPECT_EQ(testsupport::linkSets(fe())[0].frontEndPath, shouted);
}

TEST_F(RowTest, AFailedRelinkIsNotAnnounced) {
  build({{"Customers", gone()}});
  set("Main", {{"Customers", be()}, {"Orders", be()}}, fe());
  dao::SetFaultHook([](std::string_view operation, std::string_view) {
    if (operation == "append")
      throw dao::Error(dao::kErrFileNotWritable, "read-only front end");
  });
  closePages({"frmWizard1"});
  EXPECT_EQ(check(fe()), 0);
  dao::SetFaultHook(nullptr);
  EXPECT_TRUE(desk.messages().empty());
  EXPECT_EQ(testsupport::linkedDefs(fe())[0].connect, orvanta::connectString(gone()));
}

TEST_F(RowTest, AReadOnlyBackEndIsAsGoodAsAnyOther) {
  build({{"Customers", be()}});
  set("Main", {{"Customers", be()}}, fe());
  ASSERT_EQ(chmod(be().c_str(), 0444), 0);
  EXPECT_EQ(check(fe()), 0);
  EXPECT_TRUE(desk.shownForms().empty());
  EXPECT_TRUE(testsupport::linkSets(fe())[0].valid);
}

}  // namespace
}  // namespace checktest
