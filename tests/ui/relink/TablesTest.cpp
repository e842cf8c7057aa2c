// Add in the Set Manager: choosing a database (never the one chosen before, after a cancel), the
// tables offered, and frmTables writing each chosen table's link row and, for the active set, its
// linked table together.
#include <fstream>

#include "engine/Engine.h"
#include "tests/ui/sets/SetManagerFixture.h"
#include "ui/relink/frmTables.h"

namespace orvanta {
namespace {

class AddLinksTest : public SetManagerTest {
 public:
  // Main (active) links tblA from be; Other has no links; be2 holds tblA, tblB and tblC.
  void SetUp() override {
    SetManagerTest::SetUp();
    testsupport::makeBackEnd(be, {"tblA"});
    testsupport::makeBackEnd(be2, {"tblA", "tblB", "tblC"});
    buildWorld({{"tblA", be}}, {{"tblA", be}});
    addSets({"Other"});
    state().chosenBackEndPath = be2;  // a choice made earlier
  }
  // Add on the shown set (Main, or Other after Next); tables is what the user does in frmTables.
  void add(int nexts, std::function<void(frmTables&)> tables = nullptr) {
    if (tables)
      desk.onShow<frmTables>("frmTables", tables);
    manage([nexts](frmSetManager& w) {
      for (int i = 0; i < nexts; ++i)
        script::click(w, "cmdNextSet");
      script::click(w, "cmdUpdateLinkSet");
      script::click(w, "cmdAddLink");
    });
  }
  static std::string offered(const frmTables& tables) {
    std::string s;
    for (const auto& item : tables.lstTableLinks.items())
      s += (s.empty() ? "" : " ") + item.text;
    return s;
  }
  const std::string before = "*Main.tblA=be | tblA=be";
};

TEST_F(AddLinksTest, DatabasesThatOfferNothing) {
  const std::string text = dir.file("app/data/notes.mdb");
  const std::string locked = dir.file("app/data/locked.mdb");
  struct Case {
    std::string file;
    std::string title, text;  // of the one message, none when title is ""
  };
  for (const Case& c : std::vector<Case>{
           {"", "", ""},  // cancelled: no message, and not the database chosen before
           {be, "No Tables Available",
            "All Tables in the selected database are already in this linkset."},
           {text, "Database Error", "Error Opening: " + text},
           {locked, "Database Error",
            locked + " is already opened by another user.\r\n\r\nClose this database and retry."},
       }) {
    SCOPED_TRACE(c.file);
    restart();
    std::ofstream(text) << "not a database\n";
    testsupport::makeBackEnd(locked, {"tblZ"});
    testsupport::HeldByAnotherProcess holder(locked, -1, false);
    desk.chooseFile(c.file);
    if (!c.title.empty())
      desk.answer(Answer::OK, c.text, c.title);
    const std::size_t first = desk.messages().size();
    add(0);
    EXPECT_EQ(desk.messages().size() - first, c.title.empty() ? 0u : 1u);
    EXPECT_EQ(world(), before);
  }
  const auto& shown = desk.transcript();
  const auto dialog = std::find_if(shown.begin(), shown.end(), [](const auto& e) {
    return e.kind == script::Entry::Kind::OpenFile;
  });
  ASSERT_NE(dialog, shown.end());
  EXPECT_EQ(dialog->title, "Link");
  EXPECT_EQ(dialog->initDir, fe);
  EXPECT_EQ(dialog->filter, kDatabaseFilter);
}

TEST_F(AddLinksTest, TheActiveSetGetsRowsAndLinkedTablesOtherSetsRowsOnly) {
  desk.chooseFile(be2);
  add(0, [](frmTables& t) {
    EXPECT_EQ(offered(t), "tblB tblC");  // tblA is linked already
    script::click(t, "cmdSelectAll");
    script::click(t, "cmdOK");
  });
  EXPECT_EQ(world(), "*Main.tblA=be *Main.tblB=be2 *Main.tblC=be2 | tblA=be tblB=be2 tblC=be2");

  desk.chooseFile(be2);
  add(1, [](frmTables& t) {
    EXPECT_EQ(offered(t), "tblA tblB tblC");
    script::click(t, "cmdSelectAll");
    script::click(t, "cmdDeselectAll");
    script::clickRow(t, "lstTableLinks", 0);
    script::click(t, "cmdOK");
  });
  desk.chooseFile(be2);
  add(1, [](frmTables& t) {
    script::clickRow(t, "lstTableLinks", 1);
    script::click(t, "cmdCancel");
  });
  EXPECT_EQ(world(),
            "*Main.tblA=be *Main.tblB=be2 *Main.tblC=be2 Other.tblA=be2 | tblA=be "
            "tblB=be2 tblC=be2");
}

// A table the back end refuses is neither a row nor a linked table, and the user is told; the
// other tables are added.
TEST_F(AddLinksTest, ARefusedTableIsNamedNotSkippedSilently) {
  dao::SetFaultHook([](std::string_view step, std::string_view subject) {
    if (step == "append" && subject == "tblB")
      throw dao::Error(dao::kErrObjectNotFound, "tblB is not there");
  });
  desk.chooseFile(be2);
  desk.answer(Answer::OK, "Main:\r\n\r\ntblB: tblB is not there", "Tables Not Added");
  add(0, [](frmTables& t) {
    script::click(t, "cmdSelectAll");
    script::click(t, "cmdOK");
  });
  EXPECT_EQ(world(), "*Main.tblA=be *Main.tblC=be2 | tblA=be tblC=be2");
}

}  // namespace
}  // namespace orvanta
