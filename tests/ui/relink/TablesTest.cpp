// Add in the Set Manager: choosing the database (a cancel never stands for the one chosen
// before), the tables offered, and frmTables writing each table's link row and, for the active
// set, its linked table together, naming the tables it could not add.
#include <tuple>

#include "tests/ui/sets/SetManagerFixture.h"

namespace orvanta {
namespace {

class AddLinksTest : public SetManagerTest {
 public:
  // Main (active) links tblA from be; be2 holds tblA, tblB and tblC.
  void SetUp() override {
    SetManagerTest::SetUp();
    testsupport::makeBackEnd(be, {"tblA"});
    testsupport::makeBackEnd(be2, {"tblA", "tblB", "tblC"});
    buildWorld({{"tblA", be}}, {{"tblA", be}});
    state().chosenBackEndPath = be2;  // a choice made earlier
  }
  void add() {
    manage([](frmSetManager& w) {
      script::click(w, "cmdUpdateLinkSet");
      script::click(w, "cmdAddLink");
    });
  }
};

TEST_F(AddLinksTest, DatabasesThatOfferNothing) {
  const std::string locked = dir.file("app/data/lk.mdb");
  for (const auto& [file, title, message] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"", "", ""},
           {be, "No Tables Available",
            "All Tables in the selected database are already in this linkset."},
           {locked, "Database Error",
            locked +
                " is already opened by another user.\r\n\r\nClose this database and retry."}}) {
    restart();
    testsupport::makeBackEnd(locked, {"tblZ"});
    testsupport::HeldByAnotherProcess holder(locked, -1, false);
    desk.chooseFile(file);
    if (!title.empty())
      desk.answer(Answer::OK, message, title);
    add();
    EXPECT_EQ(world(), "*Main.tblA=be | tblA=be");
  }
}

// A table the back end refuses is neither a row nor a linked table, and the user is told; the
// others are added to the set and to the front end.
TEST_F(AddLinksTest, ARefusedTableIsNamedNotSkippedSilently) {
  failAt("append", dao::kErrObjectNotFound, "tblB");
  desk.chooseFile(be2);
  desk.answer(Answer::OK, "Main:\r\n\r\ntblB: injected", "Tables Not Added");
  desk.onShow("frmTables", [](uikit::Form& t) {
    EXPECT_EQ(static_cast<uikit::ListBox*>(t.find("lstTableLinks"))->ListCount(), 2);  // no tblA
    script::click(t, "cmdSelectAll");
    script::click(t, "cmdOK");
  });
  add();
  EXPECT_EQ(world(), "*Main.tblA=be *Main.tblC=be2 | tblA=be tblC=be2");
}

}  // namespace
}  // namespace orvanta
